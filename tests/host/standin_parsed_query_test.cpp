// The parsed query stand-in as the driver reads it: its answers by slot
// index, the handshake, the physical name within the caller's capacity, and
// the calls told to throw.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/host/db/standin_parsed_query.h"
#include "tests/host/db/standin_slot_call.h"

namespace {

using vxstandin::CallSlot;
using vxstandin::Span;

TEST(StandinParsedQuery, AnswersBySlot)
{
    const std::wstring text = L"SELECT A FROM T WHERE A > 1 GROUP BY A HAVING A < 9 ORDER BY A";
    StandinParsedQuery query({.text = text,
                              .eType = TYPEREQUETE_SELECT,
                              .from = {{.name = L"T", .physicalName = L"t_db"}},
                              .items = {{.item = L"A", .table = L"T"}},
                              .whereStart = Span(text, L"WHERE").nStart,
                              .whereEnd = Span(text, L"1").nStop,
                              .orderByStart = Span(text, L"ORDER").nStart,
                              .havingStart = Span(text, L"HAVING").nStart,
                              .havingEnd = Span(text, L"9").nStop,
                              .end = static_cast<long>(text.size()) - 1,
                              .groupByEnd = Span(text, L"A", 2).nStop,
                              .nVersion = 31});
    uint32_t version = 0;
    EXPECT_EQ(1, CallSlot<int>(&query, 7, 32, 32, &version));
    EXPECT_EQ(31u, version);
    EXPECT_EQ(32, query.nHandshakeMajor());
    EXPECT_STREQ(text.c_str(), CallSlot<const wchar_t*>(&query, 8));
    EXPECT_EQ(16, CallSlot<long>(&query, 9));
    EXPECT_EQ(26, CallSlot<long>(&query, 10));
    EXPECT_EQ(52, CallSlot<long>(&query, 11));
    EXPECT_EQ(TYPEREQUETE_SELECT, CallSlot<int>(&query, 12));
    EXPECT_EQ(39, CallSlot<long>(&query, 13));
    EXPECT_EQ(50, CallSlot<long>(&query, 14));
    EXPECT_EQ(static_cast<long>(text.size()) - 1, CallSlot<long>(&query, 28));
    EXPECT_EQ(37, CallSlot<long>(&query, 30));
    EXPECT_EQ(query.Item(0), CallSlot<IInfoRubrique*>(&query, 16, 1));
    EXPECT_EQ(nullptr, CallSlot<IInfoRubrique*>(&query, 16, 0));
    EXPECT_STREQ(L"A", CallSlot<const wchar_t*>(query.Item(0), 9)) << "the item's own text";
    EXPECT_EQ(0, CallSlot<int>(query.Item(0), 10)) << "a plain item";

    wchar_t buffer[4];
    EXPECT_EQ(1, CallSlot<int>(&query, 23, L"t", buffer, 4u));
    EXPECT_STREQ(L"t_d", buffer) << "within the capacity, terminator included";
    EXPECT_EQ(4u, query.nLastNameCapacity());
    EXPECT_EQ(0, query.bGetPhysicalName(L"U", buffer, 4));
    EXPECT_TRUE(query.bBalanced());
}

TEST(StandinParsedQuery, CallsToldToThrow)
{
    StandinParsedQuery query({.text = L"SELECT A FROM T", .from = {{.name = L"T"}}, .items = {{.item = L"A"}}});
    wchar_t buffer[8];
    query.SetThrow(vxstandin::THROW_PHYSICAL_NAME | vxstandin::THROW_ITEM_DESCRIPTION);
    EXPECT_THROW(query.bGetPhysicalName(L"T", buffer, 8), std::runtime_error);
    EXPECT_THROW(query.From(0)->bGetPhysicalName(buffer, 8), std::runtime_error);
    EXPECT_THROW(query.Item(0)->piGetItemDescription(), std::runtime_error);
    EXPECT_NO_THROW(query.piEnumRubrique(1));
    query.SetThrow(vxstandin::THROW_ENUM_RUBRIQUE | vxstandin::THROW_DATA_SOURCE);
    EXPECT_THROW(query.piEnumRubrique(1), std::runtime_error);
    EXPECT_THROW(query.piGetNADataSourceDescription(L"T"), std::runtime_error);
    query.SetThrow(vxstandin::THROW_NONE);
    EXPECT_EQ(query.Item(0), query.piEnumRubrique(1));
}

}  // namespace
