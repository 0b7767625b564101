#include "common/text/any.h"

#include <cwchar>

#include "common/text/any_characters.h"
#include "common/text/any_date_texts.h"
#include "common/text/any_decimal.h"
#include "common/text/any_dyn_texts.h"
#include "common/text/any_heap_texts.h"
#include "common/text/any_numbers.h"
#include "common/text/any_objects.h"
#include "common/text/any_tabany.h"
#include "common/text/date_time_base.h"
#include "common/text/decimal_interface.h"
#include "common/text/duree_base.h"
#include "common/text/money.h"
#include "common/text/vm_binding.h"

namespace {

// One object of each class, made at compile time: installing a class copies
// its table pointer.
constinit const CAny_Intern gclIntern;
constinit const CAny_ZLBOOL gclBOOL;
constinit const CAny_ZLUI1 gclUI1;
constinit const CAny_ZLUI2 gclUI2;
constinit const CAny_ZLUI4 gclUI4;
constinit const CAny_ZLUI8 gclUI8;
constinit const CAny_ZLI1 gclI1;
constinit const CAny_ZLI2 gclI2;
constinit const CAny_ZLI4 gclI4;
constinit const CAny_ZLI8 gclI8;
constinit const CAny_ZLCY gclCY;
constinit const CAny_ZLR4 gclR4;
constinit const CAny_ZLR8 gclR8;
constinit const CAny_ZLDECIMAL gclDECIMAL;
constinit const CAny_ZLUIX gclUIX;
constinit const CAny_ZLDSTRW gclDSTRW;
constinit const CAny_ZLCARA gclCARA;
constinit const CAny_ZLPSTRA gclPSTRA;
constinit const CAny_ZLDSTRA gclDSTRA;
constinit const CAny_ZLDATEW gclDATEW;
constinit const CAny_ZLTIMEW gclTIMEW;
constinit const CAny_ZLDATETIME gclDATETIME;
constinit const CAny_ZLDUREE gclDUREE;
constinit const CAny_ZLBIN gclBIN;
constinit const CAny_ZLBUFFER gclBUFFER;
constinit const CAny_ZLMEMOIMG gclMEMOIMG;
constinit const CAny_ZLCONVOYEUR gclCONVOYEUR;
constinit const CAny_ZLPOLICE gclPOLICE;
constinit const CAny_ZLCARW gclCARW;
constinit const CAny_ZLTABANY gclTABANY;
constinit const CAny_ZLOBJET_BASE gclOBJET_BASE;
constinit const CAny_ZLPSTRW gclPSTRW;
constinit const CAny_ZLDINO gclDINO;
constinit const CAny_ZLDATEA gclDATEA;
constinit const CAny_ZLTIMEA gclTIMEA;

// The class of a code (low byte); null for codes that give the empty value.
const CAny_Intern* pclModele(unsigned short nCode)
{
    switch (nCode) {
    case ZLTYPE_VIDE: return &gclIntern;
    case ZLTYPE_BOOL: return &gclBOOL;
    case ZLTYPE_UI1: return &gclUI1;
    case ZLTYPE_UI2: return &gclUI2;
    case ZLTYPE_UI4: return &gclUI4;
    case ZLTYPE_UI8: return &gclUI8;
    case ZLTYPE_I1: return &gclI1;
    case ZLTYPE_I2: return &gclI2;
    case ZLTYPE_I4: return &gclI4;
    case ZLTYPE_I8: return &gclI8;
    case ZLTYPE_CY: return &gclCY;
    case ZLTYPE_R4: return &gclR4;
    case ZLTYPE_R8: return &gclR8;
    case ZLTYPE_DECIMAL: return &gclDECIMAL;
    case ZLTYPE_UIX: return &gclUIX;
    case ZLTYPE_DSTRW: return &gclDSTRW;
    case ZLTYPE_CARA: return &gclCARA;
    case ZLTYPE_PSTRA: return &gclPSTRA;
    case ZLTYPE_DSTRA: return &gclDSTRA;
    case ZLTYPE_DATEW: return &gclDATEW;
    case ZLTYPE_TIMEW: return &gclTIMEW;
    case ZLTYPE_DATETIME: return &gclDATETIME;
    case ZLTYPE_DUREE: return &gclDUREE;
    case ZLTYPE_BIN: return &gclBIN;
    case ZLTYPE_BUFFER: return &gclBUFFER;
    case ZLTYPE_MEMOIMG: return &gclMEMOIMG;
    case ZLTYPE_CONVOYEUR: return &gclCONVOYEUR;
    case ZLTYPE_POLICE: return &gclPOLICE;
    case ZLTYPE_CARW: return &gclCARW;
    case ZLTYPE_TABANY: return &gclTABANY;
    case ZLTYPE_OBJET_BASE:
    case ZLTYPE_OBJET_TRAITEMENT:
    case ZLTYPE_OBJET_142:
    case ZLTYPE_OBJET_143: return &gclOBJET_BASE;
    case ZLTYPE_PSTRW: return &gclPSTRW;
    case ZLTYPE_DINO: return &gclDINO;
    case ZLTYPE_DATEA: return &gclDATEA;
    case ZLTYPE_TIMEA: return &gclTIMEA;
    default: return nullptr;
    }
}

unsigned short nCodeStocke(unsigned short nType)
{
    const unsigned short nCode = nType & 0xFF;
    return nCode == ZLTYPE_I8_BIS ? ZLTYPE_I8 : nCode;
}

// The initial texts of the date and time types: the date text cut to 8
// characters, the time text cut or padded with '0' to 9.
template <class T>
void InitTexte(unsigned char* pbyValeur, const wchar_t* pszInit, size_t nCars, bool bComplete)
{
    T at[10] = {};
    const size_t nInit = pszInit ? std::wcslen(pszInit) : 0;
    for (size_t i = 0; i < nCars; ++i) {
        if (i < nInit)
            at[i] = static_cast<T>(pszInit[i]);
        else if (bComplete)
            at[i] = static_cast<T>('0');
    }
    std::memcpy(pbyValeur, at, (nCars + 1) * sizeof(T));
}

}  // namespace

