// Reading a value out of a storage laid out for its type.
#include <cstring>
#include <cwchar>

#include "tests/host/module/standin_vm_controls.h"
#include "tests/host/module/vm_decimal.h"
#include "tests/host/module/vm_value.h"

namespace standin_vm {
namespace {

template <class T>
T Get(const void* src, size_t offset = 0)
{
    T t;
    std::memcpy(&t, static_cast<const unsigned char*>(src) + offset, sizeof t);
    return t;
}

// The bytes of a runtime block (its length word lies 4 bytes before them);
// none for the empty block.
const unsigned char* BlockData(const void* cell, uint32_t* length)
{
    const unsigned char* data = Get<const unsigned char*>(cell);
    *length = 0;
    if (data != nullptr)
        std::memcpy(length, data - 4, sizeof *length);
    return data;
}

std::string_view BlockBytes(const void* cell)
{
    uint32_t length;
    const unsigned char* data = BlockData(cell, &length);
    return data != nullptr ? std::string_view(reinterpret_cast<const char*>(data), length) : std::string_view();
}

// The units of a fixed text up to its first zero (at most max of them),
// copied into out.
template <class T>
void FixedText(const void* src, size_t max, std::basic_string<T>* out)
{
    size_t n = 0;
    while (n < max && Get<T>(src, n * sizeof(T)) != 0)
        ++n;
    out->resize(n);
    std::memcpy(out->data(), src, n * sizeof(T));
}

// The 8-bit fixed texts are short: read in a code page.
void DecodeFixed(const void* src, size_t max, unsigned codePage, std::wstring* out)
{
    char bytes[16];
    size_t n = 0;
    while (n < max && n < sizeof bytes && Get<char>(src, n) != 0)
        ++n;
    std::memcpy(bytes, src, n);
    Decode(std::string_view(bytes, n), codePage, out);
}

void SetInteger(Value* out, Int128 v)
{
    out->kind = Value::kInteger;
    out->integer = v;
}

}  // namespace

int Read(const void* src, int type, const STOCAW* options, Value* out)
{
    const unsigned codePage = CodePage(options);
    out->Clear();
    switch (type) {
    case 0: return 0;
    case 1: SetInteger(out, Get<int32_t>(src) != 0 ? 1 : 0); return 0;
    case 2: SetInteger(out, Get<uint8_t>(src)); return 0;
    case 3: SetInteger(out, Get<uint16_t>(src)); return 0;
    case 4: SetInteger(out, Get<uint32_t>(src)); return 0;
    case 5:
    case 14: SetInteger(out, Get<uint64_t>(src)); return 0;
    case 6: SetInteger(out, Get<int8_t>(src)); return 0;
    case 7: SetInteger(out, Get<int16_t>(src)); return 0;
    case 8: SetInteger(out, Get<int32_t>(src)); return 0;
    case 9: SetInteger(out, Get<int64_t>(src)); return 0;
    case 10: {
        // 80 bits, least significant word first, sign-extended.
        unsigned char bytes[16];
        std::memcpy(bytes, src, 10);
        std::memset(bytes + 10, (bytes[9] & 0x80) ? 0xFF : 0, 6);
        out->kind = Value::kScaled;
        std::memcpy(&out->integer, bytes, sizeof out->integer);
        out->scale = 6;
        out->precision = 25;
        out->money = true;
        return 0;
    }
    case 11:
        out->kind = Value::kReal;
        out->real = Get<float>(src);
        out->isFloat = true;
        return 0;
    case 12:
        out->kind = Value::kReal;
        out->real = Get<double>(src);
        return 0;
    case 13: {
        const Decimal* decimal = static_cast<const Decimal*>(Get<IDecimal*>(src));
        if (decimal == nullptr)
            return kStandinVmErrType;
        out->kind = Value::kScaled;
        out->integer = decimal->Unscaled();
        out->precision = decimal->vnGetPrecision();
        out->scale = decimal->vnGetScale();
        return 0;
    }
    case 16: {
        // Straight into the value's text: no copy of the bytes first.
        uint32_t length;
        const unsigned char* data = BlockData(src, &length);
        out->kind = Value::kText;
        out->text.resize(length / sizeof(wchar_t));
        if (data != nullptr)
            std::memcpy(out->text.data(), data, out->text.size() * sizeof(wchar_t));
        return 0;
    }
    case 19:
        out->kind = Value::kText;
        Decode(BlockBytes(src), codePage, &out->text);
        return 0;
    case 18: {
        const char* text = Get<const char*>(src);
        out->kind = Value::kText;
        Decode(text ? std::string_view(text) : std::string_view(), codePage, &out->text);
        return 0;
    }
    case 110: {
        const wchar_t* text = Get<const wchar_t*>(src);
        out->kind = Value::kText;
        if (text != nullptr)
            out->text = text;
        return 0;
    }
    case 17:
        out->kind = Value::kText;
        DecodeFixed(src, 1, codePage, &out->text);
        return 0;
    case 81:
        out->kind = Value::kText;
        FixedText<wchar_t>(src, 1, &out->text);
        return 0;
    case 24:
        out->kind = Value::kDateText;
        FixedText<wchar_t>(src, 8, &out->text);
        return 0;
    case 128:
        out->kind = Value::kDateText;
        DecodeFixed(src, 8, 1252, &out->text);
        return 0;
    case 25:
        out->kind = Value::kTimeText;
        FixedText<wchar_t>(src, 9, &out->text);
        return 0;
    case 129:
        out->kind = Value::kTimeText;
        DecodeFixed(src, 9, 1252, &out->text);
        return 0;
    case 26:
        out->kind = Value::kDateTime;
        out->dateTime.day = Get<uint8_t>(src, 0);
        out->dateTime.month = Get<uint8_t>(src, 1);
        out->dateTime.year = Get<uint16_t>(src, 2);
        out->dateTime.milli = Get<uint32_t>(src, 4);
        return 0;
    case 27:
        out->kind = Value::kDuration;
        out->integer = Get<int64_t>(src);
        return 0;
    case 28:
        out->kind = Value::kBytes;
        out->bytes.assign(BlockBytes(src));
        return 0;
    default: return kStandinVmErrType;
    }
}

}  // namespace standin_vm
