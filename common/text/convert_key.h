#pragma once

#include "common/text/qf_convert_key.h"

class CAny;

// Keys of runtime values: the type to key by chooses the engine item type
// and the value's bytes go to CQFConvertKey.
//
// Wide texts (runtime types 16 and 110) are keyed as UTF-16 units, high byte
// first (text flag QFKEY_TEXTE_32 and option QFKEY_UNITES_BIG_ENDIAN), which
// fits the width 2n + 2 of n characters and keeps the order of the
// characters; a character above U+FFFF takes two units and sorts between
// U+D7FF and U+E000. The wide digit texts of dates and times (24, 25) are
// keyed as their 8-bit digits, like those of types 128 and 129.
class CConvertKey
{
public:
    // The key of a value in the nWidth bytes at pKey (the indexes' form; a
    // width from nCalculateKeySize of the column's runtime type and size).
    // nType is the type to key by (0: the value's own); nEntiers and
    // nDecimales are the column's digits (decimals). The encoder's result.
    //
    // A NULL value, or one of type 0, is first turned into an empty wide
    // text IN THE CALLER'S VALUE (type 110, flags cleared): a caller must not
    // write that value back as data. It keys as the initial value of the
    // type to key by, and so does a value the machine cannot cast to it.
    static int nConvertKeyAndGetSize(CAny* pValue, unsigned char* pKey, unsigned long nWidth, unsigned short nType,
                                     unsigned short nOptions, int nEntiers, int nDecimales);
    // The same into a malloc'd key of the computed width (*ppKey null first,
    // and when memory runs out; the caller frees it).
    static int nConvertKeyAndGetSize(CAny* pValue, unsigned char** ppKey, unsigned short nType,
                                     unsigned short nOptions, int nEntiers, int nDecimales);
    // Common body: nWidth 0 computes the width and allocates.
    static int _nConvertKeyAndGetSize(CAny* pValue, unsigned char** ppKey, unsigned long nWidth,
                                      unsigned short nType, unsigned short nOptions, int nEntiers, int nDecimales);

    // The engine item type of a runtime type code (QFIT_AUCUN when none);
    // codes outside 1-129 key as QFIT_I4.
    static eITEMTYPE s_nGetItemType(unsigned short nRuntimeType);

    // Inverts every byte of the key (descending order).
    static void __InvertKey(unsigned char* pKey, unsigned long nLength);

    // The key of a value that already has the type to key by, nType (its
    // own type code when 0). The key is cleared over its whole width first,
    // so bytes the encoding does not reach are zero; QFKEY_DESCENDANT then
    // inverts the whole width. With nWidth 0 the width is computed from the
    // value's size (CQFConvertKey::nCalculateKeySize) and a malloc'd key is
    // stored in *ppKey (null first, and when memory runs out; the caller
    // frees it); otherwise *ppKey is the caller's buffer of nWidth bytes.
    // Decimals are brought to nEntiers + nDecimales digits with nDecimales
    // after the point; one that does not fit keys as the smallest or the
    // greatest value of that precision. The encoder's result.
    static int __nConvertTypedKey(const CAny* pValue, unsigned char** ppKey, unsigned long nWidth,
                                  unsigned short nType, unsigned short nOptions, int nEntiers, int nDecimales);
    // The key of the initial value of nType (what CAny::__SetType(nType, 0)
    // makes: zero, the empty text, a decimal 0...): the key of a NULL value
    // or of one that cannot be cast to nType.
    static int __nConvertInitialKey(unsigned char** ppKey, unsigned long nWidth, unsigned short nType,
                                    unsigned short nOptions, int nEntiers, int nDecimales);
};