bool CAny::s_bTypeConnu(unsigned short nType) { return pclModele(nCodeStocke(nType)) != nullptr; }

void CAny::_InstalleClasse(unsigned short nCode)
{
    const CAny_Intern* pcl = pclModele(nCode);
    if (pcl == nullptr)
        pcl = &gclIntern;
    std::memcpy(m_abyObjet, static_cast<const void*>(pcl), sizeof m_abyObjet);
}

CAny::CAny() : m_dwEntete(0), m_wType(ZLTYPE_VIDE)
{
    _InstalleClasse(ZLTYPE_VIDE);
    std::memset(m_abyValeur, 0, sizeof m_abyValeur);
}

CAny::CAny(const CAny& src) : CAny() { *this = src; }

// The copy is made in a temporary first and moved in afterwards, so that a
// source that lies in what the target owns (an element of its array) is
// still there while it is copied.
CAny& CAny::operator=(const CAny& src)
{
    if (this == &src)
        return *this;
    CAny clCopie;
    clCopie.__SetType(src.nGetTypeCode(), 0);
    src.Objet().Duplique(&clCopie);
    Objet().Detruit();
    std::memcpy(m_abyObjet, clCopie.m_abyObjet, sizeof m_abyObjet);
    m_wType = clCopie.m_wType;
    std::memcpy(m_abyValeur, clCopie.m_abyValeur, sizeof m_abyValeur);
    clCopie._InstalleClasse(ZLTYPE_VIDE);
    clCopie.m_wType = ZLTYPE_VIDE;
    return *this;
}

CAny::~CAny() { Objet().Detruit(); }

void CAny::__SetType(unsigned short nType, int bNoInit)
{
    if (m_wType == nType)
        return;
    Objet().Detruit();
    const unsigned short nCode = nCodeStocke(nType);
    if (nCode == ZLTYPE_VIDE || pclModele(nCode) == nullptr)
        return;
    _InstalleClasse(nCode);
    m_wType = nCode;
    if (bNoInit == 0)
        _InitValeur(nCode);
}

