#pragma once

// What the table object's tests stand on: the registry fixture's test
// driver making real table objects (slot 60), whose data accesses (slot 48)
// record the calls that reach them through their virtual slots, with the
// arguments in the data access's own order; host contexts are the
// stand-in's, each with its context id and data key.
#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "native/access/table.h"
#include "native/driver/context.h"
#include "tests/native/driver/error_checks.h"
#include "tests/native/driver/registry_fixture.h"

namespace vxtest {

// A test data access whose virtual operations record "Name(arguments)" and
// answer 7 (the record number 1234567890123), together with whether its
// error object and the table's were clean when it was called.
class CRecordingDataAccess : public CTestDataAccess
{
public:
    using CTestDataAccess::CTestDataAccess;

    static constexpr int kAnswer = 7;
    static constexpr long kRecNum = 1234567890123L;

    std::vector<std::string> calls;
    // Per call: both error objects clean when it arrived.
    std::vector<bool> cleanErrors;
    // The driver's error object (the tables' one), set by the fixture.
    CNAError* pclTableError = nullptr;
    // The next call throws, as the client-library guard does.
    bool bThrowNext = false;

    int bNbEnrNeedParse(int*, const wchar_t* pszItem) override { return Note("NeedParse(" + S(pszItem) + ")"); }
    int bHReindexe(unsigned nOptions, IGaugeControl*) override { return Note("Reindexe(" + N(nOptions) + ")"); }
    int bHAjoute(NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock) override
    {
        return Note("Ajoute(" + N(nFlags) + "," + N(eLock) + ")");
    }
    int bHEcrit(long llRecord, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock) override
    {
        return Note("Ecrit(" + N(llRecord) + "," + N(nFlags) + "," + N(eLock) + ")");
    }
    int bHSupprime(long llRecord, eNA_LOCKTYPE eLock) override
    {
        return Note("Supprime(" + N(llRecord) + "," + N(eLock) + ")");
    }
    int bHModifie(long llRecord, NA_WRITEPARSEFLAGS nFlags, eNA_LOCKTYPE eLock) override
    {
        return Note("Modifie(" + N(llRecord) + "," + N(nFlags) + "," + N(eLock) + ")");
    }
    int bHLit(long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE*) override
    {
        return Note("Lit(" + N(llRecord) + "," + N(eLock) + ")");
    }
    int bHLitxxx(const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, int nFetchOption, eNA_LOCKTYPE eLock,
                 eNA_LOCKTYPE*, NA_WRITEPARSEFLAGS nFlags) override
    {
        return Note("Litxxx(" + S(pszItem) + "," + N(eDirection) + "," + N(nFetchOption) + "," + N(eLock) + "," +
                    N(nFlags) + ")");
    }
    int bSkipRecord(const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, long llCount, int nFetchOption,
                    eNA_LOCKTYPE eLock, eNA_LOCKTYPE*, NA_WRITEPARSEFLAGS nFlags) override
    {
        return Note("Skip(" + S(pszItem) + "," + N(eDirection) + "," + N(llCount) + "," + N(nFetchOption) + "," +
                    N(eLock) + "," + N(nFlags) + ")");
    }
    int bHRecherche(const wchar_t* pszItem, const CAny*, int bExact, int nFetchOption, eNA_LOCKTYPE eLock,
                    eNA_LOCKTYPE*, int bForward, NA_WRITEPARSEFLAGS nFlags) override
    {
        return Note("Recherche(" + S(pszItem) + "," + N(bExact) + "," + N(nFetchOption) + "," + N(eLock) + "," +
                    N(bForward) + "," + N(nFlags) + ")");
    }
    int bHRecherche(const wchar_t* pszItem, const wchar_t*, const CAny*, int, int, eNA_LOCKTYPE, eNA_LOCKTYPE*, int,
                    NA_WRITEPARSEFLAGS) override
    {
        return Note("RechercheTwoItems(" + S(pszItem) + ")");
    }
    int bHAnnuleRecherche(const wchar_t* pszItem) override { return Note("Annule(" + S(pszItem) + ")"); }
    int bHSauvePosition(int* pnId, const wchar_t* pszItem, eNAPOSITION eMode) override
    {
        *pnId = 42;
        return Note("Sauve(" + S(pszItem) + "," + N(eMode) + ")");
    }
    int bHRetourPosition(int nId, wchar_t* pszItem, int bKeep, eNAPOSITION eMode) override
    {
        return Note("Retour(" + N(nId) + "," + S(pszItem) + "," + N(bKeep) + "," + N(eMode) + ")");
    }
    int bHLiberePosition(int nId) override { return Note("Libere(" + N(nId) + ")"); }
    int bHVersion(int*) override { return Note("Version"); }
    int bHNbEnr(long*, unsigned nOptions, NA_WRITEPARSEFLAGS nFlags) override
    {
        return Note("NbEnr(" + N(nOptions) + "," + N(nFlags) + ")");
    }
    long llGetRecNum() override
    {
        Note("RecNum");
        return kRecNum;
    }
    int bGetRecNumState(long llRecord, unsigned*) override { return Note("RecNumState(" + N(llRecord) + ")"); }
    int bGetBLOB(unsigned nMemo, CAny*) override { return Note("GetBLOB(" + N(nMemo) + ")"); }
    int bSetBLOB(unsigned nMemo, const CAny*) override { return Note("SetBLOB(" + N(nMemo) + ")"); }
    int bExtraitMemo(unsigned nMemo, const wchar_t* pszPath) override
    {
        return Note("Extrait(" + N(nMemo) + "," + S(pszPath) + ")");
    }
    int bHChangeCle(const wchar_t* pszItem, NA_WRITEPARSEFLAGS nFlags) override
    {
        return Note("ChangeCle(" + S(pszItem) + "," + N(nFlags) + ")");
    }
    int bHConstruitValCle(CAny*, const wchar_t* pszItem, unsigned nCount, CAny**) override
    {
        return Note("ConstruitValCle(" + S(pszItem) + "," + N(nCount) + ")");
    }
    int bSupprimeTout() override { return Note("SupprimeTout"); }

private:
    int Note(const std::string& s)
    {
        calls.push_back(s);
        if (bThrowNext) {
            bThrowNext = false;
            throw std::runtime_error("client library failure");
        }
        cleanErrors.push_back((m_pclError == nullptr || m_pclError->eGetErrorLevel() == NA_LEVEL_NOERROR) &&
                              (pclTableError == nullptr || pclTableError->eGetErrorLevel() == NA_LEVEL_NOERROR));
        return kAnswer;
    }
    static std::string S(const wchar_t* psz) { return psz != nullptr ? Narrow(psz) : "null"; }
    template <class T>
    static std::string N(T n)
    {
        return std::to_string(static_cast<long long>(n));
    }
};

class TableTest : public RegistryTest
{
protected:
    void Choose(CTestDriverChoices& choices) override
    {
        // The driver's own table factory: real table objects.
        choices.allocTable = nullptr;
        choices.allocDataAccess = [this](INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                                         CNAError* pclError) -> CNADataAccess* {
            auto* pcl = new (std::nothrow) CRecordingDataAccess(piSource, pclConnection, pclError);
            if (pcl != nullptr)
                pcl->pclTableError = m_piDriver != nullptr ? DriverError() : nullptr;
            return pcl;
        };
    }
    void SetUp() override
    {
        RegistryTest::SetUp();
        CNATable::gpclLastDataAccess = nullptr;
    }

