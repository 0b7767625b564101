// Steps 7 and 8 of the road: the host's writes through INATable on the
// demonstration table. Values go into the current record through the
// record buffer's slots and back to the table (bSetRecord) before each
// write, as the host does; every write is checked against the rows the
// server holds afterwards, read through the SQL interface.
#include <climits>
#include <cwchar>
#include <string>

#include "native/driver/na_error.h"
#include "tests/host/db/standin_slot_call.h"
#include "tests/host/db/standin_tab_val_parser.h"
#include "tests/host/road/road.h"
#include "tests/host/road/road_demo_table.h"
#include "tests/host/road/road_slots.h"
#include "tests/host/road/road_table_values.h"

namespace {

using vxstandin::CallSlot;
using road::kLock, road::kNoFlags, road::kFirst, road::kKey, road::kNameKey;

// The add computes the automatic identifier on the client: the largest in
// use plus one.
constexpr unsigned kIdFromClient = 0x200;
// Record number 0: the current record (after an add, the row as added).
constexpr long kCurrent = 0;
constexpr eNA_ERRORTYPE kDuplicate = static_cast<eNA_ERRORTYPE>(3);
constexpr eNA_ERRORTYPE kMandatory = static_cast<eNA_ERRORTYPE>(8);

const wchar_t* Or(const wchar_t* psz)
{
    return psz != nullptr ? psz : L"(none)";
}

}  // namespace

bool Road::bSetRecordValues(std::initializer_list<ItemValue> values)
{
    CNAQFRecord* pclRecord = nullptr;
    const int bGot = CallSlot<int>(m_piTable, road::kTableGetRecord, static_cast<INAContext*>(&m_context), &pclRecord);
    if (!bTableCheck(bGot == 1 && pclRecord != nullptr, "INATable::bGetRecord"))
        return false;
    std::wstring sSet;
    for (const ItemValue& value : values) {
        const INAItemDescription* piItem = nullptr;
        for (INAItemDescription* piCandidate : m_items)
            if (std::wstring(CallSlot<const wchar_t*>(piCandidate, road::kItemName)) == value.pszItem)
                piItem = piCandidate;
        if (piItem == nullptr) {
            (void)CallSlot<int>(m_piTable, road::kTableSetRecord, static_cast<INAContext*>(&m_context), pclRecord);
            return m_out.Check(false, "the item is in the description");
        }
        if (value.pclValue != nullptr)
            CallSlot<void>(pclRecord, road::kRecordSetValue, piItem, value.pclValue, 0u);
        else
            CallSlot<void>(pclRecord, road::kRecordSetDefined, piItem, 0, 0u);
        sSet += (sSet.empty() ? L"" : L", ") + std::wstring(value.pszItem) + L"=" +
                (value.pclValue != nullptr ? RoadPrinter::sText(*value.pclValue) : L"(no value)");
    }
    const int bSet = CallSlot<int>(m_piTable, road::kTableSetRecord, static_cast<INAContext*>(&m_context), pclRecord);
    m_out.Line("the record buffer: %ls; INATable::bSetRecord: %d", sSet.c_str(), bSet);
    return bTableCheck(bSet == 1, "INATable::bSetRecord");
}

bool Road::bServerRowTexts(const wchar_t* pszSelect, CTabValParser* pstValues, std::wstring& sRows)
{
    sRows.clear();
    int nStatement = 0;
    if (!bExecute(pszSelect, pstValues, &nStatement) ||
        !m_out.Check(nStatement != 0, "the SELECT keeps a result statement"))
        return false;
    bool bOk = true;
    while (bOk && CallSlot<int>(m_piSQL, road::kSQLFetch, m_nSQLConnection, nStatement, 0u) == 1) {
        CAny row;
        bOk = m_out.Check(CallSlot<int>(m_piSQL, road::kSQLGetRow, &row, m_nSQLConnection, nStatement, L":", 0,
                                        0u) == 1,
                          "INADriverSQL::bGetRow", piSQLError());
        sRows += (sRows.empty() ? L"" : L" ") + RoadPrinter::sText(row);
    }
    const int bFreed = CallSlot<int>(m_piSQL, road::kSQLFreeStmt, m_nSQLConnection, nStatement, 0u);
    return bOk && m_out.Check(bFreed == 1, "INADriverSQL::bFreeStmt", piSQLError());
}

