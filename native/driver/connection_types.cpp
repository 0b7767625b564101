// Database type names: the item type and size of an SQL column type text,
// the SQL type text of an item (through the connection's type map, made on
// first use), and a column's default value text as a runtime value.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>
#include <new>

#include "common/text/ct_string.h"
#include "common/text/sql_escape.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/item_description.h"
#include "native/model/na_item_description.h"
#include "native/model/sql_text_tests.h"
#include "native/model/type_map.h"
#include "native/model/variant_text.h"

namespace {

// How a type text's prefix gives the item's type and size.
enum eSizeRule
{
    SIZE_FIXED,     // the size given
    SIZE_TEXT,      // TEXTE, n + 1
    SIZE_NTEXT,     // UNICODE, 2n + 2
    SIZE_INTEGER,   // the unsigned type when the text says so
    SIZE_REAL,      // R8 on kind 13, else R4
    SIZE_DECIMAL,   // from precision and scale
    SIZE_CHAR,      // CHAR alone, else TEXTE of m + 1
    SIZE_VARBINARY, // BINAIRE, m + 2
};

struct stTypePrefix
{
    const wchar_t* pszPrefix;
    eSizeRule eRule;
    eNA_ITEMTYPE eType;
    eNA_ITEMTYPE eUnsigned;
    uint32_t nSize;
};

// The first prefix the type text starts with decides: the order matters
// (TIMESTAMP before TIME, DATETIME before DATE, INT8 before INT).
constexpr stTypePrefix kPrefixes[] = {
    {L"YEAR", SIZE_FIXED, NA_IT_DATE8, NA_IT_EMPTY, 9},
    {L"VARCHAR", SIZE_TEXT, NA_IT_TEXTE, NA_IT_EMPTY, 0},
    {L"VARYING CHARACTER", SIZE_TEXT, NA_IT_TEXTE, NA_IT_EMPTY, 0},
    {L"CHARACTER", SIZE_TEXT, NA_IT_TEXTE, NA_IT_EMPTY, 0},
    {L"NCHAR", SIZE_NTEXT, NA_IT_UNICODE, NA_IT_EMPTY, 0},
    {L"NATIVE CHARACTER", SIZE_NTEXT, NA_IT_UNICODE, NA_IT_EMPTY, 0},
    {L"NVARCHAR", SIZE_NTEXT, NA_IT_UNICODE, NA_IT_EMPTY, 0},
    {L"TINYTEXT", SIZE_FIXED, NA_IT_MEMOTEXTE, NA_IT_EMPTY, 8},
    {L"TINYINT", SIZE_INTEGER, NA_IT_I1, NA_IT_UI1, 1},
    {L"TINYBLOB", SIZE_FIXED, NA_IT_MEMOBINAIRE, NA_IT_EMPTY, 8},
    {L"TIMESTAMP", SIZE_FIXED, NA_IT_DATETIME, NA_IT_EMPTY, 8},
    {L"TIME", SIZE_FIXED, NA_IT_HEURE, NA_IT_EMPTY, 6},
    {L"TEXT", SIZE_FIXED, NA_IT_MEMOTEXTE, NA_IT_EMPTY, 8},
    {L"NTEXT", SIZE_FIXED, NA_IT_MEMOUNICODE, NA_IT_EMPTY, 8},
    {L"CLOB", SIZE_FIXED, NA_IT_MEMOTEXTE, NA_IT_EMPTY, 8},
    {L"SMALLINT", SIZE_INTEGER, NA_IT_I2, NA_IT_UI2, 2},
    {L"INT2", SIZE_INTEGER, NA_IT_I2, NA_IT_UI2, 2},
    {L"SET", SIZE_FIXED, NA_IT_MEMOTEXTE, NA_IT_EMPTY, 8},
    {L"REAL", SIZE_REAL, NA_IT_R4, NA_IT_EMPTY, 4},
    {L"MEDIUMTEXT", SIZE_FIXED, NA_IT_MEMOTEXTE, NA_IT_EMPTY, 8},
    {L"BIGINT", SIZE_INTEGER, NA_IT_I8, NA_IT_UI8, 8},
    {L"BIG INT", SIZE_INTEGER, NA_IT_I8, NA_IT_UI8, 8},
    {L"INT8", SIZE_INTEGER, NA_IT_I8, NA_IT_UI8, 8},
    {L"MEDIUMINT", SIZE_INTEGER, NA_IT_I4, NA_IT_UI4, 4},
    {L"INTEGER", SIZE_INTEGER, NA_IT_I4, NA_IT_UI4, 4},
    {L"INT", SIZE_INTEGER, NA_IT_I4, NA_IT_UI4, 4},
    {L"MEDIUMBLOB", SIZE_FIXED, NA_IT_MEMOBINAIRE, NA_IT_EMPTY, 8},
    {L"LONGBLOB", SIZE_FIXED, NA_IT_MEMOBINAIRE, NA_IT_EMPTY, 8},
    {L"LONGTEXT", SIZE_FIXED, NA_IT_MEMOTEXTE, NA_IT_EMPTY, 8},
    {L"FLOAT", SIZE_FIXED, NA_IT_R4, NA_IT_EMPTY, 4},
    {L"ENUM", SIZE_FIXED, NA_IT_MEMOTEXTE, NA_IT_EMPTY, 8},
    {L"DOUBLE", SIZE_FIXED, NA_IT_R8, NA_IT_EMPTY, 8},
    {L"DOUBLE PRECISION", SIZE_FIXED, NA_IT_R8, NA_IT_EMPTY, 8},
    {L"DECIMAL", SIZE_DECIMAL, NA_IT_EMPTY, NA_IT_EMPTY, 0},
    {L"DEC", SIZE_DECIMAL, NA_IT_EMPTY, NA_IT_EMPTY, 0},
    {L"NUMERIC", SIZE_DECIMAL, NA_IT_EMPTY, NA_IT_EMPTY, 0},
    {L"DATETIME", SIZE_FIXED, NA_IT_DATETIME, NA_IT_EMPTY, 8},
    {L"DATE", SIZE_FIXED, NA_IT_DATE8, NA_IT_EMPTY, 9},
    {L"CHAR", SIZE_CHAR, NA_IT_CHAR, NA_IT_EMPTY, 1},
    {L"BOOL", SIZE_FIXED, NA_IT_I1, NA_IT_EMPTY, 1},
    {L"BOOLEAN", SIZE_FIXED, NA_IT_I1, NA_IT_EMPTY, 1},
    {L"BLOB", SIZE_FIXED, NA_IT_MEMOBINAIRE, NA_IT_EMPTY, 8},
    {L"BIT", SIZE_FIXED, NA_IT_I1, NA_IT_EMPTY, 1},
    {L"VARBINARY", SIZE_VARBINARY, NA_IT_BINAIRE, NA_IT_EMPTY, 0},
};

constexpr wchar_t kUnsigned[] = L"UNSIGNED";
constexpr size_t kUnsignedLength = 8;

wchar_t cUpper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool bStartsWith(const wchar_t* psz, const wchar_t* pszPrefix)
{
    return std::wcsncmp(psz, pszPrefix, std::wcslen(pszPrefix)) == 0;
}

bool bStartsWithNoCase(const wchar_t* psz, const wchar_t* pszPrefix)
{
    for (; *pszPrefix != 0; ++psz, ++pszPrefix)
        if (cUpper(*psz) != cUpper(*pszPrefix))
            return false;
    return true;
}

// A run of decimal digits, saturating at INT_MAX; the position after it.
// False when there is no digit.
bool bReadNumber(const wchar_t* psz, size_t* pnPos, int* pnValue)
{
    size_t i = *pnPos;
    int64_t n = 0;
    while (psz[i] >= L'0' && psz[i] <= L'9') {
        n = std::min<int64_t>(n * 10 + (psz[i] - L'0'), INT_MAX);
        ++i;
    }
    if (i == *pnPos)
        return false;
    *pnPos = i;
    *pnValue = static_cast<int>(n);
    return true;
}

void SkipBlanks(const wchar_t* psz, size_t* pnPos)
{
    while (psz[*pnPos] != 0 && s_bEspaceSQL(psz[*pnPos]))
        ++*pnPos;
}

// "(p" or "(p,s" behind the keyword: precision 10 and scale 0 when there
// is no readable precision, scale 0 when there is no readable scale.
void ReadPrecisionScale(const wchar_t* psz, size_t nKeyword, int* pnPrecision, int* pnScale)
{
    *pnPrecision = 10;
    *pnScale = 0;
    size_t i = std::min(nKeyword, std::wcslen(psz));
    SkipBlanks(psz, &i);
    if (psz[i] != L'(')
        return;
    ++i;
    SkipBlanks(psz, &i);
    if (!bReadNumber(psz, &i, pnPrecision))
        return;
    SkipBlanks(psz, &i);
    if (psz[i] != L',')
        return;
    ++i;
    SkipBlanks(psz, &i);
    if (!bReadNumber(psz, &i, pnScale))
        *pnScale = 0;
}

uint32_t nSaturated(uint64_t n)
{
    return n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
}

// Whether the text says UNSIGNED: at its start followed by blanks (the
// position after them given), or between blanks, or at its end after a
// blank.
bool bUnsigned(const wchar_t* pszUpper, size_t* pnStart)
{
    *pnStart = 0;
    if (bStartsWith(pszUpper, kUnsigned) && pszUpper[kUnsignedLength] != 0 && s_bEspaceSQL(pszUpper[kUnsignedLength])) {
        size_t i = kUnsignedLength;
        SkipBlanks(pszUpper, &i);
        *pnStart = i;
        return true;
    }
    for (const wchar_t* p = std::wcsstr(pszUpper, kUnsigned); p != nullptr; p = std::wcsstr(p + 1, kUnsigned)) {
        const wchar_t cAfter = p[kUnsignedLength];
        if (p > pszUpper && s_bEspaceSQL(p[-1]) && (cAfter == 0 || s_bEspaceSQL(cAfter)))
            return true;
    }
    return false;
}

}  // namespace

