#pragma once

// What the condition tests stand on: the command fixture over a built
// record of the table CUSTOMER (a primary key ID, an integer K that may be
// NULL, an unsigned U, 8-bit and Unicode texts T and W, a boolean B, DATE8
// D, DATETIME DT and an HHMM time H), condition nodes made on the fixture's
// error object and held until the end of the test, and the search's
// parameter list they bind into.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/model/item_description.h"
#include "native/sql/condition.h"
#include "native/sql/condition_parameters.h"
#include "tests/native/sql/command_fixture.h"

namespace vxtest {

class ConditionTest : public CommandTestOf<RecordTest>
{
protected:
    void SetUp() override
    {
        CommandTestOf<RecordTest>::SetUp();
        Add(L"ID", NA_IT_I4, 4, NA_KEY_PRIMARY);
        Add(L"K", NA_IT_I4, 4, NA_KEY_DUPLICATES);
        Add(L"U", NA_IT_UI1, 1);
        Add(L"T", NA_IT_TEXTE, 20);
        Add(L"W", NA_IT_UNICODE, 20);
        Add(L"B", NA_IT_BOOLEEN, 1);
        Add(L"D", NA_IT_DATE8, 8);
        Add(L"DT", NA_IT_DATETIME, 17);
        Add(L"H", NA_IT_HEURE, 4);
        ASSERT_EQ(1, Build());
        m_pclCommand = NewCommand();
    }
    void TearDown() override
    {
        for (CNAExpression* pclNode : m_nodes)
            REF_Release(pclNode);
        m_nodes.clear();
        m_search.RemoveAllParameters();
        CommandTestOf<RecordTest>::TearDown();
    }

    CNAExpression* Held(CNAExpression* pclNode)
    {
        EXPECT_NE(nullptr, pclNode);
        if (pclNode != nullptr) {
            REF_AddRef(pclNode);
            m_nodes.push_back(pclNode);
        }
        return pclNode;
    }
    CNAExpression* Empty() { return Held(new CNAExpression(m_pclError)); }
    // column op value (a NULL value when the value is null).
    CNAExpression* Cmp(const wchar_t* pszColumn, eNAOperator eOp, const CAny& clValue, unsigned nFlags = 0)
    {
        return Held(Empty()->pclAllocExpression(eOp, Col(pszColumn), Value(clValue), nFlags));
    }
    CNAExpression* Node(eNAOperator eOp, CNAExpression* pclLeft, CNAExpression* pclRight, unsigned nFlags = 0)
    {
        return Held(Empty()->pclAllocExpression(eOp, pclLeft, pclRight, nFlags));
    }
    CNAExpression* Const(eNAOperator eOp) { return Held(Empty()->pclAllocExpression(eOp, static_cast<CNAExpression*>(nullptr), nullptr, 0)); }

    static CAny Null(unsigned short nType = ZLTYPE_I4)
    {
        CAny v;
        v.__SetType(nType, 0);
        v.SetNull();
        return v;
    }
    static CAny Bool(bool b)
    {
        CAny v;
        v.SetBOOL(b ? 1 : 0);
        return v;
    }

    struct Written
    {
        int bDone = 0;
        int nDropped = 0;
        std::wstring text;
        std::vector<std::wstring> values;  // the search's parameters, as text
    };
    // The node written into a fresh command (after the prefix, when given)
    // under the parent operator.
    Written Write(CNAExpression* pclNode, eNAOperator eParent = NA_OP_NONE, const wchar_t* pszPrefix = nullptr)
    {
        m_pclCommand->ResetCommand(0);
        m_search.RemoveAllParameters();
        if (pszPrefix != nullptr)
            m_pclCommand->bComplete(pszPrefix, static_cast<unsigned long>(-1));
        Written w;
        w.bDone = pclNode->bGetSQL(m_pclCommand, eParent, &m_search, &w.nDropped, m_record);
        w.text = m_pclCommand->pszGetOriginalSQL() != nullptr ? m_pclCommand->pszGetOriginalSQL() : L"";
        for (int i = 0; i < m_search.nGetNbParameter(); ++i) {
            CAny v;
            CNAParameter* pclParameter = m_search.pclGetParameterNoRef(i);
            pclParameter->pclGetValueNoRef()->bGetValue(&v);
            const wchar_t* psz = v.bIsNull() ? L"<NULL>" : NA_pszWideTextOf(&v);
            w.values.push_back(std::to_wstring(pclParameter->nGetPosition()) + L":" + (psz != nullptr ? psz : L"?"));
        }
        EXPECT_EQ(m_search.nGetNbParameter(), m_pclCommand->nGetParameterNbr());
        return w;
    }
    // The command's text with each parameter's value put in at its place,
    // as "[value]".
    std::wstring Shown(CNAExpression* pclNode, eNAOperator eParent = NA_OP_NONE, int* pnDropped = nullptr)
    {
        Written w = Write(pclNode, eParent);
        EXPECT_EQ(1, w.bDone);
        if (pnDropped != nullptr)
            *pnDropped = w.nDropped;
        std::wstring text = w.text;
        for (int i = m_search.nGetNbParameter() - 1; i >= 0; --i) {
            CAny v;
            CNAParameter* pclParameter = m_search.pclGetParameterNoRef(i);
            pclParameter->pclGetValueNoRef()->bGetValue(&v);
            const wchar_t* psz = v.bIsNull() ? L"<NULL>" : NA_pszWideTextOf(&v);
            const size_t nAt = pclParameter->nGetPosition();
            text.insert(nAt <= text.size() ? nAt : text.size(), L"[" + std::wstring(psz != nullptr ? psz : L"?") + L"]");
        }
        return text;
    }

    CNACommand* m_pclCommand = nullptr;
    CNAConditionParameters m_search;
    std::vector<CNAExpression*> m_nodes;
};

}  // namespace vxtest
