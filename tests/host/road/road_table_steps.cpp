// Steps 4 to 6 and 9 of the road: the demonstration table opened in a
// host context through INATable, read both ways with its record buffer,
// searched, filtered and counted, then (after the writes) read from a
// context that never opened it.
#include <string>
#include <vector>

#include "native/driver/na_error.h"
#include "tests/host/db/standin_slot_call.h"
#include "tests/host/road/road.h"
#include "tests/host/road/road_demo_table.h"
#include "tests/host/road/road_slots.h"
#include "tests/host/road/road_table_values.h"

namespace {

using vxstandin::CallSlot;
using road::kAccess, road::kLock, road::kFetchOne, road::kNoFlags, road::kFirst, road::kLast, road::kNext,
    road::kPrevious, road::kKey, road::kNameKey;

constexpr unsigned kCountOption = 0x10;
// The error the driver raises for a record operation of a context that did
// not open the table.
constexpr unsigned kNotOpenedInContext = 19;

std::wstring Ids(const std::vector<int>& ids)
{
    std::wstring s;
    for (int n : ids)
        s += (s.empty() ? L"" : L" ") + std::to_wstring(n);
    return s;
}

}  // namespace

INAError* Road::piContextError(StandinContext& context)
{
    return m_piTable != nullptr
               ? CallSlot<INAError*>(m_piTable, road::kTableLastError, static_cast<INAContext*>(&context))
               : nullptr;
}

bool Road::bTableCheck(bool bOk, const char* pszWhat)
{
    if (bOk)
        return true;
    m_out.Check(false, pszWhat, piContextError(m_context));
    m_out.Block("the driver's error", RoadPrinter::sErrorText(piDriverError()));
    return false;
}

bool Road::bOpenStep()
{
    m_out.BeginStep(4, "open the demonstration table in a host context");
    const bool bOk = bOpenTable();
    m_out.EndStep();
    return bOk;
}

bool Road::bOpenTable()
{
    m_piDescription = CallSlot<INADataSourceDescription*>(m_piDriver, road::kDriverGetTableDesc, road::kDemoTable,
                                                          static_cast<INAConnectionDescription*>(&m_connection));
    m_out.Line("INADriver::piGetTableDesc(%ls): %s", road::kDemoTable,
               m_piDescription != nullptr ? "a description" : "null");
    if (!m_out.Check(m_piDescription != nullptr, "INADriver::piGetTableDesc", piDriverError()))
        return false;
    m_piTable = CallSlot<INATable*>(m_piDriver, road::kDriverGetTable,
                                    static_cast<INAConnectionDescription*>(&m_connection), m_piDescription);
    m_out.Line("INADriver::piGetTable: %s", m_piTable != nullptr ? "a table" : "null");
    if (!m_out.Check(m_piTable != nullptr, "INADriver::piGetTable", piDriverError()))
        return false;

    m_bContextUsed = true;
    const int bOpen = CallSlot<int>(m_piTable, road::kTableOpen, static_cast<INAContext*>(&m_context), kAccess,
                                    static_cast<const wchar_t*>(nullptr));
    m_out.Line("INATable::bHOuvre in context %lu: %d", m_context.dwGetCtxID(), bOpen);
    if (!bTableCheck(bOpen == 1, "INATable::bHOuvre"))
        return false;
    m_bTableOpen = true;

    m_piTableDescription = CallSlot<INADataSourceDescription*>(m_piTable, road::kTableDescription);
    if (!m_out.Check(m_piTableDescription != nullptr, "INATable::piGetDataSourceDescription", piDriverError()))
        return false;
    const unsigned nItems = CallSlot<unsigned>(m_piTableDescription, road::kDescriptionItemCount);
    m_out.Line("the table's description: %ls, %u items", 
               CallSlot<const wchar_t*>(m_piTableDescription, road::kDescriptionLogicalName), nItems);
    for (unsigned i = 0; i < nItems; ++i) {
        INAItemDescription* piItem = CallSlot<INAItemDescription*>(m_piTableDescription, road::kDescriptionItem, i);
        if (!m_out.Check(piItem != nullptr, "the description's item"))
            return false;
        m_items.push_back(piItem);
        m_out.Line("  item %u: %ls, type %d", i, CallSlot<const wchar_t*>(piItem, road::kItemName),
                   static_cast<int>(CallSlot<eNA_ITEMTYPE>(piItem, road::kItemType)));
    }
    return m_out.Check(nItems == road::kDemoItemCount, "the description holds every column");
}

