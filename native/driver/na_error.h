#pragma once

#include <cstdint>

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// The error object as the host reads it (from INADriver, INADriverSQL,
// INATable or a statement): 17 slots in the host's order, the five version
// slots first and five reserved slots last. The texts and the CXError it
// hands out point into the object: valid while it lives, the dump text until
// the next pszGetError. The driver's own error object answers each host
// thread from that thread's record: what it hands out is valid until the
// thread's next call of the driver.

// How the host classifies a failure; fixed by the first error an object
// records.
enum eNA_ERRORTYPE : int32_t
{
    NA_ERR_NONE = -1,              // nothing recorded yet
    NA_ERR_GENERAL = 0,
    NA_ERR_LOCK_TIMEOUT = 2,       // lock wait time-out
    NA_ERR_DUPLICATE_KEY = 3,
    NA_ERR_NOT_AVAILABLE = 7,      // not offered by this driver
    NA_ERR_MANDATORY_VALUE = 8,    // a value that may not be NULL is missing
    NA_ERR_NO_ROW_CHANGED = 9,     // a direct write changed no row
};

// 1 no error; 2 and 3 the error levels of CXError.
enum eNAERRORLEVEL : int32_t
{
    NA_LEVEL_NOERROR = 1,
    NA_LEVEL_WARNING = 2,
    NA_LEVEL_ERROR = 3,
};

class INAError : public INAVersion
{
public:
    virtual const wchar_t* pszGetError() = 0;                  // 5
    virtual unsigned dwGetErrorId() const = 0;                 // 6
    virtual eNA_ERRORTYPE eGetErrorType() const = 0;           // 7
    virtual const wchar_t* pszGetLogicalTableName() const = 0; // 8
    virtual const wchar_t* pszGetItemName() const = 0;         // 9
    virtual CXError* pclGetXError() const = 0;                 // 10
    virtual eNAERRORLEVEL eGetErrorLevel() const = 0;          // 11
    virtual void EmptySlot52() = 0;                            // 12
    virtual void EmptySlot53() = 0;                            // 13
    virtual void EmptySlot54() = 0;                            // 14
    virtual void EmptySlot55() = 0;                            // 15
    virtual void EmptySlot56() = 0;                            // 16

protected:
    INAError() = default;
    ~INAError() = default;
};
