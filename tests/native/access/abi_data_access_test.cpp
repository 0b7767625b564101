// The data access's slots: CInterf's three, then its own in their fixed
// order, which a database driver's data access replaces by position.
#include <gtest/gtest.h>

#include "native/access/data_access.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(AbiDataAccess, SlotOrder)
{
    using SearchOne = int (CNADataAccess::*)(const wchar_t*, const CAny*, int, int, eNA_LOCKTYPE, eNA_LOCKTYPE*, int,
                                             NA_WRITEPARSEFLAGS);
    using SearchTwo = int (CNADataAccess::*)(const wchar_t*, const wchar_t*, const CAny*, int, int, eNA_LOCKTYPE,
                                             eNA_LOCKTYPE*, int, NA_WRITEPARSEFLAGS);
    using FilterBounds = int (CNADataAccess::*)(const wchar_t*, const CAny*, int, const CAny*, int,
                                                ISQLParserInformation*);
    using RequestedValue = int (CNADataAccess::*)(CNAStatement*, CAny*, CNACommand*);
    vxtest::ExpectSlots("CNADataAccess", {
        VX_SLOT(CNADataAccess, _NotToBeCalled, 2),
        VX_SLOT(CNADataAccess, bGetBLOB, 3),
        VX_SLOT(CNADataAccess, bSetBLOB, 4),
        VX_SLOT(CNADataAccess, bExtraitMemo, 5),
        VX_SLOT(CNADataAccess, bHCreation, 6),
        VX_SLOT(CNADataAccess, bSupprimeFichier, 7),
        VX_SLOT(CNADataAccess, bSupprimeTout, 8),
        VX_SLOT(CNADataAccess, bHCreationSiInexistant, 9),
        VX_SLOT(CNADataAccess, bHOuvre, 10),
        VX_SLOT(CNADataAccess, bHFerme, 11),
        VX_SLOT(CNADataAccess, bHAjoute, 12),
        VX_SLOT(CNADataAccess, bHEcrit, 13),
        VX_SLOT(CNADataAccess, bHSupprime, 14),
        VX_SLOT(CNADataAccess, bHModifie, 15),
        VX_SLOT(CNADataAccess, bHRaye, 16),
        VX_SLOT(CNADataAccess, bHLibere, 17),
        VX_SLOT(CNADataAccess, bHLit, 18),
        VX_SLOT(CNADataAccess, bHLitxxx, 19),
        VX_SLOT(CNADataAccess, bSkipRecord, 20),
        VX_SLOT_AS(CNADataAccess, bHRecherche, SearchOne, 21),
        VX_SLOT_AS(CNADataAccess, bHRecherche, SearchTwo, 22),
        VX_SLOT(CNADataAccess, bHAnnuleRecherche, 23),
        VX_SLOT(CNADataAccess, bHBloqueFichier, 24),
        VX_SLOT(CNADataAccess, bHDebloqueFichier, 25),
        VX_SLOT(CNADataAccess, bHBloqueNumEnr, 26),
        VX_SLOT(CNADataAccess, bHDebloqueNumEnr, 27),
        VX_SLOT_AS(CNADataAccess, bHFiltre, FilterBounds, 28),
        VX_SLOT(CNADataAccess, bHSauvePosition, 29),
        VX_SLOT(CNADataAccess, bHRetourPosition, 30),
        VX_SLOT(CNADataAccess, bHLiberePosition, 31),
        VX_SLOT(CNADataAccess, bHVersion, 32),
        VX_SLOT(CNADataAccess, bHNbEnr, 33),
        VX_SLOT(CNADataAccess, bGetNbEnr, 34),
        VX_SLOT(CNADataAccess, bNbEnrNeedParse, 35),
        VX_SLOT(CNADataAccess, llGetRecNum, 36),
        VX_SLOT(CNADataAccess, bGetRecNumState, 37),
        VX_SLOT(CNADataAccess, bHConstruitValCle, 38),
        VX_SLOT(CNADataAccess, bExecuteQuery, 39),
        VX_SLOT(CNADataAccess, bBuildSelect, 40),
        VX_SLOT(CNADataAccess, bLockRecord, 41),
        VX_SLOT(CNADataAccess, bUnlockRecord, 42),
        VX_SLOT(CNADataAccess, bLockUnlockRecord, 43),
        VX_SLOT(CNADataAccess, bHReindexe, 44),
        VX_SLOT(CNADataAccess, pclGetDataSourceDescriptionFromDB, 45),
        VX_SLOT(CNADataAccess, eEvaluateRecordIdType, 46),
        VX_SLOT(CNADataAccess, bHChangeCle, 47),
        VX_SLOT(CNADataAccess, bSetCurrentRecordRead, 48),
        VX_SLOT(CNADataAccess, bFichierExiste, 49),
        VX_SLOT(CNADataAccess, pclAllocPosition, 50),
        VX_SLOT(CNADataAccess, eGetNAErrorType, 51),
        VX_SLOT(CNADataAccess, SetContext, 52),
        VX_SLOT(CNADataAccess, CancelRecordLock, 53),
        VX_SLOT(CNADataAccess, bSetFiltreAuto, 54),
        VX_SLOT(CNADataAccess, SetFiltreAuto, 55),
        VX_SLOT(CNADataAccess, _pclAllocStatement, 56),
        VX_SLOT(CNADataAccess, _pclAllocDataSource, 57),
        VX_SLOT(CNADataAccess, _pclAllocRecord, 58),
        VX_SLOT(CNADataAccess, _pclAllocIDAuto, 59),
        VX_SLOT(CNADataAccess, _bMove, 60),
        VX_SLOT(CNADataAccess, _bSetBLOB, 61),
        VX_SLOT(CNADataAccess, _bHAttacheMemo, 62),
        VX_SLOT(CNADataAccess, _SetTransactionTermined, 63),
        VX_SLOT(CNADataAccess, _bInitCurrentRecord, 64),
        VX_SLOT(CNADataAccess, _Close, 65),
        VX_SLOT(CNADataAccess, _bOperation, 66),
        VX_SLOT(CNADataAccess, _nGetSequenceCurrentVal, 67),
        VX_SLOT_AS(CNADataAccess, _bGetRequestedValue, RequestedValue, 68),
        VX_SLOT(CNADataAccess, _bIsValidRecordNumber, 69),
        VX_SLOT(CNADataAccess, _bFetch, 70),
        VX_SLOT(CNADataAccess, _bHCreation, 71),
        VX_SLOT(CNADataAccess, _bSupprimeTout, 72),
        VX_SLOT(CNADataAccess, _SetImportedDataSourceDesc, 73),
        VX_SLOT(CNADataAccess, _vUpdateRecordInCacheLock, 74),
        VX_SLOT(CNADataAccess, _bGetUniqueIndexName, 75),
        VX_SLOT(CNADataAccess, _bUpdateIdAutoAfterInsertFailure, 76),
        VX_SLOT(CNADataAccess, _bHModifie, 77),
        VX_SLOT(CNADataAccess, _bHAjoute, 78),
        VX_SLOT(CNADataAccess, _bRepriseErreurParcours, 79),
        VX_SLOT(CNADataAccess, _bCompareTablePosition, 80),
        VX_SLOT(CNADataAccess, _bCheckRecordSaveID, 81),
        VX_SLOT(CNADataAccess, _bCheckReccordId, 82),
        VX_SLOT(CNADataAccess, _AllocTableCache, 83),
    });
    EXPECT_EQ(84, VX_SLOT_COUNT(CNADataAccess));
}

}  // namespace
