#pragma once

// The test connection and the error object the value and SQL fuzz targets
// work on: made once per process on a stand-in connection description, and
// kept to its end (a reference the target never gives back).
#include "native/driver/error_object.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"

namespace vxfuzz {

inline CTestConnection* FuzzConnection()
{
    static StandinConnectionDescription hostConnection;
    static CTestConnection* connection = [] {
        auto* c = new CTestConnection(L"FUZZ", &hostConnection);
        c->m_dwRefCount = 1;
        return c;
    }();
    return connection;
}

inline CNAError* FuzzError()
{
    static CNAError* error = [] {
        auto* e = new CNAError;
        e->AddRef();
        return e;
    }();
    return error;
}

}  // namespace vxfuzz
