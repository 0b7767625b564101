#pragma once

class CZLBIN;

// The host's image object, as an image memo value holds it. Only four of its
// operations are called from this side, by their slot: counting (0),
// release (1), the query whether the image can be exported in a given form
// (8) and the export into a binary value (29). The other slots belong to
// the host and are never called here; they are declared only to keep the
// four at their places.
class IImageZL
{
public:
    virtual unsigned long AddRef() = 0;                  // slot 0
    virtual unsigned long Release() = 0;                 // slot 1
    virtual void _Slot2() = 0;
    virtual void _Slot3() = 0;
    virtual void _Slot4() = 0;
    virtual void _Slot5() = 0;
    virtual void _Slot6() = 0;
    virtual void _Slot7() = 0;
    // What the image can give in the form nFormat; the image memo exports
    // when the answer exceeds 7.
    virtual int nQuery(int nFormat) = 0;                 // slot 8
    virtual void _Slot9() = 0;
    virtual void _Slot10() = 0;
    virtual void _Slot11() = 0;
    virtual void _Slot12() = 0;
    virtual void _Slot13() = 0;
    virtual void _Slot14() = 0;
    virtual void _Slot15() = 0;
    virtual void _Slot16() = 0;
    virtual void _Slot17() = 0;
    virtual void _Slot18() = 0;
    virtual void _Slot19() = 0;
    virtual void _Slot20() = 0;
    virtual void _Slot21() = 0;
    virtual void _Slot22() = 0;
    virtual void _Slot23() = 0;
    virtual void _Slot24() = 0;
    virtual void _Slot25() = 0;
    virtual void _Slot26() = 0;
    virtual void _Slot27() = 0;
    virtual void _Slot28() = 0;
    // Writes the image in the form nFormat into the binary value.
    virtual int nExport(int nFormat, CZLBIN* pBin) = 0;  // slot 29

protected:
    // Released through slot 1 only, never deleted from this side.
    ~IImageZL() = default;
};

static_assert(sizeof(IImageZL) == sizeof(void*), "an interface: one virtual table pointer");
