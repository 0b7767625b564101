// The connection's slots whose work lies in the statement and transaction
// layers, which are not built yet: each answers 0 and adds nothing, so that
// a caller reaching one early fails plainly instead of believing a statement
// ran.
#include "native/driver/connection_description.h"

int CNAConnectionDescription::bTransactionBeginDirect(CNAError*)
{
    return 0;
}

int CNAConnectionDescription::bTransactionCommitDirect(CNAError*)
{
    return 0;
}

int CNAConnectionDescription::bTransactionRollBackDirect(CNAError*)
{
    return 0;
}

int CNAConnectionDescription::bSQLBloque(CNAError*, const wchar_t*)
{
    return 0;
}

int CNAConnectionDescription::bSQLBloqueRequete(CNAError*, const wchar_t*)
{
    return 0;
}

int CNAConnectionDescription::bDiagnose(CNAError*, CAny*, const wchar_t*, unsigned)
{
    return 0;
}

void CNAConnectionDescription::AddInfoNativeXError(_CXErrorModule32*) {}

int CNAConnectionDescription::bExecuteQueryNoResult(CNAError*, const wchar_t*)
{
    return 0;
}

int CNAConnectionDescription::bExecuteQueryIgnoreResult(CNAError*, const wchar_t*)
{
    return 0;
}

int CNAConnectionDescription::bGetRequestedValue(CNAError*, CAny*, int, const wchar_t*)
{
    return 0;
}
