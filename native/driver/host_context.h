#pragma once

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// One of the host's execution contexts, passed to every table operation.
// The driver reads two 64-bit identifiers of it by position: the context's
// id (slot 8), under which the driver registers its own context object, and
// the data key (slot 7) of the data source being worked on within the
// context, under which that context keeps its data accesses.
class INAContext : public INAVersion
{
public:
    virtual void ExternalAddRef() = 0;              // 5
    virtual unsigned nExternalRelease() = 0;        // 6
    virtual unsigned long dwGetDataID() const = 0;  // 7
    virtual unsigned long dwGetCtxID() const = 0;   // 8

protected:
    INAContext() = default;
    ~INAContext() = default;
};
