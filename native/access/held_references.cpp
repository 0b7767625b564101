// The references a table object or a data access holds on its data source,
// its connection and its error object.
#include "native/access/held_references.h"

#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/na_data_source_description.h"

void NA_TakeHeldReferences(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                           CNAError* pclError)
{
    if (piSource != nullptr)
        piSource->ExternalAddRef();
    if (pclConnection != nullptr)
        REF_AddRef(pclConnection);
    if (pclError != nullptr)
        pclError->AddRef();
}

void NA_GiveBackHeldReferences(INADataSourceDescription*& piSource, CNAConnectionDescription*& pclConnection,
                               CNAError*& pclError)
{
    if (piSource != nullptr) {
        INADataSourceDescription* piFormer = piSource;
        piSource = nullptr;
        piFormer->nExternalRelease();
    }
    if (pclConnection != nullptr) {
        CNAConnectionDescription* pclFormer = pclConnection;
        pclConnection = nullptr;
        CNADriver::g_nReleaseConnection(pclFormer);
    }
    if (pclError != nullptr) {
        CNAError* pclFormer = pclError;
        pclError = nullptr;
        pclFormer->nRelease();
    }
}

void NA_ReplaceHeldSource(INADataSourceDescription*& piField, INADataSourceDescription* piNew)
{
    NA_ReplaceHeldExternal(piField, piNew);
}
