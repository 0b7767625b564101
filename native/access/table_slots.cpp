// The table's host slots that hand the operation to the calling context's
// data access (table_forward.h), with the argument orders the data access
// declares, and the few that answer by themselves.
#include "native/access/table_forward.h"

using DA = CNADataAccess;

int CNATable::bIsOpened(INAContext* piContext)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADataAccessLookup dataAccess(_pclFindDataAccessLocked(piContext));
    return dataAccess ? dataAccess->bIsOpened() : 0;
}

int CNATable::bNbEnrNeedParse(INAContext* piContext, int* pbNeedParse, const wchar_t* pszItem)
{
    return _nForward(piContext, [&](DA* p) { return p->bNbEnrNeedParse(pbNeedParse, pszItem); });
}

int CNATable::bHReindexe(INAContext* piContext, unsigned nOptions, IGaugeControl* piGauge)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADataAccessLookup dataAccess(_pclGetDataAccess(piContext, nullptr));
    return dataAccess ? dataAccess->bHReindexe(nOptions, piGauge) : 0;
}

int CNATable::bHAjoute(INAContext* piContext, unsigned nFlags, eNA_LOCKTYPE eLock)
{
    return _nForward(piContext, [&](DA* p) { return p->bHAjoute(nFlags, eLock); });
}

int CNATable::bHEcrit(INAContext* piContext, long llRecord, unsigned nFlags, eNA_LOCKTYPE eLock)
{
    return _nForward(piContext, [&](DA* p) { return p->bHEcrit(llRecord, nFlags, eLock); });
}

int CNATable::bHRaye(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock)
{
    return _nForward(piContext, [&](DA* p) { return p->bHRaye(llRecord, eLock); });
}

int CNATable::bHSupprime(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock)
{
    return _nForward(piContext, [&](DA* p) { return p->bHSupprime(llRecord, eLock); });
}

int CNATable::bHModifie(INAContext* piContext, long llRecord, unsigned nFlags, eNA_LOCKTYPE eLock)
{
    return _nForward(piContext, [&](DA* p) { return p->bHModifie(llRecord, nFlags, eLock); });
}

int CNATable::bHRecherche(INAContext* piContext, const wchar_t* pszItem, const CAny* pclValue, int nOption1,
                          int nOption2, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, int nOption3, unsigned nFlags)
{
    return _nForward(piContext, [&](DA* p) {
        return p->bHRecherche(pszItem, pclValue, nOption1, nOption2, eLock, peLock, nOption3, nFlags);
    });
}

int CNATable::bHLibere(INAContext* piContext)
{
    return _nForward(piContext, [&](DA* p) { return p->bHLibere(); });
}

int CNATable::bHLit(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock)
{
    return _nForward(piContext, [&](DA* p) { return p->bHLit(llRecord, eLock, peLock); });
}

int CNATable::bHLitxxx(INAContext* piContext, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection, int nOption,
                       eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, unsigned nFlags)
{
    return _nForward(piContext,
                     [&](DA* p) { return p->bHLitxxx(pszItem, eDirection, nOption, eLock, peLock, nFlags); });
}

int CNATable::bSkipRecord(INAContext* piContext, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                          long llCount, int nOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, unsigned nFlags)
{
    return _nForward(piContext, [&](DA* p) {
        return p->bSkipRecord(pszItem, eDirection, llCount, nOption, eLock, peLock, nFlags);
    });
}

int CNATable::bHBloqueFichier(INAContext* piContext, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock)
{
    return _nForward(piContext, [&](DA* p) { return p->bHBloqueFichier(eLock, peLock); });
}

int CNATable::bHDebloqueFichier(INAContext* piContext)
{
    return _nForward(piContext, [&](DA* p) { return p->bHDebloqueFichier(); });
}

int CNATable::bHBloqueNumEnr(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock)
{
    return _nForward(piContext, [&](DA* p) { return p->bHBloqueNumEnr(llRecord, eLock, peLock); });
}

int CNATable::bHDebloqueNumEnr(INAContext* piContext, long llRecord)
{
    return _nForward(piContext, [&](DA* p) { return p->bHDebloqueNumEnr(llRecord); });
}

int CNATable::bHEnDehors(INAContext* piContext, const wchar_t* pszItem, int* pbOut)
{
    return _nForward(piContext, [&](DA* p) { return p->bHEndehors(pszItem, pbOut); });
}

int CNATable::bEvalHTrouve(INAContext* piContext, const wchar_t* pszItem, int* pbFound, int* pbValid)
{
    return _nForward(piContext, [&](DA* p) { return p->bEvalHTrouve(pszItem, pbFound, pbValid); });
}

int CNATable::bSetNextOperation(INAContext* piContext, eNA_OPERATION eOperation)
{
    return _nForward(piContext, [&](DA* p) { return p->bSetNextOperation(static_cast<int>(eOperation)); });
}

long CNATable::llGetRecNum(INAContext* piContext)
{
    // No reset: an error already there stays the main one.
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADataAccessLookup dataAccess(_pclFindDataAccessLocked(piContext));
    if (!dataAccess) {
        CNAError::g_RaiseSiteError(m_pclError, NATableSite::kRecNumNotOpenedInContext, m_pclConnection,
                                   pszGetLogicalName(), nullptr, pszGetLogicalName());
        return 0;
    }
    return dataAccess->llGetRecNum();
}

