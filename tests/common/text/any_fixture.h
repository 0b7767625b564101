#pragma once

// Helpers of the runtime value tests: the installed class, raw storage, and
// host objects that count what the library does to them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "common/text/any_characters.h"
#include "common/text/any_date_texts.h"
#include "common/text/any_decimal.h"
#include "common/text/any_dyn_texts.h"
#include "common/text/any_heap_texts.h"
#include "common/text/any_numbers.h"
#include "common/text/any_objects.h"
#include "common/text/any_tabany.h"
#include "common/text/zl_bin.h"
#include "tests/common/text/xy_string_fixture.h"

namespace vxtest {

// The table pointer of a class, from an object made where it is aligned.
template <class C>
const void* TableOf()
{
    const C probe;
    const void* table;
    std::memcpy(&table, static_cast<const void*>(&probe), sizeof table);
    return table;
}

template <class C>
bool HasClass(const CAny& v)
{
    return v.Objet().pvGetTable() == TableOf<C>();
}

inline std::vector<unsigned char> StorageBytes(const CAny& v, size_t n)
{
    return std::vector<unsigned char>(v._pbyGetValeur(), v._pbyGetValeur() + n);
}

inline unsigned char* BlockOf(const CAny& v) { return v._tLit<unsigned char*>(); }

inline std::vector<unsigned char> Bytes(const void* p, size_t n)
{
    const unsigned char* b = static_cast<const unsigned char*>(p);
    return std::vector<unsigned char>(b, b + n);
}

// A counted host object (memo image, font, conveyor): a table whose third
// operation releases, and a 32-bit count right after the table pointer.
class FakeCounted
{
public:
    virtual void First() { ++otherCalls; }
    virtual void Second() { ++otherCalls; }
    virtual void Release()
    {
        --count;
        ++releases;
    }

    uint32_t count = 1;
    int releases = 0;
    int otherCalls = 0;
};

// A host object of types 108, 111 and 141-143: add a reference, release,
// then the processing interface.
class FakeHostObject
{
public:
    virtual void AddRef() { ++refs; }
    virtual void Release()
    {
        --refs;
        ++releases;
    }
    virtual void* Traitement() { return &processing; }

    int refs = 1;
    int releases = 0;
    int processing = 0;
};

// Values of every kind, set to a typical value.
struct NamedValue
{
    unsigned short code;
    const char* name;
};

}  // namespace vxtest
