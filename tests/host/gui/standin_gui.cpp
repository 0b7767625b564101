#include "tests/host/gui/standin_gui.h"

#include <cwchar>

namespace {

StandinGuiRecord gstRecord = {0, nullptr, {}, {}, 0, 1};

void Keep(wchar_t* pszDst, size_t nCapacity, const wchar_t* pszSrc)
{
    if (pszSrc == nullptr)
        pszSrc = L"";
    std::wcsncpy(pszDst, pszSrc, nCapacity - 1);
    pszDst[nCapacity - 1] = L'\0';
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int MessageBox_QT_W(void* pWindow, const wchar_t* pszText,
                                                                     const wchar_t* pszCaption, unsigned int nType)
{
    ++gstRecord.nCalls;
    gstRecord.pWindow = pWindow;
    Keep(gstRecord.szText, sizeof gstRecord.szText / sizeof(wchar_t), pszText);
    Keep(gstRecord.szCaption, sizeof gstRecord.szCaption / sizeof(wchar_t), pszCaption);
    gstRecord.nType = nType;
    return gstRecord.nAnswer;
}

extern "C" __attribute__((visibility("default"))) StandinGuiRecord* StandinGui_pRecord()
{
    return &gstRecord;
}
