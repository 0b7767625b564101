#include "common/text/string_concat_aw_map.h"

#include "common/system/code_page_conversion.h"
#include "common/system/native_code_pages.h"
#include "common/text/cp1252.h"

namespace {

inline bool bSuite(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

}  // namespace

bool CCarteMaitreA::s_bUnOctetParCar(unsigned nCodePage)
{
    return NativeCodePageOf(static_cast<int>(nCodePage)) == NativeCodePage::kCp1252;
}

// The rules of the library's UTF-8 decoder (native_code_pages.cpp): a lead of
// C2-DF, E0-EF or F0-F7 with its continuation bytes is a character unless
// overlong, a surrogate or above U+10FFFF; anything else is dropped over the
// bytes the decoder skips. A sequence cut by the end of the text, which fails
// the decoder's whole conversion, is dropped here.
long CCarteMaitreA::s_nPasUTF8(const unsigned char* s, long i, long n, int32_t* pCar)
{
    uint32_t c = s[i];
    *pCar = -1;
    if (c < 0x80) {
        *pCar = static_cast<int32_t>(c);
        return 1;
    }
    long cnt = 0;
    if (c >= 0xC2 && c < 0xE0) {
        cnt = 2;
        c &= 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        cnt = 3;
        c &= 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        cnt = 4;
        c &= 0x07;
    } else if (c >= 0xF8 && c <= 0xFD) {
        cnt = c < 0xFC ? 5 : 6;
    }
    if (cnt && i + cnt > n) {
        long k = 1;
        while (i + k < n && bSuite(s[i + k])) ++k;
        return k;
    }
    if (cnt == 0 || cnt > 4) {
        long k = 1;
        while (i + k < n && bSuite(s[i + k]) && k < 5) ++k;
        return k;
    }
    long k = 1;
    for (; k < cnt; ++k) {
        if (!bSuite(s[i + k]))
            break;
        c = (c << 6) | (s[i + k] & 0x3F);
    }
    if (k < cnt || (cnt > 2 && (c >> (5 * cnt - 4)) == 0) || (c >= 0xD800 && c <= 0xDFFF))
        return k;
    if (c <= 0x10FFFF)
        *pCar = static_cast<int32_t>(c);
    return cnt;
}

CCarteMaitreA::CCarteMaitreA(const char* a, long na, const wchar_t* w, long nw, unsigned nCodePage)
    : m_a(a), m_na(na), m_w(w), m_nw(nw), m_nCodePage(nCodePage), m_eMode(eMode::kOctet), m_nNbCar(na)
{
    if (s_bUnOctetParCar(nCodePage) || na == 0)
        return;
    if (nCodePage == CP_UTF8) {
        m_eMode = eMode::kUTF8;
        const auto* s = reinterpret_cast<const unsigned char*>(a);
        m_nNbCar = 0;
        for (long i = 0; i < na;) {
            int32_t c;
            i += s_nPasUTF8(s, i, na, &c);
            m_nNbCar += c >= 0;
        }
        return;
    }
    if (nw != na) {
        m_eMode = eMode::kGenerique;
        m_nNbCar = nw;
    }
}

long CCarteMaitreA::_nOctetsCar(long k) const
{
    if (m_eMode == eMode::kOctet)
        return 1;
    return WideCharToMultiByte(m_nCodePage, 0, m_w + k, 1, nullptr, 0, nullptr, nullptr);
}

uint32_t CCarteMaitreA::_dwCar(long k) const
{
    if (m_eMode == eMode::kOctet && m_nw != m_na)
        return STR_FromCP1252(static_cast<unsigned char>(m_a[k]));
    return static_cast<uint32_t>(m_w[k]);
}

long CCarteMaitreA::nOctet(long nCar) const
{
    if (nCar <= 0)
        return 0;
    if (nCar >= m_nNbCar)
        return m_na;
    switch (m_eMode) {
    case eMode::kOctet:
        return nCar;
    case eMode::kGenerique: {
        const long n = WideCharToMultiByte(m_nCodePage, 0, m_w, static_cast<int>(nCar), nullptr, 0, nullptr, nullptr);
        return n < m_na ? n : m_na;
    }
    case eMode::kUTF8:
        break;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(m_a);
    long k = 0, gap = 0;
    for (long i = 0; i < m_na;) {
        int32_t c;
        const long pas = s_nPasUTF8(s, i, m_na, &c);
        if (c >= 0) {
            if (k == nCar)
                return gap;
            ++k;
            gap = i + pas;
        }
        i += pas;
    }
    return m_na;
}

long CCarteMaitreA::nDebutCar(long nCar) const
{
    if (nCar < 0 || nCar >= m_nNbCar)
        return -1;
    if (m_eMode != eMode::kUTF8)
        return nOctet(nCar);
    const auto* s = reinterpret_cast<const unsigned char*>(m_a);
    long k = 0;
    for (long i = 0; i < m_na;) {
        int32_t c;
        const long pas = s_nPasUTF8(s, i, m_na, &c);
        if (c >= 0 && k++ == nCar)
            return i;
        i += pas;
    }
    return -1;
}

long CCarteMaitreA::nCar(long nOctet) const
{
    if (nOctet <= 0)
        return 0;
    if (nOctet >= m_na)
        return m_nNbCar;
    switch (m_eMode) {
    case eMode::kOctet:
        return nOctet;
    case eMode::kGenerique:
        return MultiByteToWideChar(m_nCodePage, 0, m_a, static_cast<int>(nOctet), nullptr, 0);
    case eMode::kUTF8:
        break;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(m_a);
    long k = 0;
    for (long i = 0; i < nOctet;) {
        int32_t c;
        const long pas = s_nPasUTF8(s, i, m_na, &c);
        k += c >= 0;
        i += pas;
    }
    return k;
}
