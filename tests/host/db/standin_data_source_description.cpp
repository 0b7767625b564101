#include "tests/host/db/standin_data_source_description.h"


StandinItemDescription::StandinItemDescription(const StandinItemRow& row)
    : name(row.pszName != nullptr ? row.pszName : L""),
      eType(row.eType),
      nItemSize(row.nItemSize),
      nDimension(row.nDimension),
      nIntegerPart(row.nIntegerPart),
      nDecimalPart(row.nDecimalPart),
      wKeyFlags(row.wKeyFlags)
{
    SetVersion(9);
}

StandinDataSourceDescription::StandinDataSourceDescription(std::initializer_list<StandinItemRow> rows,
                                                           const wchar_t* pszName)
    : StandinDataSourceDescription(std::vector<StandinItemRow>(rows), pszName)
{
}

StandinDataSourceDescription::StandinDataSourceDescription(const std::vector<StandinItemRow>& rows,
                                                           const wchar_t* pszName)
    : name(pszName)
{
    SetVersion(6);
    for (const StandinItemRow& row : rows)
        m_items.push_back(std::make_unique<StandinItemDescription>(row));
    Layout();
}

void StandinDataSourceDescription::Layout()
{
    int nOffset = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        m_items[i]->nOffset = nOffset;
        m_items[i]->nPhysicalIndice = static_cast<int>(i);
        nOffset += m_items[i]->nGetTotalSize();
    }
    nDiskRecordSize = static_cast<unsigned>(nOffset);
    nFlagItems = static_cast<unsigned>(m_items.size());
}

bool StandinDataSourceDescription::bBalanced() const
{
    if (Refs().nBalance() != 0)
        return false;
    for (const auto& item : m_items) {
        if (item->Refs().nBalance() != 0)
            return false;
    }
    return true;
}

INAItemDescription* StandinDataSourceDescription::piNAGetItem(const wchar_t* pszName)
{
    for (const auto& item : m_items) {
        if (pszName != nullptr && item->name == pszName) {
            item->ExternalAddRef();
            return item.get();
        }
    }
    return nullptr;
}

INAItemDescription* StandinDataSourceDescription::piNAGetItem(unsigned nItem)
{
    if (nItem >= m_items.size())
        return nullptr;
    m_items[nItem]->ExternalAddRef();
    return m_items[nItem].get();
}
