// Query parameters: what a new one holds, its direction text, the item-type
// tests, equality (which ignores the escape character), clones (which share
// the value and start over as input parameters), the column and item it is
// bound to with their references, its type information, output parameters
// of the host, and file contents loaded into it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "common/text/xy_string_concat.h"
#include "native/model/column.h"
#include "native/model/item_description.h"
#include "native/model/variant_any.h"
#include "tests/host/db/standin_query_parameters.h"
#include "tests/native/abi_slots.h"
#include "tests/native/sql/command_fixture.h"

namespace {

class Parameter : public vxtest::CommandTest
{
protected:
    void TearDown() override
    {
        for (CNAParameter* pclParameter : m_parameters)
            pclParameter->nRelease();
        m_parameters.clear();
        for (CNAColumn* pclColumn : m_columns)
            pclColumn->nRelease();
        m_columns.clear();
        for (const std::string& file : m_files)
            std::remove(file.c_str());
        vxtest::CommandTest::TearDown();
    }

    // A new parameter from the driver (slot 55), held until the end.
    CNAParameter* New(CNAConvertVariant* pclValue, unsigned long nPosition = 0, unsigned nFlags = 0,
                      const wchar_t* pszName = L"P")
    {
        CNAParameter* pclParameter = Driver()->pclAllocParameter(pclValue, nPosition, nFlags, pszName);
        EXPECT_NE(nullptr, pclParameter);
        REF_AddRef(pclParameter);
        m_parameters.push_back(pclParameter);
        return pclParameter;
    }
    CNAParameter* Hold(CNAParameter* pclParameter)
    {
        m_parameters.push_back(pclParameter);
        return pclParameter;
    }
    // A plain column over an item, held until the end.
    CNAColumn* Column(CNAItemDescription* pclItem)
    {
        auto* pclColumn = new CNAColumn(m_pclError, pclItem);
        REF_AddRef(pclColumn);
        m_columns.push_back(pclColumn);
        return pclColumn;
    }
    std::string File(const std::string& content)
    {
        const char* pszTmp = std::getenv("TMPDIR");
        std::string path = std::string(pszTmp != nullptr && *pszTmp ? pszTmp : "/tmp") + "/vxparam.XXXXXX";
        const int fd = mkstemp(path.data());
        EXPECT_GE(fd, 0);
        close(fd);
        std::ofstream(path, std::ios::binary) << content;
        m_files.push_back(path);
        return path;
    }
    static std::wstring Direction(const CNAParameter* pclParameter)
    {
        CXYStringConcat<wchar_t> clText;
        pclParameter->TypeParam2String(&clText);
        return clText.pszGet();
    }

