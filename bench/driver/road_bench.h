#pragma once

// The stand-in host program's benchmark mode: the host's main road through
// a loaded vxmysql.so, timed. It starts the driver and opens the connection
// as the road does (Road), opens the benchmark table outside the timed
// window, then runs one measure twice and prints a RESULT line for each run:
//   x, x100  the table browsed from the first record to the end on the key
//            (x with no row limit, x100 with the default one), every record
//            read through the record buffer;
//   y        exact searches on the key with the look-up ids, each found
//            record read the same way.
// The checksum is the typed one of bench_checksum.h, computed from the
// values the host reads.
#include <cstdint>
#include <string>
#include <vector>

#include "bench/driver/bench_checksum.h"
#include "tests/host/road/road.h"

struct RoadBenchSettings
{
    std::string sMeasure;  // x, x100 or y
    uint64_t nRows = 1000000;
    int nLookups = 10000;
};

class RoadBench
{
public:
    RoadBench(Road& road, RoadBenchSettings settings) : m_road(road), m_settings(std::move(settings)) {}

    // Start-up, the measure's two runs, teardown; the exit status.
    int nRun();

private:
    struct Counts
    {
        uint64_t nRows = 0;
        uint64_t nChecksum = 0;
    };
    bool bOpenDescription();
    bool bOpen();
    bool bClose();
    bool bBrowse(Counts* pCounts);
    bool bSearches(Counts* pCounts);
    // The current record of the context, read item by item; its checksum.
    bool bReadRecord(Counts* pCounts);
    bool bFail(const char* pszWhat);

    Road& m_road;
    RoadBenchSettings m_settings;
    // One value per item, reused from record to record.
    std::vector<CAny> m_values;
};
