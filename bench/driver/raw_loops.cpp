// The raw client loops the driver is measured against: a scan of the whole
// table (a), the same scan with each value converted by a converter chosen
// once per column (c), and key look-ups one SELECT each, untyped (h) and
// typed (h-t). Each measure runs twice on one connection; both runs print a
// RESULT line, the harness counts the second.
//   raw_loops a|c|h|h-t [--rows N] [--lookups N]
// The server comes from the assignments of scripts/mariadb start in the
// environment (VX_MARIADB_SOCKET, _USER, _PASSWORD, _DATABASE).
#include <mysql.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/driver/bench_checksum.h"

namespace {

using vxbench::LookupIds;
using vxbench::Window;

enum class Kind { Integer, Decimal, DateTime, Date, Text };

// Two digits of a date or time text.
int Two(const char* p)
{
    return (p[0] - '0') * 10 + (p[1] - '0');
}

// The converted record of one row, reused from row to row.
struct Record
{
    std::vector<long long> integers;
    std::vector<double> reals;
    std::vector<std::string> texts;
    std::vector<bool> nulls;
};

// One converter per column, chosen from the field's type.
std::vector<Kind> Converters(MYSQL_RES* pResult)
{
    std::vector<Kind> kinds;
    const unsigned nFields = mysql_num_fields(pResult);
    MYSQL_FIELD* pFields = mysql_fetch_fields(pResult);
    for (unsigned i = 0; i < nFields; ++i) {
        switch (pFields[i].type) {
        case MYSQL_TYPE_TINY:
        case MYSQL_TYPE_SHORT:
        case MYSQL_TYPE_LONG:
        case MYSQL_TYPE_INT24:
        case MYSQL_TYPE_LONGLONG: kinds.push_back(Kind::Integer); break;
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:
        case MYSQL_TYPE_FLOAT:
        case MYSQL_TYPE_DOUBLE: kinds.push_back(Kind::Decimal); break;
        case MYSQL_TYPE_DATETIME:
        case MYSQL_TYPE_TIMESTAMP: kinds.push_back(Kind::DateTime); break;
        case MYSQL_TYPE_DATE: kinds.push_back(Kind::Date); break;
        default: kinds.push_back(Kind::Text); break;
        }
    }
    return kinds;
}

// Converts one row into the record; its typed checksum.
uint64_t Convert(const std::vector<Kind>& kinds, MYSQL_ROW row, const unsigned long* pLengths, Record* pRecord)
{
    uint64_t nSum = 0;
    for (size_t i = 0; i < kinds.size(); ++i) {
        pRecord->nulls[i] = row[i] == nullptr;
        if (row[i] == nullptr) {
            nSum += 1;
            continue;
        }
        const char* p = row[i];
        switch (kinds[i]) {
        case Kind::Integer:
            pRecord->integers[i] = std::strtoll(p, nullptr, 10);
            nSum += static_cast<uint64_t>(pRecord->integers[i]);
            break;
        case Kind::Decimal:
            pRecord->reals[i] = std::strtod(p, nullptr);
            nSum += static_cast<uint64_t>(static_cast<long long>(pRecord->reals[i]));
            break;
        case Kind::DateTime:
            // YYYY-MM-DD HH:MM:SS
            if (pLengths[i] >= 19) {
                const int nDay = Two(p + 8), nSecond = Two(p + 17);
                pRecord->integers[i] = ((std::atoi(p) * 100LL + Two(p + 5)) * 100 + nDay) * 1000000LL +
                                       Two(p + 11) * 10000 + Two(p + 14) * 100 + nSecond;
                nSum += static_cast<uint64_t>(nDay + nSecond);
            }
            break;
        case Kind::Date:
            if (pLengths[i] >= 10) {
                const int nDay = Two(p + 8);
                pRecord->integers[i] = (std::atoi(p) * 100LL + Two(p + 5)) * 100 + nDay;
                nSum += static_cast<uint64_t>(nDay);
            }
            break;
        case Kind::Text:
            pRecord->texts[i].assign(p, pLengths[i]);
            nSum += vxbench::Utf8Text(pRecord->texts[i].data(), pRecord->texts[i].size());
            break;
        }
    }
    return nSum;
}

uint64_t RawRow(MYSQL_ROW row, const unsigned long* pLengths, unsigned nFields)
{
    uint64_t nSum = 0;
    for (unsigned i = 0; i < nFields; ++i)
        nSum += vxbench::RawValue(row[i], pLengths[i]);
    return nSum;
}

struct Counts
{
    uint64_t nRows = 0;
    uint64_t nChecksum = 0;
};

bool bFail(MYSQL* pConnection, const char* pszWhat)
{
    std::fprintf(stderr, "raw_loops: %s: %u %s\n", pszWhat, mysql_errno(pConnection), mysql_error(pConnection));
    return false;
}

// Reads every row of the stored result, raw or typed.
void ReadRows(MYSQL_RES* pResult, bool bTyped, Record* pRecord, Counts* pCounts)
{
    const unsigned nFields = mysql_num_fields(pResult);
    std::vector<Kind> kinds;
    if (bTyped) {
        kinds = Converters(pResult);
        pRecord->integers.resize(nFields);
        pRecord->reals.resize(nFields);
        pRecord->texts.resize(nFields);
        pRecord->nulls.resize(nFields);
    }
    while (MYSQL_ROW row = mysql_fetch_row(pResult)) {
        const unsigned long* pLengths = mysql_fetch_lengths(pResult);
        pCounts->nChecksum += bTyped ? Convert(kinds, row, pLengths, pRecord) : RawRow(row, pLengths, nFields);
        ++pCounts->nRows;
    }
}

bool bQuery(MYSQL* pConnection, const char* pszSQL, size_t nLength, bool bTyped, Record* pRecord, Counts* pCounts)
{
    if (mysql_real_query(pConnection, pszSQL, nLength) != 0)
        return bFail(pConnection, "query");
    MYSQL_RES* pResult = mysql_store_result(pConnection);
    if (pResult == nullptr)
        return bFail(pConnection, "store result");
    ReadRows(pResult, bTyped, pRecord, pCounts);
    mysql_free_result(pResult);
    return true;
}

bool bScan(MYSQL* pConnection, bool bTyped, Counts* pCounts)
{
    Record record;
    static const char kSelect[] = "SELECT * FROM t";
    return bQuery(pConnection, kSelect, sizeof kSelect - 1, bTyped, &record, pCounts);
}

bool bLookups(MYSQL* pConnection, bool bTyped, uint64_t nRows, int nLookups, Counts* pCounts)
{
    Record record;
    LookupIds ids(nRows);
    char szSQL[64];
    for (int i = 0; i < nLookups; ++i) {
        const int n = std::snprintf(szSQL, sizeof szSQL, "SELECT * FROM t WHERE id=%d", ids.nNext());
        if (!bQuery(pConnection, szSQL, static_cast<size_t>(n), bTyped, &record, pCounts))
            return false;
    }
    return true;
}

const char* Environment(const char* pszName)
{
    const char* psz = std::getenv(pszName);
    return psz != nullptr ? psz : "";
}

int Usage()
{
    std::fprintf(stderr, "usage: raw_loops a|c|h|h-t [--rows N] [--lookups N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string sMeasure = argv[1];
    if (sMeasure != "a" && sMeasure != "c" && sMeasure != "h" && sMeasure != "h-t")
        return Usage();
    long nRows = 1000000, nLookups = 10000;
    for (int i = 2; i + 1 < argc; i += 2) {
        char* pszEnd = nullptr;
        const long n = std::strtol(argv[i + 1], &pszEnd, 10);
        if (*pszEnd != '\0' || n < 1 || n > 100000000)
            return Usage();
        if (std::strcmp(argv[i], "--rows") == 0)
            nRows = n;
        else if (std::strcmp(argv[i], "--lookups") == 0)
            nLookups = n;
        else
            return Usage();
    }
    if (argc % 2 != 0)
        return Usage();

    MYSQL* pConnection = mysql_init(nullptr);
    if (pConnection == nullptr)
        return 1;
    mysql_options(pConnection, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (mysql_real_connect(pConnection, "localhost", Environment("VX_MARIADB_USER"),
                           Environment("VX_MARIADB_PASSWORD"), Environment("VX_MARIADB_DATABASE"), 0,
                           Environment("VX_MARIADB_SOCKET"), 0) == nullptr) {
        bFail(pConnection, "connect");
        mysql_close(pConnection);
        return 1;
    }
    const bool bTyped = sMeasure == "c" || sMeasure == "h-t";
    const bool bScanMeasure = sMeasure == "a" || sMeasure == "c";
    int nStatus = 0;
    for (int nIteration = 1; nIteration <= 2 && nStatus == 0; ++nIteration) {
        Counts counts;
        Window window;
        window.Start();
        const bool bOk = bScanMeasure ? bScan(pConnection, bTyped, &counts)
                                      : bLookups(pConnection, bTyped, static_cast<uint64_t>(nRows),
                                                 static_cast<int>(nLookups), &counts);
        window.Stop();
        if (!bOk)
            nStatus = 1;
        else
            vxbench::PrintResult(sMeasure.c_str(), nIteration, window, counts.nRows, counts.nChecksum);
    }
    mysql_close(pConnection);
    vxbench::PrintPeak(sMeasure.c_str());
    return nStatus;
}
