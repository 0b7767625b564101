#include "bench/driver/road_bench.h"

#include <cstdio>
#include <cwchar>

#include "common/text/any_decimal.h"
#include "common/text/date_time_base.h"
#include "common/text/decimal_interface.h"
#include "common/text/money.h"
#include "tests/host/db/standin_slot_call.h"
#include "tests/host/road/road_slots.h"
#include "tests/host/road/road_table_values.h"

namespace {

using vxstandin::CallSlot;

// The host's values for the table calls, as on the road.
using road::kAccess;
using road::kFetchOne;
using road::kFirst;
using road::kLock;
using road::kNext;
using road::kNoFlags;

const wchar_t* const kTable = L"t";
const wchar_t* const kKey = L"id";

// Day of the month of a date text YYYYMMDD.
uint64_t DateTextDay(const wchar_t* p, unsigned long nLength)
{
    return nLength >= 8 ? static_cast<uint64_t>((p[6] - L'0') * 10 + (p[7] - L'0')) : 0;
}

// The typed checksum of one value the host read; false for a type the rules
// do not know.
bool bTypedValue(const CAny& value, uint64_t* pnSum)
{
    if (value.bIsNull()) {
        *pnSum += 1;
        return true;
    }
    const wchar_t* psz = nullptr;
    unsigned long nLength = 0;
    switch (value.nGetTypeCode()) {
    case ZLTYPE_BOOL:
    case ZLTYPE_UI1:
    case ZLTYPE_UI2:
    case ZLTYPE_UI4:
    case ZLTYPE_I1:
    case ZLTYPE_I2:
    case ZLTYPE_I4:
    case ZLTYPE_I8: {
        long n = 0;
        if (value.nGetINT_64(&n) > 99)
            return false;
        *pnSum += static_cast<uint64_t>(n);
        return true;
    }
    case ZLTYPE_DECIMAL: {
        const IDecimal* pDecimal = CAny_ZLDECIMAL::s_pclGetDecimal(value);
        if (pDecimal == nullptr)
            return false;
        unsigned char by[DECIMAL_FORM_SIZE];
        pDecimal->vGetBytes18(by);
        __int128 n = 0;
        for (int i = 15; i >= 0; --i)
            n = (n << 8) | by[i];
        for (int i = 0; i < by[17]; ++i)
            n /= 10;
        *pnSum += static_cast<uint64_t>(static_cast<int64_t>(n));
        return true;
    }
    case ZLTYPE_CY: {
        // Millionths in 80 bits, least significant word first.
        void* p = nullptr;
        if (value.Objet().nGetAdr(&p) > 99 || p == nullptr)
            return false;
        const auto* pMoney = static_cast<const CMoney*>(p);
        __int128 n = static_cast<int16_t>(pMoney->m_awMot[4]);
        for (int i = 3; i >= 0; --i)
            n = n * 65536 + pMoney->m_awMot[i];
        *pnSum += static_cast<uint64_t>(static_cast<int64_t>(n / 1000000));
        return true;
    }
    case ZLTYPE_DATETIME: {
        void* p = nullptr;
        if (value.Objet().nGetAdr(&p) > 99 || p == nullptr)
            return false;
        const auto* pDate = static_cast<const CDateTimeBase*>(p);
        *pnSum += static_cast<uint64_t>(pDate->m_byJour + pDate->nGetSeconde());
        return true;
    }
    case ZLTYPE_DATEW:
        if (value.Objet().nGetPCWSTR(&psz) > 99 || psz == nullptr)
            return false;
        *pnSum += DateTextDay(psz, std::wcslen(psz));
        return true;
    case ZLTYPE_DATEA: {
        const char* pszA = nullptr;
        if (value.Objet().nGetPCASTR(&pszA) > 99 || pszA == nullptr)
            return false;
        for (nLength = 0; nLength < 8 && pszA[nLength] != '\0';)
            ++nLength;
        *pnSum += nLength == 8 ? static_cast<uint64_t>((pszA[6] - '0') * 10 + (pszA[7] - '0')) : 0;
        return true;
    }
    case ZLTYPE_DSTRW:
    case ZLTYPE_PSTRW:
        if (value.Objet().nGetPCWSTR(&psz) > 99)
            return false;
        psz = psz != nullptr ? psz : L"";
        // The text as long as the value says, as a host takes a string's
        // length; measured when the value does not say.
        if (value.Objet().nGetSTRLEN(&nLength) > 99)
            nLength = std::wcslen(psz);
        *pnSum += vxbench::WideText(psz, nLength);
        return true;
    default: return false;
    }
}

}  // namespace

bool RoadBench::bFail(const char* pszWhat)
{
    INAError* piError = m_road.piContextError(m_road.m_context);
    std::fprintf(stderr, "road_bench: %s failed: %ls\n", pszWhat, RoadPrinter::sErrorText(piError).c_str());
    return false;
}

