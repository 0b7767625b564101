#include "common/text/str_ellipsis.h"

#include <cwchar>

unsigned long STR_Ellipsis(wchar_t* pDst, const wchar_t* s, unsigned long max, eELLIPSISPOSITION where)
{
    const unsigned long length = s ? std::wcslen(s) : 0;
    unsigned long written = 0;
    auto put = [&](const wchar_t* from, unsigned long n) {
        std::wmemcpy(pDst + written, from, n);
        written += n;
    };
    if (length <= max) {
        put(s ? s : L"", length);
    } else if (max < 3) {
        put(s, max);
    } else {
        switch (where) {
        case ELLIPSIS_END:
            put(s, max - 3);
            put(L"...", 3);
            break;
        case ELLIPSIS_MIDDLE: {
            const unsigned long head = (max - 3) / 2, tail = (max - 2) / 2;
            put(s, head);
            put(L"...", 3);
            put(s + length - tail, tail);
            break;
        }
        case ELLIPSIS_START:
            put(L"...", 3);
            put(s + length - (max - 3), max - 3);
            break;
        default:
            put(s, max);
            break;
        }
    }
    pDst[written] = 0;
    return written;
}
