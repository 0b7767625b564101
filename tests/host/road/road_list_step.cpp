// Step 3 of the road: the lists a host shows in its data tools, through
// both front doors: the databases through INADriver, the tables, the
// demonstration table's columns and the column types through INADriverSQL.
#include <string>
#include <vector>

#include "common/text/xy_string.h"
#include "tests/host/db/standin_slot_call.h"
#include "tests/host/road/road.h"
#include "tests/host/road/road_demo_table.h"
#include "tests/host/road/road_slots.h"

namespace {

using vxstandin::CallSlot;

// Base tables only.
constexpr unsigned kBaseTables = 1;

// The list's entries, split at any of the separators.
std::vector<std::wstring> Entries(const std::wstring& sList, const wchar_t* pszSeparators)
{
    std::vector<std::wstring> entries;
    size_t nStart = 0;
    while (nStart <= sList.size()) {
        const size_t nEnd = sList.find_first_of(pszSeparators, nStart);
        const std::wstring sEntry = sList.substr(nStart, nEnd == std::wstring::npos ? nEnd : nEnd - nStart);
        if (!sEntry.empty())
            entries.push_back(sEntry);
        if (nEnd == std::wstring::npos)
            break;
        nStart = nEnd + 1;
    }
    return entries;
}

std::wstring Joined(const std::vector<std::wstring>& entries)
{
    std::wstring s;
    for (const std::wstring& sEntry : entries)
        s += (s.empty() ? L"" : L", ") + sEntry;
    return s;
}

bool bHas(const std::vector<std::wstring>& entries, const std::wstring& sEntry)
{
    for (const std::wstring& s : entries)
        if (s == sEntry)
            return true;
    return false;
}

}  // namespace

bool Road::bListStep()
{
    m_out.BeginStep(3, "lists of databases, tables, columns and column types");
    const bool bOk = bLists();
    m_out.EndStep();
    return bOk;
}

bool Road::bLists()
{
    CXYString<wchar_t> databases;
    const int bDatabases = CallSlot<int>(m_piDriver, road::kDriverDatabaseList, &databases,
                                         static_cast<INAConnectionDescription*>(&m_connection), 0u);
    const std::vector<std::wstring> databaseNames = Entries(databases.pszGet(), L"\t\r\n");
    m_out.Line("INADriver::bGetDatabaseList: %d: %ls", bDatabases, Joined(databaseNames).c_str());
    if (!m_out.Check(bDatabases == 1, "INADriver::bGetDatabaseList", piDriverError()) ||
        !m_out.Check(bHas(databaseNames, m_sDatabase), "the connection's database is listed"))
        return false;

    CAny tables;
    const int bTables = CallSlot<int>(m_piSQL, road::kSQLTableList, &tables, m_nSQLConnection,
                                      static_cast<const wchar_t*>(nullptr), kBaseTables);
    const std::vector<std::wstring> tableNames = Entries(RoadPrinter::sText(tables), L"\r\n");
    m_out.Line("INADriverSQL::bGetTableList: %d: %ls", bTables, Joined(tableNames).c_str());
    if (!m_out.Check(bTables == 1, "INADriverSQL::bGetTableList", piSQLError()) ||
        !m_out.Check(bHas(tableNames, road::kDemoTable), "the demonstration table is listed"))
        return false;

    CAny columns;
    const int bColumns = CallSlot<int>(m_piSQL, road::kSQLColumnList, &columns, m_nSQLConnection, road::kDemoTable, 0u);
    const std::vector<std::wstring> columnNames = Entries(RoadPrinter::sText(columns), L"\r\n");
    m_out.Line("INADriverSQL::bGetColumnList(%ls): %d: %ls", road::kDemoTable, bColumns, Joined(columnNames).c_str());
    if (!m_out.Check(bColumns == 1, "INADriverSQL::bGetColumnList", piSQLError()) ||
        !m_out.Check(Joined(columnNames) == L"id, name, amount, born", "the demonstration table's columns in order"))
        return false;

    CAny types;
    const int bTypes = CallSlot<int>(m_piSQL, road::kSQLColumnTypeList, &types, m_nSQLConnection, 0u);
    const std::vector<std::wstring> typeLines = Entries(RoadPrinter::sText(types), L"\r\n");
    m_out.Line("INADriverSQL::bGetColumnTypeList: %d: %zu types", bTypes, typeLines.size());
    for (const std::wstring& sLine : typeLines)
        m_out.Line("  %ls", sLine.c_str());
    return m_out.Check(bTypes == 1 && !typeLines.empty(), "INADriverSQL::bGetColumnTypeList", piSQLError());
}
