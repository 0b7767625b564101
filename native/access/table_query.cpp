// The table's work with the host's parsed queries: the two filters and the
// execution of a named query, each after the check of the host's SQL
// module. A query that leaves rows to read makes the table the description
// of its result.
#include "native/access/table_forward.h"
#include "native/model/na_data_source_description.h"

int CNATable::bHFiltre(INAContext* piContext, ISQLParserInformation* piQuery, wchar_t* pszItem)
{
    if (!_bCheckSQLModuleVersion(piQuery))
        return 0;
    return _nForward(piContext,
                     [&](CNADataAccess* pclDataAccess) { return pclDataAccess->bHFiltre(piQuery, pszItem); });
}

int CNATable::bHFiltre(INAContext* piContext, const wchar_t* pszItem, const CAny* pclLow, int bLowIncluded,
                       const CAny* pclHigh, int bHighIncluded, ISQLParserInformation* piQuery)
{
    if (!_bCheckSQLModuleVersion(piQuery))
        return 0;
    return _nForward(piContext, [&](CNADataAccess* pclDataAccess) {
        return pclDataAccess->bHFiltre(pszItem, pclLow, bLowIncluded, pclHigh, bHighIncluded, piQuery);
    });
}

int CNATable::bExecuteQuery(int* pbHasResult, INAContext* piContext, const wchar_t* pszName,
                            ISQLParserInformation* piQuery, unsigned nMode, const INAQueryExecution* piExecution)
{
    if (!_bCheckSQLModuleVersion(piQuery))
        return 0;
    // The driver's entry reset the error object already; the table's is
    // that same object.
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADataAccessLookup dataAccess(_pclGetDataAccessForCall(piContext, nullptr));
    if (!dataAccess)
        return 0;
    int bHasResult = 0;
    if (pbHasResult == nullptr)
        pbHasResult = &bHasResult;
    const int bResult = dataAccess->bExecuteQuery(pbHasResult, pszName, piQuery, nMode, piExecution);
    if (bResult) {
        if (!dataAccess->bHPrepareRequeteCalled() && *pbHasResult) {
            // Handed over with one external reference; the new one is taken
            // before the former goes, as they may be the same.
            INADataSourceDescription* piFormer = m_piSource;
            m_piSource = dataAccess->piGetDataSourceDescriptionForQF();
            if (piFormer != nullptr)
                piFormer->nExternalRelease();
        }
        return bResult;
    }
    if (m_pclError != nullptr)
        m_pclError->Copy(dataAccess->pclGetErrorNoRef());
    // A prepared query stays with its data access: the host runs it again
    // with new values.
    if (!dataAccess->bHPrepareRequeteCalled())
        _RemoveDataAccess(piContext, dataAccess.pclGet());
    return 0;
}
