#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/text/stocaw.h"

class CAny;
template <class T>
class CXYString;
class CDateTimeBase;
class CDureeBase;
struct CMoney;
struct STManipAUB;

// Runtime type codes: the low byte of a value's type word.
constexpr unsigned short ZLTYPE_VIDE = 0;
constexpr unsigned short ZLTYPE_BOOL = 1;
constexpr unsigned short ZLTYPE_UI1 = 2;
constexpr unsigned short ZLTYPE_UI2 = 3;
constexpr unsigned short ZLTYPE_UI4 = 4;
constexpr unsigned short ZLTYPE_UI8 = 5;
constexpr unsigned short ZLTYPE_I1 = 6;
constexpr unsigned short ZLTYPE_I2 = 7;
constexpr unsigned short ZLTYPE_I4 = 8;
constexpr unsigned short ZLTYPE_I8 = 9;
constexpr unsigned short ZLTYPE_CY = 10;
constexpr unsigned short ZLTYPE_R4 = 11;
constexpr unsigned short ZLTYPE_R8 = 12;
constexpr unsigned short ZLTYPE_DECIMAL = 13;
constexpr unsigned short ZLTYPE_UIX = 14;
constexpr unsigned short ZLTYPE_I8_BIS = 15;  // stored as ZLTYPE_I8
constexpr unsigned short ZLTYPE_DSTRW = 16;
constexpr unsigned short ZLTYPE_CARA = 17;
constexpr unsigned short ZLTYPE_PSTRA = 18;
constexpr unsigned short ZLTYPE_DSTRA = 19;
constexpr unsigned short ZLTYPE_DATEW = 24;
constexpr unsigned short ZLTYPE_TIMEW = 25;
constexpr unsigned short ZLTYPE_DATETIME = 26;
constexpr unsigned short ZLTYPE_DUREE = 27;
constexpr unsigned short ZLTYPE_BIN = 28;
constexpr unsigned short ZLTYPE_BUFFER = 29;
constexpr unsigned short ZLTYPE_MEMOIMG = 30;
constexpr unsigned short ZLTYPE_CONVOYEUR = 50;
constexpr unsigned short ZLTYPE_POLICE = 65;
constexpr unsigned short ZLTYPE_CARW = 81;
constexpr unsigned short ZLTYPE_TABANY = 83;
constexpr unsigned short ZLTYPE_OBJET_BASE = 108;
constexpr unsigned short ZLTYPE_PSTRW = 110;
constexpr unsigned short ZLTYPE_DINO = 111;
constexpr unsigned short ZLTYPE_DATEA = 128;
constexpr unsigned short ZLTYPE_TIMEA = 129;
constexpr unsigned short ZLTYPE_OBJET_TRAITEMENT = 141;  // 141 to 143 share the class of 108
constexpr unsigned short ZLTYPE_OBJET_142 = 142;
constexpr unsigned short ZLTYPE_OBJET_143 = 143;

// Bits of the type word above the code.
constexpr unsigned short ANY_FLAG_NULL = 0x100;
// Carried by casts and copies; nothing here interprets it.
constexpr unsigned short ANY_FLAG_0400 = 0x400;
constexpr unsigned short ANY_FLAGS = ANY_FLAG_NULL | ANY_FLAG_0400;

// Result codes of the value operations: 0 to 99 success (a non-zero one is a
// warning passed on from the virtual machine), 100 and above failure. Codes
// not listed come from the virtual machine or the string allocator as they are.
constexpr int ANY_OK = 0;
constexpr int ANY_ERR_MEMOIRE = 100;       // a heap text, array or decimal could not be had
constexpr int ANY_ERR_VM_NON_LIE = 101;    // the virtual machine's entry point is not bound
constexpr int ANY_ERR_VIDE = 102;          // the empty value has no size, address or data
constexpr int ANY_ERR_NULL = 103;          // an operand is NULL
constexpr int ANY_ERR_BINAIRE = 104;       // a binary value is not an 8-byte duration or date-time
constexpr int ANY_ERR_TYPE = 105;          // wrong type for this access, or no text form
constexpr int ANY_ERR_TROP_GRAND = 108;    // a text or buffer would exceed 0x7FFFFEFF units
constexpr int ANY_ERR_PAS_UN_OCTET = 115;  // not a byte value

// Units (characters or bytes) a text or buffer may hold.
constexpr unsigned long ANY_MAX_UNITES = 0x7FFFFEFF;

