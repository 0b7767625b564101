#pragma once

// A value as the stand-in machine reads it out of a storage before it
// writes it in another type's layout.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text/stocaw.h"
#include "tests/host/module/vm_numbers.h"

namespace standin_vm {

struct DateTimeParts
{
    int year = 0;
    int month = 0;
    int day = 0;
    uint32_t milli = 0;  // of the day
};

struct Value
{
    enum Kind
    {
        kEmpty,
        kInteger,   // integer (booleans as 0 / 1)
        kReal,      // real; isFloat for a 32-bit source
        kScaled,    // unscaled / 10^scale: currency (money, scale 6) or decimal
        kText,      // wide text
        kDateText,  // the digits of a date text (up to 8)
        kTimeText,  // the digits of a time text (up to 9)
        kDateTime,
        kDuration,  // milliseconds in integer
        kBytes,
    };

    Kind kind = kEmpty;
    Int128 integer = 0;
    double real = 0;
    bool isFloat = false;
    int scale = 0;
    int precision = 0;
    bool money = false;
    std::wstring text;
    std::string bytes;
    DateTimeParts dateTime;

    // Back to the empty value, keeping the texts' buffers for the next read.
    void Clear()
    {
        kind = kEmpty;
        integer = 0;
        real = 0;
        isFloat = false;
        scale = 0;
        precision = 0;
        money = false;
        text.clear();
        bytes.clear();
        dateTime = DateTimeParts();
    }

    // Gives back buffers grown by a long text, so that a kept value holds
    // no more than a short text's worth.
    void Trim()
    {
        constexpr size_t kKept = 4096;
        if (text.capacity() > kKept)
            std::wstring().swap(text);
        if (bytes.capacity() > kKept)
            std::string().swap(bytes);
    }
};

// The 8-bit code page of the options (1252 without them, for 0 and for
// every code page but 65001).
unsigned CodePage(const STOCAW* options);
std::wstring Decode(std::string_view bytes, unsigned codePage);
// The same into out, whose buffer is reused.
void Decode(std::string_view bytes, unsigned codePage, std::wstring* out);
// '?' for what the code page cannot hold.
std::string Encode(const std::wstring& text, unsigned codePage);

// Reads a storage of a type; 0 or a failure code. What out held is
// replaced; its buffers are reused.
int Read(const void* src, int type, const STOCAW* options, Value* out);
// Writes the value in the layout of a type into out (40 bytes), giving the
// bytes written; objects the layout points to are made last. 0 or a failure
// code (nothing made).
int Write(const Value& value, unsigned short type, const STOCAW* options, unsigned char* out, size_t* size);

// One value in one form, by the conversion rules (0 or a failure code).
int ValueText(const Value& value, unsigned codePage, std::wstring* out);
int ValueInteger(const Value& value, Int128* out);
int ValueScaled(const Value& value, Int128* out, int* scale);
int ValueReal(const Value& value, double* out);

}  // namespace standin_vm