bool RoadBench::bOpenDescription()
{
    Road& r = m_road;
    r.m_piDescription = CallSlot<INADataSourceDescription*>(r.m_piDriver, road::kDriverGetTableDesc, kTable,
                                                            static_cast<INAConnectionDescription*>(&r.m_connection));
    if (r.m_piDescription == nullptr)
        return bFail("INADriver::piGetTableDesc");
    r.m_piTable = CallSlot<INATable*>(r.m_piDriver, road::kDriverGetTable,
                                      static_cast<INAConnectionDescription*>(&r.m_connection), r.m_piDescription);
    if (r.m_piTable == nullptr)
        return bFail("INADriver::piGetTable");
    r.m_bContextUsed = true;
    if (!bOpen())
        return false;
    r.m_piTableDescription = CallSlot<INADataSourceDescription*>(r.m_piTable, road::kTableDescription);
    if (r.m_piTableDescription == nullptr)
        return bFail("INATable::piGetDataSourceDescription");
    const unsigned nItems = CallSlot<unsigned>(r.m_piTableDescription, road::kDescriptionItemCount);
    for (unsigned i = 0; i < nItems; ++i) {
        INAItemDescription* piItem = CallSlot<INAItemDescription*>(r.m_piTableDescription, road::kDescriptionItem, i);
        if (piItem == nullptr)
            return bFail("the description's item");
        r.m_items.push_back(piItem);
    }
    m_values.resize(nItems);
    return true;
}

bool RoadBench::bOpen()
{
    Road& r = m_road;
    const int bOpened = CallSlot<int>(r.m_piTable, road::kTableOpen, static_cast<INAContext*>(&r.m_context), kAccess,
                                      static_cast<const wchar_t*>(nullptr));
    if (bOpened != 1)
        return bFail("INATable::bHOuvre");
    r.m_bTableOpen = true;
    return true;
}

bool RoadBench::bClose()
{
    Road& r = m_road;
    r.m_bTableOpen = false;
    return CallSlot<int>(r.m_piTable, road::kTableClose, static_cast<INAContext*>(&r.m_context)) == 1 ||
           bFail("INATable::bHFerme");
}

bool RoadBench::bReadRecord(Counts* pCounts)
{
    Road& r = m_road;
    INAContext* piContext = &r.m_context;
    CNAQFRecord* pclRecord = nullptr;
    if (CallSlot<int>(r.m_piTable, road::kTableGetRecord, piContext, &pclRecord) != 1 || pclRecord == nullptr)
        return bFail("INATable::bGetRecord");
    for (size_t i = 0; i < r.m_items.size(); ++i) {
        const INAItemDescription* piItem = r.m_items[i];
        CAny& value = m_values[i];
        if (CallSlot<int>(pclRecord, road::kRecordDefined, piItem, 0u))
            CallSlot<void>(pclRecord, road::kRecordGetValue, &value, piItem, 0);
        else
            value.SetNull();
        if (!bTypedValue(value, &pCounts->nChecksum)) {
            std::fprintf(stderr, "road_bench: item %zu: a value of type %u\n", i, value.nGetTypeCode());
            return false;
        }
    }
    if (CallSlot<int>(r.m_piTable, road::kTableSetRecord, piContext, pclRecord) != 1)
        return bFail("INATable::bSetRecord");
    ++pCounts->nRows;
    return true;
}

bool RoadBench::bBrowse(Counts* pCounts)
{
    Road& r = m_road;
    INAContext* piContext = &r.m_context;
    eNA_PARSEDIRECTION eDirection = kFirst;
    for (;;) {
        eNA_LOCKTYPE eLock = kLock;
        if (CallSlot<int>(r.m_piTable, road::kTableRead, piContext, kKey, eDirection, kFetchOne, kLock, &eLock,
                          kNoFlags) != 1)
            return bFail("INATable::bHLitxxx");
        eDirection = kNext;
        int bOut = -1;
        if (CallSlot<int>(r.m_piTable, road::kTableOut, piContext, kKey, &bOut) != 1)
            return bFail("INATable::bHEnDehors");
        if (bOut)
            return true;
        if (!bReadRecord(pCounts))
            return false;
    }
}

bool RoadBench::bSearches(Counts* pCounts)
{
    Road& r = m_road;
    INAContext* piContext = &r.m_context;
    vxbench::LookupIds ids(m_settings.nRows);
    for (int i = 0; i < m_settings.nLookups; ++i) {
        const CAny value = Road::Integer(ids.nNext());
        eNA_LOCKTYPE eLock = kLock;
        if (CallSlot<int>(r.m_piTable, road::kTableSearch, piContext, kKey, &value, 1, kFetchOne, kLock, &eLock, 1,
                          kNoFlags) != 1)
            return bFail("INATable::bHRecherche");
        int bFound = -1, bValid = -1;
        if (CallSlot<int>(r.m_piTable, road::kTableFound, piContext, kKey, &bFound, &bValid) != 1)
            return bFail("INATable::bEvalHTrouve");
        if (bFound && !bReadRecord(pCounts))
            return false;
    }
    return true;
}

int RoadBench::nRun()
{
    // The host's default cache size, not given: the driver's default row
    // limit applies unless "VX Cache Size" sets one.
    m_road.m_connection.SetDefaultCacheSize(-2);
    bool bOk = m_road.bLoadAndStart() && m_road.bOpenConnection() && bOpenDescription();
    const bool bSearch = m_settings.sMeasure == "y";
    for (int nIteration = 1; nIteration <= 2 && bOk; ++nIteration) {
        if (nIteration > 1)
            bOk = bOpen();
        Counts counts;
        vxbench::Window window;
        window.Start();
        bOk = bOk && (bSearch ? bSearches(&counts) : bBrowse(&counts));
        // The close frees the result: it belongs to the window.
        bOk = bClose() && bOk;
        window.Stop();
        if (bOk)
            vxbench::PrintResult(m_settings.sMeasure.c_str(), nIteration, window, counts.nRows, counts.nChecksum);
    }
    m_values.clear();
    (void)m_road.bTeardown(false);
    vxbench::PrintPeak(m_settings.sMeasure.c_str());
    return bOk ? 0 : 1;
}
