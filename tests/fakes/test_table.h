#pragma once

// The table object the driver's registry and SQL-operation tests work with,
// so that the driver's walks over its tables can be checked, failures
// included, without data accesses or a server: a CNATable made by the
// test driver's slot 60 (TestTableFactory) with the real counts,
// construction and end, whose operations the driver calls by slot record
// their calls and give settable answers: bHMode (16), bHFerme (17),
// bSupprimeFichier (79) and bExecuteQuery (82, which may record an error
// when it fails). A hook may run inside bHMode and bHFerme, to act on the
// driver while it is walking or closing. A test may give it bind variables
// and data accesses, held as the table holds its own.
// Every other operation of the host's interface answers 0 (or null) and
// does nothing (the reserved slots and the virtual moves are the table's
// own). Another answer comes as a new setting, never as a changed default.
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "native/access/data_access.h"
#include "native/access/table.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/host_query_parameters.h"

class CTestTable : public CNATable
{
public:
    struct stModeCall
    {
        INAContext* piContext;
        _eNA_HMODE eMode;
    };
    struct stQueryCall
    {
        INAContext* piContext;
        std::wstring name;
        unsigned nMode;
        const INAQueryExecution* piExecution;
    };

    CTestTable(const wchar_t* pszKey, INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
               CNAError* pclError)
        : CNATable(pszKey, piSource, pclConnection, pclError)
    {
        ++s_nLive;
    }
    ~CTestTable() override { --s_nLive; }

    int bHMode(INAContext* piContext, _eNA_HMODE eMode) override
    {
        m_modeCalls.push_back({piContext, eMode});
        if (m_onHMode)
            m_onHMode(this);
        return m_bHModeAnswer;
    }
    int bHFerme(INAContext* piContext) override
    {
        m_closeCalls.push_back(piContext);
        if (m_onHFerme)
            m_onHFerme(this);
        return m_bHFermeAnswer;
    }
    int bSupprimeFichier(INAContext* piContext) override
    {
        m_dropCalls.push_back(piContext);
        return m_bSupprimeFichierAnswer;
    }
    int bExecuteQuery(int* pbHasResult, INAContext* piContext, const wchar_t* pszName, ISQLParserInformation*,
                      unsigned nMode, const INAQueryExecution* piExecution) override
    {
        m_queryCalls.push_back({piContext, pszName != nullptr ? pszName : L"", nMode, piExecution});
        if (pbHasResult != nullptr)
            *pbHasResult = m_bHasResult;
        if (!m_bExecuteQueryAnswer && m_nExecuteQueryError != 0 && m_pclError != nullptr)
            m_pclError->AddError(NA_ERR_GENERAL, NA_SRC_TABLE, 0, m_pclConnection, m_nExecuteQueryError, L"");
        return m_bExecuteQueryAnswer;
    }

    // Settings.
    void SetHModeAnswer(int b) { m_bHModeAnswer = b; }
    void SetHFermeAnswer(int b) { m_bHFermeAnswer = b; }
    void SetSupprimeFichierAnswer(int b) { m_bSupprimeFichierAnswer = b; }
    void SetExecuteQueryAnswer(int b, int bHasResult)
    {
        m_bExecuteQueryAnswer = b;
        m_bHasResult = bHasResult;
    }
    // A failing bExecuteQuery records this user error (one text argument)
    // in the table's error object; 0: none.
    void SetExecuteQueryError(unsigned nUserCode) { m_nExecuteQueryError = nUserCode; }
    // The query's bind variables, held by an external reference as the
    // table holds them; null drops them.
    void SetQueryBindVariable(INAQueryParametersValue* piValues)
    {
        if (piValues != nullptr)
            piValues->ExternalAddRef();
        if (m_piQueryBindVariable != nullptr)
            m_piQueryBindVariable->nExternalRelease();
        m_piQueryBindVariable = piValues;
    }
    // Adds a data access to the table's own, with the table's reference.
    void AddDataAccess(CNADataAccess* pclDataAccess)
    {
        REF_AddRef(pclDataAccess);
        if (!m_tabDataAccess.bAddElement(pclDataAccess, pclDataAccess))
            pclDataAccess->nRelease();
    }
    void OnHMode(std::function<void(CTestTable*)> f) { m_onHMode = std::move(f); }
    void OnHFerme(std::function<void(CTestTable*)> f) { m_onHFerme = std::move(f); }

    // What was asked of it.
    const std::vector<stModeCall>& ModeCalls() const { return m_modeCalls; }
    const std::vector<INAContext*>& CloseCalls() const { return m_closeCalls; }
    const std::vector<INAContext*>& DropCalls() const { return m_dropCalls; }
    const std::vector<stQueryCall>& QueryCalls() const { return m_queryCalls; }

    // Tables of this class alive in the process.
    static inline int s_nLive = 0;

