// An execution statement's values as runtime values, through its conversion
// value, and its execution errors with the dump of the query that failed.
#include <algorithm>

#include "common/text/any.h"
#include "common/text/string_concat_aw.h"
#include "native/access/statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/column_sql.h"
#include "native/model/convert_variant.h"

namespace {

// The longest query a dump carries, in characters.
constexpr long kDumpedCharacters = 5000;
// The dump's line naming where the query ran.
constexpr unsigned kDumpWhereMessage = 28588;

// Bytes of the first nCharacters characters of a UTF-8 text of nBytes
// bytes: a cut never falls inside a character.
long nUtf8Prefix(const char* psz, long nBytes, long nCharacters)
{
    long nSeen = 0;
    for (long i = 0; i < nBytes; ++i) {
        // Each byte that is not a continuation byte starts a character.
        if ((static_cast<unsigned char>(psz[i]) & 0xC0) != 0x80) {
            if (nSeen == nCharacters)
                return i;
            ++nSeen;
        }
    }
    return nBytes;
}

const wchar_t* pszOrEmpty(const wchar_t* psz)
{
    return psz != nullptr ? psz : L"";
}

}  // namespace

CNAConvertVariant* CNAStatementSQL::_pclGetVariant()
{
    if (m_pclVariant != nullptr)
        return m_pclVariant;
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr)
        return nullptr;
    m_pclVariant = pclDriver->pclAllocVariant(m_pclError, m_pclConnection);
    if (m_pclVariant != nullptr)
        REF_AddRef(m_pclVariant);
    return m_pclVariant;
}

int CNAStatementSQL::_bGetValueAs(CAny* pclValue, unsigned short nType, unsigned nColumn, unsigned nFlags)
{
    CNAConvertVariant* pclVariant = _pclGetVariant();
    if (pclVariant == nullptr)
        return 0;
    pclVariant->InitTypeVariantAny(nType, 0);
    if (!bGetValue(pclVariant, nColumn, nFlags))
        return 0;
    return pclVariant->bGetValue(pclValue);
}

int CNAStatementSQL::bGetValue(CAny* pclValue, unsigned nColumn, unsigned nFlags)
{
    // Bytes (BLOBs, binary strings, bits) have no text: read as one in a
    // code page they would come out as another value, or none. The column
    // is looked up without raising: the read reports a column past the
    // result.
    const eNA_ITEMTYPE eType =
        nColumn < m_nColumnCount && m_tabColumns != nullptr ? m_tabColumns[nColumn].m_eItemType : NA_IT_EMPTY;
    const bool bBytes = eType == NA_IT_BINAIRE || eType == NA_IT_MEMOBINAIRE;
    return _bGetValueAs(pclValue, bBytes ? ZLTYPE_BIN : ZLTYPE_DSTRW, nColumn, nFlags);
}

int CNAStatementSQL::bGetBLOBValue(CAny* pclValue, unsigned nColumn, unsigned nFlags)
{
    return _bGetValueAs(pclValue, ZLTYPE_BIN, nColumn, nFlags);
}

eNA_ITEMTYPE CNAStatementSQL::_eGetColumnType(unsigned nColumn)
{
    const CNAColumnSQL* pclColumn = pclGetNAColumnSQL(static_cast<int>(nColumn));
    return pclColumn != nullptr ? pclColumn->m_eItemType : NA_IT_EMPTY;
}

int CNAStatementSQL::_bInitLastError(unsigned nFile, unsigned nSite)
{
    return m_pclConnection != nullptr ? m_pclConnection->bInitError(m_pclError, nFile, nSite) : 0;
}

void CNAStatementSQL::_InitExecuteError(unsigned nFile, unsigned nSite, const wchar_t* pszSQL, long nLength,
                                        unsigned nFlags)
{
    (void)_bInitLastError(nFile, nSite);
    _DumpQueryInError(pszSQL, nLength, nFlags);
}

void CNAStatementSQL::_DumpQueryInError(const wchar_t* pszSQL, long nLength, unsigned nFlags)
{
    if (m_pclConnection == nullptr)
        return;
    CTStringConcatAW clQuery(static_cast<unsigned>(m_pclConnection->nGetClientTextCodePage()),
                             static_cast<unsigned>(m_pclConnection->nGetRuntimeCodePage()));
    if (pszSQL != nullptr)
        clQuery.Add(pszSQL, std::min(nLength, kDumpedCharacters));
    _DumpQueryInError(&clQuery, nFlags);
}

void CNAStatementSQL::_DumpQueryInError(const char* pszSQL, long nLength, unsigned nFlags)
{
    if (m_pclConnection == nullptr)
        return;
    const int nCodePage = m_pclConnection->nGetClientTextCodePage();
    CTStringConcatAW clQuery(static_cast<unsigned>(nCodePage),
                             static_cast<unsigned>(m_pclConnection->nGetRuntimeCodePage()));
    if (pszSQL != nullptr && nLength > 0) {
        // UTF-8 counts its characters; the single-byte code pages have one
        // byte each.
        const long nBytes = nCodePage == 65001 ? nUtf8Prefix(pszSQL, nLength, kDumpedCharacters)
                                               : std::min(nLength, kDumpedCharacters);
        clQuery.Add(pszSQL, nBytes, static_cast<unsigned>(nCodePage));
    }
    _DumpQueryInError(&clQuery, nFlags);
}

void CNAStatementSQL::_DumpQueryInError(CTStringConcatAW* pclQuery, unsigned)
{
    if (m_pclError == nullptr || m_pclConnection == nullptr)
        return;
    m_pclError->AddDebugMessage(kDumpWhereMessage, pszOrEmpty(m_pclConnection->pszGetDataBase()),
                                pszOrEmpty(m_pclConnection->pszGetDefaultDataBaseEx()),
                                pszOrEmpty(m_pclConnection->pszGetUserName()));
    m_pclError->AddDebugMessageNoFormat(pclQuery->pszGetW());
}
