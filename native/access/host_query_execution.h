#pragma once

// What the host says of how a query it runs is to be browsed: the parse
// flags of the first read and the output column to browse by (empty or null
// for the query's best item). The host owns it; the driver only asks, for
// the duration of the call that handed it over.
#include <cstdint>

class INAQueryExecution
{
public:
    virtual uint32_t nGetFlags() const = 0;                 // 0
    virtual const wchar_t* pszGetItemName() const = 0;      // 1

protected:
    INAQueryExecution() = default;
    ~INAQueryExecution() = default;
};

static_assert(sizeof(INAQueryExecution) == sizeof(void*));
