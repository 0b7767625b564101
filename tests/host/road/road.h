#pragma once

// The stand-in host program's road: the host's main road through the real
// exports of a loaded vxmysql.so, step by step. The program loads the
// stand-in host module and the driver as the runtime does, starts the driver
// in the host's order, and calls the driver's interfaces only by virtual-table
// slot (road_slots.h). Each step prints what it did and checks what came
// back (RoadPrinter); the first failed check ends the road, and the teardown
// then only gives back what was taken.
//
// The program holds two copies of the common library: its own (linked in)
// and the driver's. Values and strings cross between them, so both are built
// from the same sources and take their memory from the one allocator of the
// stand-in host module, which the program publishes in its own copy.
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "native/driver/na_forward.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_context.h"
#include "tests/host/db/standin_driver_caller.h"
#include "tests/host/module/standin_host_loader.h"
#include "tests/host/road/road_demo_table.h"
#include "tests/host/road/road_printer.h"

// What the road needs to know: the two modules and the private server.
struct RoadSettings
{
    std::string sDriverPath;
    std::string sHostPath;
    // The server by its socket, or by its loopback TCP port when no socket.
    std::string sSocket;
    unsigned nPort = 0;
    std::string sUser;
    std::string sPassword;
    std::string sDatabase;
    // "VX Cache Size" of the connection description, when asked.
    std::optional<long> nCacheSize;
};

class Road
{
public:
    explicit Road(RoadSettings settings) : m_settings(std::move(settings)) {}
    Road(const Road&) = delete;
    Road& operator=(const Road&) = delete;

    // Runs every step in order, stopping at the first that fails, then the
    // teardown; the exit status.
    int nRun();

private:
    // The benchmark mode drives the same start-up, connection and teardown.
    friend class RoadBench;

    // Step 1: load the modules, start the driver, open the connection.
    bool bStartUp();
    bool bLoadAndStart();
    bool bOpenConnection();
    // Step 2: SQL through the handle interface.
    bool bSQLStep();
    bool bSQLSession();
    bool bReadResult(int nStatement);
    // Step 3: lists of databases, tables, columns, column types.
    bool bListStep();
    bool bLists();
    // Step 4: the table's description, the table, opened in the context.
    bool bOpenStep();
    bool bOpenTable();
    // Step 5: reads both ways; each record read through the record buffer.
    bool bReadStep();
    // A read on the key in the context, then its record (bRecord).
    bool bRead(eNA_PARSEDIRECTION eDirection, const char* pszRead, int* pnId);
    // Prints the current record of the item's browse: every item's value
    // through the record buffer's slots; its id, or 0 when the browse is
    // out, and whether it counts as found (bEvalHTrouve).
    bool bRecord(const wchar_t* pszItem, const char* pszRead, int* pnId, int* pbFound);
    // Every id from the first (the last) record to the end (the start).
    bool bBrowse(bool bBackward, std::vector<int>* pIds);
    // Step 6: searches, a filter with bounds, the count.
    bool bFilterStep();
    // A search on the name that finds the record of that id, or none (0).
    bool bSearch(const wchar_t* pszValue, int bExact, int nExpectedId);
    // Step 7: add, modify, write and delete through the table, each
    // checked against the rows the server holds afterwards.
    bool bWriteStep();
    bool bWrites();
    // Step 8: the writes that fail (a duplicate, a missing mandatory value)
    // and an add whose identifier is computed on the client.
    bool bWriteErrorStep();
    bool bWriteErrors();
    // The current record's values through the record buffer, which goes
    // back to the table; the id item's value through pnId (-1 without).
    bool bRecordValues(std::wstring* psValues, int* pnId);
    // One item's new value in the current record: a value, or none (the
    // item made undefined).
    struct ItemValue
    {
        const wchar_t* pszItem;
        const CAny* pclValue;
    };
    bool bSetRecordValues(std::initializer_list<ItemValue> values);
    // The rows the writes touch, as the server holds them (read through
    // the SQL interface), "id:name:amount" each; checked against sExpected.
    bool bServerRows(const wchar_t* pszExpected);
    // The rows of a SELECT read through the SQL interface into sRows,
    // "a:b:c" each, separated by a blank; false after a failed call.
    bool bServerRowTexts(const wchar_t* pszSelect, CTabValParser* pstValues, std::wstring& sRows);
    // The id the server holds for the row of that name, read through the
    // SQL interface (a connection of its own), into *pnId.
    bool bServerId(const wchar_t* pszName, int* pnId);
    // A write that fails: the context's error names the type and the item.
    bool bFailedWrite(int bDone, eNA_ERRORTYPE eType, const wchar_t* pszItem, const char* pszWhat);
    // Step 9: a record operation from a context that never opened the table.
    bool bErrorStep();
    // Step 10: give back everything, in the host's order. With bChecked the
    // answers are checked and printed as a step; otherwise (after a failed
    // step) whatever was taken is given back quietly.
    bool bTeardown(bool bChecked);

    // The error object of the driver or of the SQL interface, through its slot.
    INAError* piDriverError();
    INAError* piSQLError();
    // The context's last error through the table (slot 7).
    INAError* piContextError(StandinContext& context);
    // Check of a table operation in the road's context: a failure prints the
    // context's error and the driver's.
    bool bTableCheck(bool bOk, const char* pszWhat);

    // A runtime value of wide text, or of a 32-bit integer.
    static CAny Text(const wchar_t* psz);
    static CAny Integer(int n);
    // Runs one SQL text on the handle connection; the result statement (0
    // when the text leaves no columns) through pnStatement when given.
    bool bExecute(const wchar_t* pszSQL, CTabValParser* pstValues = nullptr, int* pnStatement = nullptr);

    RoadSettings m_settings;
    RoadPrinter m_out;

    std::unique_ptr<StandinHostModule> m_host;
    void* m_hDriver = nullptr;
    std::unique_ptr<StandinDriverCaller> m_caller;
    bool m_bLibraryStarted = false;
    INADriver* m_piDriver = nullptr;
    INADriverSQL* m_piSQL = nullptr;

    // The connection description the host hands over for the whole road.
    std::wstring m_sUser, m_sPassword, m_sDatabase, m_sExtended;
    StandinConnectionDescription m_connection;
    bool m_bConnectionOpen = false;
    int m_nSQLConnection = 0;

    // The host's contexts: the one that opens the table, and one that never
    // does. Each presents its own data key, as the host's contexts do.
    StandinContext m_context{1, 101};
    StandinContext m_otherContext{2, 201};
    INADataSourceDescription* m_piDescription = nullptr;
    INATable* m_piTable = nullptr;
    bool m_bContextUsed = false;
    bool m_bTableOpen = false;
    INADataSourceDescription* m_piTableDescription = nullptr;
    std::vector<INAItemDescription*> m_items;
    // The largest id a record read may hold: the demonstration rows', then
    // the rows added.
    int m_nLargestId = road::kDemoRowCount;
};
