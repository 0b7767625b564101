// SQL column type texts and character-set texts of arbitrary characters
// read into item types and sizes, on the database kinds whose answers
// differ; and the length of every keyword's declaration. Texts are heap
// blocks of exactly their length and terminator, so that a read past a
// text's end shows under AddressSanitizer; the outputs are always set.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_connection.h"
#include "native/driver/connection_description.h"
#include "native/model/item_type.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"

namespace {

// Bytes as characters: mostly ASCII, which the type names are made of, and
// now and then a character far from it.
std::vector<wchar_t> Text(const uint8_t* p, size_t n)
{
    std::vector<wchar_t> text;
    for (size_t i = 0; i < n; ++i)
        text.push_back(p[i] >= 0xF0 ? static_cast<wchar_t>(0x10000 + p[i]) : static_cast<wchar_t>(p[i]));
    text.push_back(0);
    text.shrink_to_fit();
    return text;
}

const wchar_t* const kKeywords[] = {L"VARCHAR", L"CHAR", L"DECIMAL", L"VARBINARY", L"NCHAR", L"X", L""};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CTestConnection* connection = vxfuzz::FuzzConnection();
    if (size == 0)
        return 0;
    connection->SetDBKind(data[0] % 2 ? 13 : 5);
    // The type text, then after a zero byte the character-set text.
    size_t split = 1;
    while (split < size && data[split] != 0)
        ++split;
    const std::vector<wchar_t> type = Text(data + 1, split - 1);
    const std::vector<wchar_t> charset = Text(data + std::min(split + 1, size), size - std::min(split + 1, size));
    eNA_ITEMTYPE eType = static_cast<eNA_ITEMTYPE>(-1);
    unsigned nSize = 0xDEAD, nInteger = 0xDEAD, nDecimal = 0xDEAD;
    if (connection->bSQLTypeNameToNAType(nullptr, &eType, &nSize, &nInteger, &nDecimal, type.data(),
                                         charset.data()) != 1)
        std::abort();
    if (static_cast<uint32_t>(eType) > 31 || g_pszGetNAItemTypeName(eType) == nullptr)
        std::abort();
    if (nInteger == 0xDEAD || nDecimal == 0xDEAD)
        std::abort();
    for (const wchar_t* keyword : kKeywords)
        if (CNAConnectionDescription::_nGetSizeInTypeDecl(type.data(), keyword) < 0)
            std::abort();
    return 0;
}