void CAny::_InitValeur(unsigned short nCode)
{
    std::memset(m_abyValeur, 0, sizeof m_abyValeur);
    switch (nCode) {
    case ZLTYPE_DATEW: InitTexte<wchar_t>(m_abyValeur, CDateTimeBase::ms_pcszValeurInitDate, 8, false); break;
    case ZLTYPE_DATEA: InitTexte<char>(m_abyValeur, CDateTimeBase::ms_pcszValeurInitDate, 8, false); break;
    case ZLTYPE_TIMEW: InitTexte<wchar_t>(m_abyValeur, CDateTimeBase::ms_pcszValeurInitTime, 9, true); break;
    case ZLTYPE_TIMEA: InitTexte<char>(m_abyValeur, CDateTimeBase::ms_pcszValeurInitTime, 9, true); break;
    case ZLTYPE_DATETIME: {
        CDateTimeBase dt;
        dt.InitDate();
        _Ecrit(dt);
        break;
    }
    case ZLTYPE_DECIMAL: {
        // Without a factory (or an object from it) there is no decimal: the
        // value stays empty rather than holding a null object.
        IVMFactory* piFactory = gpiVMFactory;
        IDecimal* pcl = nullptr;
        if (piFactory != nullptr) {
            try {
                pcl = piFactory->vpclCreateDecimal(0);
            } catch (...) {
                _InstalleClasse(ZLTYPE_VIDE);
                m_wType = ZLTYPE_VIDE;
                throw;
            }
        }
        if (pcl == nullptr) {
            _InstalleClasse(ZLTYPE_VIDE);
            m_wType = ZLTYPE_VIDE;
            return;
        }
        _Ecrit(pcl);
        break;
    }
    default: break;
    }
}

// --- Typed setters -----------------------------------------------------------

int CAny::_nSetFixe(unsigned short nCode, const void* p)
{
    __SetType(nCode, 0);
    const int rc = Objet().SetValue(p);
    ClearFlags();
    return rc;
}

int CAny::SetBOOL(int b) { return _nSetFixe(ZLTYPE_BOOL, &b); }
int CAny::SetUI1(unsigned char n) { return _nSetFixe(ZLTYPE_UI1, &n); }
int CAny::SetUI2(unsigned short n) { return _nSetFixe(ZLTYPE_UI2, &n); }
int CAny::SetUI4(unsigned int n) { return _nSetFixe(ZLTYPE_UI4, &n); }
int CAny::SetUI8(unsigned long n) { return _nSetFixe(ZLTYPE_UI8, &n); }
int CAny::SetI1(char n) { return _nSetFixe(ZLTYPE_I1, &n); }
int CAny::SetI2(short n) { return _nSetFixe(ZLTYPE_I2, &n); }
int CAny::SetI4(int n) { return _nSetFixe(ZLTYPE_I4, &n); }
int CAny::SetI8(long n) { return _nSetFixe(ZLTYPE_I8, &n); }
int CAny::SetCY(CMoney st) { return _nSetFixe(ZLTYPE_CY, &st); }
int CAny::SetR4(float d) { return _nSetFixe(ZLTYPE_R4, &d); }
int CAny::SetR8(double d) { return _nSetFixe(ZLTYPE_R8, &d); }
int CAny::SetDATEW(const wchar_t* psz) { return _nSetFixe(ZLTYPE_DATEW, psz); }
int CAny::SetTIMEW(const wchar_t* psz) { return _nSetFixe(ZLTYPE_TIMEW, psz); }
int CAny::SetDATEA(const char* psz) { return _nSetFixe(ZLTYPE_DATEA, psz); }
int CAny::SetTIMEA(const char* psz) { return _nSetFixe(ZLTYPE_TIMEA, psz); }
int CAny::SetDATETIME(const CDateTimeBase& dt) { return _nSetFixe(ZLTYPE_DATETIME, &dt); }
int CAny::SetDATETIME(const CDateTimeBase* pdt) { return _nSetFixe(ZLTYPE_DATETIME, pdt); }
int CAny::SetDUREE(const CDureeBase* pd) { return _nSetFixe(ZLTYPE_DUREE, pd); }

