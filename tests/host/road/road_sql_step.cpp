// Step 2 of the road: SQL through the driver's handle interface
// (INADriverSQL, piGetInterface(1)): a connection handle of its own, the
// demonstration table made and filled, a SELECT with a parameter table read
// column by column and row by row, the statement freed.
#include <string>

#include "tests/host/db/standin_slot_call.h"
#include "tests/host/db/standin_tab_val_parser.h"
#include "tests/host/road/road.h"
#include "tests/host/road/road_demo_table.h"
#include "tests/host/road/road_slots.h"

namespace {

using vxstandin::CallSlot;

// The driver's SQL interface.
constexpr int kSQLInterface = 1;

}  // namespace

CAny Road::Text(const wchar_t* psz)
{
    CAny value;
    value.__SetType(ZLTYPE_PSTRW, 0);
    (void)value.Objet().SetValue(psz);
    return value;
}

CAny Road::Integer(int n)
{
    CAny value;
    (void)value.SetI4(n);
    return value;
}

bool Road::bExecute(const wchar_t* pszSQL, CTabValParser* pstValues, int* pnStatement)
{
    int nStatement = -1;
    const int bDone = CallSlot<int>(m_piSQL, road::kSQLExecute, &nStatement, m_nSQLConnection, pszSQL, pstValues, 0u);
    m_out.Line("bExecute \"%ls\": %d, statement %d", pszSQL, bDone, nStatement);
    if (pnStatement != nullptr)
        *pnStatement = nStatement;
    return m_out.Check(bDone == 1, "INADriverSQL::bExecute", piSQLError());
}

bool Road::bSQLStep()
{
    m_out.BeginStep(2, "SQL through the handle interface");
    const bool bOk = bSQLSession();
    m_out.EndStep();
    return bOk;
}

bool Road::bSQLSession()
{
    m_piSQL = static_cast<INADriverSQL*>(CallSlot<void*>(m_piDriver, road::kDriverGetInterface, kSQLInterface));
    m_out.Line("INADriver::piGetInterface(1): %s", m_piSQL != nullptr ? "the SQL interface" : "null");
    if (!m_out.Check(m_piSQL != nullptr, "the SQL interface", piDriverError()))
        return false;
    const int bOpen = CallSlot<int>(m_piSQL, road::kSQLOpenConnection, &m_nSQLConnection,
                                    static_cast<INAConnectionDescription*>(&m_connection));
    m_out.Line("INADriverSQL::bOpenConnection: %d, connection handle %d", bOpen, m_nSQLConnection);
    if (!m_out.Check(bOpen == 1 && m_nSQLConnection != 0, "INADriverSQL::bOpenConnection", piSQLError()))
        return false;

    int nStatement = -1;
    if (!bExecute(road::kDemoDrop) || !bExecute(road::kDemoCreate))
        return false;
    for (const wchar_t* pszInsert : road::kDemoRows)
        if (!bExecute(pszInsert, nullptr, &nStatement) ||
            !m_out.Check(nStatement == 0, "an INSERT leaves no result statement"))
            return false;

    // The parameter's placeholder is found in the text, as the host's parser
    // would mark it.
    const std::wstring sSelect = road::kDemoSelect;
    StandinTabValParser values;
    values.Add(Integer(road::kDemoSelectFrom), static_cast<int>(sSelect.find(L'?')), 1);
    m_out.Line("parameter 1 = %d", road::kDemoSelectFrom);
    if (!bExecute(sSelect.c_str(), values.pstGet(), &nStatement) ||
        !m_out.Check(nStatement != 0, "the SELECT keeps a result statement"))
        return false;
    const bool bRead = bReadResult(nStatement);
    const int bFreed = CallSlot<int>(m_piSQL, road::kSQLFreeStmt, m_nSQLConnection, nStatement, 0u);
    m_out.Line("bFreeStmt(%d): %d", nStatement, bFreed);
    return bRead && m_out.Check(bFreed == 1, "INADriverSQL::bFreeStmt", piSQLError());
}

bool Road::bReadResult(int nStatement)
{
    int nColumns = -1;
    const int bCount = CallSlot<int>(m_piSQL, road::kSQLColumnNbr, &nColumns, m_nSQLConnection, nStatement, 0u);
    m_out.Line("bGetColumnNbr: %d, %d columns", bCount, nColumns);
    if (!m_out.Check(bCount == 1 && nColumns == road::kDemoSelectColumns, "the SELECT's column count", piSQLError()))
        return false;
    std::wstring sNames;
    for (unsigned nColumn = 1; nColumn <= static_cast<unsigned>(nColumns); ++nColumn) {
        CAny name;
        const int bName =
            CallSlot<int>(m_piSQL, road::kSQLColumnName, &name, m_nSQLConnection, nStatement, nColumn, 0u);
        if (!m_out.Check(bName == 1, "INADriverSQL::bGetColumnName", piSQLError()))
            return false;
        sNames += (nColumn > 1 ? L", " : L"") + RoadPrinter::sText(name);
    }
    m_out.Line("bGetColumnName 1 to %d: %ls", nColumns, sNames.c_str());
    if (!m_out.Check(sNames == road::kDemoSelectNames, "the SELECT's column names"))
        return false;

    int nRows = 0;
    while (CallSlot<int>(m_piSQL, road::kSQLFetch, m_nSQLConnection, nStatement, 0u) == 1) {
        ++nRows;
        CAny row;
        const int bRow =
            CallSlot<int>(m_piSQL, road::kSQLGetRow, &row, m_nSQLConnection, nStatement, L" | ", 0, 0u);
        if (!m_out.Check(bRow == 1, "INADriverSQL::bGetRow", piSQLError()))
            return false;
        std::wstring sValues;
        for (unsigned nColumn = 1; nColumn <= static_cast<unsigned>(nColumns); ++nColumn) {
            CAny value;
            const int bValue =
                CallSlot<int>(m_piSQL, road::kSQLGetValue, &value, m_nSQLConnection, nStatement, nColumn, 0u);
            if (!m_out.Check(bValue == 1, "INADriverSQL::bGetValue", piSQLError()))
                return false;
            sValues += (nColumn > 1 ? L", " : L"") + RoadPrinter::sText(value);
        }
        m_out.Line("bFetch row %d: bGetRow \"%ls\"; bGetValue: %ls", nRows, RoadPrinter::sText(row).c_str(),
                   sValues.c_str());
    }
    m_out.Line("bFetch: no further row after %d", nRows);
    return m_out.Check(nRows == road::kDemoSelectRows, "the SELECT's row count", piSQLError());
}
