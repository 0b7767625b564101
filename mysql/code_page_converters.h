#pragma once

// Texts carried between the driver's wide strings and a connection's code
// page (1252 or 65001) around client-library calls. Each converter lives on
// the stack of one operation and owns its converted text, a runtime string
// taken from the module's string allocator and given back when the
// converter ends.
//
// A converter never hands on a text that failed to convert: bFailed() says
// so, and the caller reports it instead of sending an empty or cut text.
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "common/text/xy_string.h"

class CNACodePageCnv
{
public:
    CNACodePageCnv() = default;
    CNACodePageCnv(const CNACodePageCnv&) = delete;
    CNACodePageCnv& operator=(const CNACodePageCnv&) = delete;
    virtual ~CNACodePageCnv() = default;
};

// Wide text into the code page, for the client library.
class CNACodePageCnvIN : public CNACodePageCnv
{
public:
    CNACodePageCnvIN(int nCodePage, const wchar_t* pszSource) : m_nCodePage(nCodePage), m_pszSource(pszSource)
    {
        if (pszSource == nullptr || pszSource[0] == 0) {
            m_llSourceLength = 0;
            return;
        }
        const size_t nLength = std::wcslen(pszSource);
        m_llSourceLength = static_cast<int64_t>(nLength);
        // Longer than a runtime string can hold: refused, never cut.
        m_bFailed = nLength > static_cast<size_t>(STRMEM_MAX_BYTES) ||
                    m_clConverted.__nConversion(pszSource, static_cast<int>(nLength), 0, nCodePage, 0, nullptr) != 0;
    }

    // Null for an absent source; the converted text, or the empty text.
    const char* pszGet() const { return m_pszSource == nullptr ? nullptr : m_clConverted.pszGet(); }
    // Bytes of the converted text.
    unsigned long nGetLength() const { return static_cast<unsigned long>(m_clConverted.nGetLongueur()); }
    bool bFailed() const { return m_bFailed; }
    int nGetCodePage() const { return m_nCodePage; }
    // Wide characters of the source; 0 for an absent or empty one.
    int64_t llGetSourceLength() const { return m_llSourceLength; }

private:
    int m_nCodePage;
    const wchar_t* m_pszSource;
    int64_t m_llSourceLength = -1;
    CXYString<char> m_clConverted;
    bool m_bFailed = false;
};

// Text of the code page into wide text.
class CNACodePageCnvOUT : public CNACodePageCnv
{
public:
    CNACodePageCnvOUT(int nCodePage, const char* pszSource, int64_t llLength)
        : m_nCodePage(nCodePage), m_pszSource(pszSource), m_llSourceLength(pszSource != nullptr ? llLength : 0)
    {
        if (pszSource == nullptr || llLength <= 0)
            return;
        m_bFailed = llLength > STRMEM_MAX_BYTES ||
                    m_clConverted.__nConversion(pszSource, static_cast<int>(llLength), 0, nCodePage, 0, nullptr) != 0;
    }

    // The wide text; the empty text for an absent or empty source.
    const wchar_t* pszGet() const { return m_clConverted.pszGet(); }
    bool bAbsent() const { return m_pszSource == nullptr; }
    bool bFailed() const { return m_bFailed; }
    int nGetCodePage() const { return m_nCodePage; }
    // Bytes of the source.
    int64_t llGetSourceLength() const { return m_llSourceLength; }

private:
    int m_nCodePage;
    const char* m_pszSource;
    int64_t m_llSourceLength;
    CXYString<wchar_t> m_clConverted;
    bool m_bFailed = false;
};

// Over a text the client library returned, measured up to its terminator.
class CNACodePageCnvOUTPtr : public CNACodePageCnvOUT
{
public:
    CNACodePageCnvOUTPtr(int nCodePage, const char* pszSource)
        : CNACodePageCnvOUT(nCodePage, pszSource, pszSource != nullptr ? static_cast<int64_t>(std::strlen(pszSource)) : 0)
    {
    }
};
