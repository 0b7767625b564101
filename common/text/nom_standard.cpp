#include "common/text/nom_standard.h"

#include "common/text/xy_string.h"

// Constant-initialised: usable before any constructor of the module runs.
constinit CNomStandardStatique CNomStandardStatique::ChaineVide(CXYString<wchar_t>::ChaineVide,
                                                                 CXYString<wchar_t>::ChaineVide);