int CNATable::bGetRecNumState(INAContext* piContext, long llRecord, unsigned* pnState)
{
    return _nForward(piContext, [&](DA* p) { return p->bGetRecNumState(llRecord, pnState); });
}

int CNATable::bHActiveFiltre(INAContext* piContext, const wchar_t* pszItem, unsigned)
{
    return _nForward(piContext, [&](DA* p) { return p->bHActiveFiltre(pszItem); });
}

int CNATable::bHDesactiveFiltre(INAContext* piContext, const wchar_t* pszItem, unsigned)
{
    return _nForwardLenient(piContext, [&](DA* p) { return p->bHDesactiveFiltre(pszItem); });
}

int CNATable::bHRetourPosition(INAContext* piContext, int nPosition, wchar_t* pszItem, int nOption, unsigned nMode)
{
    return _nForward(piContext, [&](DA* p) {
        return p->bHRetourPosition(nPosition, pszItem, nOption, static_cast<eNAPOSITION>(nMode));
    });
}

int CNATable::bHLiberePosition(INAContext* piContext, int nPosition)
{
    return _nForwardLenient(piContext, [&](DA* p) { return p->bHLiberePosition(nPosition); });
}

int CNATable::bHSauvePosition(INAContext* piContext, const wchar_t* pszItem, int* pnPosition, unsigned nMode)
{
    return _nForward(piContext,
                     [&](DA* p) { return p->bHSauvePosition(pnPosition, pszItem, static_cast<eNAPOSITION>(nMode)); });
}

int CNATable::bHVersion(INAContext* piContext, int* pnVersion)
{
    return _nForward(piContext, [&](DA* p) { return p->bHVersion(pnVersion); });
}

int CNATable::bHNbEnr(INAContext* piContext, long* pllCount, unsigned nOptions, unsigned nFlags)
{
    return _nForward(piContext, [&](DA* p) { return p->bHNbEnr(pllCount, nOptions, nFlags); });
}

int CNATable::bHPositionCourante(INAContext* piContext, const wchar_t* pszItem, int* pnPosition,
                                 eNA_PRECISION ePrecision, unsigned)
{
    return _nForward(piContext, [&](DA* p) { return p->bHPositionCourante(pnPosition, pszItem, ePrecision); });
}

int CNATable::bHPositionne(INAContext* piContext, const wchar_t* pszItem, unsigned nPosition,
                           eNA_PRECISION ePrecision, unsigned nFlags)
{
    return _nForward(piContext, [&](DA* p) { return p->bHPositionne(pszItem, nPosition, ePrecision, nFlags); });
}

int CNATable::bGetBLOB(INAContext* piContext, unsigned nItem, CAny* pclValue)
{
    return _nForward(piContext, [&](DA* p) { return p->bGetBLOB(nItem, pclValue); });
}

int CNATable::bSetBLOB(INAContext* piContext, unsigned nItem, const CAny* pclValue)
{
    return _nForward(piContext, [&](DA* p) { return p->bSetBLOB(nItem, pclValue); });
}

int CNATable::bGetRecord(INAContext* piContext, CNAQFRecord** ppclRecord) const
{
    return _nForward(piContext, [&](DA* p) { return p->bGetRecord(ppclRecord); });
}

int CNATable::bSetRecord(INAContext* piContext, CNAQFRecord* pclRecord)
{
    return _nForward(piContext, [&](DA* p) { return p->bSetRecord(pclRecord); });
}

int CNATable::bHAttacheMemo(INAContext* piContext, unsigned nItem, const wchar_t* pszFile)
{
    return _nForward(piContext, [&](DA* p) { return p->bHAttacheMemo(nItem, pszFile); });
}

int CNATable::bExtraitMemo(INAContext* piContext, unsigned nItem, const wchar_t* pszFile)
{
    return _nForward(piContext, [&](DA* p) { return p->bExtraitMemo(nItem, pszFile); });
}

int CNATable::bHAnnuleRecherche(INAContext* piContext, const wchar_t* pszItem)
{
    return _nForward(piContext, [&](DA* p) { return p->bHAnnuleRecherche(pszItem); });
}

int CNATable::bHChangeCle(INAContext* piContext, const wchar_t* pszItem, unsigned nFlags)
{
    return _nForward(piContext, [&](DA* p) { return p->bHChangeCle(pszItem, nFlags); });
}

int CNATable::bHConstruitValCle(INAContext* piContext, CAny* pclKey, const wchar_t* pszItem, unsigned nCount,
                                CAny** ppclValues)
{
    return _nForward(piContext, [&](DA* p) { return p->bHConstruitValCle(pclKey, pszItem, nCount, ppclValues); });
}

int CNATable::bFreeCache(INAContext* piContext)
{
    return _nForward(piContext, [&](DA* p) { return p->bFreeCache(); });
}

int CNATable::bCompareTablePosition(INAContext* piContext, int nFirst, int nSecond, int* pnResult)
{
    return _nForward(piContext, [&](DA* p) { return p->bCompareTablePosition(nFirst, nSecond, pnResult); });
}

int CNATable::bSupprimeTout(INAContext* piContext)
{
    return _nForward(piContext, [&](DA* p) { return p->bSupprimeTout(); });
}
