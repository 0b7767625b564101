// The installer's multiple-text append of the runtime wide string.
#include <cstdarg>
#include <cstdlib>
#include <cwchar>

#include "common/text/xy_string.h"

namespace {

// Lengths are noted on the stack for the usual handful of texts.
constexpr int kStackTexts = 16;

}  // namespace

template <class T>
int64_t CXYString<T>::__nGetLongueurMultiple(int nCount, va_list* pArgs, int64_t* pnLengths)
{
    va_list args;
    va_copy(args, *pArgs);
    int64_t total = 0;
    for (int i = 0; i < nCount; ++i) {
        const T* psz = va_arg(args, const T*);
        pnLengths[i] = psz != nullptr ? s_nMeasure(psz) : 0;
        total += pnLengths[i];
        if (total * static_cast<int64_t>(sizeof(T)) > STRMEM_MAX_BYTES) {
            total = -1;
            break;
        }
    }
    va_end(args);
    return total;
}

template <class T>
int CXYString<T>::__nConcatMultipleArgList(int nCount, va_list* pArgs, int nStart, const int64_t* pnLengths,
                                           int64_t nTotal)
{
    if (nStart + nTotal == 0) {
        _Release();
        return 0;
    }
    T* p = ptGetBuffer() + nStart;
    va_list args;
    va_copy(args, *pArgs);
    for (int i = 0; i < nCount; ++i) {
        const T* psz = va_arg(args, const T*);
        if (pnLengths[i] > 0)
            std::memcpy(p, psz, static_cast<size_t>(pnLengths[i]) * sizeof(T));
        p += pnLengths[i];
    }
    va_end(args);
    return _nSetUtilLength(static_cast<int>(nStart + nTotal));
}

template <class T>
int CXYString<T>::__nAffecteMultipleArgList(int nCount, va_list* pArgs)
{
    int64_t stackLengths[kStackTexts];
    int64_t* lengths = nCount <= kStackTexts ? stackLengths
                                             : static_cast<int64_t*>(std::malloc(sizeof(int64_t) * nCount));
    if (lengths == nullptr)
        return 100;
    int rc = 0;
    const int64_t total = __nGetLongueurMultiple(nCount, pArgs, lengths);
    if (total < 0) {
        rc = STRMEM_ERR_TOO_LARGE;
    } else if (total == 0) {
        _Release();
    } else {
        // A fresh block: texts inside the old one stay readable until it is
        // released by the assignment below.
        CXYString fresh;
        rc = fresh.__nNew(static_cast<int>(total), nullptr, 0, 0);
        if (rc == 0)
            rc = fresh.__nConcatMultipleArgList(nCount, pArgs, 0, lengths, total);
        if (rc == 0)
            *this = static_cast<CXYString&&>(fresh);
    }
    if (lengths != stackLengths)
        std::free(lengths);
    return rc;
}

template <class T>
int CXYString<T>::__nConcatMultiple(int nCount, ...)
{
    if (nCount < 1)
        return 0;
    va_list args;
    va_start(args, nCount);
    int rc;
    if (bEstVide()) {
        rc = __nAffecteMultipleArgList(nCount, &args);
        va_end(args);
        return rc;
    }

    int64_t stackLengths[kStackTexts];
    int64_t* lengths = nCount <= kStackTexts ? stackLengths
                                             : static_cast<int64_t*>(std::malloc(sizeof(int64_t) * nCount));
    if (lengths == nullptr) {
        va_end(args);
        return 100;
    }
    const int64_t total = __nGetLongueurMultiple(nCount, &args, lengths);
    const int64_t length = nGetLongueur();
    if (total < 0 || (length + total) * static_cast<int64_t>(sizeof(T)) > STRMEM_MAX_BYTES) {
        rc = STRMEM_ERR_TOO_LARGE;
    } else if (total == 0) {
        rc = 0;
    } else {
        // A text inside the value's own block would move with a grown block:
        // such calls build the result in a fresh block.
        bool inside = false;
        va_list scan;
        va_copy(scan, args);
        const T* begin = pszGet();
        const T* end = begin + nGetCapacite() + 1;
        for (int i = 0; i < nCount; ++i) {
            const T* psz = va_arg(scan, const T*);
            if (psz != nullptr && psz >= begin && psz < end)
                inside = true;
        }
        va_end(scan);
        if (inside) {
            CXYString fresh;
            rc = fresh.__nNew(static_cast<int>(length + total), pszGet(), static_cast<int>(length), 0);
            if (rc == 0)
                rc = fresh.__nConcatMultipleArgList(nCount, &args, static_cast<int>(length), lengths, total);
            if (rc == 0)
                *this = static_cast<CXYString&&>(fresh);
        } else {
            rc = __nPrepareModification(static_cast<int>(length + total));
            if (rc == 0) {
                _SetFlagsWord(dwGetFlags() & ~STRMEM_FLAG_END_MARKER);
                rc = __nConcatMultipleArgList(nCount, &args, static_cast<int>(length), lengths, total);
            }
        }
    }
    if (lengths != stackLengths)
        std::free(lengths);
    va_end(args);
    return rc;
}

template int CXYString<wchar_t>::__nConcatMultiple(int, ...);
template int CXYString<wchar_t>::__nAffecteMultipleArgList(int, va_list*);
template int64_t CXYString<wchar_t>::__nGetLongueurMultiple(int, va_list*, int64_t*);
template int CXYString<wchar_t>::__nConcatMultipleArgList(int, va_list*, int, const int64_t*, int64_t);
