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
#include <memory>
#include <optional>
#include <string>

#include "common/text/any.h"
#include "native/driver/na_forward.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_driver_caller.h"
#include "tests/host/module/standin_host_loader.h"
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
    // Step 8: give back everything, in the host's order. With bChecked the
    // answers are checked and printed as a step; otherwise (after a failed
    // step) whatever was taken is given back quietly.
    bool bTeardown(bool bChecked);

    // The error object of the driver or of the SQL interface, through its slot.
    INAError* piDriverError();
    INAError* piSQLError();

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
};
