// Arbitrary SQL text through the command's clause tests and its row-limit
// rewriting: the keyword search answers -1 or a place at or before its
// start where the keyword stands between separators; the limited-result and
// SET tests answer only for texts of their statements; and the TOP-to-LIMIT
// rewriting of a MySQL command (UTF-8 or 1252 connection, any limit and
// offset) changes nothing but the "TOP n" span it cuts and the LIMIT clause
// it appends. Texts are heap blocks of exactly their length and terminator,
// so that a read past a text's end shows under AddressSanitizer.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_connection.h"
#include "native/sql/command.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// Bytes as characters: ASCII, which SQL is written in, and from 0x80 on
// characters that take two to four bytes in UTF-8.
std::vector<wchar_t> Text(const uint8_t* p, size_t n)
{
    std::vector<wchar_t> text;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t b = p[i];
        if (b < 0x80)
            text.push_back(static_cast<wchar_t>(b));
        else if (b < 0xC0)
            text.push_back(static_cast<wchar_t>(0xC0 + (b - 0x80)));
        else if (b < 0xF0)
            text.push_back(static_cast<wchar_t>(0x4E00 + (b - 0xC0)));
        else
            text.push_back(static_cast<wchar_t>(0x1F600 + (b - 0xF0)));
    }
    text.push_back(0);
    text.shrink_to_fit();
    return text;
}

wchar_t Upper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

bool StartsWithWord(const std::wstring& text, size_t at, const wchar_t* word)
{
    for (size_t i = 0; word[i] != 0; ++i) {
        if (at + i >= text.size() || Upper(text[at + i]) != word[i])
            return false;
    }
    return true;
}

size_t SkipBlanks(const std::wstring& text, size_t at)
{
    while (at < text.size() && (text[at] == L' ' || text[at] == L'\t' || text[at] == L'\r' || text[at] == L'\n'))
        ++at;
    return at;
}

bool Digits(const std::wstring& text, size_t from, size_t to)
{
    if (from >= to)
        return false;
    for (size_t i = from; i < to; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    }
    return true;
}

// " LIMIT n" or " LIMIT n, m".
bool LimitClause(const std::wstring& rest)
{
    const std::wstring head = L" LIMIT ";
    if (rest.compare(0, head.size(), head) != 0)
        return false;
    const size_t comma = rest.find(L", ", head.size());
    if (comma == std::wstring::npos)
        return Digits(rest, head.size(), rest.size());
    return Digits(rest, head.size(), comma) && Digits(rest, comma + 2, rest.size());
}

void KeywordSearch(CNAConnectionDescription* connection, const std::wstring& text, long from)
{
    static const wchar_t* const kKeywords[] = {L"FROM", L"LIMIT", L"GROUP", L"WHERE", L"L"};
    for (const wchar_t* keyword : kKeywords) {
        const long at = CNACommand::s_nGetClauseStart(connection, text.c_str(), keyword, from);
        if (at == -1)
            continue;
        const long last = from == -1 || from >= static_cast<long>(text.size()) ? static_cast<long>(text.size()) - 1
                                                                                 : from;
        const size_t k = std::wcslen(keyword);
        Check(at > 0 && at <= last);
        Check(StartsWithWord(text, static_cast<size_t>(at), keyword));
        Check(CNACommand::s_bSeparateur(text[static_cast<size_t>(at) - 1]));
        const size_t after = static_cast<size_t>(at) + k;
        Check(after < text.size() && CNACommand::s_bSeparateur(text[after]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CTestConnection* connection = vxfuzz::FuzzConnection();
    connection->SetRuntimeCodePage(1252);
    if (size < 4)
        return 0;
    const uint8_t control = data[0];
    // Limits and offsets from -1 to a few, and now and then past 32 bits.
    const int64_t limit = (data[1] & 0x80) ? int64_t{5000000000} + data[1] : static_cast<int64_t>(data[1] % 8) - 1;
    const int64_t offset = static_cast<int64_t>(data[2] % 4) - 1;
    const std::vector<wchar_t> chars = Text(data + 4, size - 4);
    const std::wstring text(chars.data());
    const long from = (data[3] & 0x80) ? -1 : static_cast<long>(data[3]);

    connection->SetQuotes((control & 1) ? L"`" : L"[[", (control & 1) ? L"`" : L"]]");
    KeywordSearch(connection, text, from);
    if (CNACommand::s_bQueryResultsetLimited(connection, chars.data()))
        Check(StartsWithWord(text, 0, L"SELECT"));
    if (CNACommand::s_bIsQuerySet(chars.data()))
        Check(StartsWithWord(text, SkipBlanks(text, 0), L"SET"));

    connection->SetClientTextCodePage((control & 2) ? 65001 : 1252);
    connection->SetDBKind(5);
    CNACommand* command = new CNACommand(nullptr, connection);
    REF_AddRef(command);
    command->bComplete(chars.data(), static_cast<unsigned long>(-1));
    command->SetLimit(limit, offset);
    // The text as the builder holds it: a character its code page lacks is
    // already replaced there.
    const std::wstring original = command->pszGetOriginalSQL();
    std::wstring expected = original;
    long start = 0, end = 0;
    int64_t top = 0;
    if (CNACommand::s_bFindSelectTop(original.c_str(), static_cast<long>(original.size()), &start, &end, &top))
        expected.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
    const wchar_t* formatted = command->pszGetFormatedSQLW(CNACommand::PARAMTYPE_NONE);
    Check(formatted != nullptr);
    const std::wstring result(formatted);
    Check(result.compare(0, expected.size(), expected) == 0);
    const std::wstring rest = result.substr(expected.size());
    Check(rest.empty() || LimitClause(rest));
    command->nRelease();
    return 0;
}
