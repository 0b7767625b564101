#include "tests/host/db/standin_tab_val_parser.h"

#include <cstring>

StandinTabValParser::StandinTabValParser()
{
    std::memset(m_block.abyHost1, kHostByte, sizeof m_block.abyHost1);
    std::memset(m_block.abyHost2, kHostByte, sizeof m_block.abyHost2);
    m_block.nNbParam = 0;
    m_block.ppEntries = nullptr;
    m_block.nNbItem = 0;
    m_block.ppItems = nullptr;
}

StandinTabValParser::~StandinTabValParser() = default;

StandinTabValParser& StandinTabValParser::Add(const CAny& value, int nStart, int nLength, unsigned dwFlags)
{
    auto entry = std::make_unique<CTabValParserEntry>();
    std::memset(entry->abyHost, kHostByte, sizeof entry->abyHost);
    entry->clValue = value;
    entry->nStart = nStart;
    entry->nLength = nLength;
    entry->dwFlags = dwFlags;
    m_pointers.push_back(entry.get());
    m_entries.push_back(std::move(entry));
    m_block.nNbParam = static_cast<uint32_t>(m_pointers.size());
    m_block.ppEntries = m_pointers.data();
    return *this;
}

StandinTabValParser& StandinTabValParser::AddItem(int nStart, int nLength, const wchar_t* pszTable, const wchar_t* pszItem)
{
    auto item = std::make_unique<Item>();
    item->table = pszTable != nullptr ? pszTable : L"";
    item->item = pszItem != nullptr ? pszItem : L"";
    item->entry = CTabValParserItem{nStart, nLength, nullptr, nullptr};
    m_items.push_back(std::move(item));
    // The texts are pointed at once every item has its place.
    m_itemPointers.clear();
    for (const auto& p : m_items) {
        p->entry.pszTable = p->table.c_str();
        p->entry.pszItem = p->item.c_str();
        m_itemPointers.push_back(&p->entry);
    }
    m_block.nNbItem = static_cast<uint32_t>(m_itemPointers.size());
    m_block.ppItems = m_itemPointers.data();
    return *this;
}
