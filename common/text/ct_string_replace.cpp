// CTString: replacing every occurrence of a text.
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/text/ct_string.h"
#include "common/text/str_map.h"

namespace {

// The result of a replacement, built as the occurrences are found (one
// search per occurrence, so the count can never disagree with the copy):
// on the stack up to 1024 characters, then on the heap, doubling.
class CReplaceBuilder
{
public:
    CReplaceBuilder() = default;
    CReplaceBuilder(const CReplaceBuilder&) = delete;
    CReplaceBuilder& operator=(const CReplaceBuilder&) = delete;
    ~CReplaceBuilder()
    {
        if (m_p != m_stack)
            std::free(m_p);
    }

    bool bAdd(const wchar_t* p, size_t n)
    {
        if (n == 0)
            return true;
        if (n > m_capacity - m_length && !bGrow(n))
            return false;
        std::wmemcpy(m_p + m_length, p, n);
        m_length += n;
        return true;
    }

    const wchar_t* p() const { return m_p; }
    size_t nLength() const { return m_length; }

private:
    bool bGrow(size_t n)
    {
        size_t capacity = m_capacity;
        while (n > capacity - m_length) {
            if (capacity > SIZE_MAX / (2 * sizeof(wchar_t)))
                return false;
            capacity *= 2;
        }
        auto* block = static_cast<wchar_t*>(m_p == m_stack ? std::malloc(capacity * sizeof(wchar_t))
                                                           : std::realloc(m_p, capacity * sizeof(wchar_t)));
        if (!block)
            return false;
        if (m_p == m_stack)
            std::wmemcpy(block, m_stack, m_length);
        m_p = block;
        m_capacity = capacity;
        return true;
    }

    wchar_t m_stack[1024];
    wchar_t* m_p = m_stack;
    size_t m_length = 0;
    size_t m_capacity = 1024;
};

}  // namespace

template <class Finder>
void CTString::_ReplaceAll(const wchar_t* pszFind, const wchar_t* pszWith, long nStart, Finder find)
{
    if (!m_psz || !pszFind || !*pszFind)
        return;
    const size_t length = _nLen();
    const size_t start = nStart <= 0 ? 0 : static_cast<size_t>(nStart);
    if (start > length)
        return;
    const size_t nFind = std::wcslen(pszFind);
    const size_t nWith = pszWith ? std::wcslen(pszWith) : 0;
    const wchar_t* hit = find(m_psz + start, pszFind);
    if (!hit)
        return;
    CReplaceBuilder result;
    const wchar_t* from = m_psz;
    // The searched and replacing texts may lie in the string's own text: the
    // block stays as it is until the result is complete.
    for (; hit; hit = find(from, pszFind)) {
        if (!result.bAdd(from, static_cast<size_t>(hit - from)) || !result.bAdd(pszWith, nWith))
            return;
        from = hit + nFind;
    }
    if (!result.bAdd(from, length - static_cast<size_t>(from - m_psz)))
        return;
    const wchar_t* pieces[1] = {result.p()};
    const size_t lengths[1] = {result.nLength()};
    _bSplice(0, length, pieces, lengths, 1);
}

void CTString::Remplace(const wchar_t* pszFind, const wchar_t* pszWith, long nStart)
{
    _ReplaceAll(pszFind, pszWith, nStart,
                [](const wchar_t* text, const wchar_t* find) { return std::wcsstr(text, find); });
}

void CTString::RemplaceI(const wchar_t* pszFind, const wchar_t* pszWith, long nStart)
{
    _ReplaceAll(pszFind, pszWith, nStart, STR_pszUpStrstr);
}
