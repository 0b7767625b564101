// How the table object hands a host operation to the calling context's data
// access: the arguments in the data access's own order (some dropped, one
// turned into a position mode), both error objects reset first, the
// lookup's reference dropped, the lock given back also when an exception
// passes; and what the operations answer for a context that has no data
// access on the table, and where the error goes.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "tests/native/access/table_fixture.h"

namespace {

using vxtest::CRecordingDataAccess;

constexpr auto kLock1 = static_cast<eNA_LOCKTYPE>(1);
constexpr auto kLock2 = static_cast<eNA_LOCKTYPE>(2);
constexpr auto kLock3 = static_cast<eNA_LOCKTYPE>(3);

struct ForwardCase
{
    const char* name;
    std::function<int(INATable*, INAContext*)> call;
    const char* expected;
};

class TableForward : public vxtest::TableTest
{
protected:
    void SetUp() override
    {
        vxtest::TableTest::SetUp();
        m_pclTable = HeldTable(L"CUSTOMER");
    }
    void TearDown() override
    {
        if (m_pclTable != nullptr)
            Release(m_pclTable);
        vxtest::TableTest::TearDown();
    }
    // An error left in the object by an earlier call.
    static void Dirty(CNAError* pclError) { pclError->AddError(NA_ERR_GENERAL, 17u, NA_SRC_TABLE, 99, nullptr); }

