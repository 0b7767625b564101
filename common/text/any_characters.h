#pragma once

#include "common/text/any_numbers.h"

// 17: one 8-bit character followed by a zero byte.
class CAny_ZLCARA final : public TAny_ZLFixe<1>
{
public:
    constexpr CAny_ZLCARA() = default;
    int SetValue(const void* p) override;
    int nGetPCASTR(const char** pp) const override;
    int nGetSTRLEN(unsigned long* pn) const override;
    // The first wide character in code page 1252, or in the given one; a
    // character the code page cannot hold in one byte gives '?'.
    int SetValueFromUNICODE(const void* p) override;
    int SetValueFromUNICODE(const void* p, unsigned long n) override;
    int SetValueFromUNICODE_CP(int nCodePage, const void* p) override;
    int SetValueFromUNICODE_CP(int nCodePage, const void* p, unsigned long n) override;
};

// 81: one wide character followed by a terminator.
class CAny_ZLCARW final : public TAny_ZLFixe<4>
{
public:
    constexpr CAny_ZLCARW() = default;
    int SetValue(const void* p) override;
    int nGetPCWSTR(const wchar_t** pp) const override;
    int nGetSTRLEN(unsigned long* pn) const override;
    // The first byte read in code page 1252, or in the given one.
    int SetValueFromANSI(const void* p) override;
    int SetValueFromANSI(const void* p, unsigned long n) override;
    int SetValueFromANSI_CP(int nCodePage, const void* p) override;
    int SetValueFromANSI_CP(int nCodePage, const void* p, unsigned long n) override;

    // Sets a value of this type from n UTF-16 units: the first one (n below
    // 1 gives the zero character). 105 for a value of another type.
    static int s_SetFromUTF16(CAny* pValue, const unsigned short* p, long n);
};
