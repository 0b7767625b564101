// Data-source descriptions built by hand: naming and renaming, physical
// and key order, key types and composite keys, record sizes and offsets,
// look-ups, the best parse item, compatibility with another description,
// and the two counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/model/data_source_description.h"
#include "native/model/qf_record.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/model_fixture.h"

namespace {

using vxtest::CCountedItemDescription;

constexpr unsigned kAppend = static_cast<unsigned>(-1);

class DataSourceBuild : public vxtest::ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        m_source = NewDescription();
    }
    void TearDown() override
    {
        if (m_source != nullptr)
            m_source->nRelease();
        ModelTest::TearDown();
    }

    int Add(const wchar_t* name, eNA_ITEMTYPE type = NA_IT_I4, unsigned size = 4, unsigned physical = kAppend,
            int key = -1, unsigned short flags = 0)
    {
        return m_source->bAddItem(name, L"CUSTOMER", name, 1, size, type, physical, key, flags, 0, 0);
    }
    std::vector<std::wstring> Names(bool keys = false) const
    {
        std::vector<std::wstring> names;
        const unsigned n = keys ? m_source->nGetNumKeys() : m_source->nGetNumItems();
        for (unsigned i = 0; i < n; ++i)
            names.push_back((keys ? m_source->pclGetKeyNoRef(i) : m_source->pclGetItemNoRef(i))->pszGetName());
        return names;
    }
    CNAItemDescription* Item(unsigned n) const { return m_source->pclGetItemNoRef(n); }

    CNADataSourceDescription* m_source = nullptr;
};

using NameList = std::vector<std::wstring>;

TEST_F(DataSourceBuild, ConstantAnswers)
{
    EXPECT_EQ(6, m_source->nGetVersion());
    EXPECT_EQ(1, m_source->nGetCompatSince());
    EXPECT_EQ(-1, m_source->nGetNAVersion());
    EXPECT_EQ(-1, m_source->nGetNACompatSince());
    EXPECT_STREQ(L"", m_source->pszGetDefaultDirectory());
    EXPECT_EQ(nullptr, m_source->pszGetExtension());
    EXPECT_EQ(nullptr, m_source->pszGetCaption());
    EXPECT_EQ(1, m_source->eGetNASubDataType());
    EXPECT_EQ(1, m_source->bGetNullSupported());
    EXPECT_STREQ(L"CUSTOMER", m_source->pszGetLogicalName());
    EXPECT_STREQ(L"CUSTOMER", m_source->pszGetPhysicalName());
    EXPECT_EQ(CNADataSourceDescription::KIND_BY_HAND, m_source->eGetKind());
    EXPECT_EQ(nullptr, m_source->piGetBestParseItemDesc());
    // The host calls the slots by position.
    INADataSourceDescription* pi = m_source;
    EXPECT_EQ(6, vxtest::CallSlot<int>(pi, 0));
    EXPECT_EQ(0u, vxtest::CallSlot<unsigned>(pi, 12));
}

// The driver's own factories (slots 46 and 57), which the test driver's
// choices replace elsewhere.
TEST_F(DataSourceBuild, DriverMakesDescriptions)
{
    const unsigned connectionRefs = m_pclConnection->m_dwRefCount;
    const unsigned errorRefs = m_pclError->nGetRef();
    CNADataSourceDescription* source = Driver()->CNADriver::pclAllocDataSourceDescription(m_pclConnection, m_pclError);
    ASSERT_NE(nullptr, source);
    EXPECT_EQ(connectionRefs + 1, m_pclConnection->m_dwRefCount);
    EXPECT_EQ(errorRefs + 1, m_pclError->nGetRef());
    EXPECT_EQ(0u, source->nGetRef());
    source->ExternalAddRef();
    EXPECT_EQ(0u, source->nExternalRelease());
    EXPECT_EQ(connectionRefs, m_pclConnection->m_dwRefCount) << "given back with the description";
    EXPECT_EQ(errorRefs, m_pclError->nGetRef());

    CNAItemDescription* item = Driver()->CNADriver::pclAllocItemDescription();
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(NA_IT_EMPTY, item->eNAGetItemType());
    item->AddRef();
    EXPECT_EQ(0u, item->nRelease());
}

