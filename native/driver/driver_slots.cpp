// The driver's slots as this layer answers them. The SQL, transaction and
// list operations answer 0 or null, record nothing and make nothing; so do
// the factories of objects this layer does not make (the table object is
// completed by the data-access layer). The registries' slots are in
// driver_connections.cpp, driver_contexts.cpp and driver_tables.cpp.
#include <new>

#include "common/text/qf_convert_key.h"
#include "native/access/data_access.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"

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

CNAColumn* CNADriver::pclAllocColumn(CNAError*, INAItemDescription* piItem)
{
    if (piItem == nullptr || !g_bColumnItemType(piItem->eNAGetItemType()))
        return nullptr;
    return nullptr;
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

// Operations of SQL, transactions, locks and lists.
int CNADriver::bGetTableList(CAny*, INAConnectionDescription*, unsigned)
{
    return 0;
}

int CNADriver::bHExecuteRequeteSQL(INATable**, INAContext*, const wchar_t*, INAConnectionDescription*,
                                   ISQLParserInformation*, unsigned)
{
    return 0;
}

int CNADriver::bTransactionBegin(INAConnectionDescription*, const wchar_t*)
{
    return 0;
}

int CNADriver::bTransactionCommit(INAConnectionDescription*, const wchar_t*)
{
    return 0;
}

int CNADriver::bTransactionRollBack(INAConnectionDescription*, const wchar_t*)
{
    return 0;
}

int CNADriver::bSQLBloqueTable(INAConnectionDescription*, const wchar_t*)
{
    return 0;
}

int CNADriver::bSQLBloqueRequete(INAConnectionDescription*, ISQLParserInformation*)
{
    return 0;
}

int CNADriver::bSQLFormatColonne(INAConnectionDescription*, CAny*)
{
    return 0;
}

int CNADriver::bHConnexionDiagnose(CAny*, INAConnectionDescription*, const wchar_t*, unsigned)
{
    return 0;
}

int CNADriver::bGetProviderList(CAny*)
{
    return 0;
}

int CNADriver::bTableExists(int*, const wchar_t*, INAConnectionDescription*)
{
    return 0;
}

int CNADriver::bGetLinkList(CAny*, const wchar_t*, INADataSourceDescription*, INAConnectionDescription*, unsigned)
{
    return 0;
}

int CNADriver::bGetListeSource(CAny*, int)
{
    return 0;
}

int CNADriver::bSetQueryParameters(INAContext*, INAConnectionDescription*, INAQueryParametersValue*)
{
    return 0;
}

int CNADriver::bFiltreAuto(INAContext*, INAConnectionDescription*, int, const wchar_t*, INADataSourceDescription*,
                           const wchar_t*, INADataSourceDescription*)
{
    return 0;
}

int CNADriver::bHExecuteRequeteSQLEx(INATable**, INAContext*, const wchar_t*, INAConnectionDescription*,
                                     ISQLParserInformation*, unsigned, const INAQueryExecution*)
{
    return 0;
}

int CNADriver::bSupprimeFichier(INAContext*, INAConnectionDescription*, const wchar_t*, INADataSourceDescription*)
{
    return 0;
}

int CNADriver::bGetDatabaseList(CXYString<wchar_t>*, INAConnectionDescription*, unsigned)
{
    return 0;
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

CNACommand* CNADriver::pclAllocCommand(CNAError*, CNAConnectionDescription*)
{
    return nullptr;
}

CNAIDAuto* CNADriver::pclAllocIDAuto()
{
    return nullptr;
}

CNAParameter* CNADriver::pclAllocParameter(CNAConvertVariant*, unsigned long, unsigned, const wchar_t*)
{
    return nullptr;
}

void CNADriver::CancelRecordLock(INAConnectionDescription*, CNATransaction*)
{
}

CNAItemDescription* CNADriver::pclAllocItemDescription()
{
    return new (std::nothrow) CNAItemDescription;
}

CNATable* CNADriver::_pclAllocTable(const wchar_t*, INADataSourceDescription*, CNAConnectionDescription*, CNAError*)
{
    return nullptr;
}

int CNADriver::_bGetDatabaseList(CXYString<wchar_t>*, CNAConnectionDescription*, unsigned)
{
    return 0;
}

int CNADriver::_bGetTableList(CAny*, CNAConnectionDescription*, unsigned)
{
    return 0;
}

int CNADriver::_bTableExists(int*, const wchar_t*, CNAConnectionDescription*)
{
    return 0;
}

int CNADriver::_bGetLinkList(CNAConnectionDescription*, const wchar_t*, INADataSourceDescription*, CAny*, unsigned)
{
    return 0;
}
