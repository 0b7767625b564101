// The execution statement's slots: CInterf's three, then its own in order.
#include <gtest/gtest.h>

#include "native/access/statement_sql.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(AbiStatementSQL, SlotOrder)
{
    using ByVariant = int (CNAStatementSQL::*)(CNAConvertVariant*, unsigned, unsigned);
    using ByAny = int (CNAStatementSQL::*)(CAny*, unsigned, unsigned);
    using ByBuilder = int (CNAStatementSQL::*)(CTStringConcatAW*, CTabValParser*, unsigned);
    using ByWide = int (CNAStatementSQL::*)(const wchar_t*, CTabValParser*, unsigned);
    using ByNarrow = int (CNAStatementSQL::*)(const char*, CTabValParser*, unsigned);
    using ExecuteWithValues = int (CNAStatementSQL::*)(const wchar_t*, CTabValParser*, unsigned);
    vxtest::ExpectSlots("CNAStatementSQL", {
        VX_SLOT(CNAStatementSQL, _NotToBeCalled, 2),
        VX_SLOT(CNAStatementSQL, bPrepareSQL, 3),
        VX_SLOT(CNAStatementSQL, bExecutePreparedQuery, 4),
        VX_SLOT_AS(CNAStatementSQL, bExecuteDirect, ExecuteWithValues, 5),
        VX_SLOT(CNAStatementSQL, bGetAffected_rows, 6),
        VX_SLOT(CNAStatementSQL, bFetch, 7),
        VX_SLOT(CNAStatementSQL, bDataSeek, 8),
        VX_SLOT_AS(CNAStatementSQL, bGetValue, ByVariant, 9),
        VX_SLOT_AS(CNAStatementSQL, bGetValue, ByAny, 10),
        VX_SLOT(CNAStatementSQL, bGetBLOBValue, 11),
        VX_SLOT(CNAStatementSQL, bReset, 12),
        VX_SLOT(CNAStatementSQL, _bCloseParse, 13),
        VX_SLOT(CNAStatementSQL, _bInitTabNAColumn, 14),
        VX_SLOT(CNAStatementSQL, _bInitLastError, 15),
        VX_SLOT(CNAStatementSQL, _InitExecuteError, 16),
        VX_SLOT(CNAStatementSQL, _bAddParameter, 17),
        VX_SLOT_AS(CNAStatementSQL, _bExecuteDirect, ByBuilder, 18),
        VX_SLOT_AS(CNAStatementSQL, _bExecuteDirect, ByWide, 19),
        VX_SLOT_AS(CNAStatementSQL, _bExecuteDirect, ByNarrow, 20),
    });
    EXPECT_EQ(21, VX_SLOT_COUNT(CNAStatementSQL));
}

}  // namespace
