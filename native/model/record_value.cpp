// Row values: attaching, copying and releasing their four parts, and reading
// and comparing their values.
#include "native/model/record_value.h"

#include <new>

#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/qf_record.h"
#include "native/model/record_id.h"
#include "native/model/record_memo.h"
#include "native/model/variant_any.h"

CNARecordValue::CNARecordValue(CNAError* pclError) : m_pclError(pclError)
{
    if (m_pclError == nullptr && CNADriver::s_pclDriver != nullptr)
        m_pclError = CNADriver::s_pclDriver->pclAllocError();
    if (m_pclError != nullptr)
        m_pclError->AddRef();
}

CNARecordValue::~CNARecordValue()
{
    _FreeRecordID();
    _FreeTabMemoValue();
    _FreeNAQFRecord();
    if (m_pclError != nullptr)
        m_pclError->nRelease();
}

void CNARecordValue::_SetNoMemory(int nSite) const
{
    if (m_pclError != nullptr)
        m_pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_RECORD, nSite, nullptr, nullptr, nullptr);
}

// A kind-1 identity stands for the row's own buffer and memo set: it follows
// them whenever either is replaced, so that it never points at a part the
// row has let go.
void CNARecordValue::_FollowParts()
{
    if (m_pclRecordId != nullptr && m_pclRecordId->eGetRecordIdType() == NA_RECORDID_VALUES)
        (void)m_pclRecordId->bCopy(this, nullptr);
}

// --- Identity ---------------------------------------------------------------------

int CNARecordValue::bShareRecordID(CNARecordId* pclId)
{
    if (pclId != nullptr)
        pclId->dwAddRef();
    _FreeRecordID();
    m_pclRecordId = pclId;
    return 1;
}

int CNARecordValue::bCopyRecordID(const CNARecordId* pclId)
{
    if (pclId == nullptr) {
        _FreeRecordID();
        return 1;
    }
    // An identity of another kind cannot take the given one's content; it
    // is replaced by a clone of the given kind.
    if (m_pclRecordId != nullptr && m_pclRecordId->eGetRecordIdType() == pclId->eGetRecordIdType())
        return m_pclRecordId->bCopy(this, pclId);
    CNARecordId* pclClone = pclId->pclGetClone(this);
    if (pclClone == nullptr) {
        _SetNoMemory(NASite::kRowValueIdNoMemory);
        return 0;
    }
    return bShareRecordID(pclClone);
}

void CNARecordValue::_FreeRecordID()
{
    CNARecordId* pclId = m_pclRecordId;
    m_pclRecordId = nullptr;
    if (pclId != nullptr)
        pclId->dwRelease();
}

// --- Buffer -----------------------------------------------------------------------

int CNARecordValue::bCopyNAQFRecord(const CNAQFRecord* pclRecord)
{
    if (pclRecord == nullptr) {
        _FreeNAQFRecord();
        return 1;
    }
    if (m_pclRecord != nullptr) {
        m_pclRecord->Copy(pclRecord);
        return 1;
    }
    CNAQFRecord* pclClone = pclRecord->pclGetClone();
    if (pclClone == nullptr) {
        _SetNoMemory(NASite::kRowValueRecordNoMemory);
        return 0;
    }
    pclClone->AddRef();
    m_pclRecord = pclClone;
    _FollowParts();
    return 1;
}

void CNARecordValue::_FreeNAQFRecord()
{
    // A kind-1 identity points into the buffer.
    _FreeRecordID();
    CNAQFRecord* pclRecord = m_pclRecord;
    m_pclRecord = nullptr;
    if (pclRecord != nullptr)
        pclRecord->nRelease();
}

// --- Memo set ---------------------------------------------------------------------

int CNARecordValue::_bAllocTabMemoValue()
{
    CNARecordMemo* pclMemo = new (std::nothrow) CNARecordMemo;
    if (pclMemo == nullptr) {
        _SetNoMemory(NASite::kRowValueMemoSetNoMemory);
        return 0;
    }
    pclMemo->dwAddRef();
    _FreeTabMemoValue();
    m_pclMemo = pclMemo;
    _FollowParts();
    return 1;
}

int CNARecordValue::bCopyTabMemoValue(const CNARecordMemo* pclSource)
{
    const bool bSourceEntries = pclSource != nullptr && pclSource->nGetCount() > 0;
    if (!bSourceEntries && (m_pclMemo == nullptr || m_pclMemo->nGetCount() == 0)) {
        _FreeTabMemoValue();
        _FollowParts();
        return 1;
    }
    if (m_pclMemo == pclSource)
        return 1;
    if (m_pclMemo == nullptr && !_bAllocTabMemoValue())
        return 0;
    if (!m_pclMemo->bCopyRecordMemo(pclSource)) {
        _SetNoMemory(NASite::kRowValueMemoNoMemory);
        return 0;
    }
    return 1;
}

