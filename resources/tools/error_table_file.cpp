#include "resources/tools/error_table_file.h"

#include <fstream>
#include <sstream>

#include "resources/tools/message_file.h"

namespace {

bool bKnownLevel(int32_t level)
{
    return level == 1 || level == 2 || level == 3 || (level >= 0x10001 && level <= 0x10006) || level == 0x20001 ||
           level == 0x40000004 || level == 0x40000008;
}

}  // namespace

bool bReadErrorTable(const std::string& path, ErrorTable& table, std::vector<std::string>& errors)
{
    const size_t before = errors.size();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        errors.push_back(path + ": cannot be read");
        return false;
    }
    bool haveId = false;
    std::string line;
    unsigned lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = path + ":" + std::to_string(lineNo);
        const size_t hash = line.find('#');
        const std::string body = line.substr(0, line.find('"') < hash ? std::string::npos : hash);
        std::istringstream words(body);
        std::string first;
        if (!(words >> first))
            continue;
        if (first == "module-id") {
            long long id = -1;
            std::string rest;
            if (!(words >> id) || id < 0 || id > 0xFFFFFFFFll || (words >> rest)) {
                errors.push_back(where + ": module-id takes one number");
                continue;
            }
            table.dwModuleId = static_cast<uint32_t>(id);
            haveId = true;
            continue;
        }
        if (first == "module-file" || first == "module-version") {
            size_t pos = line.find('"');
            std::string text;
            std::string error;
            if (pos == std::string::npos || !bParseQuoted(line, pos, text, error) || text.empty()) {
                errors.push_back(where + ": " + first + " takes one non-empty quoted text");
                continue;
            }
            (first == "module-file" ? table.moduleFile : table.moduleVersion) = text;
            continue;
        }
        std::istringstream row(body);
        long long code, message, detail, level;
        std::string rest;
        if (!(row >> code >> message >> detail >> level) || (row >> rest) || code < 0 || code > 0xFFFFFFFFll ||
            message < 0 || message > 0xFFFFFFFFll || detail < 0 || detail > 0xFFFFFFFFll || level < 0 ||
            level > 0x7FFFFFFFll) {
            errors.push_back(where + ": a row is four numbers: code, message id, detail id, level");
            continue;
        }
        const _stErrorDef32 def = {static_cast<uint32_t>(code), static_cast<uint32_t>(message),
                                   static_cast<uint32_t>(detail), static_cast<int32_t>(level)};
        if (!bKnownLevel(def.nLevel)) {
            errors.push_back(where + ": unknown error level " + std::to_string(level));
            continue;
        }
        for (size_t i = 0; i < table.rows.size(); ++i) {
            const _stErrorDef32& other = table.rows[i];
            if (other.dwCode == def.dwCode &&
                (other.dwMessageId != def.dwMessageId || other.dwDetailId != def.dwDetailId ||
                 other.nLevel != def.nLevel)) {
                errors.push_back(where + ": code " + std::to_string(code) + " differs from its row at " +
                                 table.rowWhere[i]);
                break;
            }
        }
        table.rows.push_back(def);
        table.rowWhere.push_back(where);
    }
    if (!haveId)
        errors.push_back(path + ": module-id is missing");
    if (table.moduleFile.empty())
        errors.push_back(path + ": module-file is missing");
    if (table.moduleVersion.empty())
        errors.push_back(path + ": module-version is missing");
    if (table.rows.empty())
        errors.push_back(path + ": the table has no row");
    return errors.size() == before;
}
