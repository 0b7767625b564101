// MySQL column type texts: the items their values need, where the
// framework's type-name rule falls short.
#include "mysql/mysql_column_types.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <initializer_list>

namespace {

constexpr unsigned kMemoSize = 8;
// HHMMSSmmm and a terminator: a TIME's time of day with milliseconds.
constexpr unsigned kTimeSize = 10;

// The leading keyword of a type text, in lower case, cut to the room given.
size_t nKeyword(const wchar_t* psz, wchar_t* pszOut, size_t nRoom)
{
    size_t n = 0;
    for (; psz[n] != 0 && std::iswalpha(static_cast<wint_t>(psz[n])) && n + 1 < nRoom; ++n)
        pszOut[n] = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(psz[n])));
    pszOut[n] = 0;
    return n;
}

// The size in parentheses right behind the keyword; 0 without one. Sizes
// MySQL writes are far below the cap.
uint64_t nDeclaredSize(const wchar_t* psz)
{
    if (*psz != L'(')
        return 0;
    uint64_t n = 0;
    for (++psz; *psz >= L'0' && *psz <= L'9' && n < 1000000; ++psz)
        n = n * 10 + static_cast<uint64_t>(*psz - L'0');
    return n;
}

bool bIs(const wchar_t* pszKeyword, const wchar_t* pszName)
{
    return std::wcscmp(pszKeyword, pszName) == 0;
}

bool bGeometry(const wchar_t* pszKeyword)
{
    for (const wchar_t* pszName : {L"geometry", L"point", L"linestring", L"polygon", L"multipoint",
                                   L"multilinestring", L"multipolygon", L"geometrycollection"})
        if (bIs(pszKeyword, pszName))
            return true;
    return false;
}

}  // namespace

void MySQLColumnItemType(const wchar_t* pszType, const wchar_t* pszCollation, eNA_ITEMTYPE* peType, unsigned* pnSize)
{
    if (pszType == nullptr)
        return;
    wchar_t szKeyword[24];
    const size_t nLength = nKeyword(pszType, szKeyword, sizeof szKeyword / sizeof szKeyword[0]);
    const uint64_t nSize = nDeclaredSize(pszType + nLength);
    if (bIs(szKeyword, L"time")) {
        *peType = NA_IT_HEURE;
        *pnSize = kTimeSize;
    } else if (bIs(szKeyword, L"bit") || bIs(szKeyword, L"binary")) {
        *peType = NA_IT_BINAIRE;
        *pnSize = static_cast<unsigned>((nSize >= 1 ? nSize : 1) + 2);
    } else if (bGeometry(szKeyword)) {
        *peType = NA_IT_MEMOBINAIRE;
        *pnSize = kMemoSize;
    } else if (*peType == NA_IT_UNICODE && *pnSize >= 2 && pszCollation != nullptr &&
               wcsncasecmp(pszCollation, L"utf8mb4", 7) == 0) {
        // The rule gave 2 (n + 1) bytes for n characters.
        *pnSize = 2 * *pnSize - 2;
    }
}

bool bMySQLYearType(const wchar_t* pszType)
{
    if (pszType == nullptr)
        return false;
    wchar_t szKeyword[8];
    nKeyword(pszType, szKeyword, sizeof szKeyword / sizeof szKeyword[0]);
    return bIs(szKeyword, L"year");
}
