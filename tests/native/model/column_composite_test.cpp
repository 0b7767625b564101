// The value of a composite key: each component's current value at the width
// its item counts in the key (its logical size, twice that for a Unicode
// item), zero-padded, within the key's block. A BINAIRE component and a
// text of several elements take exactly the width counted for them, never
// more (the block is a heap block of exactly the key's size, so the address
// sanitizer sees a write past it). A key whose description does not agree
// with the record (a host's description: a block smaller than its
// components, a component without column) is cut to its block or fails,
// never read or written past.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/model/variant_any.h"
#include "tests/fakes/fake_item_description.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/model/record_fixture.h"

namespace {

using vxtest::RecordTest;

std::string Bytes(const CAny& v)
{
    unsigned long n = 0;
    const void* p = NA_pGetAnyData(v, &n);
    return p != nullptr ? std::string(static_cast<const char*>(p), n) : std::string();
}

// A composite key as a host might describe it: its size and components set
// by the test.
class CHostCompositeItem : public CFakeItemDescription
{
public:
    CHostCompositeItem(int nSize, std::vector<INAItemDescription*> components)
        : CFakeItemDescription(NA_IT_BINAIRE, L"HOSTKEY"), m_components(std::move(components))
    {
        SetItemSize(nSize);
    }
    int nGetNumComponents() const override { return static_cast<int>(m_components.size()); }
    int bIsComposedKey() const override { return 1; }
    INAItemDescription* piGetItemComponent(int n) override
    {
        if (n < 1 || n > nGetNumComponents())
            return nullptr;
        INAItemDescription* piItem = m_components[static_cast<size_t>(n - 1)];
        piItem->ExternalAddRef();
        return piItem;
    }

private:
    std::vector<INAItemDescription*> m_components;
};

class CompositeKey : public RecordTest
{
protected:
    std::string KeyBytes(const wchar_t* column)
    {
        CAny value;
        EXPECT_EQ(1, Col(column)->bGetCurrentValue(&value, 0));
        EXPECT_EQ(ZLTYPE_BIN, value.nGetTypeCode());
        return Bytes(value);
    }
    void Set(const wchar_t* column, const CAny& value) { ASSERT_EQ(1, Col(column)->bSetValue(&value, 0)); }
};

TEST_F(CompositeKey, ATextAndAnIntegerGiveFourteenBytes)
{
    Add(L"CODE", NA_IT_TEXTE, 11);
    Add(L"N", NA_IT_I4, 4);
    CNAItemDescription* key = AddComposite(L"CODE_N", 0x4800, {L"CODE", L"N"});
    ASSERT_EQ(1, Build());
    EXPECT_EQ(14, key->nGetItemSize());
    Set(L"CODE", Ansi("abc"));
    Set(L"N", Int(7));
    EXPECT_EQ(std::string("abc\0\0\0\0\0\0\0\x07\0\0\0", 14), KeyBytes(L"CODE_N"));
    // A NULL component is zeros.
    Col(L"CODE")->bSetValueNULL();
    EXPECT_EQ(std::string(10, '\0') + std::string("\x07\0\0\0", 4), KeyBytes(L"CODE_N"));
    EXPECT_EQ(1, Col(L"CODE_N")->bValueDefined(0));
    Col(L"N")->bSetValueNULL();
    EXPECT_EQ(0, Col(L"CODE_N")->bValueDefined(0));
}

TEST_F(CompositeKey, EachComponentTakesTheWidthCountedForIt)
{
    // As the database's description makes every index of several columns:
    // a BINAIRE key of size 0 grown by its components' logical sizes.
    Add(L"RAW", NA_IT_BINAIRE, 12);      // logical 10, slot 12
    Add(L"NAME", NA_IT_UNICODE, 12);     // 5 characters, 10 bytes in the key
    Add(L"TAIL", NA_IT_TEXTE, 6);        // logical 5
    CNAItemDescription* key = AddComposite(L"K", 0x4800, {L"RAW", L"NAME", L"TAIL"});
    ASSERT_EQ(1, Build());
    ASSERT_EQ(25, key->nGetItemSize());
    Set(L"RAW", Bin("0123456789"));
    CAny name;
    name.__SetType(ZLTYPE_DSTRW, 0);
    NA_nSetAnyWide(name, L"a\U0001F600bcdef", 7);
    Set(L"NAME", name);
    Set(L"TAIL", Ansi("vwxyz"));
    // The name: a, the surrogate pair, b, c (the pair is never split); the
    // binary at its logical width, not its slot's.
    EXPECT_EQ(std::string("0123456789") + std::string("a\0\x3D\xD8\x00\xDE" "b\0c\0", 10) + "vwxyz",
              KeyBytes(L"K"));
    Set(L"RAW", Bin("01"));
    Set(L"TAIL", Ansi("v"));
    EXPECT_EQ(std::string("01") + std::string(8, '\0') + std::string("a\0\x3D\xD8\x00\xDE" "b\0c\0", 10) +
                  std::string("v\0\0\0\0", 5),
              KeyBytes(L"K"));
}

TEST_F(CompositeKey, ATextOfSeveralElementsTakesItsLogicalSize)
{
    ASSERT_EQ(1, m_source->bAddItem(L"CODES", L"CUSTOMER", L"CODES", 2, 5, NA_IT_TEXTE, vxtest::kAppendItem, -1, 0,
                                    0, 0));
    Add(L"N", NA_IT_I2, 2);
    CNAItemDescription* key = AddComposite(L"K", 0x2800, {L"CODES", L"N"});
    ASSERT_EQ(1, Build());
    ASSERT_EQ(10, key->nGetItemSize());
    Set(L"CODES", Ansi("abcd"));
    Set(L"N", Int(258));
    EXPECT_EQ(std::string("abcd\0\0\0\0\x02\x01", 10), KeyBytes(L"K"));
}

TEST_F(CompositeKey, AHostsKeyIsCutToItsBlock)
{
    Add(L"CODE", NA_IT_TEXTE, 11);
    Add(L"N", NA_IT_I4, 4);
    ASSERT_EQ(1, Build());
    Set(L"CODE", Ansi("abcdefghij"));
    Set(L"N", Int(7));
    for (int size : {0, 6, 12, 20}) {
        CHostCompositeItem host(size, {Col(L"CODE")->piGetItemNoRef(), Col(L"N")->piGetItemNoRef()});
        auto* column = new CNAColumn(m_pclError, &host);
        REF_AddRef(column);
        ASSERT_EQ(1, column->vbInit(m_record, nullptr));
        EXPECT_EQ(nullptr, column->pclGetNAValue());
        CAny value;
        ASSERT_EQ(1, column->bGetCurrentValue(&value, 0)) << size;
        const std::string full = std::string("abcdefghij\x07\0\0\0", 14) + std::string(6, '\0');
        EXPECT_EQ(full.substr(0, static_cast<size_t>(size)), Bytes(value)) << size;
        EXPECT_EQ(1, column->bIsComposedKeyComponent(Col(L"N")));
        REF_Release(column);
        EXPECT_EQ(0, host.nRefBalance());
    }
}

TEST_F(CompositeKey, AComponentOutsideTheRecordFailsTheValue)
{
    Add(L"CODE", NA_IT_TEXTE, 11);
    ASSERT_EQ(1, Build());
    // The host's description of a component whose physical index lies past
    // the record's columns.
    StandinDataSourceDescription hostSource({{L"GHOST", NA_IT_I4, 4}});
    hostSource.Item(0).nPhysicalIndice = 5;
    CHostCompositeItem host(8, {Col(L"CODE")->piGetItemNoRef(), &hostSource.Item(0)});
    auto* column = new CNAColumn(m_pclError, &host);
    REF_AddRef(column);
    ASSERT_EQ(1, column->vbInit(m_record, nullptr));
    CAny value;
    EXPECT_EQ(0, column->bGetCurrentValue(&value, 0));
    EXPECT_TRUE(ErrorAt(26, L"11.2"));
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"GHOST"));
    EXPECT_EQ(0, column->bIsComposedKeyComponent(nullptr));
    EXPECT_EQ(0, column->bValueModified());
    EXPECT_EQ(0, column->bSameValue(&value, 0));
    REF_Release(column);
    EXPECT_EQ(0, host.nRefBalance());
    EXPECT_TRUE(hostSource.bBalanced());
}

}  // namespace
