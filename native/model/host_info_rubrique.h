#pragma once

#include "common/system/vx_unknown.h"

// The host's information on one output item of a parsed query. It is
// counted like every CVXUnknown (atomic count, dwRelease deletes at 0), so
// the counted containers hold it through the CVXUnknown reference hooks.
// The item calls follow the three CVXUnknown slots.
class IInfoRubrique : public CVXUnknown
{
public:
    // The host engine's type of the item's result (0 and 41: none to apply).
    virtual int eGetQFType() const = 0;              // 3
    // The host's calculation function of a computed item, 0 for none.
    virtual int nGetFunctionCode() const = 0;        // 4
    virtual int nGetSize() const = 0;                // 5
    // The host's calculation value; the driver only stores it.
    virtual unsigned dwGetCalculValue() const = 0;   // 6
};