// An array of runtime values and its element count: the storage of a value of
// type 83. Arrays that a value owns are malloc blocks of constructed
// elements (see CAny_ZLTABANY).
struct STTabAny
{
    CAny* m_pclTab;
    uint64_t m_nNbElement;
};

static_assert(sizeof(STTabAny) == 16, "array pointer and 64-bit count");

// Slots of the per-type objects' table, in the host's order (0-based).
enum eSLOTANY : int
{
    SLOTANY_DETRUIT_SUPPRIME = 0,
    SLOTANY_DETRUIT,
    SLOTANY_DUPLIQUE,
    SLOTANY_GETSIZE,
    SLOTANY_GETADR,
    SLOTANY_FILLBUFFER,
    SLOTANY_GETDATASIZE,
    SLOTANY_GETDATAADR,
    SLOTANY_FILLDATABUFFER,
    SLOTANY_SETVALUE,
    SLOTANY_SETVALUE_N,
    SLOTANY_GETPCASTR,
    SLOTANY_GETPCWSTR,
    SLOTANY_GETSTRLEN,
    SLOTANY_ISPOSITIVE,
    SLOTANY_GETUTILDATASIZE,
    SLOTANY_FILLUTILDATABUFFER,
    SLOTANY_INCREMENTE,
    SLOTANY_DECREMENTE,
    SLOTANY_FROMANSI,
    SLOTANY_FROMANSI_N,
    SLOTANY_FROMUNICODE,
    SLOTANY_FROMUNICODE_N,
    SLOTANY_FROMANSI_CP,
    SLOTANY_FROMANSI_CP_N,
    SLOTANY_FROMUNICODE_CP,
    SLOTANY_FROMUNICODE_CP_N,
    SLOTANY_SETVALUEOPTION,
    SLOTANY_COUNT,  // slots of every class
    // The heap-text classes (18, 110) add three.
    SLOTANY_CREATESTR = SLOTANY_COUNT,
    SLOTANY_CREATESTR_N,
    SLOTANY_DELETESTR,
};

// The per-type object embedded in a value, as the library calls it. The
// object lies at offset 4 of the value, so it is not aligned for its class:
// a C++ call through it would be a misaligned member call (which
// UndefinedBehaviorSanitizer rightly reports). Every call therefore reads the
// table pointer with memcpy and calls the slot's function with the object's
// address as its object argument, which is what the host's own virtual
// calls do. The slot functions never make member calls on their object.
class CAnyObjet
{
public:
    explicit CAnyObjet(const CAny* pAny);

    // Slots 1 and 2: release what the storage owns and make the value empty
    // (CAny_Intern, type word 0); neither frees memory.
    void DetruitSupprime() const { _Appel<void>(SLOTANY_DETRUIT_SUPPRIME); }
    void Detruit() const { _Appel<void>(SLOTANY_DETRUIT); }
    void Duplique(CAny* pTarget) const { _Appel<void>(SLOTANY_DUPLIQUE, pTarget); }
    int nGetSize(unsigned long* pn) const { return _Appel<int>(SLOTANY_GETSIZE, pn); }
    int nGetAdr(void** pp) const { return _Appel<int>(SLOTANY_GETADR, pp); }
    int nFillBuffer(void* p) const { return _Appel<int>(SLOTANY_FILLBUFFER, p); }
    int nGetDataSize(unsigned long* pn) const { return _Appel<int>(SLOTANY_GETDATASIZE, pn); }
    int nGetDataAdr(void** pp) const { return _Appel<int>(SLOTANY_GETDATAADR, pp); }
    int nFillDataBuffer(void* p) const { return _Appel<int>(SLOTANY_FILLDATABUFFER, p); }
    int SetValue(const void* p) const { return _Appel<int>(SLOTANY_SETVALUE, p); }
    int SetValue(const void* p, unsigned long n) const { return _Appel<int>(SLOTANY_SETVALUE_N, p, n); }
    int nGetPCASTR(const char** pp) const { return _Appel<int>(SLOTANY_GETPCASTR, pp); }
    int nGetPCWSTR(const wchar_t** pp) const { return _Appel<int>(SLOTANY_GETPCWSTR, pp); }
    int nGetSTRLEN(unsigned long* pn) const { return _Appel<int>(SLOTANY_GETSTRLEN, pn); }
    int bIsPositive() const { return _Appel<int>(SLOTANY_ISPOSITIVE); }
    int nGetUtilDataSize(unsigned long* pn) const { return _Appel<int>(SLOTANY_GETUTILDATASIZE, pn); }
    int nFillUtilDataBuffer(void* p) const { return _Appel<int>(SLOTANY_FILLUTILDATABUFFER, p); }
    int nIncremente() const { return _Appel<int>(SLOTANY_INCREMENTE); }
    int nDecremente() const { return _Appel<int>(SLOTANY_DECREMENTE); }
    int SetValueFromANSI(const void* p) const { return _Appel<int>(SLOTANY_FROMANSI, p); }
    int SetValueFromANSI(const void* p, unsigned long n) const { return _Appel<int>(SLOTANY_FROMANSI_N, p, n); }
    int SetValueFromUNICODE(const void* p) const { return _Appel<int>(SLOTANY_FROMUNICODE, p); }
    int SetValueFromUNICODE(const void* p, unsigned long n) const { return _Appel<int>(SLOTANY_FROMUNICODE_N, p, n); }
    int SetValueFromANSI_CP(int nCodePage, const void* p) const
    {
        return _Appel<int>(SLOTANY_FROMANSI_CP, nCodePage, p);
    }
    int SetValueFromANSI_CP(int nCodePage, const void* p, unsigned long n) const
    {
        return _Appel<int>(SLOTANY_FROMANSI_CP_N, nCodePage, p, n);
    }
    int SetValueFromUNICODE_CP(int nCodePage, const void* p) const
    {
        return _Appel<int>(SLOTANY_FROMUNICODE_CP, nCodePage, p);
    }
    int SetValueFromUNICODE_CP(int nCodePage, const void* p, unsigned long n) const
    {
        return _Appel<int>(SLOTANY_FROMUNICODE_CP_N, nCodePage, p, n);
    }
    int SetValueOption(const void* p, unsigned long n, unsigned int nOptions) const
    {
        return _Appel<int>(SLOTANY_SETVALUEOPTION, p, n, nOptions);
    }

