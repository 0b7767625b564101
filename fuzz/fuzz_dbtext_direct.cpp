// The direct roads of the database texts against the general ones, over
// arbitrary bytes: a UTF-8 text decoded straight into UTF-16 units against
// decoding it into wide characters first and writing those as UTF-16, and a
// number text read in place (the 8-bit database text) against the runtime's
// cast (the same text as wide database text). Any difference aborts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "fuzz/fuzz_connection.h"
#include "fuzz/fuzz_standin.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/variant_text.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"

namespace {

using vxfuzz::Input;
using vxfuzz::StartHost;

constexpr unsigned short kNumberCodes[] = {ZLTYPE_UI2, ZLTYPE_UI4, ZLTYPE_UI8, ZLTYPE_I1, ZLTYPE_I2,
                                           ZLTYPE_I4,  ZLTYPE_I8,  ZLTYPE_CY,  ZLTYPE_R4, ZLTYPE_R8,
                                           ZLTYPE_UIX};

void CompareUtf8(const std::string& text, size_t nCapacity)
{
    std::vector<unsigned char> direct(2 * nCapacity + 2, 0xEE);
    std::vector<unsigned char> general(2 * nCapacity + 2, 0xEE);
    std::vector<wchar_t> wide(text.size() + 1);
    const size_t nChars = NA_nAnsiToWide(text.data(), text.size(), 65001, wide.data());
    const size_t nGeneral = NA_nWideToUTF16Cut(wide.data(), nChars, general.data(), nCapacity);
    const size_t nDirect = NA_nUTF8ToUTF16Cut(text.data(), text.size(), direct.data(), nCapacity);
    // The units written agree, and nothing past the capacity is touched.
    if (nDirect != nGeneral || std::memcmp(direct.data(), general.data(), 2 * nGeneral) != 0 ||
        direct[2 * nCapacity] != 0xEE || direct[2 * nCapacity + 1] != 0xEE)
        std::abort();
}

// The buffer, the used size and the result of one store.
struct Outcome
{
    int result = 0;
    std::vector<unsigned char> bytes;
    unsigned long used = 0;
    unsigned long error = 0;
    bool operator==(const Outcome&) const = default;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StartHost();
    CTestConnection* connection = vxfuzz::FuzzConnection();
    connection->SetRuntimeCodePage(1252);
    connection->SetClientTextCodePage(65001);
    CNAError* error = vxfuzz::FuzzError();
    Input in(data, size);
    const uint8_t choice = in.Byte();
    const size_t nCapacity = in.Byte();
    const std::string text = in.Bytes(size);
    CompareUtf8(text, nCapacity);

    // Number texts: only ASCII reads the same through both entries.
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80 || c == 0)
            return 0;
    if (text.empty())
        return 0;
    const unsigned short code = kNumberCodes[choice % (sizeof kNumberCodes / sizeof kNumberCodes[0])];
    const unsigned long bufferSize = (choice & 0x80) ? 16 : 3;
    const std::wstring wideText(text.begin(), text.end());
    Outcome outcomes[2];
    for (int road = 0; road < 2; ++road) {
        CNAConvertVariant* v = new CNAConvertVariant(error, connection);
        v->m_dwRefCount = 1;
        if (!v->bInitTypeVariantBuffer(code, bufferSize))
            std::abort();
        Outcome& o = outcomes[road];
        o.result = road == 0 ? v->bSetValueDB(text.data(), static_cast<long>(text.size()), 65001)
                             : v->bSetValueDB(wideText.c_str(), static_cast<long>(wideText.size()));
        const unsigned char* p = static_cast<const unsigned char*>(v->pGetData());
        o.bytes.assign(p, p + v->nGetBufferSize());
        o.used = v->nGetSize();
        o.error = error->dwGetErrorId();
        error->Reset();
        v->ResetVariant();
        delete v;
    }
    if (!(outcomes[0] == outcomes[1]))
        std::abort();
    return 0;
}