TEST_F(DataSourceBuild, NamesAreMadeUnique)
{
    ASSERT_EQ(1, Add(L"A"));
    ASSERT_EQ(1, Add(L"A"));
    ASSERT_EQ(1, Add(L"A"));
    ASSERT_EQ(1, Add(L"a"));  // renaming compares plainly
    ASSERT_EQ(1, Add(nullptr));
    ASSERT_EQ(1, Add(L""));
    EXPECT_EQ((NameList{L"A", L"A2", L"A3", L"a", L"Expr1000", L"Expr10002"}), Names());
    m_source->UpdateRecordSize();
    ASSERT_EQ(1, Add(L""));
    EXPECT_STREQ(L"Expr1006", Item(6)->pszGetName());
    CTString made;
    m_source->MakeNewName(&made, L"NOM", 12);
    EXPECT_STREQ(L"NOM12", made.pszGet());
}

TEST_F(DataSourceBuild, PhysicalOrder)
{
    Add(L"A");
    Add(L"B");
    // Physical index 0 among existing items: first, the others renumbered.
    Add(L"C", NA_IT_I4, 4, 0);
    Add(L"D", NA_IT_I4, 4, 7);
    EXPECT_EQ((NameList{L"C", L"A", L"B", L"D"}), Names());
    EXPECT_EQ(0, Item(0)->nGetPhysicalIndice());
    EXPECT_EQ(1, Item(1)->nGetPhysicalIndice());
    EXPECT_EQ(2, Item(2)->nGetPhysicalIndice());
    EXPECT_EQ(7, Item(3)->nGetPhysicalIndice());
    EXPECT_EQ(4u, m_source->nGetNumItemPhysicallyInFic());
}

TEST_F(DataSourceBuild, KeysAndMemos)
{
    Add(L"ID", NA_IT_I4, 4, kAppend, -1, 0x8800);
    Add(L"NAME", NA_IT_TEXTE, 51);
    Add(L"NOTES", NA_IT_MEMOTEXTE, 8);
    Add(L"CODE", NA_IT_I4, 4, kAppend, 0, 0x4800);  // key index 0: first among the keys
    EXPECT_EQ((NameList{L"CODE", L"ID"}), Names(true));
    EXPECT_EQ(0, m_source->pclGetKeyNoRef(0)->nGetKeyIndice());
    EXPECT_EQ(1, m_source->pclGetKeyNoRef(1)->nGetKeyIndice());
    ASSERT_EQ(1u, m_source->nGetNumMemos());
    EXPECT_STREQ(L"NOTES", m_source->pclGetMemoNoRef(0)->pszGetName());

    // A key type on an item that is no key yet (key index -1): it joins the
    // key list at the end.
    EXPECT_EQ(1, m_source->_bSetKeyType(L"name", 0x2800));
    EXPECT_EQ((NameList{L"CODE", L"ID", L"NAME"}), Names(true));
    EXPECT_EQ(2, Item(1)->nGetKeyIndice());
    // A key already listed only changes its flags; a primary key stays.
    EXPECT_EQ(1, m_source->_bSetKeyType(1u, 0x4400));
    EXPECT_EQ(0x4400, Item(1)->wGetKeyFlags());
    EXPECT_EQ(1, m_source->_bSetKeyType(L"ID", 0x2000));
    EXPECT_EQ(0x8800, Item(0)->wGetKeyFlags());
    EXPECT_EQ(3u, m_source->nGetNumKeys());
    EXPECT_EQ(0, m_source->_bSetKeyType(L"MISSING", 0x2000));
    EXPECT_EQ(0, m_source->_bSetKeyType(9u, 0x2000));
}