int CAny::SetBIN(const unsigned char* p, unsigned long n)
{
    __SetType(ZLTYPE_BIN, 0);
    const int rc = Objet().SetValue(p, n);
    ClearFlags();
    return rc;
}

int CAny::SetValueByte(const void* p, unsigned long n)
{
    const int rc = Objet().SetValue(p, n);
    ClearFlags();
    return rc;
}

// --- Direct getters ------------------------------------------------------------

int CAny::nGetBYTE(unsigned char& n) const
{
    uint64_t u;
    switch (m_wType) {
    case ZLTYPE_UI1:
    case ZLTYPE_I1: u = _tLit<uint8_t>(); break;
    case ZLTYPE_UI2:
    case ZLTYPE_I2: u = _tLit<uint16_t>(); break;
    case ZLTYPE_UI4:
    case ZLTYPE_I4: u = _tLit<uint32_t>(); break;
    case ZLTYPE_UI8:
    case ZLTYPE_I8:
    case ZLTYPE_UIX: u = _tLit<uint64_t>(); break;
    default: return ANY_ERR_PAS_UN_OCTET;
    }
    if (u > 255)
        return ANY_ERR_PAS_UN_OCTET;
    n = static_cast<unsigned char>(u);
    return ANY_OK;
}

int CAny::nGetINT(int* pn) const
{
    *pn = 0;
    switch (m_wType) {
    case ZLTYPE_BOOL:
    case ZLTYPE_I4: *pn = _tLit<int32_t>(); return ANY_OK;
    case ZLTYPE_UI1: *pn = _tLit<uint8_t>(); return ANY_OK;
    case ZLTYPE_UI2: *pn = _tLit<uint16_t>(); return ANY_OK;
    case ZLTYPE_I1: *pn = _tLit<int8_t>(); return ANY_OK;
    case ZLTYPE_I2: *pn = _tLit<int16_t>(); return ANY_OK;
    default: return ANY_ERR_TYPE;
    }
}

int CAny::nGetINT_64(long* pn) const
{
    *pn = 0;
    switch (m_wType) {
    case ZLTYPE_BOOL:
    case ZLTYPE_I4: *pn = _tLit<int32_t>(); return ANY_OK;
    case ZLTYPE_UI1: *pn = _tLit<uint8_t>(); return ANY_OK;
    case ZLTYPE_UI2: *pn = _tLit<uint16_t>(); return ANY_OK;
    case ZLTYPE_UI4: *pn = _tLit<uint32_t>(); return ANY_OK;
    case ZLTYPE_I1: *pn = _tLit<int8_t>(); return ANY_OK;
    case ZLTYPE_I2: *pn = _tLit<int16_t>(); return ANY_OK;
    case ZLTYPE_I8: *pn = _tLit<int64_t>(); return ANY_OK;
    default: return ANY_ERR_TYPE;
    }
}

int CAny::nGetBitField_64(unsigned long& n) const
{
    n = 0;
    switch (m_wType) {
    case ZLTYPE_UI1: n = _tLit<uint8_t>(); return ANY_OK;
    case ZLTYPE_UI2: n = _tLit<uint16_t>(); return ANY_OK;
    case ZLTYPE_UI4: n = _tLit<uint32_t>(); return ANY_OK;
    case ZLTYPE_UI8:
    case ZLTYPE_I8:
    case ZLTYPE_UIX: n = _tLit<uint64_t>(); return ANY_OK;
    case ZLTYPE_I1: n = static_cast<unsigned long>(static_cast<int64_t>(_tLit<int8_t>())); return ANY_OK;
    case ZLTYPE_I2: n = static_cast<unsigned long>(static_cast<int64_t>(_tLit<int16_t>())); return ANY_OK;
    case ZLTYPE_I4: n = static_cast<unsigned long>(static_cast<int64_t>(_tLit<int32_t>())); return ANY_OK;
    default: return ANY_ERR_TYPE;
    }
}

int CAny::nGetREAL(double* pd) const
{
    switch (m_wType) {
    case ZLTYPE_R4: *pd = _tLit<float>(); return ANY_OK;
    case ZLTYPE_R8: *pd = _tLit<double>(); return ANY_OK;
    default: return ANY_ERR_TYPE;
    }
}
