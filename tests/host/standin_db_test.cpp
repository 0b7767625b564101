// The host's database side as the driver reads it: values by slot index and
// the parameter table by byte position, independently of the stand-in's own
// declarations.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_context.h"
#include "tests/host/db/standin_query_parameters.h"
#include "tests/host/db/standin_slot_call.h"
#include "tests/host/db/standin_tab_val_parser.h"
#include "tests/host/support/test_environment.h"

namespace {

using vxstandin::CallSlot;

TEST(StandinDb, ConnectionDescriptionBySlot)
{
    StandinConnectionDescription cnx;
    cnx.SetUserName(L"user");
    cnx.SetDataBase(L"server");
    cnx.SetAccess(1);
    cnx.AddParam(L"a=1");
    cnx.AddParam(nullptr);
    cnx.SetConnectionName(L"CNX");
    cnx.SetDefaultCacheSize(int64_t{1} << 40);
    cnx.SetLogicalConnectionName(L"logical");
    cnx.SetCursorOptions(0x30);
    EXPECT_EQ(4, CallSlot<int>(&cnx, 0));
    EXPECT_STREQ(L"user", CallSlot<const wchar_t*>(&cnx, 7));
    EXPECT_EQ(nullptr, CallSlot<const wchar_t*>(&cnx, 8)) << "a text never set is null";
    EXPECT_STREQ(L"server", CallSlot<const wchar_t*>(&cnx, 9));
    EXPECT_EQ(1, CallSlot<int>(&cnx, 11));
    EXPECT_EQ(2, CallSlot<int>(&cnx, 12));
    EXPECT_STREQ(L"a=1", CallSlot<const wchar_t*>(&cnx, 13, 0));
    EXPECT_EQ(nullptr, CallSlot<const wchar_t*>(&cnx, 13, 1));
    EXPECT_EQ(nullptr, CallSlot<const wchar_t*>(&cnx, 13, 2));
    EXPECT_STREQ(L"CNX", CallSlot<const wchar_t*>(&cnx, 18));
    EXPECT_EQ(0x30, CallSlot<long>(&cnx, 19));
    EXPECT_EQ(int64_t{1} << 40, CallSlot<int64_t>(&cnx, 22));
    EXPECT_STREQ(L"logical", CallSlot<const wchar_t*>(&cnx, 25));
    cnx.SetUserName(nullptr);
    EXPECT_EQ(nullptr, CallSlot<const wchar_t*>(&cnx, 7));

    CallSlot<void>(&cnx, 5);
    CallSlot<void>(&cnx, 5);
    EXPECT_EQ(1u, CallSlot<unsigned>(&cnx, 6));
    EXPECT_EQ(1, cnx.Refs().nBalance());
    CallSlot<unsigned>(&cnx, 6);
    EXPECT_EQ(0, cnx.Refs().nBalance());
    EXPECT_EQ(0, cnx.nUnusedSlotCalls());
}

TEST(StandinDb, ContextIdentifiersAre64Bit)
{
    StandinContext ctx(0x100000002ul, 0x300000004ul);
    EXPECT_EQ(0x300000004ul, CallSlot<unsigned long>(&ctx, 7));
    EXPECT_EQ(0x100000002ul, CallSlot<unsigned long>(&ctx, 8));
}

TEST(StandinDb, QueryParameterValuesByName)
{
    StandinQueryParameters values;
    CAny value;
    value.SetI4(42);
    values.Set(L"Code", value, INAQueryParametersValue::PARAM_OUT);
    values.SetHasBindVariables(1);
    values.SetPrepared(1);
    const CAny* found = CallSlot<const CAny*>(&values, 14, L"CODE", 0);
    ASSERT_NE(nullptr, found);
    int n = 0;
    EXPECT_EQ(0, found->nGetINT(&n));
    EXPECT_EQ(42, n);
    EXPECT_EQ(nullptr, CallSlot<const CAny*>(&values, 14, L"Other", 0));
    EXPECT_EQ(2, CallSlot<int>(&values, 15, L"code"));
    EXPECT_EQ(0, CallSlot<int>(&values, 15, L"Other"));
    EXPECT_EQ(1, CallSlot<int>(&values, 8));
    EXPECT_EQ(1, CallSlot<int>(&values, 16));
    EXPECT_EQ((std::vector<std::wstring>{L"CODE", L"Other"}), values.ValueLookups());
}

TEST(StandinDb, ParameterTableAtTheHostsPositions)
{
    CAny first;
    first.SetI4(7);
    CAny second;
    second.SetBIN(reinterpret_cast<const unsigned char*>("ab"), 2);
    StandinTabValParser builder;
    builder.Add(first, 10, 2, 0).Add(second, 20, 3, CTabValParserEntry::VALUE_FROM_FILE);
    const unsigned char* block = reinterpret_cast<const unsigned char*>(builder.pstGet());
    uint32_t count = 0;
    std::memcpy(&count, block + 20, sizeof count);
    EXPECT_EQ(2u, count);
    EXPECT_EQ(StandinTabValParser::kHostByte, block[0]);
    EXPECT_EQ(StandinTabValParser::kHostByte, block[24]);
    const unsigned char* const* entries = nullptr;
    std::memcpy(&entries, block + 40, sizeof entries);
    ASSERT_NE(nullptr, entries);

    struct Expected { int value; int32_t start, length; uint32_t flags; };
    const Expected expected[] = {{7, 10, 2, 0}, {-1, 20, 3, 1}};
    for (int i = 0; i < 2; ++i) {
        const unsigned char* entry = entries[i];
        int32_t start = 0, length = 0;
        uint32_t flags = 0;
        std::memcpy(&start, entry + 64, sizeof start);
        std::memcpy(&length, entry + 68, sizeof length);
        std::memcpy(&flags, entry + 72, sizeof flags);
        EXPECT_EQ(expected[i].start, start);
        EXPECT_EQ(expected[i].length, length);
        EXPECT_EQ(expected[i].flags, flags);
        EXPECT_EQ(StandinTabValParser::kHostByte, entry[0]);
        const CAny* value = reinterpret_cast<const CAny*>(entry + 8);
        int n = 0;
        if (expected[i].value >= 0) {
            EXPECT_EQ(0, value->nGetINT(&n));
            EXPECT_EQ(expected[i].value, n);
        } else {
            EXPECT_EQ(28, value->nGetTypeCode()) << "binary";
        }
    }
}

}  // namespace
