// Output definitions of a command: a table column's value (the column kept
// too) or a named value, with their references, names and connection, and a
// counted array of them.
#include <gtest/gtest.h>

#include "common/text/ref_array.h"
#include "native/model/define.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/record_fixture.h"

namespace {

using vxtest::RecordTest;

class Define : public RecordTest
{
};

TEST_F(Define, SlotsInTheirOrder)
{
    vxtest::ExpectSlots("CNADefine", {VX_SLOT(CNADefine, bIsCursor, 3)});
    EXPECT_EQ(4, VX_SLOT_COUNT(CNADefine));
}

TEST_F(Define, AColumnsValueOrANamedValue)
{
    Add(L"NAME", NA_IT_TEXTE, 11);
    ASSERT_EQ(1, Build());
    CNAColumn* column = Col(L"NAME");
    CNAConvertVariant* value = column->pclGetNAValue();
    const uint32_t columnRefs = column->m_dwRefCount;
    const uint32_t valueRefs = value->m_dwRefCount;
    {
        CRefArray<CNADefine> defines(4);
        auto* fromColumn = new CNADefine(column);
        CNAConvertVariant* named = AnyVariant(ZLTYPE_I4);
        auto* fromName = new CNADefine(L"COUNT(*)", named);
        for (CNADefine* define : {fromColumn, static_cast<CNADefine*>(nullptr), fromName}) {
            defines.Ajoute(define);
            CRefArray<CNADefine>::_AddRef(define);
        }
        EXPECT_EQ(columnRefs + 1, column->m_dwRefCount);
        EXPECT_EQ(valueRefs + 1, value->m_dwRefCount);
        EXPECT_EQ(0, fromColumn->bIsCursor());
        EXPECT_STREQ(L"NAME", fromColumn->pszGetName());
        EXPECT_EQ(value, fromColumn->pclGetValueNoRef());
        EXPECT_EQ(m_pclConnection, fromColumn->pclGetCnx());
        EXPECT_STREQ(L"COUNT(*)", fromName->pszGetName());
        EXPECT_EQ(nullptr, fromName->pclGetColumnNoRef());
        EXPECT_EQ(named, fromName->pclGetValueNoRef());
        EXPECT_EQ(m_pclConnection, fromName->pclGetCnx());
        EXPECT_EQ(2u, named->m_dwRefCount);
    }
    // The array let them go, and they let go of their column and values.
    EXPECT_EQ(columnRefs, column->m_dwRefCount);
    EXPECT_EQ(valueRefs, value->m_dwRefCount);

    CNADefine empty(nullptr);
    EXPECT_STREQ(L"", empty.pszGetName());
    EXPECT_EQ(nullptr, empty.pclGetCnx());
}

}  // namespace