int CNAConnectionDescription::_nGetSizeInTypeDecl(const wchar_t* pszType, const wchar_t* pszKeyword)
{
    if (pszType == nullptr || pszKeyword == nullptr)
        return 1;
    const size_t nKeyword = std::wcslen(pszKeyword);
    if (std::wcslen(pszType) < nKeyword + 3)
        return 1;
    size_t i = nKeyword;
    SkipBlanks(pszType, &i);
    if (pszType[i] != L'(')
        return 1;
    ++i;
    SkipBlanks(pszType, &i);
    int n = 1;
    if (!bReadNumber(pszType, &i, &n))
        return 1;
    SkipBlanks(pszType, &i);
    return pszType[i] == L')' ? n : 1;
}

int CNAConnectionDescription::bSQLTypeNameToNAType(CNAError*, eNA_ITEMTYPE* peType, unsigned* pnSize,
                                                   unsigned* pnIntegerPart, unsigned* pnDecimalPart,
                                                   const wchar_t* pszType, const wchar_t* pszCharset)
{
    if (pszType == nullptr)
        pszType = L"";
    const size_t nLength = std::wcslen(pszType);
    CNAScratch<wchar_t> scratch;
    wchar_t* pszUpper = scratch.pGet(nLength + 1);
    if (pszUpper == nullptr)
        return 0;
    for (size_t i = 0; i <= nLength; ++i)
        pszUpper[i] = cUpper(pszType[i]);
    size_t nStart = 0;
    const bool bIsUnsigned = bUnsigned(pszUpper, &nStart);
    // The prefixes apply after a leading UNSIGNED; the sizes are read from
    // the same place of the text as written.
    const wchar_t* pszRest = pszUpper + nStart;
    const wchar_t* pszOriginal = pszType + nStart;
    eNA_ITEMTYPE eType = NA_IT_MEMOTEXTE;
    uint64_t nSize = 8;
    unsigned nIntegerPart = 0, nDecimalPart = 0;
    for (const stTypePrefix& prefix : kPrefixes) {
        if (!bStartsWith(pszRest, prefix.pszPrefix))
            continue;
        const int n = _nGetSizeInTypeDecl(pszOriginal, prefix.pszPrefix);
        eType = prefix.eType;
        nSize = prefix.nSize;
        switch (prefix.eRule) {
        case SIZE_FIXED: break;
        case SIZE_TEXT: nSize = static_cast<uint64_t>(n) + 1; break;
        case SIZE_NTEXT: nSize = 2 * static_cast<uint64_t>(n) + 2; break;
        case SIZE_INTEGER:
            if (bIsUnsigned)
                eType = prefix.eUnsigned;
            break;
        case SIZE_REAL:
            if (m_nDBKind == 13) {
                eType = NA_IT_R8;
                nSize = 8;
            }
            break;
        case SIZE_DECIMAL: {
            int nPrecision, nScale;
            ReadPrecisionScale(pszOriginal, std::wcslen(prefix.pszPrefix), &nPrecision, &nScale);
            const int nInteger = nPrecision - nScale;
            uint32_t nDecimalSize = 0;
            CNAItemDescription::s_GetTypeFromFormat(nInteger, nScale, &eType, &nDecimalSize);
            nSize = nDecimalSize;
            nIntegerPart = nInteger > 0 ? static_cast<unsigned>(nInteger) : 0;
            nDecimalPart = static_cast<unsigned>(nScale);
            break;
        }
        case SIZE_CHAR:
            if (std::wcscmp(pszRest, L"CHAR") != 0) {
                eType = NA_IT_TEXTE;
                nSize = static_cast<uint64_t>(n) + 1;
            }
            break;
        case SIZE_VARBINARY: nSize = static_cast<uint64_t>(n) + 2; break;
        }
        break;
    }
    if (pszCharset != nullptr && pszCharset[0] != 0 &&
        (bStartsWithNoCase(pszCharset, L"ucs2") || bStartsWithNoCase(pszCharset, L"utf8"))) {
        if (eType == NA_IT_TEXTE) {
            eType = NA_IT_UNICODE;
            nSize *= 2;
        } else if (eType == NA_IT_MEMOTEXTE) {
            eType = NA_IT_MEMOUNICODE;
        }
    }
    if (peType != nullptr)
        *peType = eType;
    if (pnSize != nullptr)
        *pnSize = nSaturated(nSize);
    if (pnIntegerPart != nullptr)
        *pnIntegerPart = nIntegerPart;
    if (pnDecimalPart != nullptr)
        *pnDecimalPart = nDecimalPart;
    return 1;
}

