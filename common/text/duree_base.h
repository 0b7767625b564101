#pragma once

#include <cstdint>

class CZLBIN;
template <class T>
class CXYString;

// The runtime's duration: a signed count of milliseconds.
//
// Text forms: the days (as many digits as needed, no padding), then HH, MM,
// SS and either mmm (milliseconds, at least 10 characters) or cc
// (hundredths, at least 9 characters); a negative duration starts with '-'.
// Results: 0 success, 108 a text over the size limit, 112 a text too short
// (or naming a duration beyond the 64-bit range), or the allocator's code.
class CDureeBase
{
public:
    int64_t m_llDuree;

    static const wchar_t* const ms_pcszFormatAffichageMillieme;  // "%d%02d%02d%02d%03d"
    static const wchar_t* const ms_cpszFormatAffichageCentieme;  // "%d%02d%02d%02d%02d"

    static constexpr int ERR_TEXTE_TROP_COURT = 112;
    // Characters of the longest text, terminator included.
    static constexpr int TAILLE_TEXTE = 24;

    // -1, 0, 1 as signed numbers.
    static int nCompare(const CDureeBase* a, const CDureeBase* b);

    // The text in the form named by the format (the hundredths form when it
    // is ms_cpszFormatAffichageCentieme, else milliseconds) into a buffer of
    // nTaille characters; the character count, or -1 (empty text) when the
    // buffer is too small. Hundredths are rounded half up on the magnitude,
    // carrying into the seconds and beyond.
    int __nVersChaine(wchar_t* psz, const wchar_t* pszFormat, int nTaille) const;
    // The milliseconds text as a new heap text (free it with free); null
    // when memory runs out.
    wchar_t* pszCreeChaine() const;
    int nVersChaine(CXYString<wchar_t>* pstr) const;
    int nVersChaineCentieme(CXYString<wchar_t>* pstr) const;
    // The milliseconds text, one byte a character.
    int nVersBinaire(CZLBIN* pbin, unsigned int nInutilise = 0) const;

    // Parses a text: an optional sign ('+', '-', U+FF0B, U+FF0D), then the
    // fields counted from the end. Null reads as empty.
    int nDepuisChaine(const wchar_t* psz);
    int nDepuisChaineCentieme(const wchar_t* psz);
    // The first 24 bytes at most, each widened, parsed by nDepuisChaine; an
    // empty buffer gives 112.
    int nDepuisBinaire(const CZLBIN* pbin, unsigned int nInutilise = 0);
};

static_assert(sizeof(CDureeBase) == 8, "one signed 64-bit count");
