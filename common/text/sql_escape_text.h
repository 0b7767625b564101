#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

// Small pieces shared by the escaping routines of sql_escape.h.
namespace sqlesc {

template <class T>
const T* Empty()
{
    if constexpr (std::is_same_v<T, char>)
        return "";
    else
        return L"";
}

// A malloc'd copy of n characters and a terminator; null when memory runs out.
template <class T>
T* Copie(const T* p, size_t n)
{
    if (n >= SIZE_MAX / sizeof(T))
        return nullptr;
    T* block = static_cast<T*>(std::malloc((n + 1) * sizeof(T)));
    if (!block)
        return nullptr;
    if (n)
        std::memcpy(block, p, n * sizeof(T));
    block[n] = 0;
    return block;
}

}  // namespace sqlesc
