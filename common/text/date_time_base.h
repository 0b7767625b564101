#pragma once

#include <cstddef>
#include <cstdint>

#include "common/system/time_records.h"

class CDureeBase;
class CTString;
class CZLBIN;
template <class T>
class CXYString;

// The runtime's date-time value as the host stores it: 8 bytes, day, month,
// 16-bit year, then the milliseconds of the day. The first 32-bit word reads
// as year x 65536 + month x 256 + day, so comparing it unsigned compares
// dates. The empty date is all zero. There is no constructor: a new value is
// set with InitDate.
//
// Calendar: the Gregorian calendar from 15 October 1582 on and the Julian
// calendar (every fourth year a leap year) before, with 4 October 1582
// followed directly by 15 October 1582; the days 5 to 14 October 1582 are
// read as 15 October. Day numbers count days from 31 December 1799 (day 0;
// 1 January 1800 is day 1, 31 December 9999 day 2,994,988, 1 January of
// year 1 day -657,072) and run on without a gap across the reform.
//
// Result codes: 0 success, 108 a text over the size limit, 110 invalid
// date, 111 invalid time, or the string allocator's own code.
class CDateTimeBase
{
public:
    uint8_t m_byJour;      // 1-31, 0 in the empty date
    uint8_t m_byMois;      // 1-12, 0 in the empty date
    uint16_t m_wAnnee;     // 1-9999, 0 in the empty date
    uint32_t m_dwMilli;    // milliseconds of the day, 0-86,399,999

    static const uint8_t ms_pbyNbJoursMois[12];
    static const uint8_t ms_pbyNbJoursMoisBissextile[12];
    // Initial texts of a date value and of a time value.
    static const wchar_t* const ms_pcszValeurInitDate;
    static const wchar_t* const ms_pcszValeurInitTime;

    static constexpr uint32_t MILLI_PAR_JOUR = 86400000;
    // Day numbers of the first and the last supported day.
    static constexpr int JOUR_MIN = -657072;
    static constexpr int JOUR_MAX = 2994988;
    static constexpr int ERR_DATE_INVALIDE = 110;
    static constexpr int ERR_HEURE_INVALIDE = 111;
    // Characters of the date-time digit text YYYYMMDDHHMMSSmmm.
    static constexpr int LONGUEUR_DATE_HEURE = 17;

    // --- Setting ---------------------------------------------------------
    void InitDate();  // the empty date
    // Year, month and day, then hour, minute and second through the
    // checking setters, then the milliseconds, starting from the empty date.
    // False when a field is refused (the others are kept) or wMilliseconds
    // exceeds 999.
    bool InitDate(const SYSTEMTIME* pst);
    bool InitDateCourante();     // local time
    bool InitDateCouranteUTC();  // UTC
    // Stores the fields without any check.
    void Set(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nMilli);

    // Hour 0-23, minute 0-59, second 0-59; the rest of the time of day stays.
    // False (nothing changed) outside the range.
    bool bModifieHeure(int n);
    bool bModifieMinute(int n);
    bool bModifieSeconde(int n);
    // Day 1-31, month 1-12, year 1-9999, then the day is cut to the length
    // of its month. False (nothing changed) outside the range.
    bool bModifieJour(int n);
    bool bModifieMois(int n);
    bool bModifieAnnee(int n);

    // --- Reading ---------------------------------------------------------
    int nGetHeure() const { return static_cast<int>(m_dwMilli / 3600000); }
    int nGetMinute() const { return static_cast<int>(m_dwMilli / 60000 % 60); }
    int nGetSeconde() const { return static_cast<int>(m_dwMilli / 1000 % 60); }
    int nGetMilliseconde() const { return static_cast<int>(m_dwMilli % 1000); }
    bool bEstVide() const { return m_byJour == 0 && m_byMois == 0 && m_wAnnee == 0 && m_dwMilli == 0; }
    // A real date of years 1-9999 (the time of day is not looked at).
    bool bDateValide() const { return s_bDateValide(m_byJour, m_byMois, m_wAnnee); }

