#pragma once

// The registry fixture with runtime values, scripted execution statements
// (m_script, scripted_statement_sql.h) for the SQL-functions object and test
// descriptions (test_data_source_description.h) for the driver's slot 46.
// Every test ends with no statement and no description left alive. A test
// adds its own choices in ChooseMore.
#include <string>

#include "native/driver/wide_text_value.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/fakes/scripted_statement_sql.h"
#include "tests/fakes/test_data_source_description.h"
#include "tests/native/driver/registry_fixture.h"

namespace vxtest {

class ScriptedDriverTest : public RegistryTestOn<AnyVmTest>
{
protected:
    void Choose(CTestDriverChoices& choices) final
    {
        choices.allocStatementSQL = m_script.Factory();
        choices.allocDataSourceDescription = [](CNAConnectionDescription* pclConnection, CNAError* pclError) {
            return new CTestDataSourceDescription(pclConnection, pclError);
        };
        m_nDescriptionsBefore = CTestDataSourceDescription::s_nLive;
        ChooseMore(choices);
    }
    virtual void ChooseMore(CTestDriverChoices&) {}

    void TearDown() override
    {
        RegistryTestOn<AnyVmTest>::TearDown();
        EXPECT_EQ(0, m_script.nLive) << "statements alive";
        EXPECT_EQ(m_nDescriptionsBefore, CTestDataSourceDescription::s_nLive) << "descriptions alive";
    }

    CStatementScript m_script;
    int m_nDescriptionsBefore = 0;
};

// The text of a value, or "(no text)".
inline std::wstring TextOf(CAny& value)
{
    const wchar_t* psz = NA_pszWideTextOf(&value);
    return psz != nullptr ? psz : L"(no text)";
}

}  // namespace vxtest
