// The readable dump of the current row that error reports carry: its
// identity, its null flags in binary and each column's value by name.
#include "common/text/xy_string.h"
#include "common/text/xy_string_concat.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "native/model/record_id.h"
#include "native/model/record_value.h"

void CNARecord::CurrentRecordToString(CXYStringConcat<wchar_t>* pclText)
{
    if (pclText == nullptr)
        return;
    pclText->Vide();
    static constexpr const wchar_t* kIdPrefix = L"<Record ID> : ";
    CNARecordId* pclId = m_pclCurrent != nullptr ? m_pclCurrent->pclGetRecordIDNoRef() : nullptr;
    if (pclId != nullptr) {
        CXYString<wchar_t> csId;
        pclId->RecordIdToString(&csId, kIdPrefix, 1);
        pclText->Add(csId.pszGet());
    } else {
        pclText->Add(kIdPrefix);
        pclText->Add(L"NULL");
    }
    pclText->Add(L"\r\n<NullValuesFlags (0=NULL)> :");
    const CNAQFRecord* pclBuffer = pclGetNAQFRecord();
    if (pclBuffer != nullptr) {
        const unsigned char* pbyFlags = pclBuffer->pbyGetNullValuesFlags();
        for (unsigned i = 0; i < pclBuffer->nGetFlagFieldSize(); ++i) {
            pclText->Add(L" ");
            pclText->AddNumberBinary(pbyFlags[i], 1);
        }
    }
    CXYStringConcat<wchar_t> clColumn;
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        CNAColumn* pclColumn = m_tabColumns[i];
        if (pclColumn->bIsComposedKey())
            break;
        (void)pclColumn->bCurrentValueToString(&clColumn, 1);
        pclText->Add(L"\r\n");
        pclText->Add(clColumn.pszGet(), clColumn.nGetLongueur());
    }
}