bool Road::bServerRows(const wchar_t* pszExpected)
{
    std::wstring sRows;
    const bool bRead = bServerRowTexts(road::kDemoWrittenRows, nullptr, sRows);
    m_out.Line("the server holds: %ls", sRows.c_str());
    return bRead && m_out.Check(sRows == pszExpected, "the rows on the server");
}

bool Road::bServerId(const wchar_t* pszName, int* pnId)
{
    *pnId = -1;
    const std::wstring sSelect = L"SELECT id FROM road_demo WHERE name = ?";
    StandinTabValParser values;
    values.Add(Text(pszName), static_cast<int>(sSelect.find(L'?')), 1);
    std::wstring sId;
    const bool bRead = bServerRowTexts(sSelect.c_str(), values.pstGet(), sId);
    // One row of one column: digits only, no blank between two rows.
    wchar_t* pszEnd = nullptr;
    const long n = std::wcstol(sId.c_str(), &pszEnd, 10);
    if (bRead && !sId.empty() && *pszEnd == L'\0' && n > 0 && n <= INT_MAX)
        *pnId = static_cast<int>(n);
    m_out.Line("the server gave %ls the id %d", pszName, *pnId);
    return bRead && m_out.Check(*pnId > 0, "the server's id of the row");
}

bool Road::bFailedWrite(int bDone, eNA_ERRORTYPE eType, const wchar_t* pszItem, const char* pszWhat)
{
    INAError* piError = piContextError(m_context);
    if (!m_out.Check(piError != nullptr, "the context's error object"))
        return false;
    const eNA_ERRORTYPE eGot = CallSlot<eNA_ERRORTYPE>(piError, road::kErrorType);
    const wchar_t* pszTable = CallSlot<const wchar_t*>(piError, road::kErrorTableName);
    const wchar_t* pszGot = CallSlot<const wchar_t*>(piError, road::kErrorItemName);
    m_out.Line("error type %d, table %ls, item %ls, error %u", static_cast<int>(eGot), Or(pszTable), Or(pszGot),
               CallSlot<unsigned>(piError, road::kErrorId));
    m_out.Block("its text", RoadPrinter::sErrorText(piError));
    return m_out.Check(bDone == 0, pszWhat) &&
           m_out.Check(eGot == eType && pszGot != nullptr && std::wstring(pszGot) == pszItem &&
                           pszTable != nullptr && std::wstring(pszTable) == road::kDemoTable,
                       "the error's type, table and item");
}

bool Road::bWriteStep()
{
    m_out.BeginStep(7, "add, modify, write and delete through the table");
    const bool bOk = bWrites();
    m_out.EndStep();
    return bOk;
}

