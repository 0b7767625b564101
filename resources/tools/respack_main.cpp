// vxrespack: checks a deliverable's message texts and error table and
// generates its resource block, error table and text catalogue sources.
//
//   vxrespack --table errors.tbl --out-dir DIR --origin TEXT --messages a.msg b.msg ...
//
// Writes DIR/resource_block.cpp, DIR/error_table.cpp and
// DIR/resource_catalog.cpp; prints every fault and exits with 1 when there is
// any, writing nothing.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/system/resource_block.h"
#include "resources/tools/block_builder.h"
#include "resources/tools/error_table_file.h"
#include "resources/tools/message_file.h"
#include "resources/tools/resource_checks.h"
#include "resources/tools/source_writer.h"
#include "resources/tools/text_packer.h"

namespace {

int nUsage()
{
    std::fprintf(stderr,
                 "usage: vxrespack --table FILE --out-dir DIR [--origin TEXT] --messages FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string tablePath, outDir, origin = "the resource texts";
    std::vector<std::string> messageFiles;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--table" && i + 1 < argc) {
            tablePath = argv[++i];
        } else if (arg == "--out-dir" && i + 1 < argc) {
            outDir = argv[++i];
        } else if (arg == "--origin" && i + 1 < argc) {
            origin = argv[++i];
        } else if (arg == "--messages") {
            while (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0)
                messageFiles.push_back(argv[++i]);
        } else {
            return nUsage();
        }
    }
    if (tablePath.empty() || outDir.empty() || messageFiles.empty())
        return nUsage();

    std::vector<std::string> errors;
    std::vector<ResMessage> messages;
    for (const std::string& file : messageFiles)
        ReadMessageFile(file, messages, errors);
    ErrorTable table;
    bReadErrorTable(tablePath, table, errors);
    CheckMessages(messages, errors);
    CheckTableIds(table, messages, errors);

    std::sort(messages.begin(), messages.end(),
              [](const ResMessage& a, const ResMessage& b) { return a.dwId < b.dwId; });
    std::vector<PackedEntry> entries;
    for (const ResMessage& msg : messages) {
        PackedEntry entry;
        entry.dwId = msg.dwId;
        entry.nUsage = msg.nUsage;
        entry.text = msg.text;
        entry.packed = PackText(msg.text);
        if (entry.packed.size() > RES_MAX_ENTRY_LENGTH - RES_ENTRY_HEADER)
            errors.push_back(msg.where + ": resource " + std::to_string(msg.dwId) + ": packed into " +
                             std::to_string(entry.packed.size()) + " bytes, more than an entry holds");
        entries.push_back(std::move(entry));
    }
    if (!errors.empty()) {
        for (const std::string& error : errors)
            std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    const std::vector<unsigned char> block = BuildBlock(entries);
    if (block.size() > UINT32_MAX) {
        std::fprintf(stderr, "the block is larger than its index can address\n");
        return 1;
    }
    for (const std::string& fault : VerifyBlock(block, entries))
        errors.push_back("block: " + fault);
    if (!errors.empty()) {
        for (const std::string& error : errors)
            std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    std::string error;
    const uint32_t count = static_cast<uint32_t>(entries.size() + 2);
    if (!bWriteBlockSource(outDir + "/resource_block.cpp", origin, block, count, error) ||
        !bWriteTableSource(outDir + "/error_table.cpp", origin, table, error) ||
        !bWriteCatalogSource(outDir + "/resource_catalog.cpp", origin, messages, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