    // The table pointer (which class is installed).
    const void* pvGetTable() const
    {
        const void* pv;
        std::memcpy(&pv, m_pbyObjet, sizeof pv);
        return pv;
    }

    template <class R, class... A>
    R _Appel(int nSlot, A... args) const
    {
        void* const* ppvTable;
        std::memcpy(&ppvTable, m_pbyObjet, sizeof ppvTable);
        using Fn = R (*)(unsigned char*, A...);
        return reinterpret_cast<Fn>(ppvTable[nSlot])(m_pbyObjet, args...);
    }

private:
    unsigned char* m_pbyObjet;
};

#pragma pack(push, 4)

// The runtime value of the host language: one fixed 56-byte record whose
// layout the host shares (packed to 4 bytes):
//   0  leading word, 0 in every value built here and never read afterwards
//   4  the embedded per-type object: the table pointer of one of the classes
//      CAny_Intern / CAny_ZL<type>, which reach the storage at object + 12
//  12  type word: low byte the type code, 0x100 NULL, 0x400 carried along
//  14  unused
//  16  40 bytes of value storage, laid out per type
// Storage fields are read and written with memcpy: a value may lie at any
// 4-byte boundary.
class CAny
{
public:
    static constexpr size_t TAILLE_VALEUR = 40;

    CAny();
    // The copy rule: the target ends its value, takes the source's type and
    // the source's object duplicates the value into it (flags included).
    CAny(const CAny& src);
    CAny& operator=(const CAny& src);
    ~CAny();

    // --- Type word -------------------------------------------------------
    unsigned short wGetType() const { return m_wType; }
    unsigned short nGetTypeCode() const { return m_wType & 0xFF; }
    bool bIsNull() const { return (m_wType & ANY_FLAG_NULL) != 0; }
    // Sets or clears bits of ANY_FLAGS, keeping the code.
    void SetNull(bool bNull = true) { _SetFlag(ANY_FLAG_NULL, bNull); }
    void SetFlag0400(bool bOn = true) { _SetFlag(ANY_FLAG_0400, bOn); }
    void ClearFlags() { m_wType = static_cast<unsigned short>(m_wType & ~ANY_FLAGS); }
    // Copies the bits of ANY_FLAGS from a type word, the others kept.
    void _CopyFlags(unsigned short wFrom)
    {
        m_wType = static_cast<unsigned short>((m_wType & ~ANY_FLAGS) | (wFrom & ANY_FLAGS));
    }

