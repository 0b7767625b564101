#pragma once

// The host's information on one output item of a parsed query, stood in for:
// the four answers the driver reads are settable. It is a CVXUnknown: make it
// with new and hold a reference (dwAddRef) for as long as the test uses it;
// the last dwRelease deletes it, so a leak shows an unbalanced reference.
#include "native/model/host_info_rubrique.h"

class StandinInfoRubrique : public IInfoRubrique
{
public:
    StandinInfoRubrique(int eQFType = 0, int nFunctionCode = 0, int nSize = 0, unsigned dwCalculValue = 0)
        : m_eQFType(eQFType), m_nFunctionCode(nFunctionCode), m_nSize(nSize), m_dwCalculValue(dwCalculValue)
    {
    }

    void SetQFType(int e) { m_eQFType = e; }
    void SetFunctionCode(int n) { m_nFunctionCode = n; }
    void SetSize(int n) { m_nSize = n; }
    void SetCalculValue(unsigned dw) { m_dwCalculValue = dw; }

    int eGetQFType() const override { return m_eQFType; }
    int nGetFunctionCode() const override { return m_nFunctionCode; }
    int nGetSize() const override { return m_nSize; }
    unsigned dwGetCalculValue() const override { return m_dwCalculValue; }

private:
    int m_eQFType;
    int m_nFunctionCode;
    int m_nSize;
    unsigned m_dwCalculValue;
};
