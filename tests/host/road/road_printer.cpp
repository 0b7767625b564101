#include "tests/host/road/road_printer.h"

#include <cstdio>

#include "common/text/any.h"
#include "tests/host/db/standin_slot_call.h"
#include "tests/host/road/road_slots.h"

void RoadPrinter::BeginStep(int nStep, const char* pszTitle)
{
    m_nStep = nStep;
    m_bStepFailed = false;
    std::printf("step %d: %s\n", nStep, pszTitle);
}

void RoadPrinter::EndStep()
{
    if (m_bStepFailed) {
        ++m_nFailed;
        std::printf("step %d failed\n", m_nStep);
    } else {
        ++m_nPassed;
        std::printf("step %d passed\n", m_nStep);
    }
    std::fflush(stdout);
}

void RoadPrinter::Line(const char* pszFormat, ...)
{
    std::fputs("  ", stdout);
    va_list args;
    va_start(args, pszFormat);
    std::vprintf(pszFormat, args);
    va_end(args);
    std::fputc('\n', stdout);
}

void RoadPrinter::Block(const char* pszLabel, const std::wstring& sText)
{
    std::printf("  %s:\n", pszLabel);
    size_t nStart = 0;
    while (nStart < sText.size()) {
        size_t nEnd = sText.find_first_of(L"\r\n", nStart);
        if (nEnd == std::wstring::npos)
            nEnd = sText.size();
        if (nEnd > nStart)
            std::printf("    %ls\n", sText.substr(nStart, nEnd - nStart).c_str());
        nStart = nEnd + 1;
    }
}

bool RoadPrinter::Check(bool bOk, const char* pszWhat, INAError* piError)
{
    if (bOk)
        return true;
    m_bStepFailed = true;
    std::printf("  FAILED: %s\n", pszWhat);
    if (piError != nullptr)
        Block("error", sErrorText(piError));
    std::fflush(stdout);
    return false;
}

int RoadPrinter::nSummary() const
{
    std::printf("road: %d steps passed, %d failed\n", m_nPassed, m_nFailed);
    std::fflush(stdout);
    return m_nFailed == 0 && m_nPassed > 0 ? 0 : 1;
}

std::wstring RoadPrinter::sText(const CAny& value)
{
    if (value.bIsNull())
        return L"(null)";
    CAny copy(value);
    copy.ClearFlags();
    const int nCode = copy.__nCastTo(ZLTYPE_PSTRW, nullptr, 1);
    if (nCode > 99)
        return L"<cast failed " + std::to_wstring(nCode) + L">";
    const wchar_t* psz = nullptr;
    (void)copy.Objet().nGetPCWSTR(&psz);
    return psz != nullptr ? psz : L"";
}

std::wstring RoadPrinter::sErrorText(INAError* piError)
{
    if (piError == nullptr)
        return L"(no error object)";
    const wchar_t* psz = vxstandin::CallSlot<const wchar_t*>(piError, road::kErrorText);
    return psz != nullptr ? psz : L"";
}
