// The driver's dump captions, loaded from the module's resource strings on
// first demand.
#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "native/driver/driver.h"

namespace {

struct stCaption
{
    eNA_DUMPCAPTION eField;
    unsigned nResourceId;
    // When the module's resources lack the string.
    const wchar_t* pszBuiltIn;
};

constexpr stCaption kCaptions[] = {
    {NA_CAPTION_QUERY_TEXT, 25676, L"Texte de la requête :"},
    {NA_CAPTION_PARAMETER_COUNT, 25679, L"Nombre de paramètres :"},
    {NA_CAPTION_PARAMETER, 25678, L"Paramètre :"},
    {NA_CAPTION_RUNTIME_TYPE, 25675, L"Type Tessic"},
    {NA_CAPTION_ADO_TYPE, 25680, L"Type ADO"},
    {NA_CAPTION_VALUE, 25670, L"Valeur"},
    {NA_CAPTION_CONVERSION_FAILED, 25674, L"Echec de la conversion de la valeur en texte."},
    {NA_CAPTION_BIND_INFO, 25810, L"Informations de bind des paramètres :"},
    {NA_CAPTION_CONNECTION_PARAMETERS, 25843, L"Connexion parameters : "},
    {NA_CAPTION_DATA_SOURCE, 25846, L"DataSource : "},
    {NA_CAPTION_PROVIDER, 25849, L"Provider : "},
    {NA_CAPTION_USER, 25847, L"Utilisateur : "},
    {NA_CAPTION_DATABASE, 25848, L"Database : "},
    {NA_CAPTION_CONNECTION_TIMEOUT, 25834, L"Connexion Timeout : "},
    {NA_CAPTION_COMMAND_TIMEOUT, 25835, L"Command Timeout : "},
    {NA_CAPTION_LOCK_TIMEOUT, 25836, L"Lock Timeout : "},
    {NA_CAPTION_CURSOR_LOCATION, 25837, L"Cursor Position : "},
    {NA_CAPTION_UNICODE, 25838, L"Unicode actived : "},
    {NA_CAPTION_LOCK_TAG, 25839, L"Lock Tag : "},
    {NA_CAPTION_LOCK_MODE, 25840, L"Lock mode : "},
    {NA_CAPTION_DATE_FORMAT, 25841, L"QF5 compatible Date Format : "},
    {NA_CAPTION_CHARSET, 25842, L"Charset : "},
    {NA_CAPTION_RUNTIME_CODE_PAGE, 25844, L"ZL Page Code : "},
    {NA_CAPTION_CONNECTION_CODE_PAGE, 25845, L"Connexion Page Code: "},
    {NA_CAPTION_NATIVE_LIBRARY, 25869, L"Native Library : "},
};

static_assert(sizeof(kCaptions) / sizeof(kCaptions[0]) == 25);

}  // namespace

void CNADriver::InitQueryDumpRessources()
{
    if (m_acsCaption[0].nTaille() != 0)
        return;
    for (const stCaption& caption : kCaptions) {
        CTString& csCaption = m_acsCaption[caption.eField - 1];
        if (!DLLRES_bLoadString(&gstMyModuleInfo32, caption.nResourceId, &csCaption))
            csCaption.Set(caption.pszBuiltIn);
        csCaption.Add(L' ');
    }
}

const wchar_t* CNADriver::pszGetDumpCaption(eNA_DUMPCAPTION eField)
{
    if (eField < 1 || eField > kNADumpCaptionFields)
        return L"";
    InitQueryDumpRessources();
    return m_acsCaption[eField - 1].pszGet();
}
