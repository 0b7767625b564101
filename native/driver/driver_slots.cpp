// The driver's slots as this layer answers them. The factories of objects
// this layer does not make answer null, record nothing and make nothing. The registries'
// slots are in driver_connections.cpp, driver_contexts.cpp and
// driver_tables.cpp; the SQL, transaction and list slots in
// driver_queries.cpp, driver_transactions.cpp and driver_lists.cpp.
#include <new>

#include "common/text/qf_convert_key.h"
#include "native/access/data_access.h"
#include "native/access/id_auto.h"
#include "native/access/sql_column.h"
#include "native/access/table.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"
#include "native/sql/command.h"
#include "native/sql/parameter.h"

INAError* CNADriver::piGetLastError()
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    return m_pclError;
}

int CNADriver::bSetVMAndLibShop(ILibShop* piLibShop, IVMData* piVMData)
{
    CNAEntryGuard guard(m_pclError);
    m_piLibShop = piLibShop;
    m_piVMData = piVMData;
    return 1;
}

namespace {

// The engine interface that keys built anywhere in the library map text
// with: the one the process's driver was given, as every other object of
// the driver reaches its driver through s_pclDriver. Read under the mutex,
// so that the driver cannot end meanwhile; when it ends, s_pclDriver moves
// to the newest driver left (null when none), and with it the interface.
IQFForNA* piQFOfProcessDriver()
{
    if (!CNADriver::g_bModuleStarted())
        return nullptr;
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    return CNADriver::s_pclDriver != nullptr ? CNADriver::s_pclDriver->piGetQF() : nullptr;
}

}  // namespace

int CNADriver::bSetQF(IQFForNA* piQF)
{
    CNAEntryGuard guard(m_pclError);
    m_piQF = piQF;
    CQFConvertKey::SetQFForNASource(&piQFOfProcessDriver);
    return 1;
}

int CNADriver::bSetCharset(unsigned, void*)
{
    return 1;
}

CNAConvertVariant* CNADriver::pclAllocVariantRowID(CNAError*, CNAConnectionDescription*)
{
    return nullptr;
}

bool CNADriver::g_bColumnItemType(int eItemType)
{
    // Unsigned, so that a negative type counts as above 31.
    const unsigned nType = static_cast<unsigned>(eItemType);
    return nType != 0 && nType != 8 && nType <= 31;
}

CNAColumn* CNADriver::pclAllocColumn(CNAError* pclError, INAItemDescription* piItem)
{
    if (piItem == nullptr || !g_bColumnItemType(piItem->eNAGetItemType()))
        return nullptr;
    return new (std::nothrow) CNASQLColumn(pclError, piItem);
}

CNAError* CNADriver::pclAllocError()
{
    return new (std::nothrow) CNAError;
}

void CNADriver::OnFatalErrorAddDebugMessage(CNAError*, CNAConnectionDescription*)
{
}

CNADriverSQL* CNADriver::_pclAllocDriverSQL(CNAError*)
{
    return nullptr;
}

void CNADriver::_BeforeDeath()
{
}

void CNADriver::g_GenerateItemName(CTString* pcsName, int n)
{
    if (pcsName == nullptr)
        return;
    // In 64 bits: n + 1000 must not overflow for the largest n.
    pcsName->printf(L"%s%lld", L"Expr", static_cast<long long>(n) + 1000);
}

CNADataSourceDescription* CNADriver::pclAllocDataSourceDescription(CNAConnectionDescription* pclConnection,
                                                                   CNAError* pclError)
{
    return new (std::nothrow) CNADataSourceDescription(pclConnection, pclError);
}

CNADataAccess* CNADriver::pclAllocDataAccess(INADataSourceDescription* piSource,
                                             CNAConnectionDescription* pclConnection, CNAError* pclError)
{
    return new (std::nothrow) CNADataAccess(piSource, pclConnection, pclError);
}

CNACommand* CNADriver::pclAllocCommand(CNAError* pclError, CNAConnectionDescription* pclConnection)
{
    return new (std::nothrow) CNACommand(pclError, pclConnection);
}

CNAIDAuto* CNADriver::pclAllocIDAuto()
{
    return new (std::nothrow) CNAIDAuto;
}

CNAParameter* CNADriver::pclAllocParameter(CNAConvertVariant* pclValue, unsigned long nPosition, unsigned nFlags,
                                           const wchar_t* pszName)
{
    return new (std::nothrow) CNAParameter(pclValue, nPosition, nFlags, pszName);
}

CNAParameter* CNADriver::pclAllocParameter_col(CNAColumn* pclColumn, CNAConvertVariant* pclValue,
                                               unsigned long nPosition, unsigned nFlags, const wchar_t* pszName)
{
    CNAParameter* pclParameter = pclAllocParameter(pclValue, nPosition, nFlags, pszName);
    if (pclParameter != nullptr)
        pclParameter->SetColum(pclColumn);
    return pclParameter;
}

CNAItemDescription* CNADriver::pclAllocItemDescription()
{
    return new (std::nothrow) CNAItemDescription;
}

CNATable* CNADriver::_pclAllocTable(const wchar_t* pszKey, INADataSourceDescription* piSource,
                                     CNAConnectionDescription* pclConnection, CNAError* pclError)
{
    return new (std::nothrow) CNATable(pszKey, piSource, pclConnection, pclError);
}
