#pragma once

// What the SQL command's tests stand on: the model fixture (stand-in machine
// bound, the test driver with its error object and the test connection of
// kind 5), commands made by the driver (slot 51) and values made by its
// variant factory, each held until the end of the test and released before
// the fixture checks that every reference on the connection and the error
// object came back.
//
// The connection's code pages are fixed before a command is made (the
// command's builders take them at construction): 1252 on both sides by
// default, UseUtf8 for a Unicode connection whose client text is UTF-8.
//
// Parsed queries stand on stand-in parses and bind variables that the
// fixture owns: they outlive every command and adapter that holds them, and
// go before the runtime blocks are counted.
//
// CommandTestOf<RecordTest> gives the same over a built record.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "native/driver/wide_text_value.h"
#include "native/model/convert_variant.h"
#include "native/model/variant_any.h"
#include "native/sql/command.h"
#include "native/sql/parameter.h"
#include "native/sql/sql_parser_info.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/host/db/standin_query_parameters.h"
#include "tests/native/model/model_fixture.h"
#include "tests/native/model/record_fixture.h"

namespace vxtest {

template <class Base>
class CommandTestOf : public Base
{
protected:
    void SetUp() override
    {
        Base::SetUp();
        Connection().SetRuntimeCodePage(1252);
        Connection().SetClientTextCodePage(1252);
    }

    void TearDown() override
    {
        for (CNACommand* pclCommand : m_commands)
            pclCommand->nRelease();
        m_commands.clear();
        for (CSQLParserInfo* pclQuery : m_queries)
            pclQuery->nRelease();
        m_queries.clear();
        // Before the base checks the runtime blocks: they hold values.
        m_bindVariables.clear();
        m_parses.clear();
        for (CNAConvertVariant* pclValue : m_values)
            pclValue->nRelease();
        m_values.clear();
        Base::TearDown();
    }

    CTestConnection& Connection() { return *static_cast<CTestConnection*>(this->m_pclConnection); }
    void UseUtf8() { Connection().SetClientTextCodePage(65001); }

    // A new command from the driver, held until the end of the test.
    CNACommand* NewCommand()
    {
        CNACommand* pclCommand = this->Driver()->pclAllocCommand(this->m_pclError, this->m_pclConnection);
        EXPECT_NE(nullptr, pclCommand);
        REF_AddRef(pclCommand);
        m_commands.push_back(pclCommand);
        return pclCommand;
    }

    // A kind-1 value holding a copy of the runtime value, held until the
    // end of the test.
    CNAConvertVariant* Value(const CAny& clValue)
    {
        CNAConvertVariant* pclValue = this->Driver()->pclGetNewVariant_NV_Any(this->m_pclError, this->m_pclConnection,
                                                                                nullptr, &clValue);
        EXPECT_NE(nullptr, pclValue);
        REF_AddRef(pclValue);
        m_values.push_back(pclValue);
        return pclValue;
    }
    // A stand-in parse, and bind variables, owned by the fixture.
    StandinParsedQuery& Parse(const vxstandin::ParsedQuerySpec& spec)
    {
        m_parses.push_back(std::make_unique<StandinParsedQuery>(spec));
        return *m_parses.back();
    }
    // "SELECT * FROM CUSTOMER WHERE K = 7" as the host parses it: a WHERE
    // tree of one comparison whose literal is bound.
    StandinParsedQuery& ParseWhereKIs7()
    {
        static const std::wstring text = L"SELECT * FROM CUSTOMER WHERE K = 7";
        const auto at = [](const wchar_t* piece) {
            const long n = static_cast<long>(text.find(piece));
            return SQLPosition{n, n + static_cast<long>(std::wcslen(piece)) - 1};
        };
        vxstandin::ExpressionSpec where{.eOperator = OPEXP_EQUAL,
                                        .position = at(L"K = 7"),
                                        .operands = {{.eOperator = OPEXP_ITEM, .item = L"K", .position = at(L"K")},
                                                     {.eOperator = OPEXP_LITERAL,
                                                      .position = at(L"7"),
                                                      .value = std::make_shared<CAny>(Int(7))}}};
        return Parse({.text = text,
                      .from = {{.name = L"CUSTOMER", .position = at(L"CUSTOMER")}},
                      .whereStart = static_cast<long>(text.find(L"WHERE")),
                      .whereEnd = at(L"7").nStop,
                      .where = where});
    }
    StandinQueryParameters& BindVariables()
    {
        m_bindVariables.push_back(std::make_unique<StandinQueryParameters>());
        return *m_bindVariables.back();
    }
    // The driver's copy of a parse, held until the end of the test.
    CSQLParserInfo* Query(StandinParsedQuery& parse, INAQueryParametersValue* piValues = nullptr)
    {
        auto* pclQuery = new CSQLParserInfo(this->m_pclError, &parse, piValues, 0);
        REF_AddRef(pclQuery);
        m_queries.push_back(pclQuery);
        return pclQuery;
    }

    static CAny Wide(const wchar_t* pszText)
    {
        CAny clValue;
        EXPECT_TRUE(NA_bSetWideText(&clValue, 16, pszText));
        return clValue;
    }
    static CAny Ansi(const char* pszText)
    {
        CAny clValue;
        clValue.__SetType(19, 0);
        EXPECT_LE(NA_nSetAnyAnsi(clValue, pszText, std::strlen(pszText)), 99);
        return clValue;
    }
    static CAny Int(int n)
    {
        CAny clValue;
        clValue.SetI4(n);
        return clValue;
    }

    // A value parameter at the current end of the command's text.
    static int AddParameter(CNACommand* pclCommand, CNAConvertVariant* pclValue, unsigned nFlags = 0,
                            const wchar_t* pszName = nullptr, wchar_t cEscape = 0)
    {
        return pclCommand->bAddParameter(pclValue, OPEXP_NONE, nFlags, nullptr, pszName, cEscape,
                                         CNAParameter::NA_PARAM_IN);
    }

    static std::wstring Formatted(CNACommand* pclCommand)
    {
        const wchar_t* psz = pclCommand->pszGetFormatedSQLW(CNACommand::PARAMTYPE_NONE);
        return psz != nullptr ? psz : L"<null>";
    }
    static std::vector<unsigned long> Positions(const CNACommand* pclCommand)
    {
        std::vector<unsigned long> positions;
        for (unsigned i = 0; pclCommand->pclGetParameterNoRef(i) != nullptr; ++i)
            positions.push_back(pclCommand->pclGetParameterNoRef(i)->nGetPosition());
        return positions;
    }

    std::vector<std::unique_ptr<StandinParsedQuery>> m_parses;
    std::vector<std::unique_ptr<StandinQueryParameters>> m_bindVariables;
    std::vector<CNACommand*> m_commands;
    std::vector<CSQLParserInfo*> m_queries;
    std::vector<CNAConvertVariant*> m_values;
};

using CommandTest = CommandTestOf<ModelTest>;

}  // namespace vxtest
