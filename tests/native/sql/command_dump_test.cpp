// The command's dump, in the driver's captions: the query, the parameter
// count, and each parameter with its runtime type and value (a buffer by its
// size, a value without text by the conversion-failure caption); and the
// columns of a record selected into a command.
#include <gtest/gtest.h>

#include <string>

#include "native/driver/driver.h"
#include "native/model/record.h"
#include "tests/native/sql/command_fixture.h"

namespace {

class CommandDump : public vxtest::CommandTest
{
protected:
    std::wstring Caption(eNA_DUMPCAPTION eField) { return Driver()->pszGetDumpCaption(eField); }
};

TEST_F(CommandDump, WithoutParametersItEndsAfterTheCount)
{
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"SELECT * FROM T", static_cast<unsigned long>(-1));
    EXPECT_EQ(Caption(NA_CAPTION_QUERY_TEXT) + L"SELECT * FROM T\r\n" + Caption(NA_CAPTION_PARAMETER_COUNT) + L"=0\r\n",
              pclCommand->pszGetCommandDump());
}

TEST_F(CommandDump, EachParameterWithItsTypeAndValue)
{
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"UPDATE T SET A=", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Int(42)));
    pclCommand->bComplete(L", B=", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Wide(L"d\u00e9j\u00e0")));
    pclCommand->bComplete(L", C=", static_cast<unsigned long>(-1));
    CNAConvertVariant* pclBuffer = Value(CAny());
    ASSERT_EQ(1, pclBuffer->bInitTypeVariantBuffer(29, 5));
    AddParameter(pclCommand, pclBuffer);
    pclCommand->bComplete(L", D=", static_cast<unsigned long>(-1));
    CNAConvertVariant* pclNull = Value(Int(0));
    pclNull->SetNull();
    AddParameter(pclCommand, pclNull);

    const std::wstring type = Caption(NA_CAPTION_RUNTIME_TYPE);
    const std::wstring parameter = Caption(NA_CAPTION_PARAMETER);
    const std::wstring expected = Caption(NA_CAPTION_QUERY_TEXT) + L"UPDATE T SET A=, B=, C=, D=\r\n" +
                                  Caption(NA_CAPTION_PARAMETER_COUNT) + L"=4\r\n" +
                                  parameter + L" 0 :\t" + type + L"8 = <42>\r\n" +
                                  parameter + L" 1 :\t" + type + L"16 = <d\u00e9j\u00e0>\r\n" +
                                  parameter + L" 2 :\t" + type + L"29 = <Buffer, size = 5>\r\n" +
                                  parameter + L" 3 :\t" + type + L"8 = <" +
                                  Caption(NA_CAPTION_CONVERSION_FAILED) + L">\r\n";
    EXPECT_EQ(expected, pclCommand->pszGetCommandDump());
    // Written again, not appended.
    EXPECT_EQ(expected, pclCommand->pszGetCommandDump());
}

class CommandSelect : public vxtest::CommandTestOf<vxtest::RecordTest>
{
};

TEST_F(CommandSelect, TheRecordsColumnsUnderTheSelectionMode)
{
    Add(L"ID", NA_IT_I4, 4, 0x8000);
    Add(L"NAME", NA_IT_TEXTE, 21);
    Add(L"NOTE", NA_IT_MEMOTEXTE, 0);
    Add(L"CITY", NA_IT_TEXTE, 21);
    AddComposite(L"NAME_CITY", 0x4000, {L"NAME", L"CITY"});
    ASSERT_EQ(1, Build());

    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"SELECT ", static_cast<unsigned long>(-1));
    // Mode 3 selects the memo, never the composite key.
    ASSERT_EQ(1, pclCommand->bAddSelectColumns(m_record, 1));
    pclCommand->bComplete(L" FROM CUSTOMER", static_cast<unsigned long>(-1));
    EXPECT_STREQ(L"SELECT `ID`,`NAME`,`NOTE`,`CITY` FROM CUSTOMER", pclCommand->pszGetOriginalSQL());
    ASSERT_EQ(4, pclCommand->nGetDefineNbr());
    EXPECT_EQ(Col(L"NOTE"), pclCommand->pclGetDefineNoRef(2)->pclGetColumnNoRef());
    EXPECT_EQ(Col(L"NOTE")->pclGetNAValue(), pclCommand->pclGetDefineNoRef(2)->pclGetValueNoRef());

    // Mode 1 leaves the memo out.
    CNACommand* pclWithoutMemo = NewCommand();
    pclWithoutMemo->SetColumnSelectionMode(1);
    ASSERT_EQ(1, pclWithoutMemo->bAddSelectColumns(m_record, 1));
    EXPECT_STREQ(L"`ID`,`NAME`,`CITY`", pclWithoutMemo->pszGetOriginalSQL());
    EXPECT_EQ(0, pclCommand->bAddSelectColumns(nullptr, 1));
}

}  // namespace
