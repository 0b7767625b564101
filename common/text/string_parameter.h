#pragma once

#include "common/text/ct_string.h"

// Lists of key=value parameters separated by ";", the form of a connection's
// extended information, and one named parameter read from such a list.
//
// Syntax as read: key, optional blanks (U+0020), "=", optional blanks, the
// value up to the next ";" or the end; blanks and repeated ";" between pairs
// are tolerated. Keys match without regard to case (both texts upper-cased
// through the host locale) and as substrings of the list: "Port" also
// matches the end of "Server Port" when that is followed by "=", and the
// first occurrence followed by "=" wins. There is no quoting or escaping, so
// a value never holds ";": the writers refuse such a value rather than let it
// add a pair of its own to the list.
class CStringParameter
{
public:
    // Finds the pair of the key: nKey the index of the key, nStart the first
    // character of the value, nEnd the last (trailing blanks included;
    // nStart - 1 for an empty value). False for an empty list or a missing
    // key (or an empty one), with nKey 0 and nStart, nEnd -1.
    static bool _s_bGetParameterPos(long& nKey, long& nStart, long& nEnd, CTString* pList, const wchar_t* pszKey);
    // *pValue the key's value with trailing blanks cut (empty when missing),
    // *pbFound whether it was found; with bRemove the pair is cut out of the
    // list: from the key (and the blanks before it) through the ";" and
    // blanks after the value, then the ";" and blanks left at the start of
    // the list. A ";" before the last pair stays ("A=1;B=2" without B is
    // "A=1;"). Returns 1. pValue and pbFound may be null.
    static int s_bGetParameterValue(CTString* pValue, int* pbFound, CTString* pList, const wchar_t* pszKey,
                                    int bRemove);
    // Whether the key is present with "=".
    static int s_bParameterDefined(CTString* pList, const wchar_t* pszKey);
    // Replaces the whole value of a present key in place; a missing key is
    // appended as key=value, after a ";" when the list is not empty. A null
    // value is empty. Returns 1; 0, the list unchanged, for a value holding
    // ";" or a null list.
    static int s_bReplaceParameterValue(CTString* pList, const wchar_t* pszValue, const wchar_t* pszKey);

    // The key is a literal of the caller, not copied.
    explicit CStringParameter(const wchar_t* pszName);
    ~CStringParameter() = default;
    CStringParameter(const CStringParameter&) = delete;
    CStringParameter& operator=(const CStringParameter&) = delete;

    // A null value empties the value and clears the set flag; otherwise the
    // value becomes the text (nLen below 0: all of it; else at most its first
    // nLen characters) with trailing blanks cut, and the flag is set. The
    // last two arguments are not used.
    void SetParameterValue(const wchar_t* pszValue, long nLen = -1, const wchar_t* = nullptr, int = 0);
    // The same; then a non-empty value that does not end with "\" gets one
    // (a directory).
    void SetParameterValueRep(const wchar_t* pszValue, long nLen = -1);
    // Reads this parameter's key from the list (see s_bGetParameterValue).
    int bInitParameterValue(CTString* pList, int bRemove, const wchar_t* = nullptr, int = 0);
    // When set: appends ";" (when the list is not empty), the key, "=" and
    // the value. Returns 1; 0, the list unchanged, for a value holding ";".
    int bCompleteConnectionString(CTString* pList, const wchar_t* = nullptr, int = 0) const;

    const wchar_t* pszGetNom() const { return m_pszNom; }
    const CTString& clGetValeur() const { return m_clValeur; }
    const wchar_t* pszGetValeur() const { return m_clValeur.pszGet(); }
    int bEstDefini() const { return m_bDefini; }

private:
    const wchar_t* m_pszNom;
    CTString m_clValeur;
    int m_bDefini;
};
