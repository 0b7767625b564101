// The LIKE chain as the condition writer makes it: a value escaped as an
// engine LIKE pattern, put into a LIKE parameter, and written by the
// command through the connection's base literal writer (quotes doubled).
// A LIKE matcher then reads the statement as the database would: the
// pattern written must match the original value, and no other.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "common/text/xy_string.h"
#include "tests/native/sql/command_fixture.h"
#include "tests/native/sql/like_matcher.h"

namespace {

class LikeChain : public vxtest::CommandTest
{
protected:
    static constexpr const wchar_t* kHead = L"SELECT * FROM T WHERE A LIKE ";

    // The literal the command writes for the value; empty when it wrote
    // anything else after the head (an ESCAPE clause, nothing at all).
    std::wstring WideLiteral(const std::wstring& value)
    {
        CNACommand* pclCommand = NewCommand();
        CXYString<wchar_t> clPattern;
        EXPECT_EQ(1, pclCommand->bEscapeLIKEParamAsQFParam(&clPattern, value.c_str(), 0));
        pclCommand->bComplete(kHead, static_cast<unsigned long>(-1));
        AddParameter(pclCommand, Value(Wide(clPattern.pszGet())), CNAParameter::PARAM_LIKE);
        return Rest(pclCommand);
    }
    std::wstring AnsiLiteral(const std::string& value)
    {
        CNACommand* pclCommand = NewCommand();
        CXYString<char> clPattern;
        EXPECT_EQ(1, pclCommand->bEscapeLIKEParamAsQFParam(&clPattern, value.c_str(), 0));
        pclCommand->bComplete(kHead, static_cast<unsigned long>(-1));
        AddParameter(pclCommand, Value(Ansi(clPattern.pszGet())), CNAParameter::PARAM_LIKE);
        return Rest(pclCommand);
    }
    std::wstring Rest(CNACommand* pclCommand)
    {
        const std::wstring sql = Formatted(pclCommand);
        EXPECT_EQ(0u, sql.find(kHead)) << std::string(sql.begin(), sql.end());
        return sql.size() >= std::wcslen(kHead) ? sql.substr(std::wcslen(kHead)) : L"";
    }

    // Whether the statement's pattern selects exactly the value among the
    // candidates.
    static ::testing::AssertionResult SelectsOnly(const std::wstring& literal, const std::wstring& value,
                                                  const std::set<std::wstring>& candidates)
    {
        std::wstring pattern;
        if (!vxtest::bReadSQLLiteral(literal, &pattern))
            return ::testing::AssertionFailure() << "not one literal";
        if (!vxtest::bLike(value, pattern, L'\\'))
            return ::testing::AssertionFailure() << "the value itself is not selected";
        for (const std::wstring& candidate : candidates) {
            if (candidate != value && vxtest::bLike(candidate, pattern, L'\\'))
                return ::testing::AssertionFailure() << "another value is selected too";
        }
        return ::testing::AssertionSuccess();
    }
};

// What a wildcard, a quote or an escape could stand for instead.
std::set<std::wstring> Neighbours(const std::wstring& value)
{
    std::set<std::wstring> candidates = {L"", L"x", value + L"x", L"x" + value};
    for (size_t i = 0; i < value.size(); ++i) {
        for (wchar_t c : std::wstring(L"%_'\\xa")) {
            std::wstring changed = value;
            changed[i] = c;
            candidates.insert(changed);
        }
        candidates.insert(value.substr(0, i) + value.substr(i + 1));
        candidates.insert(value.substr(0, i) + value[i] + value.substr(i));
        candidates.insert(value.substr(0, i) + L"\\" + value.substr(i));
    }
    return candidates;
}

TEST_F(LikeChain, WrittenPatterns)
{
    const struct
    {
        const wchar_t* pszValue;
        const wchar_t* pszLiteral;
    } kCases[] = {
        {L"50%", L"'50\\%'"},
        {L"a_b", L"'a\\_b'"},
        {L"it's", L"'it''s'"},
        {L"C:\\dir", L"'C:\\\\dir'"},
        {L"\\%", L"'\\\\\\%'"},
        {L"plain", L"'plain'"},
        {L"", L"''"},
        // A lone quote: the engine pattern is two quotes, which must come
        // out as one quote in the value, not kept as an empty literal.
        {L"'", L"''''"},
        {L"''", L"''''''"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.pszLiteral, WideLiteral(c.pszValue)) << c.pszValue;
}

TEST_F(LikeChain, EachValueSelectsOnlyItself)
{
    std::mt19937 random(20261210);
    const std::wstring alphabet = L"%_'\\a\u00e9";
    for (int n = 0; n < 400; ++n) {
        std::wstring value;
        const size_t nLength = random() % 7;
        for (size_t i = 0; i < nLength; ++i)
            value.push_back(alphabet[random() % alphabet.size()]);
        EXPECT_TRUE(SelectsOnly(WideLiteral(value), value, Neighbours(value))) << "value [" << value.size() << "]";
    }
}

TEST_F(LikeChain, EightBitValues)
{
    std::mt19937 random(7);
    const std::string alphabet = "%_'\\a";
    for (int n = 0; n < 200; ++n) {
        std::string value;
        const size_t nLength = random() % 7;
        for (size_t i = 0; i < nLength; ++i)
            value.push_back(alphabet[random() % alphabet.size()]);
        const std::wstring wide(value.begin(), value.end());
        EXPECT_TRUE(SelectsOnly(AnsiLiteral(value), wide, Neighbours(wide))) << value;
    }
}

}  // namespace