    // Nothing when the whole type word equals nType. Otherwise the old value
    // is ended and the class of nType's low byte installed with the type word
    // exactly that code (15 becomes 9; unknown codes give the empty value);
    // without bNoInit the storage gets the type's initial value. A decimal
    // comes from the virtual machine's factory: without one, or when it makes
    // none, the value stays empty; when its creation throws, the value is
    // left empty and the exception passes on.
    void __SetType(unsigned short nType, int bNoInit);
    // Whether __SetType installs a class for the code (low byte).
    static bool s_bTypeConnu(unsigned short nType);

    // --- The embedded object ---------------------------------------------
    CAnyObjet Objet() const { return CAnyObjet(this); }

    // --- Typed setters: __SetType(code, 0), the object's SetValue, then
    // NULL and 0x400 cleared. The result is SetValue's. ---------------------
    int SetBOOL(int b);
    int SetUI1(unsigned char n);
    int SetUI2(unsigned short n);
    int SetUI4(unsigned int n);
    int SetUI8(unsigned long n);
    int SetI1(char n);
    int SetI2(short n);
    int SetI4(int n);
    int SetI8(long n);
    int SetCY(CMoney st);
    int SetR4(float d);
    int SetR8(double d);
    int SetDATE(const wchar_t* psz) { return SetDATEW(psz); }
    int SetDATEW(const wchar_t* psz);
    int SetTIME(const wchar_t* psz) { return SetTIMEW(psz); }
    int SetTIMEW(const wchar_t* psz);
    int SetDATEA(const char* psz);
    int SetTIMEA(const char* psz);
    int SetDATETIME(const CDateTimeBase& dt);
    int SetDATETIME(const CDateTimeBase* pdt);
    int SetDUREE(const CDureeBase* pd);
    int SetBIN(const unsigned char* p, unsigned long n);
    // Keeps the type: the object's SetValue(p, n), then the flags cleared.
    int SetValueByte(const void* p, unsigned long n);

    // --- Direct getters: the whole type word is tested, so a NULL value
    // fails like a wrong type. ----------------------------------------------
    // 2, 6: the byte; 3, 7 / 4, 8 / 5, 9, 14: the value read unsigned; each
    // when at most 255. Otherwise 115, the output unchanged.
    int nGetBYTE(unsigned char& n) const;
    // Output 0 first. 1, 8: the value; 2, 3: zero-extended; 6, 7:
    // sign-extended; otherwise 105.
    int nGetINT(int* pn) const;
    // Output 0 first. 1, 8, 6, 7: sign-extended; 2, 3, 4: zero-extended;
    // 9: the value; otherwise 105.
    int nGetINT_64(long* pn) const;
    // Output 0 first. 2, 3, 4: zero-extended; 5, 9, 14: the bits; 6, 7, 8:
    // sign-extended; otherwise 105.
    int nGetBitField_64(unsigned long& n) const;
    // 11: widened, 12: the value; otherwise 105, the output unchanged.
    int nGetREAL(double* pd) const;
    // 16, 19, 28: the block pointer and the type code; otherwise 105.
    int nGetManipAUB(STManipAUB* pst) const;

    // --- Other members -----------------------------------------------------
    // Type word 141 with an object: what the host object's processing
    // operation (its third) answers; otherwise null.
    void* piGetTraitement() const;
    // Type words 16 and 19: the value's block made its own (0, 108 or the
    // allocator's code); other types 0.
    int nUnshare();
    // Wide text (nLen -1: up to the terminator) stored as an 8-bit dynamic
    // string in the options' code page, or the host's current one without
    // options. The value is unchanged on failure (a result above 99).
    int __nSetString(const wchar_t* p, int nLen, const STOCAW* pOptions);
    // A binary value (code 28) of exactly 8 bytes becomes a duration (27) or
    // a date-time (26) of those bytes, keeping its flags; otherwise 104, the
    // value unchanged.
    int nCastFrom_BIN_DUREE_To_DUREE();
    int nCastFrom_BIN_DATEHEURE_To_DATEHEURE();