bool Road::bRecord(const wchar_t* pszItem, const char* pszRead, int* pnId, int* pbFound)
{
    int bOut = -1;
    const int bOutDone = CallSlot<int>(m_piTable, road::kTableOut, static_cast<INAContext*>(&m_context), pszItem, &bOut);
    int bFound = -1, bValid = -1;
    const int bFoundDone =
        CallSlot<int>(m_piTable, road::kTableFound, static_cast<INAContext*>(&m_context), pszItem, &bFound, &bValid);
    if (!bTableCheck(bOutDone == 1 && bFoundDone == 1, "INATable::bHEnDehors and bEvalHTrouve"))
        return false;
    *pbFound = bFound;
    if (bOut) {
        m_out.Line("%s: out of the table (bHEnDehors 1, bEvalHTrouve %d)", pszRead, bFound);
        *pnId = 0;
        return m_out.Check(bFound == 0, "out of the table, nothing is found");
    }

    std::wstring sValues;
    if (!bRecordValues(&sValues, pnId))
        return false;
    m_out.Line("%s: %ls (bHEnDehors 0, bEvalHTrouve %d)", pszRead, sValues.c_str(), bFound);
    return m_out.Check(*pnId >= 1 && *pnId <= m_nLargestId, "the record's id");
}

bool Road::bRecordValues(std::wstring* psValues, int* pnId)
{
    CNAQFRecord* pclRecord = nullptr;
    const int bGot = CallSlot<int>(m_piTable, road::kTableGetRecord, static_cast<INAContext*>(&m_context), &pclRecord);
    if (!bTableCheck(bGot == 1 && pclRecord != nullptr, "INATable::bGetRecord"))
        return false;
    psValues->clear();
    *pnId = -1;
    for (INAItemDescription* piItem : m_items) {
        CAny value;
        if (CallSlot<int>(pclRecord, road::kRecordDefined, static_cast<const INAItemDescription*>(piItem), 0u))
            CallSlot<void>(pclRecord, road::kRecordGetValue, &value, static_cast<const INAItemDescription*>(piItem), 0);
        else
            value.SetNull();
        const std::wstring sName = CallSlot<const wchar_t*>(piItem, road::kItemName);
        int n = 0;
        if (sName == kKey && !value.bIsNull() && value.nGetINT(&n) <= 99)
            *pnId = n;
        *psValues += (psValues->empty() ? L"" : L", ") + sName + L"=" + RoadPrinter::sText(value);
    }
    const int bSet = CallSlot<int>(m_piTable, road::kTableSetRecord, static_cast<INAContext*>(&m_context), pclRecord);
    return bTableCheck(bSet == 1, "INATable::bSetRecord");
}

bool Road::bRead(eNA_PARSEDIRECTION eDirection, const char* pszRead, int* pnId)
{
    eNA_LOCKTYPE eLock = kLock;
    const int bDone = CallSlot<int>(m_piTable, road::kTableRead, static_cast<INAContext*>(&m_context), kKey,
                                    eDirection, kFetchOne, kLock, &eLock, kNoFlags);
    int bFound = 0;
    return bTableCheck(bDone == 1, "INATable::bHLitxxx") && bRecord(kKey, pszRead, pnId, &bFound) &&
           m_out.Check(bFound == (*pnId != 0 ? 1 : 0), "a record read is found");
}

bool Road::bBrowse(bool bBackward, std::vector<int>* pIds)
{
    pIds->clear();
    int nId = 0;
    if (!bRead(bBackward ? kLast : kFirst, bBackward ? "last" : "first", &nId))
        return false;
    while (nId != 0) {
        pIds->push_back(nId);
        if (pIds->size() > road::kDemoRowCount)
            return m_out.Check(false, "the browse ends");
        if (!bRead(bBackward ? kPrevious : kNext, bBackward ? "previous" : "next", &nId))
            return false;
    }
    return true;
}

bool Road::bReadStep()
{
    m_out.BeginStep(5, "read first to last and last to first, with the record buffer");
    std::vector<int> forward, backward;
    const bool bOk = bBrowse(false, &forward) &&
                     m_out.Check(Ids(forward) == L"1 2 3 4 5", "first, then next to the end, gives every id in order") &&
                     bBrowse(true, &backward) &&
                     m_out.Check(Ids(backward) == L"5 4 3 2 1", "last, then previous to the start, gives them back");
    m_out.EndStep();
    return bOk;
}

