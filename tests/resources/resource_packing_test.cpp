#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/system/data_compressor.h"
#include "resources/tools/error_table_file.h"
#include "resources/tools/format_check.h"
#include "resources/tools/message_file.h"
#include "resources/tools/resource_checks.h"
#include "resources/tools/text_packer.h"

namespace {

// Packs and unpacks as the module reads its block: a scratch buffer of 1.5
// times the packed length plus 2, where truncation counts as failure.
void ExpectRoundTrip(const std::string& text, const std::string& name)
{
    const std::vector<unsigned char> packed = PackText(text);
    std::vector<unsigned char> out(packed.size() * 3 / 2 + 2);
    int capacity = static_cast<int>(out.size());
    CDataCompressor unpacker;
    ASSERT_EQ(CDataCompressor::nOk,
              unpacker.nDeCompress(out.data(), &capacity, packed.data(), static_cast<int>(packed.size())))
        << name;
    ASSERT_EQ(text.size(), static_cast<size_t>(capacity)) << name;
    EXPECT_EQ(text, std::string(out.begin(), out.begin() + capacity)) << name;
}

TEST(TextPacker, RoundTripsEveryKindOfByte)
{
    std::vector<std::pair<std::string, std::string>> texts;
    const std::string lower = "abcdefghijklmnop";
    for (size_t n = 0; n <= 8; ++n)
        texts.push_back({"prefix " + std::to_string(n), lower.substr(0, n)});
    std::string all, reversed;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
        reversed = static_cast<char>(b) + reversed;
    }
    texts.push_back({"all bytes", all});
    texts.push_back({"all bytes reversed", reversed});
    texts.push_back({"long raw run", std::string(600, '\x01') + "a"});
    texts.push_back({"unreachable set-3 bytes", "\xFE\xFF\xFE a \xFF"});
    texts.push_back({"sets in turn", "aA1@aA1@@@[]{}zZ9~\t\r\n"});
    texts.push_back({"French", "Impossible d'ouvrir le fichier <%s> : accès refusé, « ça » déjà vu, Œuvre §"});
    // Deterministic noise over all bytes, weighted towards the sets.
    uint32_t seed = 12345;
    for (int i = 0; i < 300; ++i) {
        std::string text;
        const int length = static_cast<int>(seed % 200);
        for (int k = 0; k < length; ++k) {
            seed = seed * 1103515245u + 12345u;
            const unsigned pick = (seed >> 16) & 0x3FF;
            text += static_cast<char>(pick < 512 ? 'a' + pick % 26 : pick & 0xFF);
        }
        seed = seed * 1103515245u + 12345u;
        texts.push_back({"noise " + std::to_string(i), text});
    }
    for (const auto& [name, text] : texts)
        ExpectRoundTrip(text, name);
}

TEST(TextPacker, ThreeCharactersOfTheActiveSetTakeTwoBytes)
{
    EXPECT_EQ(10u, PackText("abcdefghijklmno").size());
    EXPECT_EQ(11u, PackText("abcdefghijklmnop").size());  // the 16th alone takes one byte
}

