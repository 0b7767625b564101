#pragma once

// The values the host binds to a query's named parameters, stood in for: a
// table from names (compared without regard to case) to a runtime value and
// the parameter's kind (1 in, 2 out, 3 in and out), the answer of slot 8
// (bound variables present) and the prepared flag. The names the driver asks
// for are kept in order.
#include <memory>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "native/driver/host_query_parameters.h"
#include "tests/host/db/standin_host_object.h"

class StandinQueryParameters final : public StandinHostObject<INAQueryParametersValue>
{
public:
    // Binds (or binds again) a name; the value is copied.
    void Set(const wchar_t* pszName, const CAny& value, int nKind = PARAM_IN);
    void SetHasBindVariables(int b) { m_bHasBindVariables = b; }
    void SetPrepared(int b) { m_bPrepared = b; }

    // The names asked for by value (slot 14) and by kind (slot 15).
    const std::vector<std::wstring>& ValueLookups() const { return m_valueLookups; }
    const std::vector<std::wstring>& KindLookups() const { return m_kindLookups; }
    int nUnusedSlotCalls() const { return m_nUnusedSlotCalls; }

    void EmptySlot7() override { ++m_nUnusedSlotCalls; }
    int bHasBindVariables() const override { return m_bHasBindVariables; }
    void EmptySlot9() override { ++m_nUnusedSlotCalls; }
    void EmptySlot10() override { ++m_nUnusedSlotCalls; }
    void EmptySlot11() override { ++m_nUnusedSlotCalls; }
    void EmptySlot12() override { ++m_nUnusedSlotCalls; }
    void EmptySlot13() override { ++m_nUnusedSlotCalls; }
    const CAny* pclGetValue(const wchar_t* pszName, int nOption) const override;
    int nGetParameterKind(const wchar_t* pszName) const override;
    int bPrepareCalled() const override { return m_bPrepared; }

private:
    struct Parameter
    {
        std::wstring name;
        std::unique_ptr<CAny> value;
        int nKind;
    };
    const Parameter* _pFind(const wchar_t* pszName) const;

    std::vector<Parameter> m_parameters;
    int m_bHasBindVariables = 0;
    int m_bPrepared = 0;
    mutable std::vector<std::wstring> m_valueLookups;
    mutable std::vector<std::wstring> m_kindLookups;
    int m_nUnusedSlotCalls = 0;
};