TEST_F(DataSourceBuild, CompositeKeySizesAndOffsets)
{
    Add(L"A", NA_IT_I4, 4);
    Add(L"B", NA_IT_TEXTE, 11);
    ASSERT_EQ(1, m_source->bAddItem(L"AB", L"CUSTOMER", L"AB", 1, 0, NA_IT_BINAIRE, kAppend,
                                    static_cast<int>(m_source->nGetNumKeys()), 0x5000, 0, 0));
    CNAItemDescription* key = Item(2);
    EXPECT_EQ(1, m_source->_bAddItemComponent(key, L"A"));
    EXPECT_EQ(1, m_source->_bAddItemComponent(key, 1u));
    EXPECT_EQ(0, m_source->_bAddItemComponent(key, L"Z"));
    EXPECT_EQ(0, m_source->_bAddItemComponent(key, 8u));
    EXPECT_EQ(14, key->nGetItemSize());
    m_source->UpdateRecordSize();
    EXPECT_EQ(0, Item(0)->nGetOffset(0));
    EXPECT_EQ(4, Item(1)->nGetOffset(0));
    EXPECT_EQ(15, key->nGetOffset(0));
    EXPECT_EQ(15u, m_source->nGetDiskRecordSize());
    EXPECT_EQ(29u, m_source->nGetMemoryRecordSize());
    EXPECT_EQ(2, key->nGetSubItemRecordIndice(0));
    EXPECT_EQ(3u, m_source->nGetSubItemCount());
    EXPECT_EQ(3u, m_source->nGetNumItemPhysicallyInFic());

    CNAQFRecord record;
    EXPECT_EQ(1, record.bInit(m_source, CNAQFRecord::INIT_NULL));

    // An item after the composite still moves past it: its slot would lie
    // outside the values area, and the record refuses the description.
    Add(L"C", NA_IT_I2, 2);
    m_source->UpdateRecordSize();
    EXPECT_EQ(29, Item(3)->nGetOffset(0));
    EXPECT_EQ(17u, m_source->nGetDiskRecordSize());
    EXPECT_EQ(31u, m_source->nGetMemoryRecordSize());
    CNAQFRecord refused;
    EXPECT_EQ(0, refused.bInit(m_source, CNAQFRecord::INIT_NULL));
    EXPECT_EQ(0u, refused.nGetBufferSize());
}

TEST_F(DataSourceBuild, LookUps)
{
    Add(L"CUSTOMER_ID", NA_IT_I4, 4, kAppend, -1, 0x8800);
    Add(L"NAME  ", NA_IT_TEXTE, 51, kAppend, -1, 0x2800);
    Item(1)->SetPhysicalIndiceDB(5);

    EXPECT_EQ(Item(0), m_source->pclNAGetItemNoRef(L"customer_id", 0));
    EXPECT_EQ(nullptr, m_source->pclNAGetItemNoRef(L"NAME", 0));
    EXPECT_EQ(nullptr, m_source->pclNAGetItemNoRef(L"NAME", 2));
    EXPECT_EQ(Item(1), m_source->pclNAGetItemNoRef(L"name ", 1));
    // The stored name keeps its blanks.
    EXPECT_STREQ(L"NAME  ", Item(1)->pszGetName());
    EXPECT_EQ(Item(1), m_source->pclNAGetItemByPhysicalIndiceDB(5));
    EXPECT_EQ(nullptr, m_source->pclNAGetItemByPhysicalIndiceDB(0));

    INAItemDescription* key = m_source->piNAGetKey(L"NAME");
    EXPECT_EQ(Item(1), key);
    // Three lists hold it, then this look-up.
    EXPECT_EQ(3u, Item(1)->nGetExternalRef());
    key->nExternalRelease();
    EXPECT_EQ(nullptr, m_source->piNAGetKey(L"OTHER"));

    // By position: what the host asks, null outside the lists.
    INADataSourceDescription* pi = m_source;
    INAItemDescription* first = pi->piNAGetItem(0u);
    EXPECT_EQ(Item(0), first);
    first->nExternalRelease();
    for (unsigned n : {2u, 100u, 0xFFFFFFFFu}) {
        EXPECT_EQ(nullptr, pi->piNAGetItem(n)) << n;
        EXPECT_EQ(nullptr, pi->piNAGetMemo(n)) << n;
    }
    EXPECT_EQ(nullptr, pi->piNAGetKey(2u));
    EXPECT_EQ(nullptr, pi->piNAGetMemo(0u));
    EXPECT_EQ(nullptr, vxtest::CallSlot<INAItemDescription*>(pi, 18, 7u));
    INAItemDescription* byName = vxtest::CallSlot<INAItemDescription*>(pi, 16, L"Customer_Id");
    EXPECT_EQ(Item(0), byName);
    byName->nExternalRelease();
    EXPECT_EQ(2u, Item(0)->nGetExternalRef());
    EXPECT_EQ(2u, Item(1)->nGetExternalRef());
}

