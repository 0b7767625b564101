#pragma once

// The product languages and their primary language identifiers. The type
// is fixed to int: a host may hand over any number, which must stay a value
// of the type (unknown ones read as English).
enum _ELangueProduit : int
{
    ELP_FRANCAIS = 0,  // 12
    ELP_ANGLAIS = 1,   // 9
    ELP_CHINOIS = 2,   // 4
};

// 4 gives Chinese, 12 French, anything else English.
_ELangueProduit LANG_To_ELangueProduit(unsigned int nLang);
// The primary language of a product language; English for anything unknown.
unsigned int ELangueProduit_To_LANG(_ELangueProduit eLangue);
