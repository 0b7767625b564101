#pragma once

// Reading the virtual slot of a member function, to pin the slot order of
// the interfaces shared with the host. g++ and clang on x86-64 store a
// pointer to a virtual member function as 1 + its byte offset in the virtual
// table (a non-virtual one as its even address), so the slot is read without
// calling anything.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "tests/host/db/standin_slot_call.h"

namespace vxtest {

// The slot of a virtual member function; -1 for a non-virtual one.
template <class F>
long SlotOf(F f)
{
    static_assert(sizeof(F) == 2 * sizeof(uintptr_t), "pointer to member function of the Itanium ABI");
    uintptr_t words[2];
    std::memcpy(words, &f, sizeof words);
    if ((words[0] & 1) == 0)
        return -1;
    return static_cast<long>((words[0] - 1) / sizeof(void*));
}

struct SlotCase
{
    const char* name;
    long slot;
    long expected;
};

inline void ExpectSlots(const char* owner, std::initializer_list<SlotCase> cases)
{
    for (const SlotCase& c : cases)
        EXPECT_EQ(c.expected, c.slot) << owner << "::" << c.name;
}

// Calls slot n of an object through its virtual table, as the host does.
using vxstandin::CallSlot;

}  // namespace vxtest

#define VX_SLOT(Class, member, n) vxtest::SlotCase{#member, vxtest::SlotOf(&Class::member), n}
// An overload, chosen by its type.
#define VX_SLOT_AS(Class, member, Type, n) \
    vxtest::SlotCase{#member, vxtest::SlotOf(static_cast<Type>(&Class::member)), n}
// The slot a class derived from Class would give its first own virtual
// operation: the number of Class's slots.
#define VX_SLOT_COUNT(Class)                                   \
    ([] {                                                      \
        struct Probe : Class                                   \
        {                                                      \
            virtual void NextSlot() = 0;                       \
        };                                                     \
        return vxtest::SlotOf(&Probe::NextSlot);               \
    }())