    std::vector<CNAParameter*> m_parameters;
    std::vector<CNAColumn*> m_columns;
    std::vector<std::string> m_files;
};

TEST_F(Parameter, SlotsInTheirOrder)
{
    vxtest::ExpectSlots("CNAParameter", {VX_SLOT(CNAParameter, pclGetClone, 3)});
    EXPECT_EQ(4, VX_SLOT_COUNT(CNAParameter));
}

TEST_F(Parameter, ANewParameterIsAnInputWithoutEscape)
{
    CNAConvertVariant* pclValue = Value(Int(7));
    const uint32_t nRefs = pclValue->m_dwRefCount;
    {
        CNAParameter* pclParameter = Driver()->pclAllocParameter(pclValue, 12, CNAParameter::PARAM_LIKE, L"CITY");
        ASSERT_NE(nullptr, pclParameter);
        REF_AddRef(pclParameter);
        EXPECT_EQ(nRefs + 1, pclValue->m_dwRefCount);
        EXPECT_EQ(pclValue, pclParameter->pclGetValueNoRef());
        EXPECT_EQ(12u, pclParameter->nGetPosition());
        EXPECT_EQ(static_cast<unsigned>(CNAParameter::PARAM_LIKE), pclParameter->nGetFlags());
        EXPECT_STREQ(L"CITY", pclParameter->pszGetName());
        EXPECT_EQ(nullptr, pclParameter->pclGetColumnNoRef());
        EXPECT_EQ(nullptr, pclParameter->piGetItemNoRef());
        EXPECT_EQ(0, static_cast<int>(pclParameter->eGetOperator()));
        EXPECT_EQ(-1, pclParameter->nGetEscape());
        EXPECT_EQ(0, pclParameter->nGetReserved());
        EXPECT_EQ(L"(IN)", Direction(pclParameter));
        pclParameter->nRelease();
    }
    EXPECT_EQ(nRefs, pclValue->m_dwRefCount);
}

TEST_F(Parameter, DirectionTexts)
{
    const struct
    {
        unsigned nDirection;
        const wchar_t* pszText;
    } kCases[] = {{0, L"()"},           {1, L"(IN)"},        {2, L"(OUT)"},        {3, L"(IN|OUT)"},
                  {4, L"(RETURN)"},     {5, L"(IN|RETURN)"}, {6, L"(OUT|RETURN)"}, {7, L"(IN|OUT|RETURN)"},
                  {8 | 2, L"(OUT)"}};
    CNAParameter* pclParameter = New(Value(Int(1)));
    for (const auto& c : kCases) {
        pclParameter->SetDirection(c.nDirection);
        EXPECT_EQ(c.pszText, Direction(pclParameter)) << c.nDirection;
    }
}

TEST_F(Parameter, ItemTypeTests)
{
    const struct
    {
        eNA_ITEMTYPE eType;
        int bText, bUnicode, bDate;
    } kCases[] = {
        {NA_IT_TEXTE, 1, 0, 0},    {NA_IT_MEMOTEXTE, 1, 0, 0}, {NA_IT_UNICODE, 1, 1, 0},
        {NA_IT_MEMOUNICODE, 1, 1, 0},
        // A single character is no text here, although the condition
        // writer writes it as one.
        {NA_IT_CHAR, 0, 0, 0},     {NA_IT_DATE6, 0, 0, 1},     {NA_IT_HEURE, 0, 0, 1},
        {NA_IT_DATE8, 0, 0, 1},    {NA_IT_DATETIME, 0, 0, 1},  {NA_IT_I4, 0, 0, 0},
        {NA_IT_MEMOBINAIRE, 0, 0, 0},
    };
    CNAParameter* pclParameter = New(Value(Int(1)));
    EXPECT_FALSE(pclParameter->bIsText());
    EXPECT_FALSE(pclParameter->bIsDate());
    for (const auto& c : kCases) {
        pclParameter->SetItem(NewItem(L"A", c.eType, 8));
        EXPECT_EQ(c.bText, pclParameter->bIsText()) << c.eType;
        EXPECT_EQ(c.bUnicode, pclParameter->bIsTextUnicode()) << c.eType;
        EXPECT_EQ(c.bDate, pclParameter->bIsDate()) << c.eType;
    }
}

TEST_F(Parameter, EqualityIgnoresOnlyTheEscape)
{
    CNAConvertVariant* pclA = Value(Wide(L"x"));
    CNAConvertVariant* pclB = Value(Wide(L"x"));
    CNAConvertVariant* pclOther = Value(Wide(L"y"));
    CNAParameter* pclFirst = New(pclA, 4, 0, L"P");
    CNAParameter* pclSecond = New(pclB, 4, 0, L"P");
    EXPECT_TRUE(pclFirst->bEqualsParameter(pclFirst));
    EXPECT_FALSE(pclFirst->bEqualsParameter(nullptr));
    pclSecond->SetEscape(L'!');
    EXPECT_TRUE(pclFirst->bEqualsParameter(pclSecond));

    const struct
    {
        const char* pszWhat;
        void (*change)(CNAParameter*);
    } kDifferences[] = {
        {"position", [](CNAParameter* p) { p->SetPosition(5); }},
        {"flags", [](CNAParameter* p) { p->SetFlags(CNAParameter::PARAM_LIKE); }},
        {"operator", [](CNAParameter* p) { p->SetOperator(OPEXP_EQUAL); }},
        {"reserved", [](CNAParameter* p) { p->SetReserved(1); }},
        {"direction", [](CNAParameter* p) { p->SetDirection(CNAParameter::NA_PARAM_OUT); }},
    };
    for (const auto& difference : kDifferences) {
        CNAParameter* pclChanged = New(pclB, 4, 0, L"P");
        difference.change(pclChanged);
        EXPECT_FALSE(pclFirst->bEqualsParameter(pclChanged)) << difference.pszWhat;
    }
    EXPECT_FALSE(pclFirst->bEqualsParameter(New(pclOther, 4, 0, L"P")));
    // The name is not compared.
    EXPECT_TRUE(pclFirst->bEqualsParameter(New(pclB, 4, 0, L"Q")));

    // Columns and items by name.
    CNAParameter* pclWithColumn = New(pclA, 4);
    pclWithColumn->SetColum(Column(NewItem(L"CITY", NA_IT_TEXTE, 20)));
    EXPECT_FALSE(pclFirst->bEqualsParameter(pclWithColumn));
    CNAParameter* pclSameColumnName = New(pclB, 4);
    pclSameColumnName->SetColum(Column(NewItem(L"CITY", NA_IT_TEXTE, 20)));
    EXPECT_TRUE(pclWithColumn->bEqualsParameter(pclSameColumnName));
    CNAParameter* pclOtherColumnName = New(pclB, 4);
    pclOtherColumnName->SetColum(Column(NewItem(L"TOWN", NA_IT_TEXTE, 20)));
    EXPECT_FALSE(pclWithColumn->bEqualsParameter(pclOtherColumnName));
}

TEST_F(Parameter, ACloneSharesTheValueAndStartsOverAsAnInput)
{
    CNAConvertVariant* pclValue = Value(Int(3));
    CNAColumn* pclColumn = Column(NewItem(L"ID", NA_IT_I4, 4));
    CNAParameter* pclOutput = New(pclValue, 9, CNAParameter::PARAM_USER, L"ID");
    pclOutput->SetColum(pclColumn);
    pclOutput->SetOperator(OPEXP_SUPERIOR);
    pclOutput->SetEscape(L'!');
    pclOutput->SetReserved(5);
    pclOutput->SetDirection(CNAParameter::NA_PARAM_OUT);

    CNAParameter* pclClone = Hold(pclOutput->pclGetClone());
    ASSERT_NE(nullptr, pclClone);
    EXPECT_EQ(1u, pclClone->m_dwRefCount);
    EXPECT_EQ(pclValue, pclClone->pclGetValueNoRef());
    EXPECT_EQ(9u, pclClone->nGetPosition());
    EXPECT_EQ(static_cast<unsigned>(CNAParameter::PARAM_USER), pclClone->nGetFlags());
    EXPECT_STREQ(L"ID", pclClone->pszGetName());
    EXPECT_EQ(pclColumn, pclClone->pclGetColumnNoRef());
    EXPECT_EQ(pclColumn->piGetItemNoRef(), pclClone->piGetItemNoRef());
    EXPECT_EQ(OPEXP_SUPERIOR, pclClone->eGetOperator());
    EXPECT_EQ(-1, pclClone->nGetEscape());
    EXPECT_EQ(0, pclClone->nGetReserved());
    EXPECT_EQ(L"(IN)", Direction(pclClone));
}

TEST_F(Parameter, TheColumnBringsItsItemAndBothAreCounted)
{
    CNAItemDescription* pclItem = NewItem(L"NAME", NA_IT_TEXTE, 20);
    CNAColumn* pclColumn = Column(pclItem);
    CNAParameter* pclParameter = New(Value(Wide(L"x")));
    const uint32_t nColumnRefs = pclColumn->m_dwRefCount;
    const unsigned nItemRefs = pclItem->nGetExternalRef();
    pclParameter->SetColum(pclColumn);
    EXPECT_EQ(nColumnRefs + 1, pclColumn->m_dwRefCount);
    EXPECT_EQ(pclItem, pclParameter->piGetItemNoRef());
    EXPECT_EQ(nItemRefs + 1, pclItem->nGetExternalRef());
    EXPECT_TRUE(pclParameter->bIsText());
    pclParameter->SetColum(nullptr);
    EXPECT_EQ(nColumnRefs, pclColumn->m_dwRefCount);
    EXPECT_EQ(nullptr, pclParameter->piGetItemNoRef());
    EXPECT_EQ(nItemRefs, pclItem->nGetExternalRef());

    // The driver's second factory binds the column.
    CNAParameter* pclBound = Driver()->pclAllocParameter_col(pclColumn, Value(Int(1)), 3, 0, L"B");
    ASSERT_NE(nullptr, pclBound);
    REF_AddRef(pclBound);
    Hold(pclBound);
    EXPECT_EQ(pclColumn, pclBound->pclGetColumnNoRef());
    EXPECT_EQ(pclItem, pclBound->piGetItemNoRef());
}

TEST_F(Parameter, CaseRuleOfTheColumnElseOfTheItem)
{
    CNAItemDescription* pclPlain = NewItem(L"A", NA_IT_TEXTE, 20);
    CNAItemDescription* pclIgnoringCase = NewItem(L"B", NA_IT_TEXTE, 20);
    pclIgnoringCase->SetKeyFlags(0x0080);
    CNAParameter* pclParameter = New(Value(Wide(L"x")));
    EXPECT_FALSE(pclParameter->bCaseInSensitiveLIKE());
    pclParameter->SetItem(pclIgnoringCase);
    EXPECT_TRUE(pclParameter->bCaseInSensitiveLIKE());
    pclParameter->SetColum(Column(pclPlain));
    EXPECT_FALSE(pclParameter->bCaseInSensitiveLIKE());
    pclParameter->SetColum(Column(pclIgnoringCase));
    EXPECT_TRUE(pclParameter->bCaseInSensitiveLIKE());
}

TEST_F(Parameter, TypeInformationFromTheColumnElseFromTheValue)
{
    CNAParameter* pclParameter = New(Value(Int(1)));
    eNA_ITEMTYPE eDatabase = NA_IT_I4;
    eNA_ITEMTYPE eAnalysis = NA_IT_I4;
    EXPECT_FALSE(pclParameter->bGetZLTypeInfo(&eDatabase, &eAnalysis));
    EXPECT_EQ(NA_IT_EMPTY, eDatabase);
    EXPECT_EQ(NA_IT_EMPTY, eAnalysis);
    eNA_ITEMTYPE eType = NA_IT_EMPTY;
    int nSize = 0, nLogical = 0, nPrecision = 0, nScale = 0;
    EXPECT_FALSE(pclParameter->bGetDBType(&eType, &nSize, &nLogical, &nPrecision, &nScale));

    CNAItemDescription* pclAnalysis = NewItem(L"AMOUNT", NA_IT_R8, 8);
    CNAItemDescription* pclDatabase = NewItem(L"AMOUNT", NA_IT_DECIMAL, 9, 12, 3);
    pclParameter->pclGetValueNoRef()->SetItemDesc(pclAnalysis, pclDatabase);
    EXPECT_TRUE(pclParameter->bGetZLTypeInfo(&eDatabase, &eAnalysis));
    EXPECT_EQ(NA_IT_DECIMAL, eDatabase);
    EXPECT_EQ(NA_IT_R8, eAnalysis);
    EXPECT_TRUE(pclParameter->bGetDBType(&eType, &nSize, &nLogical, &nPrecision, &nScale));
    EXPECT_EQ(NA_IT_DECIMAL, eType);
    EXPECT_EQ(9, nSize);
    EXPECT_EQ(9, nLogical);
    EXPECT_EQ(12, nPrecision);
    EXPECT_EQ(3, nScale);

    // A column answers for both sides, even when it knows no database side.
    pclParameter->SetColum(Column(NewItem(L"NOTE", NA_IT_MEMOTEXTE, 0)));
    EXPECT_TRUE(pclParameter->bGetZLTypeInfo(&eDatabase, &eAnalysis));
    EXPECT_EQ(NA_IT_EMPTY, eDatabase);
    EXPECT_EQ(NA_IT_MEMOTEXTE, eAnalysis);
    // The value's database item still comes first for the database type;
    // a memo has no logical size.
    pclParameter->pclGetValueNoRef()->SetItemDesc(pclAnalysis, NewItem(L"NOTE", NA_IT_MEMOTEXTE, 8));
    EXPECT_TRUE(pclParameter->bGetDBType(&eType, &nSize, &nLogical, &nPrecision, &nScale));
    EXPECT_EQ(NA_IT_MEMOTEXTE, eType);
    EXPECT_EQ(-1, nLogical);
}

TEST_F(Parameter, OutputParametersOfTheHost)
{
    StandinQueryParameters values;
    values.Set(L"A", Int(1), INAQueryParametersValue::PARAM_IN);
    values.Set(L"B", Int(1), INAQueryParametersValue::PARAM_OUT);
    values.Set(L"C", Int(1), INAQueryParametersValue::PARAM_INOUT);
    const struct
    {
        const wchar_t* pszName;
        int bOut;
    } kCases[] = {{L"A", 0}, {L"B", 1}, {L"C", 1}, {L"UNKNOWN", 0}};
    for (const auto& c : kCases)
        EXPECT_EQ(c.bOut, New(Value(Int(1)), 0, 0, c.pszName)->bIsParamOUT(&values)) << c.pszName;
    EXPECT_FALSE(New(Value(Int(1)), 0, 0, L"B")->bIsParamOUT(nullptr));
}

TEST_F(Parameter, FileContentsLoadedAsTextOrBinary)
{
    const std::string path = File(std::string("line\0two", 8));
    const std::wstring widePath(path.begin(), path.end());
    const unsigned kText = CNAParameter::PARAM_FILE | CNAParameter::PARAM_FILE_TEXT;

    CNAParameter* pclText = New(Value(Wide(widePath.c_str())), 0, kText);
    ASSERT_TRUE(pclText->bLoadFile(m_pclError));
    EXPECT_EQ(static_cast<unsigned>(CNAParameter::PARAM_FILE_TEXT), pclText->nGetFlags());
    CAny clText;
    pclText->pclGetValueNoRef()->bGetValue(&clText);
    EXPECT_EQ(ZLTYPE_DSTRA, clText.nGetTypeCode());

    CNAParameter* pclBinary = New(Value(Wide(widePath.c_str())), 0, CNAParameter::PARAM_FILE);
    ASSERT_TRUE(pclBinary->bLoadFile(m_pclError));
    EXPECT_EQ(0u, pclBinary->nGetFlags());
    CAny clBinary;
    pclBinary->pclGetValueNoRef()->bGetValue(&clBinary);
    EXPECT_EQ(ZLTYPE_BIN, clBinary.nGetTypeCode());
    EXPECT_EQ(8u, NA_nGetAnyUtilSize(clBinary));

    // A missing file: the flag stays, the path stays the value, the error
    // names the path.
    const std::wstring missing = widePath + L".missing";
    CNAParameter* pclMissing = New(Value(Wide(missing.c_str())), 0, CNAParameter::PARAM_FILE);
    EXPECT_FALSE(pclMissing->bLoadFile(m_pclError));
    EXPECT_EQ(static_cast<unsigned>(CNAParameter::PARAM_FILE), pclMissing->nGetFlags());
    EXPECT_EQ(15u, m_pclError->dwGetErrorId());
    EXPECT_NE(std::wstring::npos, ErrorText().find(missing));
}

}  // namespace
