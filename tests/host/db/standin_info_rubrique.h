#pragma once

// The host's information on one output item of a parsed query, stood in for:
// every answer the driver reads is a field the test sets (a parsed query
// stand-in fills them from its description). It is a CVXUnknown: make it
// with new and hold a reference (dwAddRef) for as long as the test uses it;
// the last dwRelease deletes it, so a leak shows an unbalanced reference.
#include <stdexcept>
#include <string>

#include "native/model/host_info_rubrique.h"
#include "tests/host/db/standin_throw_switch.h"

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
    const wchar_t* pszGetNom() const override { return name.c_str(); }
    const wchar_t* pszGetAlias() const override { return alias.c_str(); }
    const wchar_t* pszGetTexte() const override { return text.c_str(); }
    int eGetKind() const override { return eKind; }
    int bAvecAS() const override { return bAs; }
    const wchar_t* pszGetNomRubrique() const override { return item.c_str(); }
    const wchar_t* pszGetNomTable() const override { return table.c_str(); }
    const wchar_t* pszGetAliasTable() const override { return tableAlias.c_str(); }
    SQLPosition stGetPosition() const override { return position; }
    int nGetIndex() const override { return nIndex; }
    int bIsItem() const override { return bItem; }
    INAItemDescription* piGetItemDescription() const override
    {
        if (pThrow != nullptr)
            pThrow->Check(vxstandin::THROW_ITEM_DESCRIPTION);
        ++nDescriptionCalls;
        return description;
    }
    IExpOpExpression* piGetExpression() const override { return expression; }

    std::wstring name;
    std::wstring alias;
    std::wstring text;
    int eKind = KIND_ITEM;
    int bAs = 0;
    std::wstring item;
    std::wstring table;
    std::wstring tableAlias;
    SQLPosition position{-1, -1};
    int nIndex = 0;
    int bItem = 1;
    // Not owned: the test's or the parsed query's.
    INAItemDescription* description = nullptr;
    IExpOpExpression* expression = nullptr;
    const vxstandin::ThrowSwitch* pThrow = nullptr;
    mutable int nDescriptionCalls = 0;

private:
    int m_eQFType;
    int m_nFunctionCode;
    int m_nSize;
    unsigned m_dwCalculValue;
};