    CNATable* m_pclTable = nullptr;
};

TEST_F(TableForward, ArgumentsReachTheDataAccessInItsOrder)
{
    StandinContext& context = Context(5, 1);
    CRecordingDataAccess* pclDataAccess = DataAccessOf(m_pclTable, &context);
    eNA_LOCKTYPE eLock{};
    int n = 0;
    unsigned u = 0;
    long ll = 0;
    CAny value;
    wchar_t szItem[] = L"NAME";
    const ForwardCase cases[] = {
        {"bNbEnrNeedParse", [&](INATable* t, INAContext* c) { return t->bNbEnrNeedParse(c, &n, L"NAME"); },
         "NeedParse(NAME)"},
        {"bHAjoute", [&](INATable* t, INAContext* c) { return t->bHAjoute(c, 0x200, kLock1); }, "Ajoute(512,1)"},
        {"bHEcrit", [&](INATable* t, INAContext* c) { return t->bHEcrit(c, 4, 0x40, kLock2); }, "Ecrit(4,64,2)"},
        {"bHSupprime", [&](INATable* t, INAContext* c) { return t->bHSupprime(c, 6, kLock2); }, "Supprime(6,2)"},
        {"bHModifie", [&](INATable* t, INAContext* c) { return t->bHModifie(c, 4, 0x40, kLock3); },
         "Modifie(4,64,3)"},
        // The one-item search, its three options in their places.
        {"bHRecherche",
         [&](INATable* t, INAContext* c) { return t->bHRecherche(c, L"NAME", &value, 3, 4, kLock2, &eLock, 6, 0x700); },
         "Recherche(NAME,3,4,2,6,1792)"},
        {"bHLit", [&](INATable* t, INAContext* c) { return t->bHLit(c, 12, kLock2, &eLock); }, "Lit(12,2)"},
        {"bHLitxxx",
         [&](INATable* t, INAContext* c) {
             return t->bHLitxxx(c, L"NAME", static_cast<eNA_PARSEDIRECTION>(2), 1, kLock3, &eLock, 0x800);
         },
         "Litxxx(NAME,2,1,3,2048)"},
        {"bSkipRecord",
         [&](INATable* t, INAContext* c) {
             return t->bSkipRecord(c, L"NAME", static_cast<eNA_PARSEDIRECTION>(3), 5, 1, kLock2, &eLock, 0x10);
         },
         "Skip(NAME,3,5,1,2,16)"},
        {"bGetRecNumState", [&](INATable* t, INAContext* c) { return t->bGetRecNumState(c, 8, &u); },
         "RecNumState(8)"},
        // The last argument becomes the position mode.
        {"bHRetourPosition", [&](INATable* t, INAContext* c) { return t->bHRetourPosition(c, 9, szItem, 1, 3u); },
         "Retour(9,NAME,1,3)"},
        {"bHLiberePosition", [&](INATable* t, INAContext* c) { return t->bHLiberePosition(c, 9); }, "Libere(9)"},
        // The int* first, then the name and the mode.
        {"bHSauvePosition", [&](INATable* t, INAContext* c) { return t->bHSauvePosition(c, L"NAME", &n, 2u); },
         "Sauve(NAME,2)"},
        {"bHVersion", [&](INATable* t, INAContext* c) { return t->bHVersion(c, &n); }, "Version"},
        {"bHNbEnr", [&](INATable* t, INAContext* c) { return t->bHNbEnr(c, &ll, 0x10, 0x4000); }, "NbEnr(16,16384)"},
        {"bGetBLOB", [&](INATable* t, INAContext* c) { return t->bGetBLOB(c, 3, &value); }, "GetBLOB(3)"},
        {"bSetBLOB", [&](INATable* t, INAContext* c) { return t->bSetBLOB(c, 4, &value); }, "SetBLOB(4)"},
        {"bExtraitMemo", [&](INATable* t, INAContext* c) { return t->bExtraitMemo(c, 2, L"/tmp/memo"); },
         "Extrait(2,/tmp/memo)"},
        {"bHAnnuleRecherche", [&](INATable* t, INAContext* c) { return t->bHAnnuleRecherche(c, L"NAME"); },
         "Annule(NAME)"},
        {"bHChangeCle", [&](INATable* t, INAContext* c) { return t->bHChangeCle(c, L"NAME", 0x8000); },
         "ChangeCle(NAME,32768)"},
        {"bHConstruitValCle",
         [&](INATable* t, INAContext* c) { return t->bHConstruitValCle(c, &value, L"NAME", 2, nullptr); },
         "ConstruitValCle(NAME,2)"},
        {"bSupprimeTout", [&](INATable* t, INAContext* c) { return t->bSupprimeTout(c); }, "SupprimeTout"},
    };
    for (const ForwardCase& c : cases) {
        Dirty(DriverError());
        Dirty(pclDataAccess->pclGetErrorNoRef());
        const uint32_t nRefs = pclDataAccess->m_dwRefCount;
        EXPECT_EQ(CRecordingDataAccess::kAnswer, c.call(m_pclTable, &context)) << c.name;
        ASSERT_FALSE(pclDataAccess->calls.empty()) << c.name;
        EXPECT_EQ(c.expected, pclDataAccess->calls.back()) << c.name;
        EXPECT_TRUE(pclDataAccess->cleanErrors.back()) << c.name << ": both error objects reset first";
        EXPECT_EQ(nRefs, pclDataAccess->m_dwRefCount) << c.name << ": the lookup's reference dropped";
    }
    EXPECT_EQ(42, n) << "the saved position's number reaches the host";
    EXPECT_EQ(std::size(cases), pclDataAccess->calls.size()) << "the one-item search only";

    // The record number keeps its 64 bits, and resets nothing.
    Dirty(DriverError());
    EXPECT_EQ(CRecordingDataAccess::kRecNum, m_pclTable->llGetRecNum(&context));
    EXPECT_EQ(17u, DriverError()->dwGetErrorId());
}

TEST_F(TableForward, AnExceptionGivesTheLockBack)
{
    StandinContext& context = Context(5, 1);
    CRecordingDataAccess* pclDataAccess = DataAccessOf(m_pclTable, &context);
    const uint32_t nRefs = pclDataAccess->m_dwRefCount;
    pclDataAccess->bThrowNext = true;
    eNA_LOCKTYPE eLock{};
    EXPECT_THROW(m_pclTable->bHLit(&context, 1, kLock1, &eLock), std::runtime_error);
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
    EXPECT_EQ(nRefs, pclDataAccess->m_dwRefCount);
    pclDataAccess->bThrowNext = true;
    EXPECT_THROW(m_pclTable->llGetRecNum(&context), std::runtime_error);
    EXPECT_TRUE(bDriverMutexFreeForOtherThreads());
}

TEST_F(TableForward, ContextWithoutDataAccess)
{
    StandinContext& stranger = Context(99, 1);
    eNA_LOCKTYPE eLock{};
    int n = 0, n2 = 0;
    unsigned u = 0;
    long ll = 0;
    CAny value;
    CNAQFRecord* pclRecord = nullptr;
    wchar_t szItem[] = L"NAME";
    const ForwardCase refused[] = {
        {"bNbEnrNeedParse", [&](INATable* t, INAContext* c) { return t->bNbEnrNeedParse(c, &n, L"NAME"); }, ""},
        {"bHAjoute", [&](INATable* t, INAContext* c) { return t->bHAjoute(c, 0, kLock1); }, ""},
        {"bHEcrit", [&](INATable* t, INAContext* c) { return t->bHEcrit(c, 0, 0, kLock1); }, ""},
        {"bHRaye", [&](INATable* t, INAContext* c) { return t->bHRaye(c, 0, kLock1); }, ""},
        {"bHSupprime", [&](INATable* t, INAContext* c) { return t->bHSupprime(c, 0, kLock1); }, ""},
        {"bHModifie", [&](INATable* t, INAContext* c) { return t->bHModifie(c, 0, 0, kLock1); }, ""},
        {"bHRecherche",
         [&](INATable* t, INAContext* c) { return t->bHRecherche(c, L"NAME", &value, 1, 0, kLock1, &eLock, 1, 0); },
         ""},
        {"bHLibere", [&](INATable* t, INAContext* c) { return t->bHLibere(c); }, ""},
        {"bHLit", [&](INATable* t, INAContext* c) { return t->bHLit(c, 0, kLock1, &eLock); }, ""},
        {"bHLitxxx",
         [&](INATable* t, INAContext* c) {
             return t->bHLitxxx(c, L"NAME", static_cast<eNA_PARSEDIRECTION>(0), 0, kLock1, &eLock, 0);
         },
         ""},
        {"bSkipRecord",
         [&](INATable* t, INAContext* c) {
             return t->bSkipRecord(c, L"NAME", static_cast<eNA_PARSEDIRECTION>(2), 1, 0, kLock1, &eLock, 0);
         },
         ""},
        {"bHBloqueFichier", [&](INATable* t, INAContext* c) { return t->bHBloqueFichier(c, kLock1, &eLock); }, ""},
        {"bHDebloqueFichier", [&](INATable* t, INAContext* c) { return t->bHDebloqueFichier(c); }, ""},
        {"bHBloqueNumEnr", [&](INATable* t, INAContext* c) { return t->bHBloqueNumEnr(c, 0, kLock1, &eLock); }, ""},
        {"bHDebloqueNumEnr", [&](INATable* t, INAContext* c) { return t->bHDebloqueNumEnr(c, 0); }, ""},
        {"bHEnDehors", [&](INATable* t, INAContext* c) { return t->bHEnDehors(c, L"NAME", &n); }, ""},
        {"bEvalHTrouve", [&](INATable* t, INAContext* c) { return t->bEvalHTrouve(c, L"NAME", &n, &n2); }, ""},
        {"bSetNextOperation",
         [&](INATable* t, INAContext* c) { return t->bSetNextOperation(c, static_cast<eNA_OPERATION>(1)); }, ""},
        {"bGetRecNumState", [&](INATable* t, INAContext* c) { return t->bGetRecNumState(c, 0, &u); }, ""},
        {"bHActiveFiltre", [&](INATable* t, INAContext* c) { return t->bHActiveFiltre(c, L"NAME", 0); }, ""},
        {"bHRetourPosition", [&](INATable* t, INAContext* c) { return t->bHRetourPosition(c, 1, szItem, 0, 0); }, ""},
        {"bHSauvePosition", [&](INATable* t, INAContext* c) { return t->bHSauvePosition(c, L"NAME", &n, 0); }, ""},
        {"bHVersion", [&](INATable* t, INAContext* c) { return t->bHVersion(c, &n); }, ""},
        {"bHNbEnr", [&](INATable* t, INAContext* c) { return t->bHNbEnr(c, &ll, 0x10, 0); }, ""},
        {"bHPositionCourante",
         [&](INATable* t, INAContext* c) {
             return t->bHPositionCourante(c, L"NAME", &n, static_cast<eNA_PRECISION>(0), 0);
         },
         ""},
        {"bHPositionne",
         [&](INATable* t, INAContext* c) {
             return t->bHPositionne(c, L"NAME", 500, static_cast<eNA_PRECISION>(0), 0);
         },
         ""},
        {"bGetBLOB", [&](INATable* t, INAContext* c) { return t->bGetBLOB(c, 0, &value); }, ""},
        {"bSetBLOB", [&](INATable* t, INAContext* c) { return t->bSetBLOB(c, 0, &value); }, ""},
        {"bGetRecord", [&](INATable* t, INAContext* c) { return t->bGetRecord(c, &pclRecord); }, ""},
        {"bSetRecord", [&](INATable* t, INAContext* c) { return t->bSetRecord(c, nullptr); }, ""},
        {"bHAttacheMemo", [&](INATable* t, INAContext* c) { return t->bHAttacheMemo(c, 0, L"/tmp/memo"); }, ""},
        {"bExtraitMemo", [&](INATable* t, INAContext* c) { return t->bExtraitMemo(c, 0, L"/tmp/memo"); }, ""},
        {"bHAnnuleRecherche", [&](INATable* t, INAContext* c) { return t->bHAnnuleRecherche(c, L"NAME"); }, ""},
        {"bHChangeCle", [&](INATable* t, INAContext* c) { return t->bHChangeCle(c, L"NAME", 0); }, ""},
        {"bHConstruitValCle",
         [&](INATable* t, INAContext* c) { return t->bHConstruitValCle(c, &value, L"NAME", 0, nullptr); }, ""},
        {"bFreeCache", [&](INATable* t, INAContext* c) { return t->bFreeCache(c); }, ""},
        {"bCompareTablePosition", [&](INATable* t, INAContext* c) { return t->bCompareTablePosition(c, 1, 2, &n); },
         ""},
        {"bSupprimeTout", [&](INATable* t, INAContext* c) { return t->bSupprimeTout(c); }, ""},
    };
    for (const ForwardCase& c : refused) {
        Dirty(DriverError());
        EXPECT_EQ(0, c.call(m_pclTable, &stranger)) << c.name;
        EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 19, L"6.7")) << c.name;
        EXPECT_TRUE(vxtest::ErrorHas(*DriverError(), L"<CUSTOMER>")) << c.name;
        EXPECT_EQ(NA_ERR_GENERAL, DriverError()->eGetErrorType()) << c.name;
    }
    EXPECT_EQ(nullptr, pclRecord);

    // Freeing a position and dropping a filter need nothing: 1, no error.
    const ForwardCase lenient[] = {
        {"bHDesactiveFiltre", [&](INATable* t, INAContext* c) { return t->bHDesactiveFiltre(c, L"NAME", 0); }, ""},
        {"bHLiberePosition", [&](INATable* t, INAContext* c) { return t->bHLiberePosition(c, 3); }, ""},
    };
    for (const ForwardCase& c : lenient) {
        Dirty(DriverError());
        EXPECT_EQ(1, c.call(m_pclTable, &stranger)) << c.name;
        EXPECT_EQ(NA_LEVEL_NOERROR, DriverError()->eGetErrorLevel()) << c.name;
    }

    // Whether it is open: 0, and the last error stays what it was.
    Dirty(DriverError());
    EXPECT_EQ(0, m_pclTable->bIsOpened(&stranger));
    EXPECT_EQ(17u, DriverError()->dwGetErrorId());

    // The record number: 0, its error joins the one already there.
    EXPECT_EQ(0, m_pclTable->llGetRecNum(&stranger));
    EXPECT_EQ(17u, DriverError()->dwGetErrorId()) << "the earlier error stays the main one";
    EXPECT_TRUE(vxtest::ErrorHas(*DriverError(), L"IEZODIRA=6.8\r\n"));
    EXPECT_TRUE(vxtest::ErrorHas(*DriverError(), L"<CUSTOMER>"));
    DriverError()->Reset();
    EXPECT_EQ(0, m_pclTable->llGetRecNum(&stranger));
    EXPECT_TRUE(vxtest::ErrorAt(*DriverError(), 19, L"6.8"));
    EXPECT_EQ(nullptr, Driver()->pclFindContext(&stranger)) << "the lookups made no context";
}

}  // namespace
