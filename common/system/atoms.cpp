#include "common/system/atoms.h"

#include <cstdlib>
#include <cwchar>
#include <new>

uint32_t CAtom::gnId = 1;
CAtom* CAtomList::ms_pclHead = nullptr;

namespace {

CAtomList gclAtomList;

CAtom* Find(ATOM nAtom)
{
    for (CAtom* p = CAtomList::ms_pclHead; p != nullptr; p = p->m_pclNext)
        if (p->m_nAtom == nAtom)
            return p;
    return nullptr;
}

// The counter's next number whose low 16 bits are neither 0 (which means
// "no atom") nor held by a live atom, once the counter has wrapped.
ATOM NextNumber()
{
    for (;;)
    {
        const auto n = static_cast<ATOM>(CAtom::gnId++);
        if (n != 0 && Find(n) == nullptr)
            return n;
    }
}

}  // namespace

CAtomList::~CAtomList()
{
    while (ms_pclHead != nullptr)
    {
        CAtom* p = ms_pclHead;
        ms_pclHead = p->m_pclNext;
        std::free(p->m_pszName);
        delete p;
    }
}

ATOM AddAtom(const wchar_t* pszName)
{
    if (pszName == nullptr)
        return 0;
    CAtom** ppLink = &CAtomList::ms_pclHead;
    for (; *ppLink != nullptr; ppLink = &(*ppLink)->m_pclNext)
    {
        if (wcscasecmp((*ppLink)->m_pszName, pszName) == 0)
        {
            ++(*ppLink)->m_nRef;
            return (*ppLink)->m_nAtom;
        }
    }
    wchar_t* pszCopy = wcsdup(pszName);
    if (pszCopy == nullptr)
        return 0;
    auto* p = new (std::nothrow) CAtom{1, 0, nullptr, pszCopy};
    if (p == nullptr)
    {
        std::free(pszCopy);
        return 0;
    }
    p->m_nAtom = NextNumber();
    *ppLink = p;
    return p->m_nAtom;
}

ATOM FindAtom(const wchar_t* pszName)
{
    if (pszName == nullptr)
        return 0;
    for (CAtom* p = CAtomList::ms_pclHead; p != nullptr; p = p->m_pclNext)
        if (wcscasecmp(p->m_pszName, pszName) == 0)
            return p->m_nAtom;
    return 0;
}

unsigned int GetAtomName(ATOM nAtom, wchar_t* pszBuffer, int nSize)
{
    const CAtom* p = Find(nAtom);
    if (p == nullptr || pszBuffer == nullptr || nSize < 1)
        return 0;
    const size_t nLength = std::wcslen(p->m_pszName);
    const size_t nCopied = nLength < static_cast<size_t>(nSize - 1) ? nLength : static_cast<size_t>(nSize - 1);
    std::wmemcpy(pszBuffer, p->m_pszName, nCopied);
    pszBuffer[nCopied] = L'\0';
    return static_cast<unsigned int>(nCopied);
}

ATOM DeleteAtom(ATOM nAtom)
{
    for (CAtom** ppLink = &CAtomList::ms_pclHead; *ppLink != nullptr; ppLink = &(*ppLink)->m_pclNext)
    {
        CAtom* p = *ppLink;
        if (p->m_nAtom != nAtom)
            continue;
        if (--p->m_nRef == 0)
        {
            *ppLink = p->m_pclNext;
            std::free(p->m_pszName);
            delete p;
        }
        return 0;
    }
    return nAtom;
}