bool Road::bWrites()
{
    std::wstring sValues;
    int nId = -1;
    // An add: the server numbers the identifier, which the record holds
    // afterwards.
    const CAny grace = Text(L"Grace"), eight = Integer(8);
    if (!bSetRecordValues({{kKey, nullptr}, {kNameKey, &grace}, {L"amount", &eight}, {L"born", nullptr}}))
        return false;
    const int bAdded = CallSlot<int>(m_piTable, road::kTableAdd, static_cast<INAContext*>(&m_context), kNoFlags, kLock);
    m_out.Line("INATable::bHAjoute: %d", bAdded);
    if (!bTableCheck(bAdded == 1, "INATable::bHAjoute") || !bRecordValues(&sValues, &nId))
        return false;
    m_out.Line("the record afterwards: %ls", sValues.c_str());
    // Past the five rows, but where exactly is the server's choice: it may
    // step its numbering by more than 1 from an offset of its own, as the
    // nodes of a cluster do.
    int nGiven = -1;
    if (!bServerId(L"Grace", &nGiven) ||
        !m_out.Check(nGiven > road::kDemoRowCount, "the server numbers the row after the five") ||
        !m_out.Check(nId == nGiven, "the identifier the server gave is read back"))
        return false;
    const std::wstring sAdded = std::to_wstring(nGiven);
    if (!bServerRows((L"1:Ada:12.50 " + sAdded + L":Grace:8.00").c_str()))
        return false;
    m_nLargestId = nId;

    // A modification of record 0 right after the add: the row as added.
    const CAny hopper = Text(L"Grace Hopper");
    if (!bSetRecordValues({{kNameKey, &hopper}}))
        return false;
    const int bModified =
        CallSlot<int>(m_piTable, road::kTableModify, static_cast<INAContext*>(&m_context), kCurrent, kNoFlags, kLock);
    m_out.Line("INATable::bHModifie(record 0): %d", bModified);
    if (!bTableCheck(bModified == 1, "INATable::bHModifie") ||
        !bServerRows((L"1:Ada:12.50 " + sAdded + L":Grace Hopper:8.00").c_str()))
        return false;

    // A write after a read: the row read.
    if (!bRead(kFirst, "first", &nId))
        return false;
    const CAny thirteen = Integer(13);
    if (!m_out.Check(nId == 1, "the first record") || !bSetRecordValues({{L"amount", &thirteen}}))
        return false;
    const int bWritten =
        CallSlot<int>(m_piTable, road::kTableWrite, static_cast<INAContext*>(&m_context), kCurrent, kNoFlags, kLock);
    m_out.Line("INATable::bHEcrit(record 0): %d", bWritten);
    if (!bTableCheck(bWritten == 1, "INATable::bHEcrit") ||
        !bServerRows((L"1:Ada:13.00 " + sAdded + L":Grace Hopper:8.00").c_str()))
        return false;

    // A delete of the row found by a search.
    if (!bSearch(L"Grace Hopper", 1, m_nLargestId))
        return false;
    const int bDeleted =
        CallSlot<int>(m_piTable, road::kTableDelete, static_cast<INAContext*>(&m_context), kCurrent, kLock);
    m_out.Line("INATable::bHSupprime(record 0): %d", bDeleted);
    return bTableCheck(bDeleted == 1, "INATable::bHSupprime") && bServerRows(L"1:Ada:13.00");
}

bool Road::bWriteErrorStep()
{
    m_out.BeginStep(8, "a duplicate, a missing value, an identifier computed on the client");
    const bool bOk = bWriteErrors();
    m_out.EndStep();
    return bOk;
}

bool Road::bWriteErrors()
{
    // The record still holds the row read last (id 1, Ada), as the host's
    // does: a copy under a name already present collides on the name, not
    // on the identifier the INSERT does not write.
    std::wstring sValues;
    int nId = -1;
    if (!bRead(kFirst, "first", &nId) || !m_out.Check(nId == 1, "the first record"))
        return false;
    const CAny blaise = Text(road::kDemoNames[1]);
    if (!bSetRecordValues({{kNameKey, &blaise}}))
        return false;
    int bAdded = CallSlot<int>(m_piTable, road::kTableAdd, static_cast<INAContext*>(&m_context), kNoFlags, kLock);
    m_out.Line("INATable::bHAjoute (a name already present): %d", bAdded);
    if (!bFailedWrite(bAdded, kDuplicate, kNameKey, "the duplicate add fails") || !bServerRows(L"1:Ada:13.00"))
        return false;

    // No name, which the table requires.
    if (!bSetRecordValues({{kNameKey, nullptr}}))
        return false;
    bAdded = CallSlot<int>(m_piTable, road::kTableAdd, static_cast<INAContext*>(&m_context), kNoFlags, kLock);
    m_out.Line("INATable::bHAjoute (no name): %d", bAdded);
    if (!bFailedWrite(bAdded, kMandatory, kNameKey, "the add without a mandatory value fails") ||
        !bServerRows(L"1:Ada:13.00"))
        return false;

    // The identifier computed on the client: the largest in use plus one,
    // where the server's own numbering would have gone on after the row
    // deleted.
    const CAny hedy = Text(L"Hedy");
    if (!bSetRecordValues({{kNameKey, &hedy}}))
        return false;
    bAdded = CallSlot<int>(m_piTable, road::kTableAdd, static_cast<INAContext*>(&m_context), kIdFromClient, kLock);
    m_out.Line("INATable::bHAjoute(0x200): %d", bAdded);
    if (!bTableCheck(bAdded == 1, "INATable::bHAjoute(0x200)") || !bRecordValues(&sValues, &nId))
        return false;
    m_out.Line("the record afterwards: %ls", sValues.c_str());
    return m_out.Check(nId == road::kDemoRowCount + 1, "the identifier is the largest in use plus one") &&
           bServerRows(L"1:Ada:13.00 6:Hedy:13.00");
}