int CNAConnectionDescription::bGetMatchingSQLType(CNAError* pclError, INAItemDescription* piItem, CTString* pcsOut)
{
    if (piItem == nullptr || pcsOut == nullptr)
        return 0;
    const eNA_ITEMTYPE eType = piItem->eNAGetItemType();
    if (m_nDBKind == 5 && eType == NA_IT_DECIMAL) {
        const int nScale = std::clamp(piItem->nGetDecimalPart(), 0, 30);
        const int nPrecision = static_cast<int>(
            std::min<int64_t>(static_cast<int64_t>(piItem->nGetIntegerPart()) + nScale, 64));
        pcsOut->printf(L"NUMERIC(%d,%d)", nPrecision, nScale);
        return 1;
    }
    if (m_nDBKind == 3 && eType == NA_IT_TEXTE && piItem->nGetLogicalSize(0) > 255) {
        pcsOut->Set(L"TEXT");
        return 1;
    }
    if (m_pclMapConvertType == nullptr) {
        CNAMapConvertType* pclMap = new (std::nothrow) CNAMapConvertType();
        if (pclMap == nullptr) {
            if (pclError != nullptr)
                pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_CONNECTION, NASite::kNoMatchingSQLType.nSite,
                                      this, nullptr, nullptr);
            return 0;
        }
        m_pclMapConvertType = pclMap;
        m_pclMapConvertType->_Init();
        _InitQF2NativeType();
    }
    if (m_pclMapConvertType->bFormat(piItem, pcsOut))
        return 1;
    CNAError::g_RaiseSiteError(pclError, NASite::kNoMatchingSQLType, this, piItem->pszGetSourceName(),
                               piItem->pszGetName());
    return 0;
}