bool Road::bSearch(const wchar_t* pszValue, int bExact, int nExpectedId)
{
    const CAny value = Text(pszValue);
    eNA_LOCKTYPE eLock = kLock;
    const int bDone = CallSlot<int>(m_piTable, road::kTableSearch, static_cast<INAContext*>(&m_context), kNameKey,
                                    &value, bExact, kFetchOne, kLock, &eLock, 1, kNoFlags);
    m_out.Line("INATable::bHRecherche(%ls, \"%ls\", %s): %d", kNameKey, pszValue, bExact ? "exact" : "generic", bDone);
    if (!bTableCheck(bDone == 1, "INATable::bHRecherche"))
        return false;
    int nId = 0, bFound = 0;
    return bRecord(kNameKey, "  then", &nId, &bFound) &&
           m_out.Check(nExpectedId != 0 ? bFound == 1 && nId == nExpectedId : bFound == 0,
                       nExpectedId != 0 ? "the search finds the record" : "the search finds nothing");
}

bool Road::bFilterStep()
{
    m_out.BeginStep(6, "search, filter and count");
    bool bOk = bSearch(road::kDemoNames[2], 1, 3) && bSearch(L"Do", 1, 0) && bSearch(L"Do", 0, 4);

    std::vector<int> ids;
    if (bOk) {
        const CAny low = Integer(2), high = Integer(4);
        const int bFiltered = CallSlot<int>(m_piTable, road::kTableFilter, static_cast<INAContext*>(&m_context), kKey,
                                            &low, 1, &high, 1, static_cast<ISQLParserInformation*>(nullptr));
        m_out.Line("INATable::bHFiltre(%ls from 2 to 4, no parsed query): %d", kKey, bFiltered);
        bOk = bTableCheck(bFiltered == 1, "INATable::bHFiltre") && bBrowse(false, &ids) &&
              m_out.Check(Ids(ids) == L"2 3 4", "the filtered browse gives ids 2 to 4");
    }
    if (bOk) {
        const int bOff =
            CallSlot<int>(m_piTable, road::kTableFilterOff, static_cast<INAContext*>(&m_context), kKey, kNoFlags);
        m_out.Line("INATable::bHDesactiveFiltre(%ls): %d", kKey, bOff);
        bOk = bTableCheck(bOff == 1, "INATable::bHDesactiveFiltre") && bBrowse(false, &ids) &&
              m_out.Check(Ids(ids) == L"1 2 3 4 5", "without the filter every id comes back");
    }
    if (bOk) {
        long llCount = -1;
        const int bCounted = CallSlot<int>(m_piTable, road::kTableCount, static_cast<INAContext*>(&m_context),
                                           &llCount, kCountOption, kNoFlags);
        m_out.Line("INATable::bHNbEnr: %d, %ld records", bCounted, llCount);
        bOk = bTableCheck(bCounted == 1, "INATable::bHNbEnr") &&
              m_out.Check(llCount == road::kDemoRowCount, "the count of the table's records");
    }
    m_out.EndStep();
    return bOk;
}

bool Road::bErrorStep()
{
    m_out.BeginStep(9, "errors: a read from a context that never opened the table, each context's last error");
    eNA_LOCKTYPE eLock = kLock;
    const int bRead = CallSlot<int>(m_piTable, road::kTableRead, static_cast<INAContext*>(&m_otherContext), kKey,
                                    kFirst, kFetchOne, kLock, &eLock, kNoFlags);
    INAError* piDriver = piDriverError();
    const unsigned nError = CallSlot<unsigned>(piDriver, road::kErrorId);
    m_out.Line("INATable::bHLitxxx in context %lu: %d; the driver's error %u", m_otherContext.dwGetCtxID(), bRead,
               nError);
    m_out.Block("its text", RoadPrinter::sErrorText(piDriver));
    bool bOk = m_out.Check(bRead == 0 && nError == kNotOpenedInContext,
                           "the read fails with the not-opened error in the driver's error object");

    INAError* piOpened = piContextError(m_context);
    INAError* piOther = piContextError(m_otherContext);
    m_out.Line("INATable::piGetLastError, context %lu: error %u (%s)", m_context.dwGetCtxID(),
               piOpened != nullptr ? CallSlot<unsigned>(piOpened, road::kErrorId) : 0u,
               piOpened == piDriver ? "the driver's error object" : "the context's own error object");
    m_out.Line("INATable::piGetLastError, context %lu: error %u (%s)", m_otherContext.dwGetCtxID(),
               piOther != nullptr ? CallSlot<unsigned>(piOther, road::kErrorId) : 0u,
               piOther == piDriver ? "the driver's error object" : "an error object of its own");
    bOk = m_out.Check(piOpened != nullptr && piOpened != piDriver, "the opening context has its own error object") &&
          m_out.Check(piOther == piDriver, "a context the driver does not know gets the driver's error object") &&
          bOk;
    m_out.EndStep();
    return bOk;
}
