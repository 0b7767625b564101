// The command and its parsed query: the query attached with its kind, the
// user parameters refreshed from the host's bind variables, and the
// command's end.
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/host_query_parameters.h"
#include "native/model/column_null_exclusions.h"
#include "native/model/convert_variant.h"
#include "native/sql/command.h"
#include "native/model/zl_type_groups.h"
#include "native/sql/sql_parser_info.h"

CNACommand::~CNACommand()
{
    m_tabDefines.SupprimeTout();
    m_tabParameters.SupprimeTout();
    delete m_pclColumnNull;
    m_pclColumnNull = nullptr;
    if (m_pclQuery != nullptr)
        REF_Release(m_pclQuery);
    if (m_pclError != nullptr)
        m_pclError->nRelease();
    if (m_pclConnection != nullptr)
        REF_Release(m_pclConnection);
}

void CNACommand::_SetSQLParserInfo(CSQLParserInfo* pclQuery)
{
    if (pclQuery != nullptr)
        REF_AddRef(pclQuery);
    if (m_pclQuery != nullptr)
        REF_Release(m_pclQuery);
    m_pclQuery = pclQuery;
    if (pclQuery == nullptr)
        return;
    if (m_bAsWritten && s_bIsQuerySet(pclQuery->pszGetRequete()))
        m_eQueryType = NA_QUERY_SET;
    else if (m_eQueryType == NA_QUERY_NONE)
        m_eQueryType = eConvertTypeQuery(pclQuery->eGetTypeRequete());
}

int CNACommand::bUpdateParametersValues()
{
    if (m_tabParameters.nGetNbElement() == 0 || m_pclQuery == nullptr)
        return 1;
    INAQueryParametersValue* piValues = m_pclQuery->piGetUserBindVariable();
    if (piValues == nullptr)
        return 1;
    int bDone = 1;
    for (int i = 0; i < m_tabParameters.nGetNbElement() && bDone; ++i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        if (pclParameter->bIsUser())
            bDone = _bUpdateParameterValue(piValues, pclParameter);
    }
    piValues->nExternalRelease();
    return bDone;
}

int CNACommand::_bUpdateParameterValue(INAQueryParametersValue* piValues, CNAParameter* pclParameter)
{
    if (pclParameter == nullptr)
        return 0;
    // A parameter marked in its reserved word keeps its value; no
    // parameter made today is marked, so every user parameter is refreshed.
    if (pclParameter->nGetReserved() != 0 || pclParameter->bIsCursor() || piValues == nullptr)
        return 1;
    CNAConvertVariant* pclValue = pclParameter->pclGetValueNoRef();
    const wchar_t* pszName = pclParameter->pszGetName();
    const CAny* pclHost = piValues->pclGetValue(pszName != nullptr ? pszName : L"", 0);
    if (pclValue == nullptr || pclHost == nullptr)
        return 1;
    const unsigned short t = pclHost->nGetTypeCode();
    if (t == 0)
        return 1;
    const unsigned short v = pclValue->pclGetValue()->nGetTypeCode();
    const bool bSameWidth =
        (NA_bAnsiStringCode(t) && NA_bAnsiStringCode(v)) || (NA_bWideStringCode(t) && NA_bWideStringCode(v));
    if (t != v && !bSameWidth)
        pclValue->InitTypeVariantAny(t, 0);
    return pclValue->bSetValue(pclHost);
}

int CNACommand::_bUpdateParameterValue(CNAParameter* pclParameter)
{
    if (m_pclQuery == nullptr)
        return 1;
    INAQueryParametersValue* piValues = m_pclQuery->piGetUserBindVariable();
    if (piValues == nullptr)
        return 1;
    const int bDone = _bUpdateParameterValue(piValues, pclParameter);
    piValues->nExternalRelease();
    return bDone;
}
