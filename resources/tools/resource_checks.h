#pragma once

#include <string>
#include <vector>

#include "resources/tools/error_table_file.h"
#include "resources/tools/message_file.h"

// Checks a deliverable's texts: ids unique and between 258 and 65534 (the
// markers keep 257 and 65535), texts non-empty, well-formed and fitting their
// declared arguments. Faults go to `errors`.
void CheckMessages(const std::vector<ResMessage>& messages, std::vector<std::string>& errors);

// Checks that every message id of the error table has a text.
void CheckTableIds(const ErrorTable& table, const std::vector<ResMessage>& messages, std::vector<std::string>& errors);
