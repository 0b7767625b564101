// Item descriptions built by hand: bInit's rules, key and option flags,
// sizes, offsets, default values, components and the two counts.
#include <gtest/gtest.h>

#include "native/model/item_description.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/model_fixture.h"

namespace {

using vxtest::CCountedItemDescription;

class ItemDescBuild : public vxtest::ModelTest
{
};

TEST_F(ItemDescBuild, InitRules)
{
    struct Case
    {
        eNA_ITEMTYPE type;
        unsigned size;
        int integer, decimals;
        eNA_ITEMTYPE outType;
        int outSize, outInteger, outDecimals;
        uint32_t options;
    };
    const Case cases[] = {
        {NA_IT_EMPTY, 40, 0, 0, NA_IT_TEXTE, 1, 0, 0, 0},
        {NA_IT_DECIMAL, 16, 45, 0, NA_IT_R8, 8, 0, 0, 0},
        {NA_IT_DECIMAL, 6, 10, 2, NA_IT_DECIMAL, 6, 10, 2, 0},
        // A number the rules would give another type keeps DECIMAL.
        {NA_IT_DECIMAL, 4, 5, 0, NA_IT_DECIMAL, 4, 5, 0, 0},
        {NA_IT_HEURE, 8, 4, 3, NA_IT_HEURE, 8, 0, 3, 0},
        {NA_IT_DATETIME, 8, 4, 6, NA_IT_DATETIME, 8, 0, 6, 0},
        {NA_IT_I4, 4, 4, 3, NA_IT_I4, 4, 0, 0, 0},
        {NA_IT_MEMOTEXTE, 1000, 0, 0, NA_IT_MEMOTEXTE, 8, 0, 0, 0},
        {NA_IT_MEMOBINAIRE, 3, 0, 0, NA_IT_MEMOBINAIRE, 8, 0, 0, 0},
        {NA_IT_MEMOUNICODE, 0, 0, 0, NA_IT_MEMOUNICODE, 8, 0, 0, 0},
        {NA_IT_MEMOBINAIRE4, 3, 0, 0, NA_IT_MEMOBINAIRE4, 3, 0, 0, 0},
        {NA_IT_IDAUTO, 8, 0, 0, NA_IT_IDAUTO, 8, 0, 0, 3},
        {NA_IT_IDAUTO4, 4, 0, 0, NA_IT_IDAUTO4, 4, 0, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(g_pszGetNAItemTypeName(c.type));
        CNAItemDescription* item = NewItem(L"X", c.type, c.size, c.integer, c.decimals);
        EXPECT_EQ(c.outType, item->eNAGetItemType());
        EXPECT_EQ(c.outSize, item->nGetItemSize());
        EXPECT_EQ(c.outInteger, item->nGetIntegerPart());
        EXPECT_EQ(c.outDecimals, item->nGetDecimalPart());
        EXPECT_EQ(c.options, item->dwGetOptions());
        EXPECT_EQ(c.options == 0 ? 1 : 0, item->vbConstraintNullAllowed());
        const CAny* def = item->pclGetDefaultValue(7);
        EXPECT_EQ(ConverteItemToZLType(c.outType), def->nGetTypeCode());
        EXPECT_TRUE(def->bIsNull());
    }
}

TEST_F(ItemDescBuild, FreshDescription)
{
    CNAItemDescription* item = Driver()->pclAllocItemDescription();
    Hold(item);
    EXPECT_EQ(9, item->nGetVersion());
    EXPECT_EQ(1, item->nGetCompatSince());
    EXPECT_EQ(-1, item->nGetNAVersion());
    EXPECT_EQ(0, item->nGetKeyIndice());
    EXPECT_EQ(-1, item->nGetOffset(0));
    EXPECT_EQ(-1, item->nGetSubItemRecordIndice(0));
    EXPECT_EQ(-1, item->nGetPhysicalIndiceDB());
    EXPECT_EQ(ZLTYPE_VIDE, item->pclGetDefaultValue(0)->nGetTypeCode());
    EXPECT_EQ(1, item->bUpdatable());
    EXPECT_EQ(1, item->vbConstraintNullAllowed());
    EXPECT_EQ(nullptr, item->pszGetXBaseIndexPath());
    EXPECT_EQ(nullptr, item->piGetPrimaryLink());
    EXPECT_EQ(0, item->nGetKeySize());
    EXPECT_STREQ(L"", item->pszGetName());
    // The host reads the version through the slot.
    EXPECT_EQ(9, vxtest::CallSlot<int>(static_cast<INAItemDescription*>(item), 0));
    EXPECT_EQ(-1, vxtest::CallSlot<int>(static_cast<INAItemDescription*>(item), 3));
}

TEST_F(ItemDescBuild, KeyFlags)
{
    struct Case { uint16_t flags; int key, primary, unique, duplicates, composed, asc, desc, icase, ipunct, iaccent; };
    const Case cases[] = {
        {0x0000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x8800, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0},
        {0x4000, 1, 0, 1, 0, 0, 1, 0, 0, 0, 0}, {0x2400, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0},
        {0x1000, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0}, {0x0800, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {0x0400, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0x00E0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1},
        {0x2040, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        CNAItemDescription* item = NewItem(L"K", NA_IT_I4, 4);
        item->bSetKey(0, c.flags);
        EXPECT_EQ(c.key, item->bIsKey());
        EXPECT_EQ(c.primary, item->bPrimary());
        EXPECT_EQ(c.unique, item->bUnique());
        EXPECT_EQ(c.duplicates, item->bDuplicates());
        EXPECT_EQ(c.composed, item->bIsComposedKey());
        EXPECT_EQ(c.asc, item->bGetAscendant(5));
        EXPECT_EQ(c.desc, item->bGetDescendant(5));
        EXPECT_EQ(c.icase, item->bGetIgnoreCase(-1));
        EXPECT_EQ(c.ipunct, item->bGetIgnorePunctuation(0));
        EXPECT_EQ(c.iaccent, item->bGetIgnoreAccent(0));
    }

    CNAItemDescription* item = NewItem(L"K", NA_IT_I4, 4);
    item->bSetKey(0, 0x2000);
    item->SetSensTri(CNAItemDescription::SENSTRI_ASCENDANT);
    item->SetSensTri(CNAItemDescription::SENSTRI_DESCENDANT);
    EXPECT_EQ(0x2400, item->wGetKeyFlags());
    item->SetSensTri(CNAItemDescription::SENSTRI_ASCENDANT);
    EXPECT_EQ(0x2800, item->wGetKeyFlags());
    item->SetIgnoreCase(1);
    EXPECT_EQ(0x2880, item->wGetKeyFlags());
    item->SetIgnoreCase(0);
    EXPECT_EQ(0x2800, item->wGetKeyFlags());
}

TEST_F(ItemDescBuild, OptionsAndAutoIncrement)
{
    CNAItemDescription* item = NewItem(L"O", NA_IT_TEXTE, 11);
    item->SetNullable(0);
    EXPECT_EQ(0, item->vbConstraintNullAllowed());
    item->SetNullable(1);
    EXPECT_EQ(1, item->vbConstraintNullAllowed());
    item->SetNotUpdatable();
    EXPECT_EQ(0, item->bUpdatable());
    item->SetUpdatable(1);
    EXPECT_EQ(1, item->bUpdatable());
    item->SetSpacePadding();
    item->SetVariableScale();
    EXPECT_EQ(1, item->bSpacePadding());
    EXPECT_EQ(1, item->bGetVariableScale());
    EXPECT_EQ(0x18u, item->dwGetOptions());

    const std::pair<eNA_ITEMTYPE, eNA_ITEMTYPE> autoIncrement[] = {
        {NA_IT_I8, NA_IT_IDAUTO}, {NA_IT_UI8, NA_IT_IDAUTO}, {NA_IT_I4, NA_IT_IDAUTO4},
        {NA_IT_UI4, NA_IT_IDAUTO4}, {NA_IT_I2, NA_IT_I2}, {NA_IT_DECIMAL, NA_IT_DECIMAL},
    };
    for (const auto& [from, to] : autoIncrement) {
        CNAItemDescription* counter = NewItem(L"N", from, 8, 12, 0);
        counter->SetAutoIncrement();
        EXPECT_EQ(to, counter->eNAGetItemType()) << from;
        EXPECT_EQ(1, counter->bAutoIncrement());
    }
}

TEST_F(ItemDescBuild, LogicalSizesAndOffsets)
{
    struct Case { eNA_ITEMTYPE type; unsigned size, dimension; uint16_t flags; int element, whole; };
    const Case cases[] = {
        {NA_IT_TEXTE, 11, 3, 0, 10, 30},    {NA_IT_UNICODE, 22, 1, 0, 10, 10},
        {NA_IT_UNICODE, 22, 3, 0, 10, 30},  {NA_IT_UNICODE, 23, 3, 0, 10, 31},
        {NA_IT_BINAIRE, 12, 2, 0, 10, 20},  {NA_IT_BINAIRE, 12, 2, 0x1000, 12, 24},
        {NA_IT_I4, 4, 2, 0, 4, 8},          {NA_IT_MEMOTEXTE, 8, 1, 0, 8, 8},
        // Items smaller than their terminator or length give 0, never a
        // wrapped size.
        {NA_IT_TEXTE, 0, 2, 0, 0, 0},       {NA_IT_UNICODE, 1, 1, 0, 0, 0},
        {NA_IT_BINAIRE, 1, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(g_pszGetNAItemTypeName(c.type));
        CNAItemDescription* item = NewItem(L"S", c.type, c.size, 0, 0, c.dimension);
        item->SetKeyFlags(c.flags);
        EXPECT_EQ(c.element, item->nGetLogicalSize(0));
        EXPECT_EQ(c.element, item->nGetLogicalSize(2));
        EXPECT_EQ(c.whole, item->nGetLogicalSize(-1));
    }

    CNAItemDescription* array = NewItem(L"A", NA_IT_I4, 4, 0, 0, 5);
    array->SetOffset(100);
    array->SetSubItemRecordIndice(7);
    EXPECT_EQ(20, array->nGetTotalSize());
    EXPECT_EQ(100, array->nGetOffset(0));
    EXPECT_EQ(112, array->nGetOffset(3));
    EXPECT_EQ(10, array->nGetSubItemRecordIndice(3));
}

TEST_F(ItemDescBuild, DefaultValueTakesTheItemsType)
{
    CNAItemDescription* item = NewItem(L"N", NA_IT_I4, 4);
    const CAny text = Make(ZLTYPE_PSTRW, L"42");
    item->SetDefaultValue(&text, 0);
    const CAny* def = item->pclGetDefaultValue(3);
    EXPECT_EQ(ZLTYPE_I4, def->nGetTypeCode());
    EXPECT_FALSE(def->bIsNull());
    EXPECT_EQ(42, def->_tLit<int32_t>());
    // Its own default given back: only cast again.
    item->SetDefaultValue(item->pclGetDefaultValue(0), 0);
    EXPECT_EQ(42, item->pclGetDefaultValue(0)->_tLit<int32_t>());

    item->bChangeTypeMemo(NA_IT_MEMOTEXTE);
    EXPECT_EQ(NA_IT_MEMOTEXTE, item->eNAGetItemType());
    EXPECT_EQ(ZLTYPE_DSTRA, item->pclGetDefaultValue(0)->nGetTypeCode());
    EXPECT_EQ(L"42", Text(*item->pclGetDefaultValue(0)));
}

TEST_F(ItemDescBuild, CountsAndComponents)
{
    const int liveBefore = CCountedItemDescription::s_nLive;
    CNAItemDescription* name = Driver()->pclAllocItemDescription();
    name->bInit(L"NAME", L"", L"", 1, 11, NA_IT_TEXTE, 0, -1, 0, 0, 0);
    CNAItemDescription* title = Driver()->pclAllocItemDescription();
    title->bInit(L"TITLE", L"", L"", 1, 22, NA_IT_UNICODE, 1, -1, 0, 0, 0);
    CNAItemDescription* key = Driver()->pclAllocItemDescription();
    key->bInit(L"NAME_TITLE", L"", L"", 1, 0, NA_IT_BINAIRE, static_cast<unsigned>(-1), 0, 0x5000, 0, 0);
    name->ExternalAddRef();
    title->ExternalAddRef();
    key->ExternalAddRef();

    EXPECT_EQ(1, key->bAddComponent(name));
    EXPECT_EQ(1, key->bAddComponent(title));
    EXPECT_EQ(0, key->bAddComponent(nullptr));
    // 10 characters of text, then 10 Unicode characters counted twice.
    EXPECT_EQ(30, key->nGetItemSize());
    EXPECT_EQ(1u, name->nGetRef());
    EXPECT_EQ(2, key->nGetNumComponents());

    INAItemDescription* first = key->piGetItemComponent(1);
    EXPECT_EQ(name, first);
    EXPECT_EQ(2u, name->nGetExternalRef());
    first->nExternalRelease();
    EXPECT_EQ(nullptr, key->piGetItemComponent(0));
    EXPECT_EQ(nullptr, key->piGetItemComponent(3));
    EXPECT_EQ(nullptr, key->piGetItemComponent(-1));
    EXPECT_EQ(1, CNAItemDescription::bIsComponentOf(key, title));
    EXPECT_EQ(0, CNAItemDescription::bIsComponentOf(key, key));
    EXPECT_EQ(1u, title->nGetExternalRef());

    // Released from outside, the components live on in the key; the key's
    // end drops their internal references.
    EXPECT_EQ(0u, name->nExternalRelease());
    EXPECT_EQ(0u, title->nExternalRelease());
    EXPECT_EQ(liveBefore + 3, CCountedItemDescription::s_nLive);
    EXPECT_EQ(0u, key->nRelease());  // a release at 0 changes nothing
    EXPECT_EQ(liveBefore + 3, CCountedItemDescription::s_nLive);
    EXPECT_EQ(0u, key->nExternalRelease());
    EXPECT_EQ(liveBefore, CCountedItemDescription::s_nLive);
}

}  // namespace
