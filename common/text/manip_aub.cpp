#include "common/text/manip_aub.h"

const char* STManipAUB::pszGetStringA() const
{
    return m_pbyData ? reinterpret_cast<const char*>(m_pbyData) : CXYString<char>::ChaineVide;
}

const wchar_t* STManipAUB::pszGetStringW() const
{
    return m_pbyData ? reinterpret_cast<const wchar_t*>(m_pbyData) : CXYString<wchar_t>::ChaineVide;
}

const unsigned char* STManipAUB::pbyGetContenu(size_t& n) const
{
    switch (m_nType) {
    case TYPE_DSTRW:
        n = nLength() + 4;
        return m_pbyData ? m_pbyData : reinterpret_cast<const unsigned char*>(CXYString<wchar_t>::ChaineVide);
    case TYPE_DSTRA:
        n = nLength() + 1;
        return m_pbyData ? m_pbyData : reinterpret_cast<const unsigned char*>(CXYString<char>::ChaineVide);
    case TYPE_ZLBIN:
        n = nLength();
        return m_pbyData ? m_pbyData : CBaseStrMem::ChaineVide;
    default:
        n = 0;
        return CBaseStrMem::ChaineVide;
    }
}

const unsigned char* STManipAUB::pbyGetContenuUtile(size_t& n) const
{
    if (!bKnownType()) {
        n = 0;
        return CBaseStrMem::ChaineVide;
    }
    n = nLength();
    return m_pbyData ? m_pbyData : CBaseStrMem::ChaineVide;
}

int STManipAUB::nGetLongueur() const
{
    if (!bKnownType())
        return 0;
    return static_cast<int>(m_nType == TYPE_DSTRW ? nLength() / 4 : nLength());
}

int STManipAUB::nGetTailleUtile() const
{
    return bKnownType() ? static_cast<int>(nLength()) : 0;
}
