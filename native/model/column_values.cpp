// The column's value: reading it from the current and original rows,
// writing it, memos attached from and extracted to files, and whether it is
// defined and modified since it was read.
#include <cstring>

#include "common/text/any.h"
#include "common/text/any_calcul.h"
#include "native/model/column.h"
#include "native/model/convert_variant.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "native/model/variant_any.h"

void CNAColumn::_NullValue(CAny* pclValue) const
{
    pclValue->__SetType(eGetZLType(), 0);
    pclValue->SetNull();
}

int CNAColumn::_bDefinedIn(const CNAQFRecord* pclBuffer, unsigned nFlags) const
{
    return pclBuffer != nullptr && pclBuffer->bItemValueDefined(m_piItem, nFlags);
}

int CNAColumn::_bReadFrom(const CNAQFRecord* pclBuffer, CAny* pclValue, unsigned nFlags) const
{
    if (pclValue == nullptr)
        return 0;
    if (!_bDefinedIn(pclBuffer, nFlags)) {
        _NullValue(pclValue);
        return 1;
    }
    pclBuffer->GetItemValue(pclValue, m_piItem, static_cast<int>(nFlags));
    return 1;
}

int CNAColumn::bGetCurrentValue(CAny* pclValue, unsigned nFlags)
{
    if (pclValue == nullptr)
        return 0;
    if (bIsMemo()) {
        CNAConvertVariant* pclMemo = pclGetNAValue();
        if (pclMemo == nullptr) {
            pclValue->SetNull();
            return 1;
        }
        if (m_csMemoFile.nTaille() > 0 && pclMemo->pclGetValue()->bIsNull() &&
            !pclMemo->bLoadFile(m_csMemoFile.pszGet(), m_pclError, 1))
            return 0;
        if (!pclMemo->bGetValue(pclValue))
            pclValue->SetNull();
        return 1;
    }
    if (bIsComposedKey())
        return _bGetComposedKeyValue(pclValue);
    return _bReadFrom(_pclCurrentBuffer(), pclValue, nFlags);
}

int CNAColumn::bGetOriginalValue(CAny* pclValue, unsigned nFlags)
{
    return _bReadFrom(_pclOriginalBuffer(), pclValue, nFlags);
}

int CNAColumn::bGetBLOB(CAny* pclValue)
{
    return bGetCurrentValue(pclValue, 0);
}

int CNAColumn::bGetCacheValue(CAny* pclValue, unsigned nFlags)
{
    return bGetCurrentValue(pclValue, nFlags);
}

int CNAColumn::bNull()
{
    CAny clValue;
    return bGetCurrentValue(&clValue, 0) && clValue.bIsNull();
}

int CNAColumn::bSetValue(const CAny* pclValue, unsigned nFlags)
{
    if (pclValue == nullptr)
        return 0;
    CNAConvertVariant* pclHolder = pclGetNAValue();
    if (bIsMemo()) {
        if (pclHolder == nullptr)
            return 0;
        SetNotModified();
        const int bResult = pclHolder->bSetValue(pclValue);
        if (bResult)
            _SetItemValueDefinedInQFRecord(!pclHolder->pclGetValue()->bIsNull(), nFlags);
        return bResult;
    }
    CNAQFRecord* pclBuffer = _pclCurrentBuffer();
    if (pclBuffer == nullptr)
        return 0;
    pclBuffer->SetItemValue(m_piItem, pclValue, nFlags);
    if (pclHolder != nullptr) {
        if (pclBuffer->bItemValueDefined(m_piItem, nFlags))
            pclHolder->SetNotNull();
        else
            pclHolder->SetNull();
    }
    return 1;
}

int CNAColumn::bSetValueNULL()
{
    CAny clNull;
    _NullValue(&clNull);
    return bSetValue(&clNull, 0);
}

