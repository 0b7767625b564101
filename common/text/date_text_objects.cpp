// The date-time's texts as wide strings.
#include "common/system/formatted_output.h"
#include "common/text/ct_string.h"
#include "common/text/date_time_base.h"

void CDateTimeBase::VersChaine(CTString* pstr) const
{
    wchar_t text[LONGUEUR_DATE_HEURE + 1];
    VersChaine(text, LONGUEUR_DATE_HEURE);
    pstr->Set(text);
}

CTString CDateTimeBase::VersChaine() const
{
    CTString s;
    VersChaine(&s);
    return s;
}

CTString CDateTimeBase::VersChaineFormate() const
{
    // Seven numbers of at most 11 characters and six separators.
    wchar_t text[96];
    swprintfWin(text, L"%d-%d-%d %d:%d:%d,%d", static_cast<int>(m_wAnnee), static_cast<int>(m_byMois),
                 static_cast<int>(m_byJour), nGetHeure(), nGetMinute(), nGetSeconde(), nGetMilliseconde());
    return CTString(text);
}
