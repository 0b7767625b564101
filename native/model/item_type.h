#pragma once

#include <cstdint>

#include "native/driver/na_forward.h"

// The item types of the native-access layer: the type of every column,
// parameter and value that crosses between the driver and the host. This
// header holds the 32 codes, their names, the translations between item
// types, runtime type codes (those of CAny) and the host engine's type codes,
// and the class tests on item types. Everything here is a pure function of
// fixed tables: no state.
//
// Code 8 has no name and no use. Codes outside 0-31 have no name, no runtime
// type, and are in no class.

enum eNA_ITEMTYPE : int32_t
{
    NA_IT_EMPTY = 0,
    NA_IT_IDAUTO = 1,
    NA_IT_TEXTE = 2,
    NA_IT_I2 = 3,
    NA_IT_I1 = 4,
    NA_IT_I4 = 5,
    NA_IT_R4 = 6,
    NA_IT_R8 = 7,
    NA_IT_UI2 = 9,
    NA_IT_DATE6 = 10,
    NA_IT_HEURE = 11,
    NA_IT_UI1 = 12,
    NA_IT_REELTURBO = 13,
    NA_IT_DATE8 = 14,
    NA_IT_MEMOTEXTE = 15,
    NA_IT_MEMOBINAIRE4 = 16,
    NA_IT_MONETAIRE = 17,
    NA_IT_MEMOBINAIRE = 18,
    NA_IT_I8 = 19,
    NA_IT_UI8 = 20,
    NA_IT_IMAGE = 21,
    NA_IT_UI4 = 22,
    NA_IT_BINAIRE = 23,
    NA_IT_DATETIME = 24,
    NA_IT_TIMELENGHT = 25,
    NA_IT_CHAR = 26,
    NA_IT_BOOLEEN = 27,
    NA_IT_IDAUTO4 = 28,
    NA_IT_UNICODE = 29,
    NA_IT_MEMOUNICODE = 30,
    NA_IT_DECIMAL = 31,
};

// The host engine's type of an item (0 to 41 are known; the translation to
// item types is CNADataSourceDescription::g_eGetNAItemType).
enum eQFTYPES : int32_t
{
    QF_TYPE_NONE = 0,
    QF_TYPE_LAST = 41,
};

// "NA_IT_" and the type's suffix; "Type inconnu" for 8 and every value
// outside 0-31.
const wchar_t* g_pszGetNAItemTypeName(eNA_ITEMTYPE eType);

// The runtime type code of an item type's values; 0 for 0, 8 and codes above
// 31. The int is not used.
unsigned short ConverteItemToZLType(eNA_ITEMTYPE eType, int nUnused = 0);
unsigned short ConverteItemToZLType(const INAItemDescription* piItem);

// The item type of a runtime type code; 0 for 0, codes above 129 and codes
// with no item type. Not the inverse of the above: dynamic strings map to the
// memo types, IDAUTO comes back as I8.
eNA_ITEMTYPE ConvertZLTypeToeItem(unsigned short nZLType);

int bIsTextUnicode(eNA_ITEMTYPE eType);
int bIsTextAnsi(eNA_ITEMTYPE eType);
int bIsTextAW(eNA_ITEMTYPE eType);
