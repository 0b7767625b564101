// A record buffer laid out from a small random description the host wrote
// (sometimes one that does not agree with itself: offsets, physical indexes
// and sizes of its own), its buffer filled with arbitrary bytes as a host
// could leave it, then random stores, flags, copies and reads through the
// host's slots, and every item read into a runtime value. Sources are heap
// blocks exactly as long as the lengths given, so that any read or write
// outside a buffer, a slot or a source shows under AddressSanitizer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/text/any.h"
#include "fuzz/fuzz_standin.h"
#include "native/model/qf_record.h"
#include "tests/host/db/standin_data_source_description.h"

namespace {

using vxfuzz::Input;
using vxfuzz::StartHost;

// The host's slots, called through the record's table as the host does.
void Store(CNAQFRecord* record, const INAItemDescription* item, Input& in)
{
    const unsigned element = in.Byte() % 4;
    const size_t length = in.Word() % 300;
    const std::vector<uint8_t> source = in.Block(length);
    // An empty block has no address to read: pass null for it, as a host
    // with nothing to give would.
    record->vSetItemValue(item, length != 0 ? source.data() : nullptr, length, element);
}

void StoreValue(CNAQFRecord* record, const INAItemDescription* item, Input& in)
{
    static const unsigned short kTypes[] = {ZLTYPE_I4, ZLTYPE_I8, ZLTYPE_R8, ZLTYPE_DSTRA, ZLTYPE_DSTRW,
                                            ZLTYPE_BIN, ZLTYPE_DATETIME, ZLTYPE_DECIMAL, ZLTYPE_CY, ZLTYPE_TIMEA};
    const unsigned short type = kTypes[in.Byte() % (sizeof kTypes / sizeof kTypes[0])];
    const size_t length = in.Byte() % 24;
    const std::vector<uint8_t> digits = in.Block(length);
    std::wstring text;
    for (uint8_t b : digits) text += static_cast<wchar_t>(b % 3 == 0 ? L'0' + b % 10 : b);
    CAny value;
    value.__SetType(ZLTYPE_PSTRW, 0);
    (void)value.Objet().SetValue(text.c_str());
    (void)value.__nCastTo(type, nullptr, 0);
    if (in.Byte() & 1)
        value.SetNull();
    record->vSetItemValue(item, &value, in.Byte() % 4);
}

void ReadEverything(CNAQFRecord* record, StandinDataSourceDescription& host)
{
    for (size_t i = 0; i < host.nItems(); ++i) {
        StandinItemDescription& item = host.Item(i);
        for (int element = -1; element < item.nDimension + 1; ++element) {
            CAny value;
            static_cast<const CNAQFRecord*>(record)->vGetItemValue(&value, &item, element);
            (void)record->vbItemValueDefined(&item, 0);
            // The host reads a slot into a buffer of the slot's width.
            const int width = element < 0 ? item.nGetTotalSize() : item.nItemSize;
            std::vector<uint8_t> out(static_cast<size_t>(width > 0 ? width : 0) + 1);
            record->vGetItemValue(static_cast<void*>(out.data()), &item, element);
            if (unsigned char* slot = record->vpbyGetItemValue(&item, element))
                std::memset(slot, 0x5A, static_cast<size_t>(width > 0 ? width : 0));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StartHost();
    Input in(data, size);
    static const eNA_ITEMTYPE kTypes[] = {NA_IT_EMPTY,    NA_IT_IDAUTO,   NA_IT_TEXTE,     NA_IT_I2,
                                          NA_IT_I1,       NA_IT_I4,       NA_IT_R4,        NA_IT_R8,
                                          NA_IT_UI2,      NA_IT_DATE6,    NA_IT_HEURE,     NA_IT_UI1,
                                          NA_IT_DATE8,    NA_IT_MEMOTEXTE, NA_IT_MONETAIRE, NA_IT_MEMOBINAIRE,
                                          NA_IT_I8,       NA_IT_UI8,      NA_IT_IMAGE,     NA_IT_BINAIRE,
                                          NA_IT_DATETIME, NA_IT_TIMELENGHT, NA_IT_CHAR,    NA_IT_BOOLEEN,
                                          NA_IT_UNICODE,  NA_IT_MEMOUNICODE, NA_IT_DECIMAL,
                                          static_cast<eNA_ITEMTYPE>(40)};

    const int items = 1 + in.Byte() % 8;
    std::vector<StandinItemRow> rows;
    for (int i = 0; i < items; ++i) {
        StandinItemRow row{L"ITEM", kTypes[in.Byte() % (sizeof kTypes / sizeof kTypes[0])], in.Byte() % 48};
        row.nDimension = 1 + in.Byte() % 3;
        row.nIntegerPart = in.Byte() % 42 - 2;
        row.nDecimalPart = in.Byte() % 42 - 2;
        row.wKeyFlags = (in.Byte() & 0x0F) == 0 ? 0x1000 : 0;
        rows.push_back(row);
    }
    StandinDataSourceDescription host(rows);
    // Sometimes a description that does not agree with itself.
    const uint8_t disorder = in.Byte();
    if (disorder & 1) {
        StandinItemDescription& item = host.Item(in.Byte() % host.nItems());
        item.nOffset = static_cast<int16_t>(in.Word());
        item.nPhysicalIndice = static_cast<int16_t>(in.Word());
        item.nItemSize = static_cast<int16_t>(in.Word()) % 70;
    }
    if (disorder & 2)
        host.nDiskRecordSize = in.Word() % 600;
    if (disorder & 4)
        host.nFlagItems = in.Byte() % 20;

    CNAQFRecord* record = new CNAQFRecord;
    record->AddRef();
    (void)record->bInit(&host, (disorder & 8) ? CNAQFRecord::INIT_DEFAULT_VALUES : CNAQFRecord::INIT_NULL);
    // An empty block has no address to copy from.
    if (record->pbyGetBuffer() != nullptr && record->nGetBufferSize() != 0) {
        const std::vector<uint8_t> fill = in.Block(record->nGetBufferSize());
        std::memcpy(record->pbyGetBuffer(), fill.data(), fill.size());
    }

    // Items of the host's own, one of them possibly out of place.
    StandinItemDescription stray({L"STRAY", kTypes[in.Byte() % (sizeof kTypes / sizeof kTypes[0])], in.Byte() % 48});
    stray.nOffset = static_cast<int16_t>(in.Word());
    stray.nPhysicalIndice = in.Byte() % 24 - 1;
    stray.nDimension = 1 + in.Byte() % 3;

    int steps = 0;
    while (!in.bEmpty() && steps++ < 64) {
        const uint8_t op = in.Byte();
        const INAItemDescription* item = (op & 0x80) ? static_cast<INAItemDescription*>(&stray)
                                                     : &host.Item(in.Byte() % host.nItems());
        switch (op % 8) {
        case 0:
        case 1:
            Store(record, item, in);
            break;
        case 2:
            StoreValue(record, item, in);
            break;
        case 3:
            record->vSetItemValueDefined(item, in.Byte() & 1, in.Byte() % 4);
            break;
        case 4: {
            const size_t length = in.Word() % 700;
            const std::vector<uint8_t> values = in.Block(length);
            record->vSetValues(length != 0 ? values.data() : nullptr, length);
            break;
        }
        case 5: {
            CNAQFRecord* clone = record->vpclGetClone();
            if (clone != nullptr) {
                if (!record->bEquals(clone))
                    std::abort();
                record->Copy(clone);
                clone->Copy(record);
                record->Copy(record);
                delete clone;
            }
            break;
        }
        case 6: {
            std::vector<uint8_t> form(record->nGetSerializeSize());
            if (!record->Serialize(form.data(), form.size()))
                std::abort();
            CNAQFRecord back;
            if (!back.Deserialize(form.data(), form.size()) || !back.bEquals(record))
                std::abort();
            // A damaged form is refused or read within its length.
            const std::vector<uint8_t> damaged = in.Block(in.Byte() % 64);
            (void)back.Deserialize(damaged.empty() ? nullptr : damaged.data(), damaged.size());
            break;
        }
        default:
            ReadEverything(record, host);
            break;
        }
    }
    ReadEverything(record, host);
    record->nRelease();
    if (!host.bBalanced())
        std::abort();
    return 0;
}
