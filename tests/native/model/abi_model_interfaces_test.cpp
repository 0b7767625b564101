// The slot order of the data model's interfaces that the host calls by
// position: INAItemDescription, INADataSourceDescription, and the record
// buffer's slots (its member positions are asserted in its header).
#include <gtest/gtest.h>

#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/qf_record.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(AbiModelInterfaces, ItemDescriptionSlots)
{
    vxtest::ExpectSlots("INAItemDescription", {
        VX_SLOT(INAItemDescription, nGetNAVersion, 2),
        VX_SLOT(INAItemDescription, ExternalAddRef, 5),
        VX_SLOT(INAItemDescription, nExternalRelease, 6),
        VX_SLOT(INAItemDescription, pszGetName, 7),
        VX_SLOT(INAItemDescription, nGetDimension, 8),
        VX_SLOT(INAItemDescription, nGetItemSize, 9),
        VX_SLOT(INAItemDescription, nGetLogicalSize, 10),
        VX_SLOT(INAItemDescription, nGetTotalSize, 11),
        VX_SLOT(INAItemDescription, eNAGetItemType, 12),
        VX_SLOT(INAItemDescription, nGetPhysicalIndice, 13),
        VX_SLOT(INAItemDescription, bIsKey, 14),
        VX_SLOT(INAItemDescription, bMemo, 15),
        VX_SLOT(INAItemDescription, bMemoText, 16),
        VX_SLOT(INAItemDescription, bMemoBinary, 17),
        VX_SLOT(INAItemDescription, bNumerical, 18),
        VX_SLOT(INAItemDescription, bLiteral, 19),
        VX_SLOT(INAItemDescription, nGetKeyIndice, 20),
        VX_SLOT(INAItemDescription, nGetNumComponents, 21),
        VX_SLOT(INAItemDescription, bPrimary, 22),
        VX_SLOT(INAItemDescription, bUnique, 23),
        VX_SLOT(INAItemDescription, bDuplicates, 24),
        VX_SLOT(INAItemDescription, bIsComposedKey, 25),
        VX_SLOT(INAItemDescription, bGetAscendant, 26),
        VX_SLOT(INAItemDescription, bGetDescendant, 27),
        VX_SLOT(INAItemDescription, bGetIgnoreCase, 28),
        VX_SLOT(INAItemDescription, bGetIgnorePunctuation, 29),
        VX_SLOT(INAItemDescription, bGetIgnoreAccent, 30),
        VX_SLOT(INAItemDescription, piGetItemComponent, 31),
        VX_SLOT(INAItemDescription, nGetOffset, 32),
        VX_SLOT(INAItemDescription, nGetSubItemRecordIndice, 33),
        VX_SLOT(INAItemDescription, pclGetDefaultValue, 34),
        VX_SLOT(INAItemDescription, pszGetExtendedInfo, 35),
        VX_SLOT(INAItemDescription, pszGetCaption, 36),
        VX_SLOT(INAItemDescription, pszGetDBType, 37),
        VX_SLOT(INAItemDescription, pszGetXBaseIndexPath, 38),
        VX_SLOT(INAItemDescription, pszGetXBaseKeyExpression, 39),
        VX_SLOT(INAItemDescription, nGetIntegerPart, 40),
        VX_SLOT(INAItemDescription, nGetDecimalPart, 41),
        VX_SLOT(INAItemDescription, pszGetNameInSource, 42),
        VX_SLOT(INAItemDescription, pszGetSourceName, 43),
        VX_SLOT(INAItemDescription, nGetKeySize, 44),
        VX_SLOT(INAItemDescription, SetKeySize, 45),
        VX_SLOT(INAItemDescription, nGetComponentKeySize, 46),
        VX_SLOT(INAItemDescription, SetComponentKeySize, 47),
        VX_SLOT(INAItemDescription, bUpdatable, 48),
        VX_SLOT(INAItemDescription, SetUpdatable, 49),
        VX_SLOT(INAItemDescription, piGetPrimaryLink, 50),
        VX_SLOT(INAItemDescription, piGetForeignLink, 51),
        VX_SLOT(INAItemDescription, nGetNumForeignLink, 52),
        VX_SLOT(INAItemDescription, pszGetUnicodeLocale, 53),
        VX_SLOT(INAItemDescription, vbConstraintNullAllowed, 54),
    });
    EXPECT_EQ(55, VX_SLOT_COUNT(INAItemDescription));
}

