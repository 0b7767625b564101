// What a data access looks up for its callers: its context's identifier,
// an item of its data source by name, the data source's automatic
// identifier key, and the data access of its context that works on another
// table of the same connection.
#include "native/access/data_access.h"
#include "native/driver/context.h"
#include "native/model/item_rules.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"

unsigned long CNADataAccess::dwGetContextID() const
{
    return m_pclContext != nullptr ? static_cast<unsigned long>(m_pclContext->llGetContextID()) : 0;
}

INAItemDescription* CNADataAccess::piGetItemDescription(const wchar_t* pszItem) const
{
    return m_piSource != nullptr ? m_piSource->piNAGetItem(pszItem) : nullptr;
}

INAItemDescription* CNADataAccess::pclGetIdAutoItem() const
{
    if (m_piSource == nullptr)
        return nullptr;
    const unsigned nKeys = m_piSource->nGetNumKeys();
    for (unsigned i = 0; i < nKeys; ++i) {
        // Each key comes with a reference: the one found keeps it for the
        // caller, the others give theirs back at once.
        INAItemDescription* piKey = m_piSource->piNAGetKey(i);
        if (piKey == nullptr)
            continue;
        if (NA_bIsIdAutoItem(piKey))
            return piKey;
        piKey->nExternalRelease();
    }
    return nullptr;
}

CNADataAccess* CNADataAccess::pclFindDataAccessByDBTableName(const wchar_t* pszDBTable) const
{
    return m_pclContext != nullptr ? m_pclContext->pclFindDataAccessByDBTableName(m_pclConnection, pszDBTable)
                                   : nullptr;
}
