#pragma once

// The search the user asked for on a parse: the item, the value and whether
// it was exact, kept by the statement so that the found state of a record
// read can be judged against it. A value object embedded in its holder.
//
// It holds one external reference on its item and its own copy of the
// value.
#include <cstdint>

#include "common/text/any.h"
#include "native/driver/na_forward.h"

class CNARecord;

class CNAUserSearch
{
public:
    // Option flag: the search was generic (not exact).
    static constexpr uint32_t kGeneric = 1;

    // Empty value, options 0, no item.
    CNAUserSearch() = default;
    CNAUserSearch(const CNAUserSearch&) = delete;
    CNAUserSearch& operator=(const CNAUserSearch&) = delete;
    virtual ~CNAUserSearch();

    // Cancels the former search, keeps the item and a copy of the value
    // (unless it is the kept value itself) and the options.
    void SetUserSearch(INAItemDescription* piItem, const CAny* pclValue, uint32_t nOptions);
    // Item released, value emptied, options 0.
    void CancelUserSearch();
    // 1 without item; else whether the record's column of the item holds the
    // kept value (a generic search compares as a prefix).
    int bGetHTrouve(CNARecord* pclRecord) const;
    void Copy(const CNAUserSearch& other);

    INAItemDescription* piGetItemNoRef() const { return m_piItem; }
    const CAny* pclGetValueNoRef() const { return &m_clValue; }
    uint32_t nGetOptions() const { return m_nOptions; }

private:
    CAny m_clValue;
    uint32_t m_nOptions = 0;
    INAItemDescription* m_piItem = nullptr;
};
