// The memo set of a row: copying entries and sets, and comparing sets.
#include "native/model/record_memo.h"

#include <algorithm>

CNARecordMemo::CNARecordMemo() : m_tabValues(1)
{
}

CNARecordMemo::~CNARecordMemo() = default;

int CNARecordMemo::bSetValue(int n, CNAConvertVariant* pclValue)
{
    if (n < 0)
        return 0;
    CNAConvertVariant* pclFormer = pclGetNoRef(n);
    if (n < nGetCount() && pclFormer == pclValue)
        return 1;
    CNAConvertVariant* const pclNull = nullptr;
    if (!m_tabValues.Etend(n, pclValue, pclNull))
        return 0;
    CNARefArray<CNAConvertVariant>::_AddRef(pclValue);
    CNARefArray<CNAConvertVariant>::_Release(pclFormer);
    return 1;
}

int CNARecordMemo::bCopyMemoValue(int n, const CNAConvertVariant* pclSource)
{
    if (n < 0)
        return 0;
    CNAConvertVariant* pclEntry = pclGetNoRef(n);
    if (pclEntry != nullptr)
        return pclEntry->bCopyVariant(pclSource);
    CNAConvertVariant* pclClone = nullptr;
    if (pclSource != nullptr) {
        pclClone = pclSource->pclGetCloneVariant();
        if (pclClone == nullptr)
            return 0;
    }
    if (!bSetValue(n, pclClone)) {
        delete pclClone;
        return 0;
    }
    return 1;
}

int CNARecordMemo::bCopyRecordMemo(const CNARecordMemo* pclSource)
{
    if (pclSource == this)
        return 1;
    const int nFormer = nGetCount();
    const int nSource = pclSource != nullptr ? pclSource->nGetCount() : 0;
    for (int i = 0; i < nSource; ++i) {
        if (!bCopyMemoValue(i, pclSource->pclGetNoRef(i)))
            return 0;
    }
    // Leftover entries stay in place as NULL values: a column's holder may
    // be shared with them.
    for (int i = nSource; i < nFormer; ++i) {
        if (CNAConvertVariant* pclEntry = pclGetNoRef(i))
            pclEntry->SetNull();
    }
    return 1;
}

int CNARecordMemo::g_bEqualsNARecordMemo(const CNARecordMemo* a, const CNARecordMemo* b)
{
    if (a == b)
        return 1;
    const int n = std::max(a != nullptr ? a->nGetCount() : 0, b != nullptr ? b->nGetCount() : 0);
    for (int i = 0; i < n; ++i) {
        const CNAConvertVariant* pclA = a != nullptr ? a->pclGetNoRef(i) : nullptr;
        const CNAConvertVariant* pclB = b != nullptr ? b->pclGetNoRef(i) : nullptr;
        if (!CNAConvertVariant::g_bEqualsNAVariant(pclA, pclB))
            return 0;
    }
    return 1;
}
