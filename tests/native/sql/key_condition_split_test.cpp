// A composite key value split into its components, as the host gives it:
// cut at every length, with every option, under the sanitizers; a length
// prefix that claims more bytes than remain; the minimum and maximum
// fillers that end a key.
#include "tests/native/sql/key_search_fixture.h"

namespace vxtest {
namespace {

using namespace std::string_literals;

class KeySplit : public KeySearchTest
{
protected:
    void BuildMore() override
    {
        Add(L"RAW", NA_IT_BINAIRE, 8);
        Add(L"W", NA_IT_UNICODE, 16);
    }
    void BuildMoreKeys() override
    {
        AddComposite(L"RN", NA_KEY_DUPLICATES, {L"RAW", L"N"});
        AddComposite(L"WN", NA_KEY_DUPLICATES, {L"W", L"N"});
    }

    struct Split
    {
        std::vector<std::wstring> values;
        int bMin = 0;
        int bMax = 0;
    };
    Split Of(const wchar_t* pszKey, const std::string& bytes, unsigned nOptions)
    {
        // The bytes on the heap at their exact length: a read past them is
        // the sanitizer's.
        CAny clValue = Key(bytes);
        CNAKeyValues values;
        Split r;
        CNARecherche::_GetComponentValue(Col(pszKey)->pclGetTabComponent(), &clValue, &values, &r.bMin, &r.bMax,
                                         nOptions);
        for (int i = 0; i < values.nGetCount(); ++i) {
            CAny v = *values.pclGet(i);
            const unsigned short nCode = v.nGetTypeCode();
            const wchar_t* psz = v.bIsNull() ? L"<NULL>" : NA_pszWideTextOf(&v);
            r.values.push_back(std::to_wstring(nCode) + L":" + (psz != nullptr ? psz : L"?"));
        }
        return r;
    }
};

using Values = std::vector<std::wstring>;

TEST_F(KeySplit, EveryCutOfAThreeComponentKey)
{
    // A: 5 bytes of text, N: a 4-byte integer, C: a 2-byte integer.
    const std::string whole = std::string("abcde") + Bytes<int>(0x01020304) + Bytes<short>(0x0506);
    const std::wstring a[] = {L"", L"a", L"ab", L"abc", L"abcd", L"abcde"};
    for (unsigned nOptions : {0u, 1u, 4u, 5u}) {
        for (size_t n = 0; n <= whole.size(); ++n) {
            SCOPED_TRACE(testing::Message() << "options " << nOptions << ", " << n << " bytes");
            const Split r = Of(L"ANC", whole.substr(0, n), nOptions);
            Values expected;
            if (n > 0)
                expected.push_back(L"19:" + a[std::min<size_t>(n, 5)]);
            // The partial integers read what is there, zero-filled.
            if (n > 5) {
                int nValue = 0;
                std::memcpy(&nValue, whole.data() + 5, std::min<size_t>(n - 5, 4));
                expected.push_back(L"8:" + std::to_wstring(nValue));
            }
            if (n > 9) {
                short nValue = 0;
                std::memcpy(&nValue, whole.data() + 9, std::min<size_t>(n - 9, 2));
                expected.push_back(L"7:" + std::to_wstring(nValue));
            }
            EXPECT_EQ(expected, r.values);
            EXPECT_EQ(0, r.bMin);
            EXPECT_EQ(0, r.bMax);
        }
    }
    // Bytes past the last component are not read.
    EXPECT_EQ(3u, Of(L"ANC", whole + "zz", 4).values.size());
}

TEST_F(KeySplit, UnicodeComponentsBecomeWideTextAtEveryCut)
{
    // W: 7 characters, 14 bytes of UTF-16 in the key.
    std::string units;
    for (char16_t c : std::u16string(u"h\u00e9\u20acllo!"))
        units += std::string(reinterpret_cast<const char*>(&c), 2);
    const std::string whole = units + Bytes<int>(42);
    const std::wstring text = L"h\u00e9\u20acllo!";
    ASSERT_EQ(18u, whole.size());
    for (size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE(n);
        const Split r = Of(L"WN", whole.substr(0, n), 0);
        Values expected;
        if (n > 0)
            expected.push_back(L"16:" + text.substr(0, std::min<size_t>(n, 14) / 2));
        if (n > 14) {
            int nValue = 0;
            std::memcpy(&nValue, whole.data() + 14, n - 14);
            expected.push_back(L"8:" + std::to_wstring(nValue));
        }
        EXPECT_EQ(expected, r.values);
    }
    // A text cut at its first zero unit.
    EXPECT_EQ((Values{L"16:ab", L"8:3"}), Of(L"WN", std::string("a\0b\0\0\0c\0d\0e\0f\0", 14) + Bytes<int>(3), 0)
                                              .values);
}

TEST_F(KeySplit, ALengthPrefixIsBoundedByTheBytesLeft)
{
    const std::string raw = std::string("\x03\x00", 2) + "xyz";
    Split r = Of(L"RN", raw + Bytes<int>(9), 0);
    ASSERT_EQ(2u, r.values.size());
    EXPECT_EQ(L"8:9", r.values[1]);
    EXPECT_EQ(0, r.values[0].rfind(L"28:", 0));
    // A length that claims 60000 bytes takes the three there are.
    for (size_t n = 0; n <= 5; ++n) {
        SCOPED_TRACE(n);
        const std::string claim = std::string("\x60\xEA", 2) + "xyz";
        const Split r = Of(L"RN", claim.substr(0, n), 4);
        EXPECT_EQ(n >= 2 ? 1u : 0u, r.values.size());
    }
}

TEST_F(KeySplit, FillersEndTheKey)
{
    const std::string a = "ab\0\0\0"s;
    Split r;
    // A single zero byte under the split option: the minimum; the text is
    // read as what is there.
    r = Of(L"ANC", a + std::string(1, '\0'), 4);
    EXPECT_EQ(1, r.bMin);
    EXPECT_EQ(0, r.bMax);
    EXPECT_EQ(1u, r.values.size());  // an integer needs its four bytes
    // 0xFF fillers: the maximum; the integer's bound kept when its bytes are
    // all there.
    r = Of(L"ANC", a + "\xFF\xFF\xFF\xFF" + "\xFF", 4);
    EXPECT_EQ(1, r.bMax);
    EXPECT_EQ((Values{L"19:ab", L"8:-1"}), r.values);
    r = Of(L"ANC", a + "\xFF\xFF", 4);
    EXPECT_EQ(1, r.bMax);
    EXPECT_EQ((Values{L"19:ab"}), r.values);
    // Without the split option or the generic bit the bytes are a partial
    // value and no flag is set.
    r = Of(L"ANC", a + "\xFF\xFF", 0);
    EXPECT_EQ(0, r.bMax);
    EXPECT_EQ((Values{L"19:ab", L"8:65535"}), r.values);
    // A text component's filler: its partial text.
    r = Of(L"ANC", "\xFF", 1);
    EXPECT_EQ(1, r.bMax);
    ASSERT_EQ(1u, r.values.size());
}

}  // namespace
}  // namespace vxtest