int CNARecordValue::bShareTabMemoValue(CNARecordMemo* pclMemo)
{
    if (pclMemo != nullptr && pclMemo->nGetCount() > 0)
        pclMemo->dwAddRef();
    else
        pclMemo = nullptr;
    _FreeTabMemoValue();
    m_pclMemo = pclMemo;
    _FollowParts();
    return 1;
}

int CNARecordValue::bShareMemoValue(int n, CNAConvertVariant* pclValue)
{
    if (n < 0)
        return 0;
    if (m_pclMemo == nullptr && !_bAllocTabMemoValue())
        return 0;
    if (!m_pclMemo->bSetValue(n, pclValue)) {
        _SetNoMemory(NASite::kRowValueMemoNoMemory);
        return 0;
    }
    return 1;
}

int CNARecordValue::bCopyMemoValue(int n, CNAConvertVariant* pclValue)
{
    if (n < 0)
        return 0;
    CNAConvertVariant* pclClone = nullptr;
    if (pclValue != nullptr) {
        pclClone = pclValue->pclGetCloneVariant();
        if (pclClone == nullptr) {
            _SetNoMemory(NASite::kRowValueMemoNoMemory);
            return 0;
        }
    }
    // The set's reference is the clone's only one.
    if (!bShareMemoValue(n, pclClone)) {
        delete pclClone;
        return 0;
    }
    return 1;
}

CNAConvertVariant* CNARecordValue::pclGetMemoValueNoRef(int n) const
{
    return m_pclMemo != nullptr ? m_pclMemo->pclGetNoRef(n) : nullptr;
}

CNAConvertVariant* CNARecordValue::pclGetMemoValue(int n) const
{
    CNAConvertVariant* pclValue = pclGetMemoValueNoRef(n);
    if (pclValue != nullptr)
        REF_AddRef(pclValue);
    return pclValue;
}

void CNARecordValue::_FreeTabMemoValue()
{
    CNARecordMemo* pclMemo = m_pclMemo;
    m_pclMemo = nullptr;
    if (pclMemo != nullptr)
        pclMemo->dwRelease();
}

// --- Values -----------------------------------------------------------------------

int CNARecordValue::bGetMemoValue(CAny* pclValue, int n) const
{
    if (pclValue == nullptr)
        return 0;
    const CNAConvertVariant* pclEntry = pclGetMemoValueNoRef(n);
    if (pclEntry == nullptr || !pclEntry->bGetValue(pclValue))
        NA_SetAnyNull(*pclValue);
    return 1;
}

int CNARecordValue::bGetItemValue(CAny* pclValue, INAItemDescription* piItem) const
{
    if (pclValue == nullptr)
        return 0;
    if (m_pclRecord != nullptr && piItem != nullptr && m_pclRecord->bItemValueDefined(piItem, 0))
        m_pclRecord->GetItemValue(pclValue, piItem, 0);
    else
        NA_SetAnyNull(*pclValue);
    return 1;
}

int CNARecordValue::bEquals(const CNARecordValue* pclOther, int bMemo) const
{
    if (pclOther == nullptr)
        return 0;
    const CNAQFRecord* pclA = m_pclRecord;
    const CNAQFRecord* pclB = pclOther->m_pclRecord;
    if (pclA != pclB && (pclA == nullptr || pclB == nullptr || !pclA->bEquals(pclB)))
        return 0;
    return bMemo ? CNARecordMemo::g_bEqualsNARecordMemo(m_pclMemo, pclOther->m_pclMemo) : 1;
}

// --- Whole rows -------------------------------------------------------------------

int CNARecordValue::bCopyRecordValue(const CNARecordValue* pclSource, eCOPYFLAGS eFlags)
{
    if (pclSource == nullptr)
        return 0;
    if (pclSource == this)
        return 1;
    m_eState = pclSource->m_eState;
    const unsigned dwFlags = static_cast<unsigned>(eFlags);
    if ((dwFlags & COPY_RECORD) != 0 && !bCopyNAQFRecord(pclSource->m_pclRecord))
        return 0;
    if ((dwFlags & COPY_MEMO) != 0 && !bCopyTabMemoValue(pclSource->m_pclMemo))
        return 0;
    if ((dwFlags & COPY_RECORDID) != 0 && !bCopyRecordID(pclSource->m_pclRecordId))
        return 0;
    return 1;
}

CNARecordValue* CNARecordValue::pclGetClone(eCOPYFLAGS eFlags) const
{
    CNARecordValue* pclClone = new (std::nothrow) CNARecordValue(m_pclError);
    if (pclClone == nullptr) {
        _SetNoMemory(NASite::kRowValueCloneNoMemory);
        return nullptr;
    }
    if (!pclClone->bCopyRecordValue(this, eFlags)) {
        delete pclClone;
        return nullptr;
    }
    return pclClone;
}
