#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text/xy_string.h"

// A view of a runtime value for byte-level access: the block's data pointer
// and the runtime type code of the value (16 wide text, 19 8-bit text,
// 28 binary buffer), followed by a 16-bit zero. Runtime values (CAny) fill
// it; readers never see a null pointer from it.
struct STManipAUB
{
    static constexpr uint16_t TYPE_DSTRW = 16;
    static constexpr uint16_t TYPE_DSTRA = 19;
    static constexpr uint16_t TYPE_ZLBIN = 28;

    unsigned char* m_pbyData = nullptr;
    uint16_t m_nType = 0;
    uint16_t m_nReserved = 0;

    STManipAUB() = default;
    STManipAUB(unsigned char* pbyData, uint16_t nType) : m_pbyData(pbyData), m_nType(nType) {}
    explicit STManipAUB(const CXYString<wchar_t>& s) : m_pbyData(s.pbyGetBlock()), m_nType(TYPE_DSTRW) {}
    explicit STManipAUB(const CXYString<char>& s) : m_pbyData(s.pbyGetBlock()), m_nType(TYPE_DSTRA) {}

    // The data as text, or the empty text of that width when there is none.
    const char* pszGetStringA() const;
    const wchar_t* pszGetStringW() const;
    // The bytes including the terminator of a text (4 wide, 1 8-bit; a value
    // without a block gives the empty text and that size); a binary buffer
    // has no terminator; another type gives four zero bytes and 0.
    const unsigned char* pbyGetContenu(size_t& n) const;
    // The bytes in use; another type gives four zero bytes and 0.
    const unsigned char* pbyGetContenuUtile(size_t& n) const;
    // Characters for wide text, bytes otherwise; 0 for another type.
    int nGetLongueur() const;
    // Bytes in use; 0 for another type.
    int nGetTailleUtile() const;

private:
    bool bKnownType() const { return m_nType == TYPE_DSTRW || m_nType == TYPE_DSTRA || m_nType == TYPE_ZLBIN; }
    uint32_t nLength() const { return m_pbyData ? CBaseStrMem::s_nGetLength(m_pbyData) : 0; }
};

static_assert(offsetof(STManipAUB, m_pbyData) == 0 && offsetof(STManipAUB, m_nType) == 8 &&
                  offsetof(STManipAUB, m_nReserved) == 10 && sizeof(STManipAUB) == 16,
              "data pointer, 16-bit type code, 16-bit zero");