TEST(FormatCheck, AcceptsOnlyPlainConversionsMatchingTheArguments)
{
    struct Case { const char* text; std::vector<std::string> args; bool ok; };
    const Case cases[] = {
        {"none", {}, true},
        {"100%% sûr", {}, true},
        {"%s, %S, %hs", {"s", "S", "hs"}, true},
        {"%S", {"hs"}, true},
        {"%d %u %x %X %lld %llu %p %f", {"d", "u", "x", "X", "lld", "llu", "p", "f"}, true},
        {"%02d:%04X %.6f %-5u", {"d", "x", "f", "u"}, true},
        {"%s", {}, false},
        {"plain", {"s"}, false},
        {"%d %s", {"s", "d"}, false},
        {"%d", {"lld"}, false},
        {"%5s", {"s"}, false},
        {"%-s", {"s"}, false},
        {"%.3s", {"s"}, false},
        {"%ls", {"s"}, false},
        {"%ld", {"d"}, false},
        {"%i", {"d"}, false},
        {"%c", {"d"}, false},
        {"%*d", {"d", "d"}, false},
        {"%1$s", {"s"}, false},
        {"%n", {}, false},
        {"ends with %", {}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ok, sCheckFormat(c.text, c.args).empty()) << c.text << ": " << sCheckFormat(c.text, c.args);

    EXPECT_TRUE(sCheckText("tab\tline\r\nélan ÿ € 𝄞").empty());
    for (const char* bad : {"\x01", "a\x7F", "\xC3", "\xC3(", "\xC0\xAF", "\xED\xA0\x80", "\xF5\x80\x80\x80", "\x80"})
        EXPECT_FALSE(sCheckText(bad).empty()) << bad;
}

class ResourceFiles : public ::testing::Test
{
protected:
    std::string Write(const std::string& name, const std::string& content)
    {
        const std::string path = ::testing::TempDir() + name;
        std::ofstream(path, std::ios::binary) << content;
        m_paths.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (const std::string& path : m_paths)
            std::remove(path.c_str());
    }
    std::vector<std::string> m_paths;
};

TEST_F(ResourceFiles, ReadsMessagesAndReportsFaultyLines)
{
    const std::string path = Write("messages.msg",
                                   "# comment\n"
                                   "300 () \"Plain.\"  # trailing comment\n"
                                   "301 usage=2 (s, lld) \"Name <%s> at %lld\"\n"
                                   "    \" and \\\"more\\\"\\r\\n\"\n"
                                   "302 (s) \"Trailing blank \"\r\n"
                                   "\n"
                                   "303 (q) \"unknown kind\"\n"
                                   "304 () \"bad \\x escape\"\n"
                                   "305 () \"unclosed\n"
                                   " 306 () \"indented id\"\n"
                                   "307 usage=4 () \"usage out of range\"\n"
                                   "308 () \"text\" junk\n"
                                   "\"continuation at column 0\"\n");
    std::vector<ResMessage> messages;
    std::vector<std::string> errors;
    ReadMessageFile(path, messages, errors);
    ASSERT_EQ(3u, messages.size());
    EXPECT_EQ(300u, messages[0].dwId);
    EXPECT_EQ("Plain.", messages[0].text);
    EXPECT_TRUE(messages[0].args.empty());
    EXPECT_EQ(2u, messages[1].nUsage);
    EXPECT_EQ((std::vector<std::string>{"s", "lld"}), messages[1].args);
    EXPECT_EQ("Name <%s> at %lld and \"more\"\r\n", messages[1].text);
    EXPECT_EQ("Trailing blank ", messages[2].text);
    EXPECT_EQ(path + ":5", messages[2].where);
    ASSERT_EQ(7u, errors.size());
    for (const std::string& error : errors)
        EXPECT_EQ(0u, error.rfind(path + ":", 0)) << error;
}

TEST(ResourceChecks, ReportsIdsTextsAndMissingTableMessages)
{
    auto msg = [](uint32_t id, std::vector<std::string> args, std::string text) {
        ResMessage m;
        m.dwId = id;
        m.args = std::move(args);
        m.text = std::move(text);
        m.where = "f:" + std::to_string(id);
        return m;
    };
    const std::vector<ResMessage> good = {msg(258, {}, "a"), msg(65534, {"s"}, "<%s>"), msg(4000, {"d"}, "%d")};
    std::vector<std::string> errors;
    CheckMessages(good, errors);
    EXPECT_TRUE(errors.empty());

    struct Case { const char* name; ResMessage extra; };
    const Case cases[] = {
        {"start marker id", msg(257, {}, "x")},
        {"stop marker id", msg(65535, {}, "x")},
        {"beyond 16 bits", msg(70000, {}, "x")},
        {"duplicate", msg(4000, {"d"}, "%d")},
        {"empty", msg(500, {}, "")},
        {"bad UTF-8", msg(501, {}, "\xC3")},
        {"arguments", msg(502, {"s"}, "%d")},
    };
    for (const Case& c : cases) {
        std::vector<ResMessage> messages = good;
        messages.push_back(c.extra);
        errors.clear();
        CheckMessages(messages, errors);
        EXPECT_EQ(1u, errors.size()) << c.name;
    }

    ErrorTable table;
    table.rows = {{1, 258, 1, 3}, {2, 259, 2, 3}};
    table.rowWhere = {"t:1", "t:2"};
    errors.clear();
    CheckTableIds(table, good, errors);
    ASSERT_EQ(1u, errors.size());
    EXPECT_NE(std::string::npos, errors[0].find("259"));
}

TEST_F(ResourceFiles, ReadsTheErrorTable)
{
    const std::string header = "module-id 32\nmodule-file \"x.so\"\nmodule-version \"1.0\"\n";
    ErrorTable table;
    std::vector<std::string> errors;
    ASSERT_TRUE(bReadErrorTable(Write("good.tbl", header + "1 300 1 3\n29 301 29 3 # twice\n29 301 29 3\n"
                                                           "21 302 21 2\n"),
                                table, errors));
    EXPECT_EQ(4u, table.rows.size());
    EXPECT_EQ(32u, table.dwModuleId);
    EXPECT_EQ("x.so", table.moduleFile);
    EXPECT_EQ("1.0", table.moduleVersion);
    EXPECT_EQ(2, table.rows[3].nLevel);

    struct Case { const char* name; std::string content; };
    const Case cases[] = {
        {"conflicting duplicate", header + "29 301 29 3\n29 302 29 3\n"},
        {"unknown level", header + "1 300 1 7\n"},
        {"short row", header + "1 300 1\n"},
        {"no identity", "1 300 1 3\n"},
        {"no rows", header},
    };
    for (const Case& c : cases) {
        ErrorTable bad;
        errors.clear();
        EXPECT_FALSE(bReadErrorTable(Write("bad.tbl", c.content), bad, errors)) << c.name;
        EXPECT_FALSE(errors.empty()) << c.name;
    }
}

}  // namespace