    // A table the host holds (one external reference) on a data source of
    // that logical name.
    CNATable* HeldTable(const wchar_t* pszSource = L"CUSTOMER", StandinConnectionDescription* pHost = nullptr)
    {
        if (pHost == nullptr) {
            if (m_pDefaultHost == nullptr)
                m_pDefaultHost = &Host();
            pHost = m_pDefaultHost;
        }
        INATable* piHeld = piTable(pHost, &Source(pszSource));
        EXPECT_NE(nullptr, piHeld);
        return static_cast<CNATable*>(piHeld);
    }
    // The registered table of that key, without a reference; null when none.
    CNATable* RegisteredTableObject(const wchar_t* pszKey)
    {
        CNATable* pclTable = Driver()->_pclFindTable(pszKey);
        if (pclTable != nullptr)
            pclTable->nRelease();
        return pclTable;
    }
    // The host's release of a table, by position.
    static int Release(CNATable* pclTable) { return nReleaseTable(pclTable); }

    // The context's data access on the table, made when missing; the
    // lookup's reference is dropped (the context and the table keep theirs).
    CRecordingDataAccess* DataAccessOf(CNATable* pclTable, INAContext* piContext, int* pbNew = nullptr)
    {
        CNADataAccess* pcl = pclTable->_pclGetDataAccess(piContext, pbNew);
        EXPECT_NE(nullptr, pcl);
        if (pcl != nullptr)
            pcl->nRelease();
        return static_cast<CRecordingDataAccess*>(pcl);
    }

    StandinContext& Context(unsigned long dwCtxID, unsigned long dwDataID)
    {
        return m_contexts.emplace_back(dwCtxID, dwDataID);
    }

    // The host closes a context (driver slot 17).
    int CloseContext(INAContext* piContext) { return m_caller.Call<int>(kSlotCloseContext, piContext); }

    std::deque<StandinContext> m_contexts;
    StandinConnectionDescription* m_pDefaultHost = nullptr;
};

}  // namespace vxtest
