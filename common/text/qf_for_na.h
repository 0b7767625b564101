#pragma once

#include "common/text/qf_text_mapper.h"

// The host engine's interface that the driver object is handed by bSetQF.
// The driver stores it and never counts it; the library calls one operation
// of it: the wide-text key encoder asks it for the text mapper of a mapping
// mode when a key is built with a mapping option (CQFConvertKey). That
// operation is the only one declared; the engine's others are never called
// from this side.
//
// A mode is a sum of the locale mapping flags: 1 upper case, 2 accents
// removed, 4 symbols dropped (the key options 0x0080, 0x0020 and 0x0040).
class IQFForNA
{
public:
    // The mapper of nMode, owned by this interface; null when the engine
    // has none for that mode.
    virtual IQFTextMapper* piGetTextMapper(int nMode) = 0;  // 0

protected:
    // The host's object: never deleted from this side.
    ~IQFForNA() = default;
};

static_assert(sizeof(IQFForNA) == sizeof(void*), "an interface: one virtual table pointer");
