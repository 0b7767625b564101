#include "common/text/char_class.h"

namespace {

inline unsigned Byte(char c) { return static_cast<unsigned char>(c); }
inline unsigned Unit(wchar_t c) { return static_cast<unsigned>(c); }

template <class T>
bool bOnlyBlanks(const T* text)
{
    if (!text) return true;
    for (const T* p = text; *p; ++p) {
        if (*p != '\t' && *p != '\n' && *p != '\r' && *p != ' ') return false;
    }
    return true;
}

template <class T>
bool bRtf(const T* text)
{
    if (!text) return false;
    static const char kPrefix[] = "{\\rtf";
    for (int i = 0; i < 5; ++i) {
        unsigned c = static_cast<unsigned>(text[i]);
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        if (c != static_cast<unsigned char>(kPrefix[i])) return false;
    }
    return text[5] == '1' || text[5] == '{';
}

}  // namespace

bool bEstUnChiffreA(char c) { return Byte(c) >= '0' && Byte(c) <= '9'; }
bool bEstUnChiffreW(wchar_t c) { return Unit(c) >= '0' && Unit(c) <= '9'; }
int nGetChiffre(wchar_t c) { return static_cast<int>(c) - '0'; }

bool bEstUnNombreEntierNaturel(const wchar_t* pszText)
{
    if (!pszText) return false;
    for (const wchar_t* p = pszText; *p; ++p) {
        if (!bEstUnChiffreW(*p)) return false;
    }
    return true;
}

bool bMajusculeA(char c) { return Byte(c) >= 'A' && Byte(c) <= 'Z'; }
bool bMajusculeW(wchar_t c) { return Unit(c) >= 'A' && Unit(c) <= 'Z'; }
bool bMinusculeA(char c) { return Byte(c) >= 'a' && Byte(c) <= 'z'; }
bool bMinusculeW(wchar_t c) { return Unit(c) >= 'a' && Unit(c) <= 'z'; }
bool bExtendedASCII(wchar_t c) { return Unit(c) > 127; }
bool bUnprintable(wchar_t c) { return Unit(c) < 32; }

bool bPonctuation(wchar_t c)
{
    const unsigned u = Unit(c);
    return (u >= 33 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 95);
}

bool STR_bContainSpace(const wchar_t* pszText)
{
    if (!pszText) return false;
    for (const wchar_t* p = pszText; *p; ++p) {
        if (*p == L' ') return true;
    }
    return false;
}

bool STR_bNeContientRienDeLisibleA(const char* pszText) { return bOnlyBlanks(pszText); }
bool STR_bNeContientRienDeLisibleW(const wchar_t* pszText) { return bOnlyBlanks(pszText); }
bool bEstDuTexteRTF(const char* pszText) { return bRtf(pszText); }
bool bEstDuTexteRTFW(const wchar_t* pszText) { return bRtf(pszText); }
