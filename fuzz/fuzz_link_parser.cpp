// Arbitrary text through the readers of texts that come from the server:
// the first byte chooses the CREATE TABLE text of the link parser (with
// composite keys found, missing or unavailable by the columns) or the
// server's version text. The text lies in a buffer of exactly its length,
// without terminator, so a read past it is caught.
#include <cstdint>
#include <memory>

#include "common/text/ct_string.h"
#include "common/text/xy_string_concat.h"
#include "native/driver/connection_description.h"
#include "native/driver/link_parser.h"

namespace {

// The bytes as characters, the high ones spread over a wider range.
std::unique_ptr<wchar_t[]> Text(const uint8_t* data, size_t size)
{
    std::unique_ptr<wchar_t[]> text(new wchar_t[size == 0 ? 1 : size]);
    for (size_t i = 0; i < size; ++i)
        text[i] = data[i] < 0x80 ? static_cast<wchar_t>(data[i]) : static_cast<wchar_t>(0x100 * data[i] + i);
    return text;
}

CNALinkParser::eKeyLookup eLookup(const wchar_t* pszTable, const wchar_t* pszColumns, int nColumns, CTString* pcsKey)
{
    if (pszTable != nullptr && pszTable[0] == L'X')
        return CNALinkParser::KEY_UNAVAILABLE;
    if (nColumns % 2 != 0)
        return CNALinkParser::KEY_NONE;
    pcsKey->Set(pszColumns);
    pcsKey->Add(L"_KEY");
    return CNALinkParser::KEY_FOUND;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t nChoice = data[0];
    const size_t nLength = size - 1;
    const std::unique_ptr<wchar_t[]> text = Text(data + 1, nLength);
    switch (nChoice % 2) {
    case 0: {
        CXYStringConcat<wchar_t> clList;
        CNALinkParser::g_ExtractLinks(text.get(), nLength, (nChoice & 2) ? L"LISTED" : nullptr, L"LISTED",
                                      (nChoice & 4) ? 0u : 32u, &eLookup, &clList);
        break;
    }
    default: {
        // The split always answers 1, whatever the server wrote.
        CTString csVersion;
        csVersion.Set(text.get(), static_cast<unsigned long>(nLength));
        int anNumbers[3] = {-1, 0, 0};
        if (CNAConnectionDescription::g_bDecomposeVersion(nullptr, &csVersion, &anNumbers[0], &anNumbers[1],
                                                          &anNumbers[2]) != 1)
            __builtin_trap();
        break;
    }
    }
    return 0;
}
