#pragma once

// Which of the host's calls that may throw are told to, shared by a parsed
// query stand-in and the objects it hands out. A call told to throw throws
// std::runtime_error, as a failing host module would throw through the
// driver.
#include <stdexcept>

namespace vxstandin {

enum : unsigned
{
    THROW_NONE = 0,
    // The item description behind an output item.
    THROW_ITEM_DESCRIPTION = 1,
    // The physical-name look-ups of the query and of its FROM tables.
    THROW_PHYSICAL_NAME = 2,
    // The query's enumeration of its output items.
    THROW_ENUM_RUBRIQUE = 4,
    // The query's description of a table.
    THROW_DATA_SOURCE = 8,
};

struct ThrowSwitch
{
    unsigned nMask = THROW_NONE;

    void Check(unsigned nCall) const
    {
        if ((nMask & nCall) != 0)
            throw std::runtime_error("host call told to fail");
    }
};

}  // namespace vxstandin
