// Binary forms of dates and durations: their digit texts as bytes.
#include <cstring>

#include "common/text/date_time_base.h"
#include "common/text/duree_base.h"
#include "common/text/zl_bin.h"

namespace {

// The first 17 bytes at most, as a terminated 8-bit text; its length.
size_t nTexteDate(const CZLBIN* pbin, char (&text)[CDateTimeBase::LONGUEUR_DATE_HEURE + 1])
{
    size_t n = pbin ? static_cast<size_t>(pbin->nGetTailleUtile()) : 0;
    if (n > CDateTimeBase::LONGUEUR_DATE_HEURE)
        n = CDateTimeBase::LONGUEUR_DATE_HEURE;
    if (n > 0)
        std::memcpy(text, pbin->pbyGet(), n);
    text[n] = 0;
    return std::strlen(text);  // a zero byte ends the text
}

}  // namespace

void CDateTimeBase::DepuisBinaire(const CZLBIN* pbin, unsigned int)
{
    char text[LONGUEUR_DATE_HEURE + 1];
    nTexteDate(pbin, text);
    FromString(text);
}

int CDateTimeBase::nDepuisBinaireValide(const CZLBIN* pbin, unsigned int)
{
    char text[LONGUEUR_DATE_HEURE + 1];
    const size_t n = nTexteDate(pbin, text);
    CDateTimeBase d = *this;
    if (!d.__bSetPartieDateValide(text, n))
        return ERR_DATE_INVALIDE;
    if (n > 8) {
        if (!d.__bSetPartieHeureValide(text + 8, n - 8))
            return ERR_HEURE_INVALIDE;
    } else {
        d.m_dwMilli = 0;
    }
    *this = d;
    return 0;
}

int CDateTimeBase::nVersBinaire(CZLBIN* pbin, unsigned int) const
{
    char text[LONGUEUR_DATE_HEURE + 1];
    VersChaine(text, LONGUEUR_DATE_HEURE);
    return pbin->nAssign(reinterpret_cast<const unsigned char*>(text), LONGUEUR_DATE_HEURE, 0);
}

int CDureeBase::nVersBinaire(CZLBIN* pbin, unsigned int) const
{
    wchar_t text[TAILLE_TEXTE];
    const int n = __nVersChaine(text, ms_pcszFormatAffichageMillieme, TAILLE_TEXTE);
    unsigned char bytes[TAILLE_TEXTE];
    for (int i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(text[i]);
    return pbin->nAssign(bytes, n, 0);
}

int CDureeBase::nDepuisBinaire(const CZLBIN* pbin, unsigned int)
{
    const int nTaille = pbin ? pbin->nGetTailleUtile() : 0;
    if (nTaille == 0)
        return ERR_TEXTE_TROP_COURT;
    wchar_t text[TAILLE_TEXTE + 1];
    const int n = nTaille < TAILLE_TEXTE ? nTaille : TAILLE_TEXTE;
    for (int i = 0; i < n; ++i)
        text[i] = pbin->pbyGet()[i];
    text[n] = 0;
    return nDepuisChaine(text);
}
