// A value written as an SQL literal of the MySQL connection: its bytes in
// the connection's code page, escaped by the client library between single
// quotes.
//
// The escaping is the server's own rule for the open connection
// (mysql_real_escape_string follows its character set and SQL mode: under
// NO_BACKSLASH_ESCAPES a backslash is no escape and quotes are doubled);
// mysql_escape_string, which always escapes with backslashes, serves only a
// library without the other or a connection not yet open.
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/text/string_concat_aw.h"
#include "common/text/xy_string.h"
#include "common/text/zl_bin.h"
#include "mysql/client_call_guard.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "native/driver/error_object.h"

namespace {

constexpr int kCodePageUTF8 = 65001;

// Runtime type codes of the values that come as text.
bool bWideText(unsigned short nType)
{
    // 81 is one wide character: text as well, never its raw four bytes.
    return nType == 16 || nType == 110 || nType == 81;
}

bool b8BitText(unsigned short nType)
{
    // 17 is one 8-bit character.
    return nType == 17 || nType == 18 || nType == 19;
}

}  // namespace

int CMySQLConnection::_bEscapeString(CNAError* pclError, CTStringConcatAW* pclOut, unsigned short nType,
                                     unsigned char* pData, unsigned long nSize)
{
    if (nSize == 0 || pData == nullptr) {
        pclOut->Add(L"''", 2);
        return 1;
    }

    // The bytes to escape: pSource and nSource.
    const char* pSource = reinterpret_cast<const char*>(pData);
    uint64_t nSource = nSize;
    CXYString<char> clConverted;
    bool bConverted = true;
    if (bWideText(nType)) {
        // Characters up to the first NUL within size / 4; read through a
        // copy, the data need not be aligned for wide characters.
        const uint64_t nMax = nSize / sizeof(wchar_t);
        std::wstring sWide;
        for (uint64_t i = 0; i < nMax; ++i) {
            wchar_t c;
            std::memcpy(&c, pData + i * sizeof(wchar_t), sizeof c);
            if (c == 0)
                break;
            sWide.push_back(c);
        }
        nSource = 0;
        if (!sWide.empty()) {
            bConverted = sWide.size() <= static_cast<uint64_t>(STRMEM_MAX_BYTES) &&
                         clConverted.__nConversion(sWide.c_str(), static_cast<int>(sWide.size()), 0,
                                                   m_nClientTextCodePage, 0, nullptr) == 0;
            pSource = clConverted.pszGet();
            nSource = static_cast<uint64_t>(clConverted.nGetLongueur());
        }
    } else if (b8BitText(nType)) {
        const void* pZero = std::memchr(pData, 0, nSize);
        nSource = pZero != nullptr ? static_cast<uint64_t>(static_cast<const unsigned char*>(pZero) - pData) : nSize;
        if (m_nClientTextCodePage == kCodePageUTF8 && nSource > 0) {
            bConverted = nSource <= static_cast<uint64_t>(STRMEM_MAX_BYTES) &&
                         clConverted.nAffecteToUTF8(pSource, static_cast<int>(nSource), m_nRuntimeCodePage) == 0;
            pSource = clConverted.pszGet();
            nSource = static_cast<uint64_t>(clConverted.nGetLongueur());
        }
    }
    if (!bConverted) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kTextNotConverted, this, nullptr, nullptr);
        return 0;
    }

    // Quote, at most two bytes for each, quote and terminator.
    CZLBIN clBuffer;
    if (nSource > static_cast<uint64_t>((STRMEM_MAX_BYTES - 3) / 2) ||
        clBuffer.nSetSize(static_cast<int>(2 * nSource + 3)) != 0 || clBuffer.pbyGetBuffer() == nullptr) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kEscapeBufferMissing, this, nullptr, nullptr);
        return 0;
    }
    char* pBuffer = reinterpret_cast<char*>(clBuffer.pbyGetBuffer());
    pBuffer[0] = '\'';
    const bool bReal = m_bOpen != 0 && m_pMySQL != nullptr &&
                       __mysql_real_escape_string != &DefaultError_mysql_real_escape_string;
    unsigned long nEscaped = 0;
    if (!bClientCall(MySQLSite::kEscape, pclError, this, [&] {
            nEscaped = bReal ? __mysql_real_escape_string(m_pMySQL, pBuffer + 1, pSource, nSource)
                             : __mysql_escape_string(pBuffer + 1, pSource, nSource);
        }))
        return 0;
    // (unsigned long)-1: a library that refuses to escape for this
    // connection (some refuse under NO_BACKSLASH_ESCAPES).
    if (nEscaped > 2 * nSource) {
        unsigned nCode = 0;
        if (bGetLastError(pclError, &nCode) && nCode != 0)
            bInitError(pclError, NA_SRC_DB_CONNECTION, MySQLSite::kRecordEscapeError);
        else
            CNAError::g_RaiseSiteError(pclError, MySQLSite::kEscapeFailed, this, nullptr, nullptr, L"MySQL");
        return 0;
    }
    // Under NO_BACKSLASH_ESCAPES a NUL byte stays as it is in the literal,
    // and the statement's text would end there, inside the quotes: such a
    // value goes as a hex literal, which both modes read alike.
    if (std::memchr(pBuffer + 1, 0, nEscaped) != nullptr)
        return _bAddHexLiteral(pclError, pclOut, pSource, nSource);
    pBuffer[nEscaped + 1] = '\'';
    pBuffer[nEscaped + 2] = 0;
    pclOut->Add(pBuffer, static_cast<long>(nEscaped + 2), static_cast<unsigned>(m_nClientTextCodePage));
    return 1;
}

int CMySQLConnection::_bAddHexLiteral(CNAError* pclError, CTStringConcatAW* pclOut, const char* pSource,
                                      uint64_t nSource)
{
    // X, quote, two digits for each byte, quote and terminator.
    CZLBIN clBuffer;
    if (nSource > static_cast<uint64_t>((STRMEM_MAX_BYTES - 4) / 2) ||
        clBuffer.nSetSize(static_cast<int>(2 * nSource + 4)) != 0 || clBuffer.pbyGetBuffer() == nullptr) {
        CNAError::g_RaiseSiteError(pclError, MySQLSite::kEscapeBufferMissing, this, nullptr, nullptr);
        return 0;
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char* pBuffer = reinterpret_cast<char*>(clBuffer.pbyGetBuffer());
    pBuffer[0] = 'X';
    pBuffer[1] = '\'';
    for (uint64_t i = 0; i < nSource; ++i) {
        const auto c = static_cast<unsigned char>(pSource[i]);
        pBuffer[2 + 2 * i] = kDigits[c >> 4];
        pBuffer[3 + 2 * i] = kDigits[c & 15];
    }
    pBuffer[2 * nSource + 2] = '\'';
    pBuffer[2 * nSource + 3] = 0;
    pclOut->Add(pBuffer, static_cast<long>(2 * nSource + 3), static_cast<unsigned>(m_nClientTextCodePage));
    return 1;
}
