#pragma once

#include <string>
#include <vector>

#include "resources/tools/error_table_file.h"
#include "resources/tools/message_file.h"

// C++ sources generated for one deliverable. `origin` names the inputs in the
// generated header comment. Each returns false with `error` set when the
// file cannot be written.

// _pbyBufferRes32, _dwSizeBufferRes32, _nNbEntriesRes32 and the index
// storage _adwOffsetsRes32 (common/system/resource_block.h).
bool bWriteBlockSource(const std::string& path, const std::string& origin, const std::vector<unsigned char>& block,
                       uint32_t entries, std::string& error);

// gstErrorDef32 and the module identity (common/system/error_table_def.h),
// and the module descriptor gstMyModuleInfo32 (common/system/module_info.h).
bool bWriteTableSource(const std::string& path, const std::string& origin, const ErrorTable& table,
                       std::string& error);

// gstResourceCatalog32 (resources/resource_catalog.h): every text with its
// argument kinds, for the tests.
bool bWriteCatalogSource(const std::string& path, const std::string& origin, const std::vector<ResMessage>& messages,
                         std::string& error);

// A UTF-8 text as a C string literal body (octal escapes outside printable
// ASCII), and as a wide literal body (universal character names).
std::string sNarrowLiteral(const std::string& text);
std::string sWideLiteral(const std::string& text);
