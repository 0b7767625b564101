// Copies of item descriptions and of whole data-source descriptions, plain
// and with the options that make every item a key and dates texts.
#include <gtest/gtest.h>

#include <string>

#include "native/model/data_source_description.h"
#include "tests/native/model/model_fixture.h"

namespace {

constexpr unsigned kAppend = static_cast<unsigned>(-1);

class ItemDescClone : public vxtest::ModelTest
{
protected:
    // CUSTOMER: ID (primary), NAME, BIRTH (DATE8), SEEN (DATETIME), NOTES
    // (MEMOTEXTE), PHOTO (MEMOBINAIRE), and the composite key NAME_BIRTH.
    CNADataSourceDescription* Customer()
    {
        CNADataSourceDescription* source = NewDescription(L"CUSTOMER");
        source->bAddItem(L"ID", L"CUSTOMER", L"ID", 1, 4, NA_IT_I4, kAppend, -1, 0x8800, 0, 0);
        source->bAddItem(L"NAME", L"CUSTOMER", L"NAME", 1, 51, NA_IT_TEXTE, kAppend, -1, 0, 0, 0);
        source->bAddItem(L"BIRTH", L"CUSTOMER", L"BIRTH", 1, 9, NA_IT_DATE8, kAppend, -1, 0, 0, 0);
        source->bAddItem(L"SEEN", L"CUSTOMER", L"SEEN", 1, 8, NA_IT_DATETIME, kAppend, -1, 0, 0, 3);
        source->bAddItem(L"NOTES", L"CUSTOMER", L"NOTES", 1, 8, NA_IT_MEMOTEXTE, kAppend, -1, 0, 0, 0);
        source->bAddItem(L"PHOTO", L"CUSTOMER", L"PHOTO", 1, 8, NA_IT_MEMOBINAIRE, kAppend, -1, 0, 0, 0);
        source->bAddItem(L"NAME_BIRTH", L"CUSTOMER", L"NAME_BIRTH", 1, 0, NA_IT_BINAIRE, kAppend,
                         static_cast<int>(source->nGetNumKeys()), 0x3800, 0, 0);
        CNAItemDescription* key = source->pclGetItemNoRef(6);
        source->_bAddItemComponent(key, L"NAME");
        source->_bAddItemComponent(key, L"BIRTH");
        source->pclGetItemNoRef(1)->SetCaption(L"Name");
        source->pclGetItemNoRef(1)->SetDBTableName(L"clients");
        source->pclGetItemNoRef(1)->SetCalculValue(5);
        source->pclGetItemNoRef(1)->SetPhysicalIndiceDB(1);
        const CAny smith = Make(ZLTYPE_PSTRW, L"Smith");
        source->pclGetItemNoRef(1)->SetDefaultValue(&smith, 0);
        source->pclGetItemNoRef(0)->SetNullable(0);
        source->UpdateRecordSize();
        return source;
    }
};

TEST_F(ItemDescClone, PlainCopyOfAnItem)
{
    CNADataSourceDescription* source = Customer();
    CNADataSourceDescription* target = NewDescription(L"COPY");
    target->bAddItem(L"K", L"COPY", L"K", 1, 4, NA_IT_I4, kAppend, -1, 0x2800, 0, 0);

    CNAItemDescription* name = source->pclGetItemNoRef(1);
    CNAItemDescription* copy = name->pclGetCloneItemDescription(target, CNAItemDescription::CLONE_PLAIN);
    ASSERT_NE(nullptr, copy);
    Hold(copy);
    EXPECT_STREQ(L"NAME", copy->pszGetName());
    EXPECT_STREQ(L"Name", copy->pszGetCaption());
    EXPECT_STREQ(L"clients", copy->pszGetDBTableName());
    EXPECT_EQ(5u, copy->dwGetCalculValue());
    EXPECT_EQ(1, copy->nGetPhysicalIndice());
    EXPECT_EQ(1, copy->nGetPhysicalIndiceDB());
    EXPECT_EQ(name->nGetOffset(0), copy->nGetOffset(0));
    EXPECT_EQ(51, copy->nGetItemSize());
    EXPECT_EQ(1, target->nGetNumKeys());
    EXPECT_EQ(1, copy->nGetKeyIndice()) << "the target's number of keys";
    EXPECT_EQ(L"Smith", Text(*copy->pclGetDefaultValue(0)));
    EXPECT_NE(name->pclGetDefaultValue(0), copy->pclGetDefaultValue(0));
    EXPECT_EQ(0u, copy->nGetExternalRef());
    EXPECT_EQ(1u, copy->nGetRef());

    CNAItemDescription* id = source->pclGetItemNoRef(0)->pclGetCloneItemDescription(target, CNAItemDescription::CLONE_PLAIN);
    Hold(id);
    EXPECT_EQ(0x8800, id->wGetKeyFlags());
    EXPECT_EQ(0, id->vbConstraintNullAllowed());
    target->nRelease();
    source->nRelease();
}

TEST_F(ItemDescClone, OptionsOfAWholeDescription)
{
    struct Expect { const wchar_t* name; eNA_ITEMTYPE type; uint16_t flags; };
    struct Case { CNAItemDescription::eCLONEDESC options; Expect items[7]; };
    const Case cases[] = {
        {CNAItemDescription::CLONE_PLAIN,
         {{L"ID", NA_IT_I4, 0x8800}, {L"NAME", NA_IT_TEXTE, 0}, {L"BIRTH", NA_IT_DATE8, 0},
          {L"SEEN", NA_IT_DATETIME, 0}, {L"NOTES", NA_IT_MEMOTEXTE, 0}, {L"PHOTO", NA_IT_MEMOBINAIRE, 0},
          {L"NAME_BIRTH", NA_IT_BINAIRE, 0x3800}}},
        // Every item a key, but the memo texts; MEMOBINAIRE too.
        {CNAItemDescription::CLONE_ALL_KEYS,
         {{L"ID", NA_IT_I4, 0x8800}, {L"NAME", NA_IT_TEXTE, 0x2800}, {L"BIRTH", NA_IT_DATE8, 0x2800},
          {L"SEEN", NA_IT_DATETIME, 0x2800}, {L"NOTES", NA_IT_MEMOTEXTE, 0}, {L"PHOTO", NA_IT_MEMOBINAIRE, 0x2800},
          {L"NAME_BIRTH", NA_IT_BINAIRE, 0x3800}}},
        {CNAItemDescription::CLONE_DATES_AS_TEXT,
         {{L"ID", NA_IT_I4, 0x8800}, {L"NAME", NA_IT_TEXTE, 0}, {L"BIRTH", NA_IT_TEXTE, 0},
          {L"SEEN", NA_IT_TEXTE, 0}, {L"NOTES", NA_IT_MEMOTEXTE, 0}, {L"PHOTO", NA_IT_MEMOBINAIRE, 0},
          {L"NAME_BIRTH", NA_IT_BINAIRE, 0x3800}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        CNADataSourceDescription* source = Customer();
        source->ExternalAddRef();
        source->nRelease();
        INAItemDescription* best = source->piGetBestParseItemDesc();
        best->nExternalRelease();
        source->_SetBestParseItem(L"NAME");

        CNADataSourceDescription* copy = source->pclGetCloneDataSourceDescription(c.options);
        ASSERT_NE(nullptr, copy);
        copy->AddRef();
        EXPECT_STREQ(L"CUSTOMER", copy->pszGetLogicalName());
        EXPECT_EQ(source->nGetDiskRecordSize(), copy->nGetDiskRecordSize());
        EXPECT_EQ(source->nGetMemoryRecordSize(), copy->nGetMemoryRecordSize());
        ASSERT_EQ(7u, copy->nGetNumItems());
        for (unsigned i = 0; i < 7; ++i) {
            SCOPED_TRACE(i);
            const CNAItemDescription* item = copy->pclGetItemNoRef(i);
            EXPECT_STREQ(c.items[i].name, item->pszGetName());
            EXPECT_EQ(c.items[i].type, item->eNAGetItemType());
            EXPECT_EQ(c.items[i].flags, item->wGetKeyFlags());
            EXPECT_EQ(source->pclGetItemNoRef(i)->nGetOffset(0), item->nGetOffset(0));
        }
        if (c.options == CNAItemDescription::CLONE_DATES_AS_TEXT) {
            const CAny* def = copy->pclGetItemNoRef(3)->pclGetDefaultValue(0);
            EXPECT_EQ(ZLTYPE_PSTRA, def->nGetTypeCode());
            EXPECT_FALSE(def->bIsNull());
            EXPECT_EQ(L"", Text(*def));
            EXPECT_EQ(8, copy->pclGetItemNoRef(3)->nGetItemSize());
        }
        EXPECT_EQ(c.options == CNAItemDescription::CLONE_ALL_KEYS ? 6u : 2u, copy->nGetNumKeys());
        // The composite's components are the copy's own items.
        const CNAItemDescription* key = copy->pclGetItemNoRef(6);
        ASSERT_EQ(2, key->nGetNumComponents());
        EXPECT_EQ(copy->pclGetItemNoRef(1), key->pclGetComponentNoRef(0));
        EXPECT_EQ(copy->pclGetItemNoRef(2), key->pclGetComponentNoRef(1));
        EXPECT_EQ(1u, copy->pclGetItemNoRef(2)->nGetRef());
        INAItemDescription* copyBest = copy->piGetBestParseItemDesc();
        EXPECT_EQ(copy->pclGetItemNoRef(1), copyBest);
        copyBest->nExternalRelease();
        copy->nRelease();
        source->nExternalRelease();
    }
}

TEST_F(ItemDescClone, ComponentsMissingFromTheTarget)
{
    CNADataSourceDescription* source = Customer();
    CNADataSourceDescription* target = NewDescription(L"OTHER");
    CNAItemDescription* key = source->pclGetItemNoRef(6)->pclGetCloneItemDescription(target, CNAItemDescription::CLONE_PLAIN);
    ASSERT_NE(nullptr, key);
    Hold(key);
    EXPECT_EQ(0, key->nGetNumComponents());
    EXPECT_TRUE(ErrorAt(26, L"8.2"));
    m_pclError->Reset();
    target->nRelease();
    source->nRelease();
}

}  // namespace
