// Wide-text keys with a mapping option: which options map, the mode the
// engine is asked for, the key's bytes and result after the mapping and the
// weights or byte swap, the bound of the mapper's output, and the keys built
// unmapped whenever no mapper answers.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "common/text/convert_key.h"
#include "common/text/qf_convert_key.h"
#include "common/text/qf_for_na.h"
#include "common/text/ucs2_fast_sort.h"
#include "tests/common/text/xy_string_fixture.h"
#include "tests/host/db/standin_qf_for_na.h"
#include "tests/native/abi_slots.h"

namespace {

using Bytes = std::vector<unsigned char>;

StandinQFForNA* gpEngine = nullptr;

IQFForNA* piTestEngine()
{
    return gpEngine;
}

// The stand-in engine is the library's engine interface for each test.
class KeyMapping : public vxtest::StrMemTest
{
protected:
    void SetUp() override
    {
        vxtest::StrMemTest::SetUp();
        gpEngine = &m_engine;
        CQFConvertKey::SetQFForNASource(&piTestEngine);
    }
    void TearDown() override
    {
        CQFConvertKey::SetQFForNASource(nullptr);
        gpEngine = nullptr;
        vxtest::StrMemTest::TearDown();
    }

    StandinQFForNA m_engine;
};

// The key of 32-bit text (its terminator included in the size), in a buffer
// of exactly the width, so that a write past it is caught.
Bytes WideKey(const std::wstring& text, unsigned long width, unsigned short options, int* pResult = nullptr)
{
    Bytes key(width, 0xEE);
    const int n = CQFConvertKey::__nConvertKey(key.data(), width, text.c_str(), (text.size() + 1) * sizeof(wchar_t),
                                               QFIT_UNICODE_DYN, options, 0, 0, 0, QFKEY_TEXTE_32);
    if (pResult != nullptr)
        *pResult = n;
    return key;
}

// 16-bit units with their terminator.
Bytes Units16(const std::u16string& s)
{
    Bytes b((s.size() + 1) * 2, 0);
    std::memcpy(b.data(), s.c_str(), b.size());
    return b;
}

Bytes BigEndian(std::initializer_list<char16_t> units)
{
    Bytes b;
    for (char16_t u : units) {
        b.push_back(static_cast<unsigned char>(u >> 8));
        b.push_back(static_cast<unsigned char>(u));
    }
    return b;
}

TEST(KeyMappingInterfaces, OneSlotEach)
{
    vxtest::ExpectSlots("IQFForNA", {VX_SLOT(IQFForNA, piGetTextMapper, 0)});
    EXPECT_EQ(1, VX_SLOT_COUNT(IQFForNA));
    vxtest::ExpectSlots("IQFTextMapper", {VX_SLOT(IQFTextMapper, nMapUnits, 0)});
    EXPECT_EQ(1, VX_SLOT_COUNT(IQFTextMapper));
}

TEST_F(KeyMapping, OptionsModesAndKeys)
{
    // "é-b" in 5 units, the last always 0.
    struct Case
    {
        unsigned short options;
        std::vector<int> modes;  // asked of the engine
        Bytes key;
        int result;
    } cases[] = {
        {0x0080 | 0x0002, {1}, BigEndian({0xC9, '-', 'B', 0, 0}), 6},
        {0x0020 | 0x0002, {2}, BigEndian({'e', '-', 'b', 0, 0}), 6},
        {0x0040 | 0x0002, {4}, BigEndian({0xE9, 'b', 0, 0, 0}), 4},
        {0x0080 | 0x0020 | 0x0002, {3}, BigEndian({'E', '-', 'B', 0, 0}), 6},
        {0x0080 | 0x0040 | 0x0020 | 0x0002, {7}, BigEndian({'E', 'B', 0, 0, 0}), 4},
        // Without the byte swap the mapped units stay as the engine wrote them.
        {0x0020, {2}, {'e', 0, '-', 0, 'b', 0, 0, 0, 0, 0}, 6},
        {0x0040, {4}, {0xE9, 0, 'b', 0, 0, 0, 0, 0, 0, 0}, 4},
        // 0x0080 maps only with the weights or the byte swap.
        {0x0080, {}, {0xE9, 0, '-', 0, 'b', 0, 0, 0, 0, 0}, 8},
        {0x0002, {}, BigEndian({0xE9, '-', 'b', 0, 0}), 8},
    };
    for (const Case& c : cases) {
        m_engine.ClearLog();
        int result = -1;
        EXPECT_EQ(c.key, WideKey(L"é-b", 10, c.options, &result)) << std::hex << c.options;
        EXPECT_EQ(c.result, result) << std::hex << c.options;
        EXPECT_EQ(c.modes, m_engine.ModesAsked()) << std::hex << c.options;
    }

    // With the weights, every unit of the mapped key but the last is
    // weighted, the zero units after the text too.
    Bytes expected(10, 0);
    const char16_t mapped[] = {u'\u00C9', u'-', u'B', u'\0'};
    for (size_t i = 0; i < 4; ++i)
        std::memcpy(&expected[2 * i], &tabUCS2FastSort[mapped[i]], 2);
    int result = -1;
    EXPECT_EQ(expected, WideKey(L"é-b", 10, 0x0080 | 0x0001, &result));
    EXPECT_EQ(6, result);
}

TEST_F(KeyMapping, SixteenBitInputAndTheBoundOfTheKey)
{
    // One mapping per width: the engine gets the text without its
    // terminator and a capacity of the key's units but the last; a pair is
    // never cut, and the key's last unit (and an odd last byte) stays 0.
    const Bytes data = Units16(u"é\U0001F600x");
    struct Case
    {
        unsigned long width;
        Bytes key;
        int result;
    } cases[] = {
        {10, BigEndian({0xC9, 0xD83D, 0xDE00, 'X', 0}), 8},
        {8, BigEndian({0xC9, 0xD83D, 0xDE00, 0}), 6},
        {6, BigEndian({0xC9, 0, 0}), 2},
        {7, {0, 0xC9, 0, 0, 0, 0, 0}, 2},
        {2, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        m_engine.ClearLog();
        Bytes key(c.width, 0xEE);
        EXPECT_EQ(c.result, CQFConvertKey::__nConvertKey(key.data(), c.width, data.data(), data.size(),
                                                         QFIT_UNICODE, 0x0080 | 0x0002, 0, 0, 0, 0));
        EXPECT_EQ(c.key, key) << c.width;
        const std::vector<StandinQFForNA::MapCall> calls = m_engine.MapCalls();
        ASSERT_EQ(1u, calls.size());
        EXPECT_EQ(4, calls[0].source);
        EXPECT_EQ(0, calls[0].textFlags);
        EXPECT_EQ(static_cast<int>(c.width / 2 - 1), calls[0].capacity);
    }

    // A text far longer than the key.
    int result = -1;
    const Bytes key = WideKey(std::wstring(5000, L'é'), 8, 0x0080 | 0x0020 | 0x0002, &result);
    EXPECT_EQ(BigEndian({'E', 'E', 'E', 0}), key);
    EXPECT_EQ(6, result);
    EXPECT_EQ(5000, m_engine.MapCalls().back().source);
    EXPECT_EQ(QFKEY_TEXTE_32, m_engine.MapCalls().back().textFlags);
}

TEST_F(KeyMapping, OddAddressesReachTheEngineAligned)
{
    const std::wstring text = L"àb";
    const Bytes expected = WideKey(text, 8, 0x0080 | 0x0002);
    // Data and key one byte off their alignment.
    std::vector<unsigned char> data(1 + (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(data.data() + 1, text.c_str(), data.size() - 1);
    Bytes key(9, 0xEE);
    m_engine.ClearLog();
    EXPECT_EQ(4, CQFConvertKey::__nConvertKey(key.data() + 1, 8, data.data() + 1, data.size() - 1, QFIT_UNICODE_DYN,
                                              0x0080 | 0x0002, 0, 0, 0, QFKEY_TEXTE_32));
    EXPECT_EQ(expected, Bytes(key.begin() + 1, key.end()));
    EXPECT_EQ(0xEE, key[0]);
    ASSERT_EQ(1u, m_engine.MapCalls().size());
    EXPECT_TRUE(m_engine.MapCalls()[0].aligned);
    EXPECT_EQ(BigEndian({0xC0, 'B', 0, 0}), expected);
}

TEST_F(KeyMapping, UnmappedWhenNoMapperAnswers)
{
    // Each way of getting no mapping gives the key of the same options
    // without the mapping bits, exactly as without an engine.
    const unsigned short options = 0x0080 | 0x0020 | 0x0002;
    const Bytes unmapped = WideKey(L"Été", 12, 0x0002);
    int result = -1;
    WideKey(L"Été", 12, 0x0002, &result);
    ASSERT_EQ(BigEndian({0xC9, 't', 0xE9, 0, 0, 0}), unmapped);

    struct Case
    {
        const char* why;
        std::function<void(StandinQFForNA&)> arrange;
    } cases[] = {
        {"no source", [](StandinQFForNA&) { CQFConvertKey::SetQFForNASource(nullptr); }},
        {"no engine", [](StandinQFForNA&) { gpEngine = nullptr; }},
        {"mode refused", [](StandinQFForNA& engine) { engine.RefuseMode(3); }},
        {"mapper fails", [](StandinQFForNA& engine) { engine.ScriptAnswer(-1); }},
    };
    for (const Case& c : cases) {
        StandinQFForNA engine;
        gpEngine = &engine;
        CQFConvertKey::SetQFForNASource(&piTestEngine);
        c.arrange(engine);
        int n = -1;
        EXPECT_EQ(unmapped, WideKey(L"Été", 12, options, &n)) << c.why;
        EXPECT_EQ(result, n) << c.why;
    }
}

TEST_F(KeyMapping, ResultCountsTheKeyNotTheAnswer)
{
    // An answer beyond the capacity is not trusted: the result is twice the
    // units before the first zero unit of the key.
    m_engine.ScriptAnswer(1000);
    int result = -1;
    EXPECT_EQ(BigEndian({'A', 'B', 0, 0}), WideKey(L"ab", 8, 0x0080 | 0x0002, &result));
    EXPECT_EQ(4, result);
}

TEST_F(KeyMapping, RuntimeValuesThroughConvertKey)
{
    // Wide values are keyed high byte first, so 0x0080 alone maps them: an
    // index with 0x0080 | 0x0020 finds "été" under "ETE", one without
    // mapping does not.
    auto key = [](const wchar_t* text, unsigned short options) {
        CAny v;
        v.__SetType(ZLTYPE_PSTRW, 0);
        v.Objet().SetValue(text);
        Bytes k(10, 0xEE);
        CConvertKey::nConvertKeyAndGetSize(&v, k.data(), 10, 0, options, 0, 0);
        return k;
    };
    EXPECT_EQ(key(L"ETE", 0x2800), key(L"été", 0x2800 | 0x0080 | 0x0020));
    EXPECT_NE(key(L"ETE", 0x2800), key(L"été", 0x2800));
    EXPECT_EQ(BigEndian({0xC9, 'T', 0xC9, 0, 0}), key(L"été", 0x0080));
    // Descending: the whole mapped key inverted.
    Bytes inverted = BigEndian({0xC9, 'T', 0xC9, 0, 0});
    for (unsigned char& b : inverted)
        b = static_cast<unsigned char>(~b);
    EXPECT_EQ(inverted, key(L"été", 0x0080 | 0x0400));
}

}  // namespace