// A name is found by its own spelling and by any spelling that differs only
// in case or accents, with or without trailing blanks asked to be ignored.
TEST_F(DataSourceBuild, LookUpsBySpelling)
{
    Add(L"a");
    Add(L"\u00C9t\u00E9");
    Add(L"b ");
    const struct
    {
        const wchar_t* pszName;
        int nOptions;
        int nItem;  // -1: none
    } cases[] = {
        {L"a", 0, 0},          {L"A", 2, 0},          {L"\u00C9t\u00E9", 2, 1}, {L"ete", 2, 1},
        {L"\u00C9T\u00C9", 0, 1}, {L"b ", 2, 2},         {L"b", 2, -1},         {L"B", 1, 2},
        {L"c", 2, -1},         {L"", 2, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.pszName) + L" options " + std::to_wstring(c.nOptions));
        EXPECT_EQ(c.nItem < 0 ? nullptr : Item(static_cast<unsigned>(c.nItem)),
                  m_source->pclNAGetItemNoRef(c.pszName, c.nOptions));
    }
    EXPECT_EQ(nullptr, m_source->pclNAGetItemNoRef(nullptr, 0));
}

TEST_F(DataSourceBuild, CorrespondingItemAndCompatibility)
{
    Add(L"ID");
    Add(L"NAME", NA_IT_TEXTE, 51);
    CNAItemDescription* found = m_source->pclNAGetCorrespondingItem(L"name");
    ASSERT_EQ(Item(1), found);
    found->nExternalRelease();
    EXPECT_EQ(NA_ERR_NONE, m_pclError->eGetErrorType());

    EXPECT_EQ(nullptr, m_source->pclNAGetCorrespondingItem(L"CITY"));
    EXPECT_TRUE(ErrorAt(26, L"8.2"));
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"<CUSTOMER>")) << "the table";
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"<CITY>")) << "the item";
    m_pclError->Reset();

    StandinDataSourceDescription same({{L"ID", NA_IT_I4, 4}, {L"name  ", NA_IT_TEXTE, 51},
                                       {L"ID_CITY", NA_IT_BINAIRE, 0, 1, 0, 0, 0x1000}});
    EXPECT_EQ(1, m_source->bAreDescriptionCompatible(&same));
    EXPECT_EQ(NA_ERR_NONE, m_pclError->eGetErrorType());
    EXPECT_TRUE(same.bBalanced());

    StandinDataSourceDescription other({{L"ID", NA_IT_I4, 4}, {L"CITY", NA_IT_TEXTE, 51}, {L"ZIP", NA_IT_I4, 4}});
    EXPECT_EQ(0, m_source->bAreDescriptionCompatible(&other));
    EXPECT_TRUE(ErrorAt(20, L"8.1"));
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"<CITY>"));
    EXPECT_EQ(std::wstring::npos, ErrorText().find(L"ZIP")) << "the first missing item only";
    EXPECT_TRUE(other.bBalanced());
    m_pclError->Reset();
}

// An older item description: it cannot say whether NULL is allowed.
class COldItemDescription : public CCountedItemDescription
{
public:
    int nGetVersion() const override { return 8; }
};

