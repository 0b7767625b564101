#pragma once

#include <cstddef>

class IQFForNA;

// Sortable keys: fixed-width runs of bytes whose memcmp order is the order of
// the values they encode. CQFConvertKey writes the key of one item from its
// raw data (little-endian, as the value types store it); CConvertKey
// (convert_key.h) takes a runtime value there.

// Engine item types and the key each one writes; n is the size the key width
// is computed from.
enum eITEMTYPE : int
{
    QFIT_AUCUN = -1,       // no item type: width n, nothing written
    QFIT_TEXTE = 1,        // 8-bit text: width n + 1
    QFIT_I1 = 2,           // signed byte: top bit flipped
    QFIT_I2 = 3,           // big-endian with the top bit flipped
    QFIT_I4 = 4,
    QFIT_I8 = 5,
    QFIT_R4 = 6,           // IEEE sortable form, big-endian
    QFIT_R8 = 7,
    QFIT_UI1 = 8,          // big-endian
    QFIT_UI2 = 9,
    QFIT_UI4 = 10,
    QFIT_UI8 = 11,
    QFIT_TEXTE_FIXE = 12,  // 8-bit text: width n + 1
    QFIT_SANS_CLE = 13,    // nothing written
    QFIT_CY = 14,          // 80-bit currency, big-endian, top bit flipped
    QFIT_DATETIME = 15,    // date word then milliseconds, both big-endian
    QFIT_DUREE = 16,       // as QFIT_I8
    QFIT_BIN = 17,         // lower-case hexadecimal, padded with '0': width 2n
    QFIT_CARA = 18,        // the byte
    QFIT_BOOL = 19,        // as QFIT_I1
    QFIT_UNICODE = 20,     // 16-bit units: width 2n + 2
    QFIT_UNICODE_DYN = 21,
    QFIT_DECIMAL = 22,     // the virtual machine's 32-byte key
};

// Option bits read by the encoder. The mapping modes map 8-bit text through
// the host's locale interface and wide text through the host engine's text
// mapper (qf_for_na.h); wide text is mapped only with 0x0020 or 0x0040, or
// with 0x0080 together with 0x0001 or 0x0002.
constexpr unsigned short QFKEY_POIDS_UNICODE = 0x0001;    // wide text: sort weights (tabUCS2FastSort)
constexpr unsigned short QFKEY_UNITES_BIG_ENDIAN = 0x0002; // wide text: units high byte first
constexpr unsigned short QFKEY_MAP_0020 = 0x0020;         // text mapping modes
constexpr unsigned short QFKEY_MAP_0040 = 0x0040;
constexpr unsigned short QFKEY_MAP_0080 = 0x0080;
constexpr unsigned short QFKEY_DESCENDANT = 0x0400;       // the whole key inverted (CConvertKey)
// Text flag: the wide data is in 32-bit characters (wchar_t), narrowed to
// UTF-16 for the key.
constexpr int QFKEY_TEXTE_32 = 16;

class CQFConvertKey
{
public:
    // Where the wide-text encoder finds the host engine's interface when a
    // mapping option asks for it: a function that the driver installs, which
    // may answer null. Without a function, an interface, or a mapper for the
    // mode, wide text is keyed unmapped. Installing is atomic; the function
    // is called on the thread that builds the key.
    using PFN_piGetQFForNA = IQFForNA* (*)();
    static void SetQFForNASource(PFN_piGetQFForNA pfnSource);

    // Key width of an item type for size n (bytes of data, characters of
    // text); n for types that write no key of their own.
    static unsigned long nCalculateKeySize(eITEMTYPE nType, unsigned long n);
    // The same for the item type a runtime type code keys by.
    static unsigned long nCalculateKeySize(unsigned short nRuntimeType, unsigned long n);

    // Writes the key of one item into the nWidth bytes at pKey and gives
    // what it took (the fixed size, text bytes, twice the binary bytes).
    // Bytes of the key that the encoding does not reach are left as they
    // were. Data shorter than a fixed-width type needs, or a key too narrow
    // for it, writes nothing and gives 0; nothing is read past nSize bytes.
    // nCharset (8-bit text) is a character set of the locale layer, 0 for
    // none; nTextFlags is QFKEY_TEXTE_32 or 0.
    static int __nConvertKey(void* pKey, unsigned long nWidth, const void* pData, unsigned long nSize,
                             eITEMTYPE nType, unsigned short nOptions, int nPrecision, int nScale,
                             unsigned int nCharset, int nTextFlags);

    // Fixed-width encoders: they write 1, 1, 2, 2, 4, 4, 8, 8, 4, 8, 8 and 10
    // bytes from as many data bytes.
    static void _I1_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _UI1_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _I2_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _UI2_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _I4_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _UI4_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _I8_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _UI8_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _R4_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _R8_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _DateTime_to_Key(unsigned char* pKey, const unsigned char* pData);
    static void _CY_to_Key(unsigned char* pKey, const unsigned char* pData);
    // IEEE sortable form of a float of nBytes (4 or 8): negative numbers
    // inverted, others with the top bit set; most significant byte first.
    static void __Rx_to_Key(unsigned char* pKey, const unsigned char* pData, size_t nBytes);
    // The 32-byte key of the decimal whose packed form (IDecimal::mg_PToN
    // [precision] bytes) is at pData, through a decimal of the virtual
    // machine's factory. False, key untouched, without a factory or for a
    // form the machine refuses.
    static bool _Decimal_to_Key(unsigned char* pKey, const unsigned char* pData, unsigned long nSize,
                                int nPrecision, int nScale);
    // Each byte as two lower-case hexadecimal digits, the rest of the key
    // '0'; at most nWidth / 2 bytes taken. Twice the bytes taken.
    static int _nBin_to_Key(unsigned char* pKey, unsigned long nWidth, const unsigned char* pData,
                            unsigned long nSize);
    // Wide text into nWidth / 2 units of 16 bits, the last always 0; see
    // __nConvertKey. Bytes written: mapped text gives twice its units before
    // the first zero unit.
    static int _nUNICODE_to_Key(unsigned char* pKey, unsigned long nWidth, const void* pData, unsigned long nSize,
                                unsigned short nOptions, int nTextFlags);
    // 8-bit text, zero-padded, the last key byte 0. Bytes taken.
    static int _nSTR_to_Key(unsigned char* pKey, unsigned long nWidth, const unsigned char* pData,
                            unsigned long nSize, unsigned short nOptions, unsigned int nCharset);
};
