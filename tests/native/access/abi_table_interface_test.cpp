// The slot order of INATable, the table interface the host calls by position.
#include <gtest/gtest.h>

#include "native/access/na_table.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(AbiTableInterface, TableSlots)
{
    using FilterByQuery = int (INATable::*)(INAContext*, ISQLParserInformation*, wchar_t*);
    using FilterByBounds =
        int (INATable::*)(INAContext*, const wchar_t*, const CAny*, int, const CAny*, int, ISQLParserInformation*);
    vxtest::ExpectSlots("INATable", {
        VX_SLOT(INATable, nGetVersion, 0),
        VX_SLOT(INATable, nGetCompatSince, 1),
        VX_SLOT(INATable, nGetNAVersion, 2),
        VX_SLOT(INATable, nGetNACompatSince, 3),
        VX_SLOT(INATable, NAVersion_EmptySlot_3, 4),
        VX_SLOT(INATable, ExternalAddRef, 5),
        VX_SLOT(INATable, nExternalRelease, 6),
        VX_SLOT(INATable, piGetLastError, 7),
        VX_SLOT(INATable, bIsOpened, 8),
        VX_SLOT(INATable, piGetDataSourceDescription, 9),
        VX_SLOT(INATable, bNbEnrNeedParse, 10),
        VX_SLOT(INATable, FreeMemory, 11),
        VX_SLOT(INATable, bHReindexe, 12),
        VX_SLOT(INATable, bHCreationSiInexistant, 13),
        VX_SLOT(INATable, bHCreation, 14),
        VX_SLOT(INATable, bHOuvre, 15),
        VX_SLOT(INATable, bHMode, 16),
        VX_SLOT(INATable, bHFerme, 17),
        VX_SLOT(INATable, bHAjoute, 18),
        VX_SLOT(INATable, bHEcrit, 19),
        VX_SLOT(INATable, bHRaye, 20),
        VX_SLOT(INATable, bHSupprime, 21),
        VX_SLOT(INATable, bHModifie, 22),
        VX_SLOT(INATable, bHRecherche, 23),
        VX_SLOT(INATable, bHLibere, 24),
        VX_SLOT(INATable, bHLit, 25),
        VX_SLOT(INATable, bHLitxxx, 26),
        VX_SLOT(INATable, bSkipRecord, 27),
        VX_SLOT(INATable, bHBloqueFichier, 28),
        VX_SLOT(INATable, bHDebloqueFichier, 29),
        VX_SLOT(INATable, bHBloqueNumEnr, 30),
        VX_SLOT(INATable, bHDebloqueNumEnr, 31),
        VX_SLOT(INATable, bHEnDehors, 32),
        VX_SLOT(INATable, bEvalHTrouve, 33),
        VX_SLOT(INATable, bSetNextOperation, 34),
        VX_SLOT(INATable, llGetRecNum, 35),
        VX_SLOT(INATable, bGetRecNumState, 36),
        VX_SLOT_AS(INATable, bHFiltre, FilterByQuery, 37),
        VX_SLOT_AS(INATable, bHFiltre, FilterByBounds, 38),
        VX_SLOT(INATable, bHActiveFiltre, 39),
        VX_SLOT(INATable, bHDesactiveFiltre, 40),
        VX_SLOT(INATable, bHRetourPosition, 41),
        VX_SLOT(INATable, bHLiberePosition, 42),
        VX_SLOT(INATable, bHSauvePosition, 43),
        VX_SLOT(INATable, bHVersion, 44),
        VX_SLOT(INATable, bHNbEnr, 45),
        VX_SLOT(INATable, bHPositionCourante, 46),
        VX_SLOT(INATable, bHPositionne, 47),
        VX_SLOT(INATable, bGetBLOB, 48),
        VX_SLOT(INATable, bSetBLOB, 49),
        VX_SLOT(INATable, bGetRecord, 50),
        VX_SLOT(INATable, bSetRecord, 51),
        VX_SLOT(INATable, bHAttacheMemo, 52),
        VX_SLOT(INATable, bExtraitMemo, 53),
        VX_SLOT(INATable, bHAnnuleRecherche, 54),
        VX_SLOT(INATable, bHChangeCle, 55),
        VX_SLOT(INATable, bHConstruitValCle, 56),
        VX_SLOT(INATable, bHInterditModif, 57),
        VX_SLOT(INATable, bHFinInterditModif, 58),
        VX_SLOT(INATable, bCalculateKeyValue, 59),
        VX_SLOT(INATable, bFreeCache, 60),
        VX_SLOT(INATable, bCompareTablePosition, 61),
        VX_SLOT(INATable, bTableVirtualMoveSupported, 62),
        VX_SLOT(INATable, bTableVirtualMove, 63),
        VX_SLOT(INATable, bSupprimeTout, 64),
        VX_SLOT(INATable, EmptySlot579, 65),
        VX_SLOT(INATable, EmptySlot580, 66),
        VX_SLOT(INATable, EmptySlot582, 67),
        VX_SLOT(INATable, EmptySlot587, 72),
        VX_SLOT(INATable, EmptySlot589, 73),
        VX_SLOT(INATable, EmptySlot594, 78),
    });
    EXPECT_EQ(79, VX_SLOT_COUNT(INATable));
}

}  // namespace