TEST_F(DataSourceBuild, BestParseItem)
{
    struct Key { const wchar_t* name; eNA_ITEMTYPE type; uint16_t flags; bool notNull; bool old; };
    struct Case { const char* name; std::vector<Key> items; const wchar_t* best; };
    const Case cases[] = {
        {"no items", {}, nullptr},
        {"primary wins at once", {{L"U", NA_IT_I4, 0x4800, true, false}, {L"P", NA_IT_I4, 0x8800, false, false}}, L"P"},
        {"sure unique after a nullable one",
         {{L"U1", NA_IT_I4, 0x4800, false, false}, {L"U2", NA_IT_I4, 0x4800, true, false}}, L"U2"},
        {"no sure unique: the first",
         {{L"D", NA_IT_I4, 0x2800, true, false}, {L"U1", NA_IT_I4, 0x4800, false, false},
          {L"U2", NA_IT_I4, 0x4800, false, false}}, L"U1"},
        {"old description: the auto-increment is sure",
         {{L"U1", NA_IT_I4, 0x4800, true, true}, {L"U2", NA_IT_IDAUTO4, 0x4800, false, true}}, L"U2"},
        {"no unique key: key 0", {{L"X", NA_IT_I4, 0, false, false}, {L"D1", NA_IT_I4, 0x2800, true, false},
                                  {L"D2", NA_IT_I4, 0x2800, true, false}}, L"D1"},
        {"no key: first item not a memo",
         {{L"M", NA_IT_MEMOTEXTE, 0, false, false}, {L"T", NA_IT_TEXTE, 0, false, false}}, L"T"},
        {"only memos: item 0",
         {{L"M1", NA_IT_MEMOTEXTE, 0, false, false}, {L"M2", NA_IT_MEMOBINAIRE, 0, false, false}}, L"M1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNADataSourceDescription* source = NewDescription(L"T");
        for (const Key& k : c.items) {
            CNAItemDescription* item = k.old ? new COldItemDescription : new CCountedItemDescription;
            item->bInit(k.name, L"T", k.name, 1, 8, k.type, kAppend, -1, k.flags, 0, 0);
            item->SetNullable(!k.notNull);
            item->AddRef();
            ASSERT_EQ(1, source->_AddItem(item));
            item->nRelease();
        }
        INAItemDescription* best = source->piGetBestParseItemDesc();
        if (c.best == nullptr) {
            EXPECT_EQ(nullptr, best);
        } else {
            ASSERT_NE(nullptr, best);
            EXPECT_STREQ(c.best, best->pszGetName());
            // Chosen once and kept.
            INAItemDescription* again = source->piGetBestParseItemDesc();
            EXPECT_EQ(best, again);
            again->nExternalRelease();
            best->nExternalRelease();
        }
        source->nRelease();
    }

    Add(L"A");
    Add(L"B");
    m_source->_SetBestParseItem(L"B");
    INAItemDescription* best = m_source->piGetBestParseItemDesc();
    EXPECT_EQ(Item(1), best);
    best->nExternalRelease();
    m_source->_SetBestParseItem(L"b");  // plain comparison: none
    m_source->_SetBestParseItem(Item(0));
    best = m_source->piGetBestParseItemDesc();
    EXPECT_EQ(Item(0), best);
    best->nExternalRelease();
    EXPECT_EQ(2u, Item(0)->nGetExternalRef());
    EXPECT_EQ(1u, Item(1)->nGetExternalRef());
}

TEST_F(DataSourceBuild, Counts)
{
    Add(L"ID");
    CNAItemDescription* item = Item(0);
    // The host takes and lets go a reference: the list still holds the item.
    item->ExternalAddRef();
    EXPECT_EQ(1u, item->nExternalRelease());
    EXPECT_STREQ(L"ID", Item(0)->pszGetName());
    // Held past the description's end.
    item->ExternalAddRef();

    const int sourcesBefore = CTestDataSourceDescription::s_nLive;
    const int itemsBefore = CCountedItemDescription::s_nLive;
    m_source->ExternalAddRef();
    EXPECT_EQ(0u, m_source->nRelease());
    EXPECT_EQ(sourcesBefore, CTestDataSourceDescription::s_nLive) << "the external count holds it";
    EXPECT_EQ(0u, m_source->nRelease()) << "a release at 0 changes nothing";
    EXPECT_EQ(0u, m_source->nExternalRelease());
    m_source = nullptr;
    EXPECT_EQ(sourcesBefore - 1, CTestDataSourceDescription::s_nLive);
    // The description's end released its list: the item lives on the
    // reference taken above alone.
    EXPECT_EQ(itemsBefore, CCountedItemDescription::s_nLive);
    EXPECT_EQ(1u, item->nGetExternalRef());
    item->nExternalRelease();
    EXPECT_EQ(itemsBefore - 1, CCountedItemDescription::s_nLive);
}

}  // namespace
