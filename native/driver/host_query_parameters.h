#pragma once

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// The values the host binds to the named parameters of a query, read by
// position. A table or a parsed query holds it by external references
// (slots 5 and 6). Slots 7 and 9 to 13 are never called.
class INAQueryParametersValue : public INAVersion
{
public:
    // Kinds of a named parameter (slot 15).
    enum : int
    {
        PARAM_UNKNOWN = 0,
        PARAM_IN = 1,
        PARAM_OUT = 2,
        PARAM_INOUT = 3,
    };

    virtual void ExternalAddRef() = 0;                                         // 5
    virtual unsigned nExternalRelease() = 0;                                   // 6
    virtual void EmptySlot7() = 0;                                             // 7
    // Non-zero while the query has bound variables: a query table without
    // a result set then stays registered.
    virtual int bHasBindVariables() const = 0;                                 // 8
    virtual void EmptySlot9() = 0;                                             // 9
    virtual void EmptySlot10() = 0;                                            // 10
    virtual void EmptySlot11() = 0;                                            // 11
    virtual void EmptySlot12() = 0;                                            // 12
    virtual void EmptySlot13() = 0;                                            // 13
    // The value bound to the name; null when there is none.
    virtual const CAny* pclGetValue(const wchar_t* pszName, int nOption) const = 0;  // 14
    virtual int nGetParameterKind(const wchar_t* pszName) const = 0;           // 15
    // Non-zero when the query was prepared before it was run.
    virtual int bPrepareCalled() const = 0;                                    // 16

protected:
    INAQueryParametersValue() = default;
    ~INAQueryParametersValue() = default;
};
