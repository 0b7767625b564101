#include "installer/message_digest_base.h"

uint32_t CMessageDigestBase::AddRef()
{
    return ++m_dwRefCount;
}

uint32_t CMessageDigestBase::Release()
{
    // A release without any reference taken is the last one too; the count
    // never wraps around to keep a dead object alive.
    if (m_dwRefCount <= 1) {
        m_dwRefCount = 0;
        delete this;
        return 0;
    }
    return --m_dwRefCount;
}
