#pragma once

// What the host says of how a query it runs is to be browsed, stood in for:
// the parse flags of the first read (slot 0) and the output column to browse
// by (slot 1), as a test writes them; how often each was asked is counted.
//
//     StandinQueryExecution execution(0x40, L"NAME");
#include <cstdint>
#include <string>

#include "native/access/host_query_execution.h"

class StandinQueryExecution final : public INAQueryExecution
{
public:
    StandinQueryExecution(uint32_t nFlags, std::wstring sItem) : m_nFlags(nFlags), m_sItem(std::move(sItem)) {}

    uint32_t nGetFlags() const override
    {
        ++m_nAsked;
        return m_nFlags;
    }
    const wchar_t* pszGetItemName() const override
    {
        ++m_nAsked;
        return m_sItem.c_str();
    }
    int nAsked() const { return m_nAsked; }

private:
    uint32_t m_nFlags;
    std::wstring m_sItem;
    mutable int m_nAsked = 0;
};
