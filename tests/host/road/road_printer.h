#pragma once

// What the stand-in host program prints along its road: one block per step
// (its title, the calls it made with their answers, the values it read) and
// the tally on the last line, "road: N steps passed, M failed". A failed
// check prints the error text the driver or the context gave and stops the
// road. Runtime values are printed as the host would show them: cast to
// wide text by the stand-in virtual machine.
#include <cstdarg>
#include <string>

class CAny;
class INAError;

class RoadPrinter
{
public:
    // Starts step n (numbered as the host's road numbers them).
    void BeginStep(int nStep, const char* pszTitle);
    // The step ends; passed when no check of it failed.
    void EndStep();
    // One line of the step's printout, printf-style ("%ls" for wide text).
    void Line(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    // A text of several lines (an error's), each line indented under the label.
    void Block(const char* pszLabel, const std::wstring& sText);
    // True when bOk; otherwise prints what failed with the error object's
    // text (when there is one) and marks the step failed.
    bool Check(bool bOk, const char* pszWhat, INAError* piError = nullptr);
    bool bFailed() const { return m_bStepFailed; }
    // The last line; the program's exit status (0 when nothing failed).
    int nSummary() const;

    // The value as wide text, through the machine; "(null)" for NULL, a
    // "<cast failed n>" note when the machine refuses.
    static std::wstring sText(const CAny& value);
    // The error object's text through its slot; "(no error object)" for null.
    static std::wstring sErrorText(INAError* piError);

private:
    int m_nStep = 0;
    bool m_bStepFailed = false;
    int m_nPassed = 0;
    int m_nFailed = 0;
};
