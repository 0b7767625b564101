#pragma once

// The host engine's text mapper, as the wide-text key encoder calls it: one
// mapping mode (the one IQFForNA::piGetTextMapper was asked for) applied to
// a run of text, written out as 16-bit units. Its one slot is the only one
// declared: the engine may have more, which this side never calls.
//
// The mapper belongs to the engine interface that gave it and lives as long
// as that interface; this side neither counts nor releases it.
class IQFTextMapper
{
public:
    // Reads nSource units at pSource: 16-bit units (char16_t) or, when
    // nTextFlags holds 16, 32-bit characters (wchar_t); the pointer is
    // aligned for its unit. Writes the mapped text as at most nCapacity
    // 16-bit units at pDest, never beyond them and never half of a surrogate
    // pair, and no terminator. Answers the count of units written, or a
    // negative value when the text cannot be mapped.
    virtual int nMapUnits(const void* pSource, int nSource, int nTextFlags, char16_t* pDest,
                          int nCapacity) = 0;  // 0

protected:
    // Never deleted from this side.
    ~IQFTextMapper() = default;
};

static_assert(sizeof(IQFTextMapper) == sizeof(void*), "an interface: one virtual table pointer");