    // --- Casts through the virtual machine's conversions -------------------
    // Converts the value in place to nType. Nothing (0) when the type code
    // already is nType, NULL or not. Otherwise the machine converts into a
    // local storage; a failure (above 99) is returned with the value
    // untouched; on success the value takes the new type and its own copy of
    // the result, keeps its NULL and 0x400 bits, and the conversion's copy is
    // released. 101 when the machine is not bound (or, for a decimal target,
    // when its factory is not).
    int __nCastTo(unsigned short nType, const STOCAW* pOptions, unsigned int nFlags);
    // A wide text converted into a caller's storage of type nType (flags 1);
    // the caller owns what lands there. 101 when the machine is not bound.
    static int __s_nCastTo(void* pDest, const wchar_t* psz, unsigned short nType, const STOCAW* pOptions);
    // The value's own text when it has one (0, value unchanged); otherwise
    // the value itself is cast to 16 (19) with flags 1 and its new text
    // given. The text lives as long as the value is neither changed nor
    // destroyed. ppsz may be null.
    int __nCastToString(const wchar_t** ppsz, const STOCAW* pOptions);
    int __nCastToString(const char** ppsz, const STOCAW* pOptions);
    // Takes over a result that the machine wrote into a 40-byte storage:
    // whatever the value held is released, the class of nType installed
    // without initialisation (type word exactly the code) and the 40 bytes
    // copied in; the value now owns what they point to.
    void __TransfertValeurInterne(unsigned short nType, const unsigned char* pBuf);
    // The value as text in a runtime string, the value unchanged: a dynamic
    // string of the same width is shared, a value's own text is copied,
    // anything else is converted by the machine (flags 0) and its result
    // shared. 0, or the failing code (the string then unchanged).
    int __nFillString(CXYString<char>& s, const STOCAW* pOptions) const;
    int __nFillString(CXYString<wchar_t>& s, const STOCAW* pOptions) const;

    // --- Storage, for the per-type classes and the virtual machine's paths --
    unsigned char* _pbyGetValeur() { return m_abyValeur; }
    const unsigned char* _pbyGetValeur() const { return m_abyValeur; }
    template <class T>
    T _tLit(size_t nOffset = 0) const
    {
        T t;
        std::memcpy(&t, m_abyValeur + nOffset, sizeof t);
        return t;
    }
    template <class T>
    void _Ecrit(T t, size_t nOffset = 0)
    {
        std::memcpy(m_abyValeur + nOffset, &t, sizeof t);
    }
    // Sets the whole type word (the class is not touched).
    void _SetTypeWord(unsigned short w) { m_wType = w; }
    // Installs the class of a known code (or CAny_Intern) without running
    // any operation of the old one.
    void _InstalleClasse(unsigned short nCode);
    // The value whose object lies at pObjet.
    static CAny& s_clDepuisObjet(const void* pObjet)
    {
        return *reinterpret_cast<CAny*>(const_cast<unsigned char*>(static_cast<const unsigned char*>(pObjet)) -
                                        OFFSET_OBJET);
    }

    static constexpr size_t OFFSET_OBJET = 4;
    static constexpr size_t OFFSET_TYPE = 12;
    static constexpr size_t OFFSET_VALEUR = 16;

private:
    friend class CAnyObjet;
    friend struct CAnyLayout;

    void _SetFlag(unsigned short wFlag, bool bOn)
    {
        m_wType = static_cast<unsigned short>(bOn ? (m_wType | wFlag) : (m_wType & ~wFlag));
    }
    void _InitValeur(unsigned short nCode);
    int _nSetFixe(unsigned short nCode, const void* p);

    uint32_t m_dwEntete;
    unsigned char m_abyObjet[8];
    uint16_t m_wType;
    uint16_t m_wInutilise;
    unsigned char m_abyValeur[TAILLE_VALEUR];
};

#pragma pack(pop)

// Offsets checked where the members are visible.
struct CAnyLayout
{
    static constexpr size_t nEntete = offsetof(CAny, m_dwEntete);
    static constexpr size_t nObjet = offsetof(CAny, m_abyObjet);
    static constexpr size_t nType = offsetof(CAny, m_wType);
    static constexpr size_t nValeur = offsetof(CAny, m_abyValeur);
};

static_assert(sizeof(CAny) == 56, "the host's 56-byte value");
static_assert(alignof(CAny) == 4, "packed to 4 bytes");
static_assert(CAnyLayout::nEntete == 0 && CAnyLayout::nObjet == CAny::OFFSET_OBJET &&
                  CAnyLayout::nType == CAny::OFFSET_TYPE && CAnyLayout::nValeur == CAny::OFFSET_VALEUR,
              "leading word, object at 4, type word at 12, storage at 16");
static_assert(CAny::OFFSET_VALEUR - CAny::OFFSET_OBJET == 12, "the object reaches the storage at object + 12");

inline CAnyObjet::CAnyObjet(const CAny* pAny) : m_pbyObjet(const_cast<unsigned char*>(pAny->m_abyObjet)) {}
