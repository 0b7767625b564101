#pragma once

// What the transaction tests read of a connection's chain of levels.
#include <vector>

#include "native/driver/connection_description.h"
#include "native/driver/transaction.h"

namespace vxtest {

// The levels' active flags, from the outermost; empty without a level.
inline std::vector<int> ActiveFlags(const CNAConnectionDescription& connection)
{
    std::vector<int> flags;
    for (const CNATransaction* pclLevel = connection.pclGetTransactionNoRef(); pclLevel != nullptr;
         pclLevel = pclLevel->pclGetInnerNoRef())
        flags.push_back(pclLevel->bActive());
    return flags;
}

}  // namespace vxtest
