#pragma once

// Builds the host's table of parameter values of an SQL text, as the driver
// reads it: the count at byte 20, the array of entry pointers at byte 40, and
// in each entry the value at byte 8, the placeholder's start and length at
// 64 and 68 and its flags at 72. Every byte the driver must not read is
// filled with a marker, so a reader that strays reads nonsense.
#include <memory>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "native/driver/host_tab_val_parser.h"

class StandinTabValParser
{
public:
    static constexpr unsigned char kHostByte = 0xA5;

    StandinTabValParser();
    StandinTabValParser(const StandinTabValParser&) = delete;
    StandinTabValParser& operator=(const StandinTabValParser&) = delete;
    ~StandinTabValParser();

    // Appends a parameter: the value is copied; start and length are in
    // characters of the SQL text.
    StandinTabValParser& Add(const CAny& value, int nStart, int nLength, unsigned dwFlags = 0);
    // Appends a column of a clause list (table may be null or empty).
    StandinTabValParser& AddItem(int nStart, int nLength, const wchar_t* pszTable, const wchar_t* pszItem);
    // The block handed to the driver; valid until the next Add.
    CTabValParser* pstGet() { return &m_block; }

private:
    CTabValParser m_block;
    std::vector<std::unique_ptr<CTabValParserEntry>> m_entries;
    std::vector<CTabValParserEntry*> m_pointers;
    struct Item
    {
        std::wstring table;
        std::wstring item;
        CTabValParserItem entry;
    };
    std::vector<std::unique_ptr<Item>> m_items;
    std::vector<CTabValParserItem*> m_itemPointers;
};
