#include "common/text/vx_variant_captions.h"

#include "common/system/dllres.h"
#include "common/text/ct_string.h"
#include "common/text/str_create.h"

wchar_t* CVXVariant::s_pszDumpZLType = nullptr;
wchar_t* CVXVariant::s_pszDumpADOType = nullptr;
wchar_t* CVXVariant::s_pszDumpValue = nullptr;
wchar_t* CVXVariant::s_pszDumpTime = nullptr;
wchar_t* CVXVariant::s_pszDumpDate = nullptr;
wchar_t* CVXVariant::s_pszDumpConvFailed_Text = nullptr;
wchar_t* CVXVariant::s_pszDumpConvFailed_Date = nullptr;
wchar_t* CVXVariant::s_pszDumpConvFailed_Time = nullptr;

namespace {

struct Caption
{
    wchar_t** ppsz;
    unsigned int nId;
    const wchar_t* pszDefaut;
};

// In loading order.
const Caption s_aCaptions[] = {
    {&CVXVariant::s_pszDumpZLType, 25675, L"Type Tessic"},
    {&CVXVariant::s_pszDumpADOType, 25680, L"Type ADO"},
    {&CVXVariant::s_pszDumpValue, 25670, L"Valeur"},
    {&CVXVariant::s_pszDumpTime, 25669, L"Heure"},
    {&CVXVariant::s_pszDumpDate, 25671, L"Date"},
    {&CVXVariant::s_pszDumpConvFailed_Text, 25674, L"Echec de la conversion de la valeur en texte."},
    {&CVXVariant::s_pszDumpConvFailed_Date, 25672, L"Echec de la conversion de la valeur en date"},
    {&CVXVariant::s_pszDumpConvFailed_Time, 25673, L"Echec de la conversion de la valeur en heure"},
};

}  // namespace

void CVXVariant::InitQueryDumpRessources(const _stMyModuleInfo* info)
{
    // A second start replaces the captions rather than leaking them.
    FreeQueryDumpRessources();
    for (const Caption& c : s_aCaptions) {
        CTString str;
        if (!DLLRES_bLoadString(info, c.nId, &str))
            str = c.pszDefaut;
        *c.ppsz = STR_pszCreate(str.pszGet());
    }
}

void CVXVariant::FreeQueryDumpRessources()
{
    for (const Caption& c : s_aCaptions) {
        STR_Delete(*c.ppsz);
        *c.ppsz = nullptr;
    }
}
