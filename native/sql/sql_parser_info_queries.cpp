// The parsed-query adapter: whether the query may be written back, its
// auto-identifier, the host's bind variables, and the operator classes.
#include <cwchar>

#include "native/driver/host_query_parameters.h"
#include "native/model/record.h"
#include "native/sql/command.h"
#include "native/sql/sql_parser_info.h"

namespace {

// The host's element kinds of an auto-identifier.
constexpr int kElementIdAuto = 38;
constexpr int kElementIdAuto4 = 24;

}  // namespace

int CSQLParserInfo::bHOperationAllowed() const
{
    if (m_bAggregate || m_tabGroupe.nGetNbElement() > 0 || m_bCalculated)
        return 0;
    const wchar_t* pszText = pszGetRequete();
    if (pszText != nullptr && (std::wcsstr(pszText, L" DISTINCT ") != nullptr ||
                               std::wcsstr(pszText, L" distinct ") != nullptr))
        return 0;
    return 1;
}

int CSQLParserInfo::bQueryResultsetLimited(CNAConnectionDescription* pclConnection)
{
    // Asked once: the text does not change while the parse is held.
    if (m_nLimited < 0)
        m_nLimited = CNACommand::s_bQueryResultsetLimited(pclConnection, pszGetRequete()) ? 1 : 0;
    return m_nLimited;
}

int CSQLParserInfo::g_bQueryContainIdAuto(ISQLParserInformation* piParse)
{
    if (piParse == nullptr)
        return 0;
    IInfoFrom* piTable = piParse->piEnumFrom(1);
    if (piTable == nullptr || piParse->piEnumFrom(0) != nullptr)
        return 0;
    for (int nKind = piTable->nEnumElementKind(1); nKind != -1; nKind = piTable->nEnumElementKind(0)) {
        if (nKind == kElementIdAuto || nKind == kElementIdAuto4)
            return 1;
    }
    return 0;
}

int CSQLParserInfo::bHPrepareRequeteCalled() const
{
    return m_piValues != nullptr ? m_piValues->bPrepareCalled() : 0;
}

INAQueryParametersValue* CSQLParserInfo::piGetUserBindVariable() const
{
    if (m_piValues != nullptr)
        m_piValues->ExternalAddRef();
    return m_piValues;
}

CSQLParserInfo* CSQLParserInfo::pclGetQueryParserInfoNoRef() const
{
    return m_pclRecord != nullptr ? m_pclRecord->pclGetSourceQueryNoRef() : nullptr;
}

int CSQLParserInfo::s_bIsGroupmentColumn(eOPEXPRESSION eOperator)
{
    return eOperator >= OPEXP_AGGREGATE_FIRST && eOperator <= OPEXP_AGGREGATE_LAST;
}

int CSQLParserInfo::s_bIsFunction(eOPEXPRESSION eOperator)
{
    static constexpr struct
    {
        int nFirst;
        int nLast;
    } kRanges[] = {{6, 8},     {27, 31},   {34, 39},   {42, 46}, {50, 57}, {59, 66},
                   {68, 72},   {74, 95},   {97, 103},  {108, 108}, {136, 148}, {150, 151},
                   {155, 155}};
    for (const auto& range : kRanges) {
        if (eOperator >= range.nFirst && eOperator <= range.nLast)
            return 1;
    }
    return 0;
}
