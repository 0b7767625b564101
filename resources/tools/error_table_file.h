#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/system/error_table_def.h"

// A deliverable's error table (errors.tbl): the module identity, then one row
// per line in table order, four numbers: user error code, message resource
// id, detail id, level.
//
//   module-id 32
//   module-file "vxmysql.so"
//   module-version "20.0.10.0"
//   1 25624 1 3
struct ErrorTable
{
    uint32_t dwModuleId = 0;
    std::string moduleFile;     // UTF-8
    std::string moduleVersion;  // UTF-8
    std::vector<_stErrorDef32> rows;
    std::vector<std::string> rowWhere;  // file:line of each row
};

// Reads the table; faults go to `errors`. Also checks what holds for every
// table: the identity is complete, levels are known, and a code listed twice
// has identical rows (the first would win anyway).
bool bReadErrorTable(const std::string& path, ErrorTable& table, std::vector<std::string>& errors);
