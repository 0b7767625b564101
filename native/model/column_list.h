#pragma once

// The comma-separated list of column names of an INSERT or of an index,
// built one column at a time: every column after the first is preceded by a
// comma, even a column whose name is empty, and every call counts one
// column.
//
// The list owns its text, a wide buffer kept terminated: its length and
// capacity are in characters (64-bit), the buffer one character larger than
// the capacity. The capacity grows to whole steps of 1,024 characters and
// never shrinks; emptying keeps the buffer. When memory runs out an addition
// changes nothing.
#include <cstdint>

#include "native/driver/na_forward.h"

class CColumnList
{
public:
    CColumnList() = default;
    CColumnList(const CColumnList&) = delete;
    CColumnList& operator=(const CColumnList&) = delete;
    ~CColumnList();

    // A comma when a column was added before, then the name unless null or
    // empty; the count grows by one. 0 (nothing changed) when memory runs
    // out.
    int AddColumn(const wchar_t* pszName);
    // Each column of the statement's current record that its command must
    // define, by its formatted name, in order; auto-increment columns only
    // with bWithAutoIncrement. 0 without statement or when memory runs out.
    int BuildColumnList(CNAStatement* pclStatement, int bWithAutoIncrement);
    // Length and count 0; the buffer stays.
    void Empty();

    // The text; empty, never null.
    const wchar_t* pszGet() const { return m_pszText != nullptr ? m_pszText : L""; }
    int64_t llGetLength() const { return m_llLength; }
    int64_t llGetCapacity() const { return m_llCapacity; }
    int nGetNbColumn() const { return m_nNbColumn; }

    static constexpr int64_t kGrowStep = 1024;

private:
    // Room for nNeeded characters; false (nothing changed) when the memory
    // cannot be had.
    bool _bReserve(int64_t nNeeded);
    void _Append(const wchar_t* psz, int64_t n);

    wchar_t* m_pszText = nullptr;
    int64_t m_llLength = 0;
    int64_t m_llCapacity = 0;
    int64_t m_llGrowStep = kGrowStep;
    int32_t m_nNbColumn = 0;
};