int CNAConnectionDescription::bConvertStringToDefaultValue(CAny* pclValue, const wchar_t* pszText,
                                                           CNAItemDescription* pclItem, CNAError* pclError)
{
    if (pclValue == nullptr)
        return 0;
    const unsigned short nCode = pclItem != nullptr ? pclItem->eGetItemZLType() : ZLTYPE_VIDE;
    pclValue->__SetType(ZLTYPE_VIDE, 0);
    pclValue->__SetType(nCode, 0);
    if (pszText == nullptr || (std::wcslen(pszText) == 4 && bStartsWithNoCase(pszText, L"NULL")) ||
        (m_nDBKind == 1 && pszText[0] == 0)) {
        pclValue->SetNull();
        return 1;
    }
    if (pszText[0] == 0)
        return 1;
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAConvertVariant* pclVariant =
        pclDriver != nullptr ? pclDriver->pclGetNewVariant_NV_Any(pclError, this, nullptr, nCode) : nullptr;
    if (pclVariant == nullptr)
        return 0;
    REF_AddRef(pclVariant);
    // Bound to the item, so that a date or time text takes the item's form.
    pclVariant->SetItemDesc(pclItem, pclItem);
    const size_t nLength = std::wcslen(pszText);
    CNAScratch<wchar_t> scratch;
    const wchar_t* pszDefault = pszText;
    int bResult = 1;
    if (nLength >= 2 && pszText[0] == L'\'' && pszText[nLength - 1] == L'\'') {
        // A quoted text loses its quotes and its backslash escapes.
        wchar_t* pszInner = scratch.pGet(nLength - 1);
        if (pszInner == nullptr) {
            bResult = 0;
        } else {
            std::wmemcpy(pszInner, pszText + 1, nLength - 2);
            pszInner[nLength - 2] = 0;
            PurgeEscapeBackSlash(pszInner);
            pszDefault = pszInner;
        }
    }
    if (bResult)
        bResult = pclVariant->bSetValueFromDB(pszDefault, -1);
    if (bResult)
        bResult = pclVariant->bGetValue(pclValue);
    pclVariant->nRelease();
    return bResult;
}