int CNAColumn::bSetValueToDB(const CAny* pclValue, unsigned nFlags)
{
    if (bIsMemo())
        return _bSetValueMemoToDB(pclValue, nFlags);
    CNAConvertVariant* pclHolder = pclGetNAValue();
    return pclHolder != nullptr && pclValue != nullptr ? pclHolder->bSetValue(pclValue) : 0;
}

int CNAColumn::_bSetValueMemoToDB(const CAny* pclValue, unsigned nFlags)
{
    CNAConvertVariant* pclHolder = pclGetNAValue();
    if (pclHolder == nullptr || pclValue == nullptr)
        return 0;
    const bool bNullForMemo =
        pclValue->bIsNull() || (bIsNullableOnDataBase() && NA_nGetAnyUtilSize(*pclValue) == 0);
    if (!bNullForMemo && !_bDefinedIn(_pclCurrentBuffer(), nFlags))
        _SetItemValueDefinedInQFRecord(1, nFlags);
    m_csMemoFile.Vide();
    if (pclHolder->eGetVarType() == NA_VT_ANY_UNREAD) {
        m_bModified = 1;
        return pclHolder->bSetValue(pclValue);
    }
    if (!_bDefinedIn(_pclOriginalBuffer(), nFlags) && bNullForMemo) {
        pclHolder->SetNull();
        m_bModified = 0;
        return 1;
    }
    if (!m_bModified) {
        const CAny* pclCurrent = pclHolder->pclGetValue();
        if (pclCurrent->bIsNull()) {
            m_bModified = !bNullForMemo;
        } else {
            // The runtime's inequality; a test that fails (a NULL operand
            // among others) counts as a change, so the value is stored.
            int bDifferent = 0;
            m_bModified = nDifferent(*pclCurrent, *pclValue, &bDifferent, 0) != 0 || bDifferent != 0;
        }
        if (!m_bModified)
            return 1;
    }
    return pclHolder->bSetValue(pclValue);
}

int CNAColumn::bValueModified()
{
    if (bIsComposedKey()) {
        const int nCount = m_piItem->nGetNumComponents();
        for (int n = 1; n <= nCount; ++n) {
            CNAColumn* pclComponent = _pclComponentColumn(n);
            if (pclComponent != nullptr && pclComponent->bValueModified())
                return 1;
        }
        return 0;
    }
    if (bIsMemo())
        return m_bModified;
    if ((bValueDefined(0) != 0) != (bOriginalValueDefined() != 0))
        return 1;
    const CNAQFRecord* pclCurrent = _pclCurrentBuffer();
    const CNAQFRecord* pclOriginal = _pclOriginalBuffer();
    const unsigned char* pbyCurrent = pclCurrent != nullptr ? pclCurrent->pbyGetItemValue(m_piItem, -1) : nullptr;
    const unsigned char* pbyOriginal = pclOriginal != nullptr ? pclOriginal->pbyGetItemValue(m_piItem, -1) : nullptr;
    if (pbyCurrent == nullptr || pbyOriginal == nullptr)
        return pbyCurrent != pbyOriginal;
    const int nSize = m_piItem->nGetTotalSize();
    return nSize > 0 && std::memcmp(pbyCurrent, pbyOriginal, static_cast<size_t>(nSize)) != 0;
}

int CNAColumn::bValueDefined(unsigned nFlags)
{
    if (bIsComposedKey()) {
        const int nCount = m_piItem->nGetNumComponents();
        for (int n = 1; n <= nCount; ++n) {
            CNAColumn* pclComponent = _pclComponentColumn(n);
            if (pclComponent != nullptr && pclComponent->bValueDefined(nFlags))
                return 1;
        }
        return 0;
    }
    if (bIsMemo()) {
        if (m_csMemoFile.nTaille() > 0)
            return 1;
        return m_pclValue != nullptr && !m_pclValue->pclGetValue()->bIsNull();
    }
    return bPlainValueDefined();
}

int CNAColumn::bOriginalValueDefined()
{
    return _bDefinedIn(_pclOriginalBuffer(), 0);
}

