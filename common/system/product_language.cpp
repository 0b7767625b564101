#include "common/system/product_language.h"

_ELangueProduit LANG_To_ELangueProduit(unsigned int nLang)
{
    if (nLang == 4) return ELP_CHINOIS;
    if (nLang == 12) return ELP_FRANCAIS;
    return ELP_ANGLAIS;
}

unsigned int ELangueProduit_To_LANG(_ELangueProduit eLangue)
{
    switch (eLangue) {
    case ELP_FRANCAIS: return 12;
    case ELP_CHINOIS: return 4;
    default: return 9;
    }
}
