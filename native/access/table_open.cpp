// Opening, creating, deleting and closing the table for a host context: the
// connection opened first, then the context's data access found or made
// and asked to do the work; a data access that this call made and that
// failed goes again, so that no half-opened one stays with the context.
#include "native/access/table_forward.h"
#include "native/driver/connection_description.h"

CNADataAccess* CNATable::_pclGetDataAccessForCall(INAContext* piContext, int* pbNew)
{
    CNADataAccess* pclDataAccess = _pclGetDataAccess(piContext, pbNew);
    CNAError* pclError = pclDataAccess != nullptr ? pclDataAccess->pclGetErrorNoRef() : nullptr;
    if (pclError != nullptr)
        pclError->Reset();
    return pclDataAccess;
}

template <class F>
int CNATable::_bOpenWith(INAContext* piContext, int bCreateDatabase, int bAlwaysRemove, F fnStep)
{
    CNAEntryGuard guard(m_pclError);
    if (m_pclConnection == nullptr)
        return 0;
    const int bOpened =
        bCreateDatabase ? m_pclConnection->bOpenCreate(m_pclError) : m_pclConnection->bOpen(m_pclError);
    if (!bOpened) {
        _SetContextLastNAError(piContext, m_pclError);
        return 0;
    }
    int bNew = 0;
    CNADataAccessLookup dataAccess(_pclGetDataAccessForCall(piContext, &bNew));
    if (!dataAccess)
        return 0;
    CNAError* pclError = dataAccess->pclGetErrorNoRef();
    const int bResult = fnStep(dataAccess.pclGet());
    // A data access that was there before keeps its context's error.
    if (!bResult && (bNew || bAlwaysRemove) && m_pclError != nullptr)
        m_pclError->Copy(pclError);
    if (bAlwaysRemove || (!bResult && bNew))
        _RemoveDataAccess(piContext, dataAccess.pclGet());
    return bResult;
}

int CNATable::bHOuvre(INAContext* piContext, eNA_ACCESS eAccess, const wchar_t* pszPassword)
{
    return _bOpenWith(piContext, 0, 0,
                      [&](CNADataAccess* pclDataAccess) { return pclDataAccess->bHOuvre(eAccess, pszPassword); });
}

int CNATable::bHCreation(INAContext* piContext, const wchar_t* pszPassword)
{
    // A table of that name is dropped first, whatever it holds: creating
    // means starting empty.
    return _bOpenWith(piContext, 1, 0,
                      [&](CNADataAccess* pclDataAccess) { return pclDataAccess->bHCreation(pszPassword, 1); });
}

int CNATable::bHCreationSiInexistant(INAContext* piContext, eNA_ACCESS eAccess, const wchar_t* pszPassword)
{
    return _bOpenWith(piContext, 1, 0, [&](CNADataAccess* pclDataAccess) {
        return pclDataAccess->bHCreationSiInexistant(eAccess, pszPassword);
    });
}

int CNATable::bSupprimeFichier(INAContext* piContext)
{
    // The data access goes whether or not the drop succeeded: the table it
    // stood for is gone, or in a state no open of it can trust.
    return _bOpenWith(piContext, 1, 1, [](CNADataAccess* pclDataAccess) { return pclDataAccess->bSupprimeFichier(); });
}

int CNATable::bHFerme(INAContext* piContext)
{
    // The table's error is kept: the driver closes tables on its way out of
    // other calls, whose error the host is still to read.
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    int bResult = 1;
    {
        CNADataAccessLookup dataAccess(_pclFindDataAccess(piContext));
        if (!dataAccess)
            return 1;
        CNAError* pclError = dataAccess->pclGetErrorNoRef();
        if (pclError != nullptr)
            pclError->Reset();
        bResult = dataAccess->bHFerme();
        if (!bResult && m_pclError != nullptr)
            m_pclError->Copy(pclError);
        _RemoveDataAccess(piContext, dataAccess.pclGet());
    }
    // The query's bind variables go with any context's close, also while
    // other contexts still have the table open.
    SetQueryBindVariable(nullptr);
    return bResult;
}
