#include "tests/host/db/standin_tab_val_parser.h"

#include <cstring>

StandinTabValParser::StandinTabValParser()
{
    std::memset(m_block.abyHost1, kHostByte, sizeof m_block.abyHost1);
    std::memset(m_block.abyHost2, kHostByte, sizeof m_block.abyHost2);
    m_block.nNbParam = 0;
    m_block.ppEntries = nullptr;
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