TEST(AbiModelInterfaces, DataSourceDescriptionSlots)
{
    using ByName = INAItemDescription* (INADataSourceDescription::*)(const wchar_t*);
    using ByPosition = INAItemDescription* (INADataSourceDescription::*)(unsigned);
    vxtest::ExpectSlots("INADataSourceDescription", {
        VX_SLOT(INADataSourceDescription, NAVersion_EmptySlot_3, 4),
        VX_SLOT(INADataSourceDescription, ExternalAddRef, 5),
        VX_SLOT(INADataSourceDescription, nExternalRelease, 6),
        VX_SLOT(INADataSourceDescription, pszGetLogicalName, 7),
        VX_SLOT(INADataSourceDescription, pszGetPhysicalName, 8),
        VX_SLOT(INADataSourceDescription, pszGetDefaultDirectory, 9),
        VX_SLOT(INADataSourceDescription, nGetDiskRecordSize, 10),
        VX_SLOT(INADataSourceDescription, nGetMemoryRecordSize, 11),
        VX_SLOT(INADataSourceDescription, nGetNumItems, 12),
        VX_SLOT(INADataSourceDescription, nGetNumKeys, 13),
        VX_SLOT(INADataSourceDescription, nGetNumMemos, 14),
        VX_SLOT(INADataSourceDescription, nGetNumItemPhysicallyInFic, 15),
        VX_SLOT_AS(INADataSourceDescription, piNAGetItem, ByName, 16),
        VX_SLOT_AS(INADataSourceDescription, piNAGetItem, ByPosition, 17),
        VX_SLOT(INADataSourceDescription, piNAGetKey, 18),
        VX_SLOT(INADataSourceDescription, piNAGetMemo, 19),
        VX_SLOT(INADataSourceDescription, eGetNASubDataType, 20),
        VX_SLOT(INADataSourceDescription, pszGetDBTableName, 21),
        VX_SLOT(INADataSourceDescription, piGetBestParseItemDesc, 22),
        VX_SLOT(INADataSourceDescription, pszGetExtendedInfo, 23),
        VX_SLOT(INADataSourceDescription, pszGetType, 24),
        VX_SLOT(INADataSourceDescription, pszGetOwner, 25),
        VX_SLOT(INADataSourceDescription, pszGetDefaultDatabase, 26),
        VX_SLOT(INADataSourceDescription, pszGetExtension, 27),
        VX_SLOT(INADataSourceDescription, pszGetCaption, 28),
        VX_SLOT(INADataSourceDescription, bGetNullSupported, 29),
        VX_SLOT(INADataSourceDescription, EmptySlot137, 30),
        VX_SLOT(INADataSourceDescription, EmptySlot146, 39),
    });
    EXPECT_EQ(40, VX_SLOT_COUNT(INADataSourceDescription));
}

TEST(AbiModelInterfaces, RecordBufferSlots)
{
    using Writable = unsigned char* (CNAQFRecord::*)(const INAItemDescription*, int);
    using ReadOnly = const unsigned char* (CNAQFRecord::*)(const INAItemDescription*, int) const;
    using SetBytes = void (CNAQFRecord::*)(const INAItemDescription*, const void*, unsigned long, unsigned);
    using SetAny = void (CNAQFRecord::*)(const INAItemDescription*, const CAny*, unsigned);
    using GetAny = void (CNAQFRecord::*)(CAny*, const INAItemDescription*, int) const;
    using GetBytes = void (CNAQFRecord::*)(void*, const INAItemDescription*, int);
    // Slots 0 and 1 are the destructors.
    vxtest::ExpectSlots("CNAQFRecord", {
        VX_SLOT(CNAQFRecord, vpclGetClone, 2),
        VX_SLOT(CNAQFRecord, vSetValues, 3),
        VX_SLOT_AS(CNAQFRecord, vpbyGetItemValue, Writable, 4),
        VX_SLOT_AS(CNAQFRecord, vpbyGetItemValue, ReadOnly, 5),
        VX_SLOT_AS(CNAQFRecord, vSetItemValue, SetBytes, 6),
        VX_SLOT_AS(CNAQFRecord, vSetItemValue, SetAny, 7),
        VX_SLOT_AS(CNAQFRecord, vGetItemValue, GetAny, 8),
        VX_SLOT_AS(CNAQFRecord, vGetItemValue, GetBytes, 9),
        VX_SLOT(CNAQFRecord, vSetItemValueDefined, 10),
        VX_SLOT(CNAQFRecord, vbItemValueDefined, 11),
    });
    EXPECT_EQ(12, VX_SLOT_COUNT(CNAQFRecord));
}

}  // namespace
