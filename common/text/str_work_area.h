#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A scratch area of n units: on the stack up to nStackBytes, otherwise from
// the heap (released with the area). bReserve fails, leaving no area, when
// the heap has no room or n * sizeof(T) does not fit.
template <class T, size_t nStackBytes>
class CStrWorkArea
{
public:
    CStrWorkArea() = default;
    CStrWorkArea(const CStrWorkArea&) = delete;
    CStrWorkArea& operator=(const CStrWorkArea&) = delete;
    ~CStrWorkArea() { _Free(); }

    bool bReserve(size_t n)
    {
        _Free();
        if (n <= sizeof(m_stack) / sizeof(T)) {
            m_p = m_stack;
            return true;
        }
        if (n > SIZE_MAX / sizeof(T))
            return false;
        m_p = static_cast<T*>(std::malloc(n * sizeof(T)));
        return m_p != nullptr;
    }

    T* p() { return m_p; }
    bool bOnHeap() const { return m_p && m_p != m_stack; }

private:
    void _Free()
    {
        if (bOnHeap())
            std::free(m_p);
        m_p = nullptr;
    }

    T m_stack[nStackBytes / sizeof(T) > 0 ? nStackBytes / sizeof(T) : 1];
    T* m_p = nullptr;
};
