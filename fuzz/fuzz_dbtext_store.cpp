// Database texts of arbitrary bytes and lengths, in code page 1252 or UTF-8,
// stored into conversion values of every type code, bound to a slot (kind 3)
// or an own buffer (kind 5) of a random size S, with an analysis item of any
// type; then read back, compared, padded and stored again through the other
// paths. Each slot is a heap block of exactly S bytes, so that a write or a
// read outside it shows under AddressSanitizer; after every store an 8-bit
// text slot must still end in its terminator, and a Unicode slot in a zero
// unit.
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
#include "native/model/zl_type_groups.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_data_source_description.h"

namespace {

using vxfuzz::Input;
using vxfuzz::StartHost;

constexpr unsigned short kCodes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,  12,  13,  14,  16,
                                     17, 18, 19, 24, 25, 26, 27, 28, 29, 81, 110, 128, 129, 0,   15};

// The slot's invariants after a store.
void Check(const CNAConvertVariant& v, const unsigned char* pby, unsigned long n)
{
    if (pby == nullptr || n == 0)
        return;
    const unsigned short code = v.pclGetValue()->nGetTypeCode();
    const eNA_ITEMTYPE item = v.eNAGetItemTypeAnalyse();
    const bool ansiItem = item == NA_IT_TEXTE || item == NA_IT_DATE8 || item == NA_IT_HEURE;
    if (ansiItem && NA_bAnsiTextCode(code) && code != ZLTYPE_CARA && pby[n - 1] != 0)
        std::abort();
    if ((item == NA_IT_UNICODE || item == NA_IT_MEMOUNICODE) && NA_bWideStringCode(code) && code != ZLTYPE_CARW &&
        n >= 2 && (pby[(n / 2) * 2 - 1] != 0 || pby[(n / 2) * 2 - 2] != 0))
        std::abort();
    if (v.nGetSize() > v.nGetBufferSize())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StartHost();
    CTestConnection* connection = vxfuzz::FuzzConnection();
    CNAError* error = vxfuzz::FuzzError();
    Input in(data, size);
    const uint8_t pages = in.Byte();
    const int codePage = (pages & 1) ? 65001 : 1252;
    connection->SetRuntimeCodePage((pages & 2) ? 65001 : 1252);
    connection->SetClientTextCodePage(codePage);
    const eNA_ITEMTYPE itemType = static_cast<eNA_ITEMTYPE>(in.Byte() % 33);
    const unsigned long slotSize = in.Word() % 300;
    StandinItemDescription item({L"ITEM", itemType, static_cast<int>(slotSize), 1, in.Byte() % 40, in.Byte() % 40});
    const uint8_t choice = in.Byte();
    // The item's own runtime type, or any code at all.
    const unsigned short code =
        (choice & 1) ? ConverteItemToZLType(itemType) : kCodes[(choice >> 1) % (sizeof kCodes / sizeof kCodes[0])];
    const bool own = (choice & 0x80) != 0;

    CNAConvertVariant* v = new CNAConvertVariant(error, connection);
    v->m_dwRefCount = 1;
    std::vector<unsigned char> slot(slotSize);
    slot.shrink_to_fit();
    if (own) {
        (void)v->bInitTypeVariantBuffer(code, slotSize);
    } else {
        for (size_t i = 0; i < slotSize; ++i)
            slot[i] = in.Byte();
        (void)v->bInitTypeVariant(NA_VT_RECORD, slotSize > 0 ? slot.data() : nullptr, slotSize, code);
    }
    v->SetItemDesc(&item, (choice & 0x40) ? &item : nullptr);
    if (choice & 0x20)
        const_cast<CAny*>(v->pclGetValue())->__SetType(code, 0);
    unsigned char* buffer = static_cast<unsigned char*>(v->pGetData());
    const unsigned long bufferSize = v->nGetBufferSize();

    for (int step = 0; step < 6; ++step) {
        const uint8_t op = in.Byte();
        const size_t length = in.Word() % 400;
        // A heap copy of exactly the length given.
        const std::string text = in.Bytes(length);
        std::vector<char> exact(text.begin(), text.end());
        exact.shrink_to_fit();
        const char* p = exact.empty() ? "" : exact.data();
        // A store that fails leaves the slot as the host wrote it.
        int stored = 0;
        switch (op % 5) {
        case 0:
            stored = v->bSetValueDB(p, static_cast<long>(exact.size()), codePage);
            break;
        case 1: {
            // Wide text of arbitrary characters: surrogates, and values past
            // U+10FFFF, too.
            std::vector<wchar_t> wide(exact.size() / 2);
            for (size_t i = 0; i < wide.size(); ++i) {
                const uint32_t c = static_cast<uint8_t>(exact[2 * i]) | static_cast<uint8_t>(exact[2 * i + 1]) << 8;
                wide[i] = static_cast<wchar_t>((c & 0x8000) ? (c & 0x7FFF) * 37 : c);
            }
            wide.shrink_to_fit();
            stored = v->bSetValueDB(wide.empty() ? L"" : wide.data(), static_cast<long>(wide.size()));
            break;
        }
        case 2: {
            CAny value;
            value.__SetType(ZLTYPE_PSTRA, 0);
            (void)value.Objet().SetValue(p, exact.size());
            (void)value.__nCastTo(kCodes[op / 5 % (sizeof kCodes / sizeof kCodes[0])], nullptr, 1);
            (void)v->bSetValueDB(&value);
            stored = v->bSetValue(&value);
            break;
        }
        case 3:
            stored = v->bSetValue(reinterpret_cast<const unsigned char*>(exact.data()), exact.size());
            break;
        default:
            stored = v->bSetValue(p, static_cast<long>(exact.size()));
            break;
        }
        CAny back;
        (void)v->bGetValue(&back);
        (void)v->nGetUtilDataSize();
        (void)v->bIsEmptyStringEx();
        if (stored) {
            Check(*v, buffer, bufferSize);
            v->CompleteSpaces(in.Byte() % 40 - 1);
            Check(*v, buffer, bufferSize);
        }
        error->Reset();
    }
    v->ResetVariant();
    delete v;
    if (item.Refs().nBalance() != 0)
        std::abort();
    return 0;
}