    // --- Calendar arithmetic ----------------------------------------------
    // Whole days. The empty date stays empty and gives true; an invalid date
    // gives false. Every shift fails and leaves the value unchanged when the
    // result would leave years 1-9999.
    bool bDecaleJour(int nJours);
    // Milliseconds, carrying into days (time and date change together or
    // not at all).
    bool bDecaleMilli(long nMilli);
    // Calendar months or years; the day is cut to the new month's length.
    // The month (for months) and the year must be valid.
    bool bDecaleMois(int nMois);
    bool bDecaleAnnee(int nAnnees);

    // a - b in milliseconds; 110 when either date is invalid.
    static int nCalculeDuree(const CDateTimeBase* a, const CDateTimeBase* b, CDureeBase* pDuree);
    // Day number of a minus day number of b; false when either is invalid.
    static bool bCalculeDiffJour(const CDateTimeBase* a, const CDateTimeBase* b, int* pnJours);
    // The day number, or 0 for an invalid date.
    static int s_nDateVersEntier(int nJour, int nMois, int nAnnee);
    // The day number; 110 for an invalid date.
    int nVersEntier(int* pn) const;
    // Sets the date of a day number (the time of day stays); false, nothing
    // changed, outside JOUR_MIN..JOUR_MAX.
    bool bDepuisEntier(int64_t nJour);
    // The Julian Day Number (noon-based count of the astronomers).
    int nVersJourJulien() const;
    // 0 = Sunday to 6 = Saturday; -1 for an invalid date.
    int nGetJourDeLaSemaine() const;
    // Day of the year from 1; 0 for an invalid date.
    int nGetJourDansAnnee() const;
    // ISO 8601 week date: the year of the week's Thursday, the week 1-53
    // and the week day 1 (Monday) to 7. False (nothing written) for an
    // invalid date or a week whose Thursday lies outside years 1-9999.
    bool VersISO8601YWD(int& nAnnee, int& nSemaine, int& nJourSemaine) const;
    // Length of the month in that year; 0 for a month outside 1-12.
    static int s_nGetNbJourMois(int nMois, int nAnnee);
    static bool __nBissextile(int nAnnee);
    static bool s_bDateValide(int nJour, int nMois, int nAnnee);

    // --- Comparison ---------------------------------------------------------
    // -1, 0, 1: the date word first, then the milliseconds, both unsigned.
    static int nCompare(const CDateTimeBase* a, const CDateTimeBase* b);
    static int s_nCompareDateSeule(const CDateTimeBase* a, const CDateTimeBase* b);
    // The date's 17-digit text against a digit text, over the shorter length.
    static int nCompare(const CDateTimeBase* a, const wchar_t* psz);
    // Digit texts over the shorter length: a date equals every date-time of
    // its day. An empty first text gives 0 when the second is empty too,
    // else -1; an empty second text gives 1. Null reads as empty.
    static int nCompareDate(const wchar_t* a, const wchar_t* b);
    static int nCompareHeure(const wchar_t* a, const wchar_t* b);

    // --- Digit texts --------------------------------------------------------
    // The number in characters nPos to nPos + nLen - 1, read as strtol does
    // (digits after optional blanks and sign; reading stops at the first
    // other character). A field reaching past the text gives 0, except with
    // bPartiel when it starts inside: the characters there are read and the
    // number multiplied by 10 for each one missing ("5" read as 3 characters
    // gives 500). Null or empty text: 0.
    static int nGetPropDateTime(const char* psz, int nPos, int nLen, bool bPartiel);
    static int nGetPropDateTime(const wchar_t* psz, int nPos, int nLen, bool bPartiel);
    // Writes n right-aligned and zero-padded (its last nLen digits) into
    // characters nPos..nPos + nLen - 1; a field that does not fit within
    // nTotal characters is replaced by '0's up to nTotal. The terminator is
    // always written at nTotal: the buffer holds nTotal + 1 characters.
    static void SetPropDateTime(char* psz, int nPos, int nLen, int n, int nTotal);
    static void SetPropDateTime(wchar_t* psz, int nPos, int nLen, int n, int nTotal);