int CNAColumn::bCheckAndCorrectQFRecordValues(unsigned nFlags)
{
    if (bIsComposedKey())
        return 1;
    if (bIsMemo()) {
        // An attached file is the memo's value even though the row does not
        // mark it yet: it is marked now rather than replaced by NULL.
        if (!_bDefinedIn(_pclCurrentBuffer(), nFlags) && m_csMemoFile.nTaille() == 0) {
            CAny clNull;
            _NullValue(&clNull);
            (void)_bSetValueMemoToDB(&clNull, nFlags);
        } else {
            _SetItemValueDefinedInQFRecord(1, nFlags);
        }
        return 1;
    }
    if (!bValueDefined(nFlags)) {
        CAny clNull;
        _NullValue(&clNull);
        (void)bSetValue(&clNull, nFlags);
    } else if (m_pclValue != nullptr && m_pclValue->eGetVarType() == NA_VT_RECORD) {
        m_pclValue->SetNotNull();
    }
    return 1;
}

int CNAColumn::bSetValueFromDB(CNAStatement*, unsigned)
{
    return 0;
}

int CNAColumn::bHAttacheMemo(const wchar_t* pszPath)
{
    m_csMemoFile.Set(pszPath);
    if (m_pclValue != nullptr)
        m_pclValue->SetNull();
    m_bModified = 1;
    return 1;
}

int CNAColumn::bHExtraitMemo(const wchar_t* pszPath)
{
    CAny clValue;
    if (!bGetCurrentValue(&clValue, 0))
        return 0;
    // A NULL value writes an empty file.
    if (clValue.bIsNull())
        clValue.SetBIN(nullptr, 0);
    return CNAVariant::gbStoreFile(&clValue, pszPath, m_pclError);
}

int CNAColumn::bMustDefine(unsigned nFlags)
{
    if (bIsComposedKey())
        return 0;
    if (!bIsMemo())
        return 1;
    return (nFlags & 2u) != 0;
}

int CNAColumn::bMustBind(unsigned nFlags)
{
    if (eGetTypeColonne() != 0 || bIsComposedKey())
        return 0;
    if (bIsMemo())
        return (nFlags & 1u) != 0;
    return 1;
}

int CNAColumn::bRestaureOriginalValue(CNAConvertVariant* pclOriginal)
{
    SetNotModified();
    if (m_pclValue == nullptr)
        return 1;
    if (pclOriginal != nullptr)
        (void)m_pclValue->bCopyVariant(pclOriginal);
    else
        m_pclValue->SetNull();
    return 1;
}

void CNAColumn::SetNotModified()
{
    m_csMemoFile.Vide();
    m_bModified = 0;
}

void CNAColumn::SetValueIsUnreadYet()
{
    if (m_pclValue != nullptr)
        m_pclValue->SetUnreadYet();
    if (bIsMemo())
        SetNotModified();
    _SetItemValueDefinedInQFRecord(1, 0);
}

void CNAColumn::_SetItemValueDefinedInQFRecord(int bDefined, unsigned nFlags)
{
    CNAQFRecord* pclBuffer = _pclCurrentBuffer();
    if (pclBuffer != nullptr)
        pclBuffer->SetItemValueDefined(m_piItem, bDefined, nFlags);
}

int CNAColumn::_bShareCurrentRecordMemoValue(CNARecord* pclRecord)
{
    if (!bIsMemo() || pclRecord == nullptr)
        return 1;
    return pclRecord->bShareCurrentRecordMemoValue(this);
}

int CNAColumn::bConvertDataToDB()
{
    if (m_pclValue == nullptr)
        return 0;
    if (m_pclValue->eGetVarType() == NA_VT_RECORD) {
        if (!bValueDefined(0))
            m_pclValue->SetNull();
        else
            m_pclValue->SetNotNull();
    }
    return m_pclValue->bConvertDataToDB();
}