    // The rest of the host's interface.
    using CNATable::piGetLastError;
    INAError* piGetLastError(INAContext*) override { return nullptr; }
    int bIsOpened(INAContext*) override { return 0; }
    INADataSourceDescription* piGetDataSourceDescription() override { return nullptr; }
    int bNbEnrNeedParse(INAContext*, int*, const wchar_t*) override { return 0; }
    int FreeMemory(INAContext*, void**) const override { return 0; }
    int bHReindexe(INAContext*, unsigned, IGaugeControl*) override { return 0; }
    int bHCreationSiInexistant(INAContext*, eNA_ACCESS, const wchar_t*) override { return 0; }
    int bHCreation(INAContext*, const wchar_t*) override { return 0; }
    int bHOuvre(INAContext*, eNA_ACCESS, const wchar_t*) override { return 0; }
    int bHAjoute(INAContext*, unsigned, eNA_LOCKTYPE) override { return 0; }
    int bHEcrit(INAContext*, long, unsigned, eNA_LOCKTYPE) override { return 0; }
    int bHRaye(INAContext*, long, eNA_LOCKTYPE) override { return 0; }
    int bHSupprime(INAContext*, long, eNA_LOCKTYPE) override { return 0; }
    int bHModifie(INAContext*, long, unsigned, eNA_LOCKTYPE) override { return 0; }
    int bHRecherche(INAContext*, const wchar_t*, const CAny*, int, int, eNA_LOCKTYPE, eNA_LOCKTYPE*, int,
                     unsigned) override { return 0; }
    int bHLibere(INAContext*) override { return 0; }
    int bHLit(INAContext*, long, eNA_LOCKTYPE, eNA_LOCKTYPE*) override { return 0; }
    int bHLitxxx(INAContext*, const wchar_t*, eNA_PARSEDIRECTION, int, eNA_LOCKTYPE, eNA_LOCKTYPE*,
                     unsigned) override { return 0; }
    int bSkipRecord(INAContext*, const wchar_t*, eNA_PARSEDIRECTION, long, int, eNA_LOCKTYPE, eNA_LOCKTYPE*,
                     unsigned) override { return 0; }
    int bHBloqueFichier(INAContext*, eNA_LOCKTYPE, eNA_LOCKTYPE*) override { return 0; }
    int bHDebloqueFichier(INAContext*) override { return 0; }
    int bHBloqueNumEnr(INAContext*, long, eNA_LOCKTYPE, eNA_LOCKTYPE*) override { return 0; }
    int bHDebloqueNumEnr(INAContext*, long) override { return 0; }
    int bHEnDehors(INAContext*, const wchar_t*, int*) override { return 0; }
    int bEvalHTrouve(INAContext*, const wchar_t*, int*, int*) override { return 0; }
    int bSetNextOperation(INAContext*, eNA_OPERATION) override { return 0; }
    long llGetRecNum(INAContext*) override { return 0; }
    int bGetRecNumState(INAContext*, long, unsigned*) override { return 0; }
    int bHFiltre(INAContext*, ISQLParserInformation*, wchar_t*) override { return 0; }
    int bHFiltre(INAContext*, const wchar_t*, const CAny*, int, const CAny*, int,
                     ISQLParserInformation*) override { return 0; }
    int bHActiveFiltre(INAContext*, const wchar_t*, unsigned) override { return 0; }
    int bHDesactiveFiltre(INAContext*, const wchar_t*, unsigned) override { return 0; }
    int bHRetourPosition(INAContext*, int, wchar_t*, int, unsigned) override { return 0; }
    int bHLiberePosition(INAContext*, int) override { return 0; }
    int bHSauvePosition(INAContext*, const wchar_t*, int*, unsigned) override { return 0; }
    int bHVersion(INAContext*, int*) override { return 0; }
    int bHNbEnr(INAContext*, long*, unsigned, unsigned) override { return 0; }
    int bHPositionCourante(INAContext*, const wchar_t*, int*, eNA_PRECISION, unsigned) override { return 0; }
    int bHPositionne(INAContext*, const wchar_t*, unsigned, eNA_PRECISION, unsigned) override { return 0; }
    int bGetBLOB(INAContext*, unsigned, CAny*) override { return 0; }
    int bSetBLOB(INAContext*, unsigned, const CAny*) override { return 0; }
    int bGetRecord(INAContext*, CNAQFRecord**) const override { return 0; }
    int bSetRecord(INAContext*, CNAQFRecord*) override { return 0; }
    int bHAttacheMemo(INAContext*, unsigned, const wchar_t*) override { return 0; }
    int bExtraitMemo(INAContext*, unsigned, const wchar_t*) override { return 0; }
    int bHAnnuleRecherche(INAContext*, const wchar_t*) override { return 0; }
    int bHChangeCle(INAContext*, const wchar_t*, unsigned) override { return 0; }
    int bHConstruitValCle(INAContext*, CAny*, const wchar_t*, unsigned, CAny**) override { return 0; }
    int bHInterditModif(INAContext*) override { return 0; }
    int bHFinInterditModif(INAContext*) override { return 0; }
    int bCalculateKeyValue(INAContext*, const wchar_t*, void**, const void*, unsigned*, unsigned short,
                     int) override { return 0; }
    int bFreeCache(INAContext*) override { return 0; }
    int bCompareTablePosition(INAContext*, int, int, int*) override { return 0; }
    int bSupprimeTout(INAContext*) override { return 0; }

private:
    int m_bHModeAnswer = 1;
    int m_bHFermeAnswer = 1;
    int m_bSupprimeFichierAnswer = 1;
    int m_bExecuteQueryAnswer = 1;
    int m_bHasResult = 0;
    unsigned m_nExecuteQueryError = 0;
    std::function<void(CTestTable*)> m_onHMode;
    std::function<void(CTestTable*)> m_onHFerme;
    std::vector<stModeCall> m_modeCalls;
    std::vector<INAContext*> m_closeCalls;
    std::vector<INAContext*> m_dropCalls;
    std::vector<stQueryCall> m_queryCalls;
};

// The test driver's table factory (slot 60) making test tables:
// choices.allocTable = TestTableFactory().
inline std::function<CNATable*(const wchar_t*, INADataSourceDescription*, CNAConnectionDescription*, CNAError*)>
TestTableFactory()
{
    return [](const wchar_t* pszKey, INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
              CNAError* pclError) -> CNATable* {
        return new (std::nothrow) CTestTable(pszKey, piSource, pclConnection, pclError);
    };
}
