#include "installer/memory_stream.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/x_error_module.h"

CMemoryStream::CMemoryStream()
{
    m_pclError = new _CXErrorModule32;
    m_pclError->dwAddRef();
}

CMemoryStream::~CMemoryStream()
{
    __DeleteMemory();
    std::free(m_pszName);
}

void CMemoryStream::__DeleteMemory()
{
    if (m_byMode & MSM_OWNS)
        std::free(m_pbyBlock);
    m_pbyBlock = m_pbyPosition = nullptr;
    m_dwSize = 0;
    m_byMode &= static_cast<uint8_t>(~MSM_OWNS);
}

bool CMemoryStream::_bResize(uint64_t n)
{
    if (n > UINT32_MAX)
        return false;
    const uint64_t at = static_cast<uint64_t>(oGetOffset());
    if (n == 0) {
        std::free(m_pbyBlock);
        m_pbyBlock = m_pbyPosition = nullptr;
        m_dwSize = 0;
        return true;
    }
    unsigned char* p = static_cast<unsigned char*>(std::realloc(m_pbyBlock, n));
    if (p == nullptr) {
        m_pclError->SetErrorNoMemory();
        return false;
    }
    if (n > m_dwSize)
        std::memset(p + m_dwSize, 0, n - m_dwSize);
    m_pbyBlock = p;
    m_pbyPosition = p + (at < n ? at : n);
    m_dwSize = static_cast<uint32_t>(n);
    return true;
}

bool CMemoryStream::bAssociate(unsigned char* pbyBlock, unsigned nSize)
{
    if (m_eState != MS_FREE)
        return false;
    __DeleteMemory();
    m_pbyBlock = m_pbyPosition = pbyBlock;
    m_dwSize = pbyBlock != nullptr ? nSize : 0;
    m_eState = MS_ASSOCIATED;
    return true;
}

bool CMemoryStream::bOpen(const wchar_t* pszName, eACCESS eAccess, eSHARE, eCREATE eCreate, eFLAG, int* pbCreated)
{
    if (pbCreated != nullptr)
        *pbCreated = 0;
    uint8_t access;
    switch (eAccess) {
    case XACCESS_READ:
        access = MSM_READ;
        break;
    case XACCESS_WRITE:
        access = MSM_WRITE;
        break;
    case XACCESS_READWRITE:
        access = MSM_READ | MSM_WRITE;
        break;
    default:
        return false;
    }
    if (eCreate == XCREATE_CREATE_ALWAYS) {
        if (bIsOpen())
            return false;
        if (m_eState == MS_ASSOCIATED)
            m_pbyBlock = m_pbyPosition = nullptr, m_dwSize = 0;  // the lent block is given back
        __DeleteMemory();
        m_byMode = access | MSM_OWNS;
        m_eState = MS_OPEN_OWN;
        if (pbCreated != nullptr)
            *pbCreated = 1;
    } else if (eCreate == XCREATE_EXISTING) {
        if (m_eState != MS_ASSOCIATED)
            return false;
        m_byMode = access | MSM_LENT;
        m_pbyPosition = m_pbyBlock;
        m_eState = MS_OPEN_LENT;
    } else {
        return false;
    }
    std::free(m_pszName);
    m_pszName = nullptr;
    if (pszName != nullptr) {
        const size_t n = std::wcslen(pszName);
        m_pszName = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
        if (m_pszName != nullptr)
            std::wmemcpy(m_pszName, pszName, n + 1);
    }
    return true;
}

void CMemoryStream::Close()
{
    m_eState = MS_FREE;
}

int CMemoryStream::veGetAccess()
{
    if (!bIsOpen())
        return -1;
    const uint8_t rw = m_byMode & (MSM_READ | MSM_WRITE);
    if (rw == (MSM_READ | MSM_WRITE))
        return 2;
    return rw == MSM_WRITE ? 1 : rw == MSM_READ ? 0 : -1;
}

bool CMemoryStream::bRead(void* pBuffer, unsigned nSize, unsigned* pnRead)
{
    if (pnRead != nullptr)
        *pnRead = 0;
    if (!bIsOpen() || !(m_byMode & MSM_READ) || (pBuffer == nullptr && nSize > 0))
        return false;
    const uint64_t at = static_cast<uint64_t>(oGetOffset());
    uint64_t n = nSize;
    if (at + n > m_dwSize) {
        if (pnRead == nullptr)
            return false;
        n = m_dwSize - at;
    }
    if (n > 0)
        std::memcpy(pBuffer, m_pbyPosition, n);
    m_pbyPosition += n;
    if (pnRead != nullptr)
        *pnRead = static_cast<unsigned>(n);
    return true;
}

bool CMemoryStream::bWrite(const void* pBuffer, unsigned nSize, unsigned* pnWritten)
{
    if (pnWritten != nullptr)
        *pnWritten = 0;
    if (!bIsOpen() || !(m_byMode & MSM_WRITE) || (pBuffer == nullptr && nSize > 0))
        return false;
    const uint64_t at = static_cast<uint64_t>(oGetOffset());
    uint64_t n = nSize;
    if (at + n > m_dwSize) {
        if (m_byMode & MSM_OWNS) {
            if (!_bResize(at + n))
                return false;
        } else if (pnWritten != nullptr) {
            n = m_dwSize - at;
        } else {
            return false;
        }
    }
    if (n > 0)
        std::memmove(m_pbyPosition, pBuffer, n);
    m_pbyPosition += n;
    if (pnWritten != nullptr)
        *pnWritten = static_cast<unsigned>(n);
    return true;
}

bool CMemoryStream::bSeek(int64_t oOffset, eSEEK eOrigin)
{
    if (!bIsOpen())
        return false;
    // In 64 bits with the offset clamped, so that no sum can wrap.
    const int64_t limit = int64_t{1} << 40;
    const int64_t offset = oOffset < -limit ? -limit : oOffset > limit ? limit : oOffset;
    int64_t target;
    switch (eOrigin) {
    case XSEEK_SET:
        target = offset;
        break;
    case XSEEK_CUR:
        target = oGetOffset() + offset;
        break;
    case XSEEK_END:
        target = offset <= 0 ? int64_t{m_dwSize} + offset : int64_t{m_dwSize} - offset;
        break;
    default:
        target = 0;
        break;
    }
    if (target < 0)
        return false;
    if (target > int64_t{m_dwSize}) {
        if (!(m_byMode & MSM_AUTOEXPAND) || !(m_byMode & MSM_OWNS) || !_bResize(static_cast<uint64_t>(target)))
            return false;
    }
    m_pbyPosition = m_pbyBlock + target;
    return true;
}

bool CMemoryStream::bSetAutoExpandMode(int bOn)
{
    if (m_eState != MS_OPEN_OWN)
        return false;
    if (bOn)
        m_byMode |= MSM_AUTOEXPAND;
    else
        m_byMode &= static_cast<uint8_t>(~MSM_AUTOEXPAND);
    return true;
}
