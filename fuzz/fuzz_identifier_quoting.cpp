// Arbitrary wide text through identifier quoting, under the quotes of
// MySQL (backquotes), of standard SQL (double quotes) and of brackets: the
// formatted name must lex as exactly one identifier standing for the name
// (or be the name, already a quoted identifier, unchanged), unformatting it
// must give that identifier back, and a formatted table name must lex as a
// "."-separated list of identifiers, one per part. Kind 1's rule and a
// connection without quotes only have to survive the text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "native/driver/identifier_quoting.h"
#include "tests/native/driver/quoting_property.h"

namespace {

struct stQuotes
{
    const wchar_t* pszOpen;
    const wchar_t* pszClose;
};

constexpr stQuotes kQuotes[] = {{L"`", L"`"}, {L"\"", L"\""}, {L"[", L"]"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const stQuotes& q = kQuotes[data[0] % 3];
    std::wstring name;
    for (size_t i = 1; i < size && data[i] != 0; ++i)
        // The bytes, with the high ones spread over a wider range.
        name.push_back(data[i] < 0x80 ? static_cast<wchar_t>(data[i]) : static_cast<wchar_t>(0x100 * data[i] + i));

    const CNAIdentifierQuoting quoting(q.pszOpen, 1, q.pszClose, 1, 5);
    if (!vxtest::QuotingPropertyBreak(quoting, q.pszOpen, q.pszClose, name).empty())
        std::abort();

    CTString out;
    for (const CNAIdentifierQuoting& other :
         {CNAIdentifierQuoting(q.pszOpen, 1, q.pszClose, 1, 1), CNAIdentifierQuoting(nullptr, 0, nullptr, 0, 5)}) {
        other.FormatItemName(name.c_str(), &out);
        other.FormatTableName(name.c_str(), &out);
        other.UnFormatItemName(name.c_str(), &out);
    }
    quoting.UnFormatItemName(name.c_str(), &out);
    return 0;
}