    // Reads YYYYMMDD and, when the text has 9 characters or more, the time
    // of day from character 8 on; no check, milliseconds 0 otherwise.
    template <class T>
    void FromString(const T* psz);
    // Time of day from HHMMSS and a fraction of 1 to 3 digits; no check.
    template <class T>
    void __SetPartieHeure(const T* psz);
    // Checked date part: 8 digits, year 0-9999, month 1-12, a day of that
    // month; sets the date fields only.
    bool __bSetPartieDateValide(const char* psz, size_t nLen);
    // Checked time of day HH[MM[SS[f[f[f]]]]]; lengths 1, 3 and 5 fail; an
    // empty text is midnight.
    bool __bSetPartieHeureValide(const char* psz, size_t nLen);

    // The first n characters (at most 8) of YYYYMMDD, or (at most 9) of
    // HHMMSSmmm, then a terminator: the buffer holds n + 1 characters. 0.
    int nVersDate(char* psz, int n) const;
    int nVersDate(wchar_t* psz, int n) const;
    int nVersHeure(char* psz, int n) const;
    int nVersHeure(wchar_t* psz, int n) const;
    // n = 17: YYYYMMDDHHMMSSmmm; otherwise the first min(n, 8) characters
    // of the date and, for n > 8, the first min(n - 8, 9) of the time; then a
    // terminator (the buffer holds min(n, 17) + 1 characters).
    void VersChaine(char* psz, unsigned long n) const;
    void VersChaine(wchar_t* psz, unsigned long n) const;
    // The 17-character date-time as a runtime string.
    int nVersChaine(CXYString<wchar_t>* pstr) const;
    // The 17-character date-time as a wide string.
    void VersChaine(CTString* pstr) const;
    CTString VersChaine() const;
    // "year-month-day hour:minute:second,milliseconds", numbers unpadded.
    CTString VersChaineFormate() const;
    // The 17-character date-time as a new heap text (free it with free);
    // null when memory runs out.
    wchar_t* pszCreeChaine() const;

    // --- Binary form: the 17 digit bytes of the date-time ----------------------
    // The first 17 bytes at most, read like FromString (the time part only
    // when there are more than 8).
    void DepuisBinaire(const CZLBIN* pbin, unsigned int nInutilise = 0);
    // Checked: the date part (110 when it fails), then, with more than 8
    // bytes, the time part (111 when it fails; milliseconds 0 when there is
    // none). A failure leaves the value unchanged.
    int nDepuisBinaireValide(const CZLBIN* pbin, unsigned int nInutilise = 0);
    int nVersBinaire(CZLBIN* pbin, unsigned int nInutilise = 0) const;

    // --- System records --------------------------------------------------------
    // Date and time fields (the day of week is not touched). 0.
    int nVersSysteme(SYSTEMTIME* pst) const;
    // Date fields from YYYYMMDD, time fields 0; time fields from HHMMSSmmm,
    // date fields 0. The day of week is not touched. 0.
    static int nDateVersSysteme(const wchar_t* psz, SYSTEMTIME* pst);
    static int nHeureVersSysteme(const wchar_t* psz, SYSTEMTIME* pst);

private:
    static int64_t s_nJourJulien(int nJour, int nMois, int nAnnee);
    bool _bDecaleJours64(int64_t nJours);
    void _CoupeJour();
};

static_assert(sizeof(CDateTimeBase) == 8 && offsetof(CDateTimeBase, m_byMois) == 1 &&
                  offsetof(CDateTimeBase, m_wAnnee) == 2 && offsetof(CDateTimeBase, m_dwMilli) == 4,
              "day, month, 16-bit year, 32-bit milliseconds");
