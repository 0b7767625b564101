#include "native/driver/identifier_quoting.h"

#include <cwchar>

#include "common/text/str_compare.h"
#include "common/text/xy_string_concat.h"

namespace {

long nBoundedLength(const wchar_t* psz, long n)
{
    if (psz == nullptr || n <= 0)
        return 0;
    return static_cast<long>(wcsnlen(psz, static_cast<size_t>(n)));
}

long nLength(const wchar_t* psz)
{
    return psz != nullptr ? static_cast<long>(wcslen(psz)) : 0;
}

// The builder's text into the output; a builder that ran out of memory
// gives an empty name rather than a piece of one.
void Deliver(const CXYStringConcat<wchar_t>& clText, CTString* pcsOut)
{
    if (clText.bEchec())
        pcsOut->Vide();
    else
        pcsOut->Set(clText.pszGet(), static_cast<unsigned long>(clText.nGetLongueur()));
}

}  // namespace

CNAIdentifierQuoting::CNAIdentifierQuoting(const wchar_t* pszOpen, long nOpen, const wchar_t* pszClose, long nClose,
                                           int nDBKind)
    : m_pszOpen(pszOpen != nullptr ? pszOpen : L""),
      m_nOpen(nBoundedLength(pszOpen, nOpen)),
      m_pszClose(pszClose != nullptr ? pszClose : L""),
      m_nClose(nBoundedLength(pszClose, nClose)),
      m_nDBKind(nDBKind)
{
}

bool CNAIdentifierQuoting::_bStartsWith(const wchar_t* psz, long n, long at, const wchar_t* pszWhat,
                                        long nWhat) const
{
    return nWhat > 0 && at >= 0 && n - at >= nWhat && std::wmemcmp(psz + at, pszWhat, static_cast<size_t>(nWhat)) == 0;
}

long CNAIdentifierQuoting::_nQuotedEnd(const wchar_t* psz, long n, long at) const
{
    if (m_nClose == 0 || !_bStartsWith(psz, n, at, m_pszOpen, m_nOpen))
        return -1;
    long i = at + m_nOpen;
    while (i < n) {
        if (!_bStartsWith(psz, n, i, m_pszClose, m_nClose)) {
            ++i;
            continue;
        }
        if (!_bStartsWith(psz, n, i + m_nClose, m_pszClose, m_nClose))
            return i + m_nClose;
        i += 2 * m_nClose;
    }
    return -1;
}

bool CNAIdentifierQuoting::bQuotedIdentifier(const wchar_t* psz, long n) const
{
    if (psz == nullptr || m_nOpen == 0 || m_nClose == 0 || n <= m_nOpen + m_nClose)
        return false;
    return _nQuotedEnd(psz, n, 0) == n;
}

bool CNAIdentifierQuoting::bNeedQuotes(const wchar_t* pszName) const
{
    if (m_nOpen == 0 && m_nClose == 0)
        return false;
    if (m_nDBKind == 1)
        return s_bNeedFormat_Oracle(pszName);
    if (m_nOpen == 0)
        return true;
    return !bQuotedIdentifier(pszName, nLength(pszName));
}

void CNAIdentifierQuoting::Quote(const wchar_t* psz, long n, CTString* pcsOut) const
{
    CXYStringConcat<wchar_t> clText;
    clText.Add(m_pszOpen, m_nOpen);
    long nFrom = 0;
    for (long i = 0; i < n;) {
        if (_bStartsWith(psz, n, i, m_pszClose, m_nClose)) {
            // Up to and including the closing quote, then the quote again.
            clText.Add(psz + nFrom, i + m_nClose - nFrom);
            clText.Add(m_pszClose, m_nClose);
            i += m_nClose;
            nFrom = i;
        } else {
            ++i;
        }
    }
    clText.Add(psz + nFrom, n - nFrom);
    clText.Add(m_pszClose, m_nClose);
    Deliver(clText, pcsOut);
}

void CNAIdentifierQuoting::FormatItemName(const wchar_t* pszName, CTString* pcsOut) const
{
    if (!bNeedQuotes(pszName)) {
        pcsOut->Set(pszName);
        return;
    }
    Quote(pszName != nullptr ? pszName : L"", nLength(pszName), pcsOut);
}

void CNAIdentifierQuoting::FormatTableName(const wchar_t* pszName, CTString* pcsOut) const
{
    if (!bNeedQuotes(pszName)) {
        pcsOut->Set(pszName);
        return;
    }
    // The name may be the output's own text: the parts are read from a copy.
    const CTString csName(pszName);
    const wchar_t* psz = csName.pszGet();
    const long n = csName.nTaille();
    CXYStringConcat<wchar_t> clText;
    CTString csPart;
    long nStart = 0;
    for (;;) {
        long nEnd = _nQuotedEnd(psz, n, nStart);
        if (nEnd < 0)
            nEnd = nStart;
        while (nEnd < n && psz[nEnd] != L'.')
            ++nEnd;
        const CTString csSource(psz + nStart, nEnd - nStart);
        FormatItemName(csSource.pszGet(), &csPart);
        clText.Add(csPart.pszGet(), csPart.nTaille());
        if (nEnd >= n)
            break;
        clText.Add(L".", 1);
        nStart = nEnd + 1;
    }
    Deliver(clText, pcsOut);
}

void CNAIdentifierQuoting::UnFormatItemName(const wchar_t* pszName, CTString* pcsOut) const
{
    const long n = nLength(pszName);
    if (!bQuotedIdentifier(pszName, n)) {
        pcsOut->Set(pszName);
        return;
    }
    CXYStringConcat<wchar_t> clText;
    const long nBodyEnd = n - m_nClose;
    long nFrom = m_nOpen;
    for (long i = m_nOpen; i < nBodyEnd;) {
        if (_bStartsWith(pszName, nBodyEnd, i, m_pszClose, m_nClose)) {
            // A doubled closing quote: keep the first, skip the second.
            clText.Add(pszName + nFrom, i + m_nClose - nFrom);
            i += 2 * m_nClose;
            nFrom = i;
        } else {
            ++i;
        }
    }
    clText.Add(pszName + nFrom, nBodyEnd - nFrom);
    Deliver(clText, pcsOut);
}

bool CNAIdentifierQuoting::s_bNeedFormat_Oracle(const wchar_t* pszName)
{
    if (pszName == nullptr || pszName[0] == 0)
        return false;
    if (pszName[0] == L'[' || pszName[0] == L'"')
        return false;
    if (pszName[0] == L'_' || std::wcspbrk(pszName, L" \u00B0-") != nullptr)
        return true;
    return s_bReservedSQLWord(pszName);
}

bool CNAIdentifierQuoting::s_bReservedSQLWord(const wchar_t* pszName)
{
    return pszName != nullptr && STR_nUpCompareW(pszName, L"GROUP", 0) == 0;
}
