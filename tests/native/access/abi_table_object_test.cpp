// The table object's slots: every operation of the host's table interface
// at its slot, the three the driver calls after them (the destructors
// between the two), and the answers of the slots that need no context, read
// by position as the host reads them.
#include <gtest/gtest.h>

#include "native/access/table.h"
#include "tests/fakes/test_driver.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(AbiTableObject, EverySlotInOrder)
{
    using FilterByQuery = int (CNATable::*)(INAContext*, ISQLParserInformation*, wchar_t*);
    using FilterByBounds =
        int (CNATable::*)(INAContext*, const wchar_t*, const CAny*, int, const CAny*, int, ISQLParserInformation*);
    using LastErrorOfContext = INAError* (CNATable::*)(INAContext*);
    vxtest::ExpectSlots("CNATable", {
        VX_SLOT(CNATable, nGetVersion, 0),
        VX_SLOT(CNATable, nGetCompatSince, 1),
        VX_SLOT(CNATable, nGetNAVersion, 2),
        VX_SLOT(CNATable, nGetNACompatSince, 3),
        VX_SLOT(CNATable, NAVersion_EmptySlot_3, 4),
        VX_SLOT(CNATable, ExternalAddRef, 5),
        VX_SLOT(CNATable, nExternalRelease, 6),
        VX_SLOT_AS(CNATable, piGetLastError, LastErrorOfContext, 7),
        VX_SLOT(CNATable, bIsOpened, 8),
        VX_SLOT(CNATable, piGetDataSourceDescription, 9),
        VX_SLOT(CNATable, bNbEnrNeedParse, 10),
        VX_SLOT(CNATable, FreeMemory, 11),
        VX_SLOT(CNATable, bHReindexe, 12),
        VX_SLOT(CNATable, bHCreationSiInexistant, 13),
        VX_SLOT(CNATable, bHCreation, 14),
        VX_SLOT(CNATable, bHOuvre, 15),
        VX_SLOT(CNATable, bHMode, 16),
        VX_SLOT(CNATable, bHFerme, 17),
        VX_SLOT(CNATable, bHAjoute, 18),
        VX_SLOT(CNATable, bHEcrit, 19),
        VX_SLOT(CNATable, bHRaye, 20),
        VX_SLOT(CNATable, bHSupprime, 21),
        VX_SLOT(CNATable, bHModifie, 22),
        VX_SLOT(CNATable, bHRecherche, 23),
        VX_SLOT(CNATable, bHLibere, 24),
        VX_SLOT(CNATable, bHLit, 25),
        VX_SLOT(CNATable, bHLitxxx, 26),
        VX_SLOT(CNATable, bSkipRecord, 27),
        VX_SLOT(CNATable, bHBloqueFichier, 28),
        VX_SLOT(CNATable, bHDebloqueFichier, 29),
        VX_SLOT(CNATable, bHBloqueNumEnr, 30),
        VX_SLOT(CNATable, bHDebloqueNumEnr, 31),
        VX_SLOT(CNATable, bHEnDehors, 32),
        VX_SLOT(CNATable, bEvalHTrouve, 33),
        VX_SLOT(CNATable, bSetNextOperation, 34),
        VX_SLOT(CNATable, llGetRecNum, 35),
        VX_SLOT(CNATable, bGetRecNumState, 36),
        VX_SLOT_AS(CNATable, bHFiltre, FilterByQuery, 37),
        VX_SLOT_AS(CNATable, bHFiltre, FilterByBounds, 38),
        VX_SLOT(CNATable, bHActiveFiltre, 39),
        VX_SLOT(CNATable, bHDesactiveFiltre, 40),
        VX_SLOT(CNATable, bHRetourPosition, 41),
        VX_SLOT(CNATable, bHLiberePosition, 42),
        VX_SLOT(CNATable, bHSauvePosition, 43),
        VX_SLOT(CNATable, bHVersion, 44),
        VX_SLOT(CNATable, bHNbEnr, 45),
        VX_SLOT(CNATable, bHPositionCourante, 46),
        VX_SLOT(CNATable, bHPositionne, 47),
        VX_SLOT(CNATable, bGetBLOB, 48),
        VX_SLOT(CNATable, bSetBLOB, 49),
        VX_SLOT(CNATable, bGetRecord, 50),
        VX_SLOT(CNATable, bSetRecord, 51),
        VX_SLOT(CNATable, bHAttacheMemo, 52),
        VX_SLOT(CNATable, bExtraitMemo, 53),
        VX_SLOT(CNATable, bHAnnuleRecherche, 54),
        VX_SLOT(CNATable, bHChangeCle, 55),
        VX_SLOT(CNATable, bHConstruitValCle, 56),
        VX_SLOT(CNATable, bHInterditModif, 57),
        VX_SLOT(CNATable, bHFinInterditModif, 58),
        VX_SLOT(CNATable, bCalculateKeyValue, 59),
        VX_SLOT(CNATable, bFreeCache, 60),
        VX_SLOT(CNATable, bCompareTablePosition, 61),
        VX_SLOT(CNATable, bTableVirtualMoveSupported, 62),
        VX_SLOT(CNATable, bTableVirtualMove, 63),
        VX_SLOT(CNATable, bSupprimeTout, 64),
        VX_SLOT(CNATable, EmptySlot579, 65),
        VX_SLOT(CNATable, EmptySlot580, 66),
        VX_SLOT(CNATable, EmptySlot582, 67),
        VX_SLOT(CNATable, EmptySlot583, 68),
        VX_SLOT(CNATable, EmptySlot584, 69),
        VX_SLOT(CNATable, EmptySlot585, 70),
        VX_SLOT(CNATable, EmptySlot586, 71),
        VX_SLOT(CNATable, EmptySlot587, 72),
        VX_SLOT(CNATable, EmptySlot589, 73),
        VX_SLOT(CNATable, EmptySlot590, 74),
        VX_SLOT(CNATable, EmptySlot591, 75),
        VX_SLOT(CNATable, EmptySlot592, 76),
        VX_SLOT(CNATable, EmptySlot593, 77),
        VX_SLOT(CNATable, EmptySlot594, 78),
        VX_SLOT(CNATable, bSupprimeFichier, 79),
        // 80 and 81: the complete and the deleting destructor.
        VX_SLOT(CNATable, bExecuteQuery, 82),
    });
    EXPECT_EQ(83, VX_SLOT_COUNT(CNATable));
}

