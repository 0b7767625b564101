#pragma once

// Calls a virtual slot by its index, the way the host calls the driver's
// objects: the object's first word points to its virtual table, and slot n
// takes the object as its first argument. Tests compare what the driver
// answers there with what its own declarations say.
namespace vxstandin {

template <class R, class... A>
R CallSlot(void* object, long nSlot, A... args)
{
    using Fn = R (*)(void*, A...);
    Fn const* table = *static_cast<Fn const* const*>(object);
    return table[nSlot](object, args...);
}

}  // namespace vxstandin
