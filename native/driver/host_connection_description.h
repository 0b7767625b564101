#pragma once

#include <cstdint>

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// The host's description of a connection, as the driver reads it. The
// driver calls it by position: the five version slots (slot 0 is the
// interface version), then the positions below. Slots 20, 23 and 24 are never
// called. Texts may be null; the driver copies what it keeps. A connection
// object of the driver holds one external reference (slots 5 and 6) for its
// whole life.
class INAConnectionDescription : public INAVersion
{
public:
    virtual void ExternalAddRef() = 0;                         // 5
    virtual unsigned nExternalRelease() = 0;                   // 6
    virtual const wchar_t* pszGetUserName() const = 0;         // 7
    virtual const wchar_t* pszGetPassword() const = 0;         // 8
    virtual const wchar_t* pszGetDataBase() const = 0;         // 9 the data source (server)
    virtual const wchar_t* pszGetDescription() const = 0;      // 10
    virtual eNA_ACCESS eGetAccess() const = 0;                 // 11 1 = read only
    virtual int nGetNbParam() const = 0;                       // 12
    virtual const wchar_t* pszGetParam(int nParam) const = 0;  // 13 from 0; null outside
    virtual const wchar_t* pszGetProvider() const = 0;         // 14
    virtual int nGetConnectionTimeout() const = 0;             // 15
    virtual int nGetCommandTimeout() const = 0;                // 16
    virtual const wchar_t* pszGetExtendedInfo() const = 0;     // 17
    virtual const wchar_t* pszGetConnectionName() const = 0;   // 18 the connection record's name
    virtual long lGetCursorOptions() const = 0;                // 19 bit mask
    virtual void EmptySlot20() = 0;                            // 20
    virtual const wchar_t* pszGetDefaultDataBase() const = 0;  // 21
    virtual int64_t llGetDefaultCacheSize() const = 0;         // 22 asked above interface version 3
    virtual void EmptySlot23() = 0;                            // 23
    virtual void EmptySlot24() = 0;                            // 24
    virtual const wchar_t* pszGetLogicalConnectionName() const = 0;  // 25

protected:
    INAConnectionDescription() = default;
    ~INAConnectionDescription() = default;
};
