#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A work buffer of the profile calls: below 1,024 bytes on the stack, larger
// from the heap (released with the object).
template <class T>
class CProfileScratch
{
public:
    CProfileScratch() = default;
    CProfileScratch(const CProfileScratch&) = delete;
    CProfileScratch& operator=(const CProfileScratch&) = delete;
    ~CProfileScratch() { std::free(m_pHeap); }

    // Room for n elements; null when the memory cannot be had. Each call
    // replaces what an earlier one gave.
    T* pGet(size_t n)
    {
        std::free(m_pHeap);
        m_pHeap = nullptr;
        if (n < sizeof m_aStack / sizeof(T)) return m_aStack;
        if (n > SIZE_MAX / sizeof(T)) return nullptr;
        m_pHeap = static_cast<T*>(std::malloc(n * sizeof(T)));
        return m_pHeap;
    }

private:
    T m_aStack[1024 / sizeof(T)];
    T* m_pHeap = nullptr;
};
