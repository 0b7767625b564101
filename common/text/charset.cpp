#include "common/text/charset.h"

#include <clocale>
#include <cstdio>

#include "common/text/host_code_page.h"

namespace {

struct CharsetRow
{
    int nCharset;
    unsigned int nCodePage;
    unsigned short nLanguage;
};

constexpr CharsetRow kCharsets[] = {
    {0, 1252, 0},       {128, 932, 0x11},   {129, 949, 0x12},   {130, 1361, 0x12},  {134, 936, 0x804},
    {136, 950, 0x404},  {161, 1253, 0x08},  {162, 1254, 0x1F},  {163, 1258, 0x2A},  {177, 1255, 0x0D},
    {178, 1256, 0x01},  {186, 1257, 0x25},  {204, 1251, 0x419}, {222, 874, 0x1E},   {238, 1250, 0x15},
    {255, 1252, 0},     {65001, 65001, 0},
};

// Language ids of the character sets 128 to 238, 0 where there is none.
struct LanguageTable
{
    unsigned short ids[111] = {};
    constexpr LanguageTable()
    {
        for (const CharsetRow& row : kCharsets) {
            if (row.nCharset >= 128 && row.nCharset <= 238) ids[row.nCharset - 128] = row.nLanguage;
        }
    }
};

constexpr LanguageTable kLanguages;

}  // namespace

unsigned int dwGetCodePageFromCharset(int nCharset)
{
    for (const CharsetRow& row : kCharsets) {
        if (row.nCharset == nCharset) return row.nCodePage;
    }
    return 0;
}

int nGetCharsetFromCodePage(unsigned int nCodePage)
{
    if (nCodePage == 0) return 127;
    for (const CharsetRow& row : kCharsets) {
        if (row.nCodePage == nCodePage) return row.nCharset;  // 1252 meets 0 before 255
    }
    return -1;
}

unsigned short wGetLanguageID(int nCharset)
{
    return (nCharset >= 128 && nCharset <= 238) ? kLanguages.ids[nCharset - 128] : 0;
}

int nGetCharsetFromLanguage(unsigned short nLangId)
{
    const unsigned primary = nLangId & 0x3FF;
    const unsigned sub = (nLangId >> 10) & 0x3F;
    if (primary > 67) return 0;
    switch (primary) {
    case 1: return 178;
    case 2:
    case 25:
    case 34:
    case 35: return 204;
    case 4: return sub == 1 ? 136 : 134;
    case 5:
    case 14:
    case 21:
    case 24:
    case 27:
    case 28:
    case 36:
    case 47: return 238;
    case 8: return 161;
    case 13: return 177;
    case 17: return 128;
    case 18: return 129;
    case 26: return sub == 3 ? 204 : 238;
    case 30: return 222;
    case 31: return 162;
    case 37:
    case 38:
    case 39: return 186;
    case 42: return 163;
    case 43:
    case 55: return 65001;
    case 67: return sub == 2 ? 204 : 238;
    default: return 0;
    }
}

int GetCharSetFromLanguageID(unsigned int nId)
{
    return nGetCharsetFromLanguage(static_cast<unsigned short>(nId & 0xFFFF));
}

namespace {

// The code page a code-page type stands for; false for the other types.
bool bCodePageOfType(unsigned short nType, unsigned int* pnCodePage)
{
    switch (nType) {
    case 121:
    case 122: *pnCodePage = 1252; return true;
    case 126:
    case 127: *pnCodePage = 0; return true;
    case 130:
    case 131: *pnCodePage = static_cast<unsigned>(nHostCurrentCodePage()); return true;
    default: return false;
    }
}

}  // namespace

unsigned short PrepareConversionAnsiUnicode(unsigned short nType, unsigned int* pnOptions, STOCAW* pConversion,
                                            int bOther, int bMark)
{
    switch (nType) {
    case 18: return bOther ? 19 : 18;
    case 110: return bOther ? 16 : 110;
    default: break;
    }
    unsigned int nCodePage = 0;
    if (!bCodePageOfType(nType, &nCodePage)) return nType;
    if (pConversion) pConversion->nCodePage = nCodePage;
    if (bMark && pnOptions) *pnOptions |= STOCAW_OPTION_CODEPAGE_MARK;
    // The odd codes (122, 127, 131) are the dynamic forms.
    const bool bDynamic = nType == 122 || nType == 127 || nType == 131;
    return (bDynamic && !bOther) ? 110 : 16;
}

bool PrepareConversionUnicodeAnsi(unsigned short nType, STOCAW* pConversion)
{
    unsigned int nCodePage = 0;
    if (!bCodePageOfType(nType, &nCodePage)) return false;
    if (pConversion) pConversion->nCodePage = nCodePage;
    return true;
}

uintptr_t ChangeLocale(int nCharset)
{
    const unsigned int nCodePage = dwGetCodePageFromCharset(nCharset);
    const char* language;
    switch (nCharset) {
    case 161: language = "greek_greece"; break;
    case 162: language = "turkey_turkish"; break;
    case 177:
    case 178: language = ""; break;
    case 204: language = "russian_russia"; break;
    default: return nCodePage;
    }
    char name[64];
    std::snprintf(name, sizeof name, "%s.%u", language, nCodePage);
    return reinterpret_cast<uintptr_t>(std::setlocale(LC_ALL, name));
}
