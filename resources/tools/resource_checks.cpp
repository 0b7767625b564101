#include "resources/tools/resource_checks.h"

#include <algorithm>
#include <map>

#include "common/system/resource_block.h"
#include "resources/tools/format_check.h"

void CheckMessages(const std::vector<ResMessage>& messages, std::vector<std::string>& errors)
{
    std::map<uint32_t, const ResMessage*> seen;
    for (const ResMessage& msg : messages) {
        const std::string where = msg.where + ": resource " + std::to_string(msg.dwId) + ": ";
        if (msg.dwId < RES_FIRST_ID || msg.dwId > RES_LAST_ID)
            errors.push_back(where + "ids lie between " + std::to_string(RES_FIRST_ID) + " and " +
                             std::to_string(RES_LAST_ID));
        auto [it, inserted] = seen.emplace(msg.dwId, &msg);
        if (!inserted)
            errors.push_back(where + "already defined at " + it->second->where);
        if (msg.text.empty())
            errors.push_back(where + "the text is empty");
        std::string fault = sCheckText(msg.text);
        if (fault.empty())
            fault = sCheckFormat(msg.text, msg.args);
        if (!fault.empty())
            errors.push_back(where + fault);
    }
}

void CheckTableIds(const ErrorTable& table, const std::vector<ResMessage>& messages, std::vector<std::string>& errors)
{
    for (size_t i = 0; i < table.rows.size(); ++i) {
        const uint32_t id = table.rows[i].dwMessageId;
        const bool found = std::any_of(messages.begin(), messages.end(),
                                       [id](const ResMessage& msg) { return msg.dwId == id; });
        if (!found)
            errors.push_back(table.rowWhere[i] + ": message " + std::to_string(id) + " of code " +
                             std::to_string(table.rows[i].dwCode) + " has no text");
    }
}