TEST(AbiTableObject, AnswersWithoutContext)
{
    // Neither a connection nor a description nor a driver is needed for
    // these; the module's lock is.
    StartTestDriverModule();
    auto* pclTable = new CNATable(L"KEY", nullptr, nullptr, nullptr);
    EXPECT_EQ(11, vxtest::CallSlot<int>(pclTable, 0));
    EXPECT_EQ(8, vxtest::CallSlot<int>(pclTable, 1));
    EXPECT_EQ(-1, vxtest::CallSlot<int>(pclTable, 2));
    EXPECT_EQ(-1, vxtest::CallSlot<int>(pclTable, 3));
    vxtest::CallSlot<void>(pclTable, 4);
    EXPECT_EQ(nullptr, vxtest::CallSlot<INADataSourceDescription*>(pclTable, 9)) << "no description";
    EXPECT_EQ(0, vxtest::CallSlot<int>(pclTable, 62));
    long llMove = 5;
    EXPECT_EQ(0, vxtest::CallSlot<int>(pclTable, 63, static_cast<INAContext*>(nullptr), L"ITEM", &llMove, 1u, 1));
    EXPECT_EQ(5, llMove) << "a virtual move touches nothing";
    for (long nSlot = 65; nSlot <= 78; ++nSlot)
        vxtest::CallSlot<void>(pclTable, nSlot);
    EXPECT_STREQ(L"", pclTable->pszGetLogicalName());
    EXPECT_STREQ(L"KEY", pclTable->pszGetIdentification());
    // Counts at 0 on both sides: the deleting destructor by position.
    EXPECT_EQ(0u, pclTable->nGetRef());
    EXPECT_EQ(0u, pclTable->nGetExternalRef());
    vxtest::CallSlot<void>(pclTable, 81);
}

}  // namespace
