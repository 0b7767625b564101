#pragma once

#include "common/text/ct_string.h"

// How a connection writes a table or column name into SQL: between its
// identifier quotes (a backquote each for MySQL; none for a connection that
// set none), with every closing quote inside the name doubled, so that a
// name read from the host is always exactly one identifier of the
// statement, whatever characters it holds.
//
// A name the caller already quoted is passed through only when it is one
// complete, well-formed quoted identifier: the opening quote, a non-empty
// body in which every closing quote is doubled, the closing quote, and
// nothing after it. Anything else that merely starts with the opening quote
// is quoted like any other name; nothing a host sends can end the quotes
// early and add SQL of its own.
//
// The quote strings are borrowed, never copied: they must outlive the
// object. Kind 1 keeps its own rule for when a name needs quotes (the
// framework's, unused by this system). Outputs may be the string that holds
// the name.
class CNAIdentifierQuoting
{
public:
    // Lengths are the caller's but never taken past the texts' ends; null
    // texts are empty.
    CNAIdentifierQuoting(const wchar_t* pszOpen, long nOpen, const wchar_t* pszClose, long nClose, int nDBKind);

    // Whether the name is written between the quotes: never without quotes
    // (neither string set); kind 1 by its own rule; otherwise always, unless
    // the opening quote is set and the name is already a quoted identifier.
    bool bNeedQuotes(const wchar_t* pszName) const;
    // Whether the n characters at psz are exactly one complete, well-formed
    // quoted identifier (see above); false without both quote strings.
    bool bQuotedIdentifier(const wchar_t* psz, long n) const;
    // The name between the quotes, every closing quote inside doubled.
    void Quote(const wchar_t* psz, long n, CTString* pcsOut) const;

    // The name as one identifier of SQL: quoted when bNeedQuotes says so,
    // else unchanged.
    void FormatItemName(const wchar_t* pszName, CTString* pcsOut) const;
    // A possibly qualified name (database.owner.table): unchanged when it
    // needs no quotes as a whole; else each "."-separated part as by
    // FormatItemName, joined with ".". Dots split the name only outside
    // quoted parts: a part that starts with a complete quoted identifier
    // runs to the first "." after its closing quote, any other part to the
    // next ".".
    void FormatTableName(const wchar_t* pszName, CTString* pcsOut) const;
    // The inverse of Quote for a well-formed quoted identifier: the body,
    // with its doubled closing quotes halved. Any other name comes back
    // unchanged (the two quotes alone among them).
    void UnFormatItemName(const wchar_t* pszName, CTString* pcsOut) const;

    // Kind 1's rule: no for a name that starts with "[" or a double quote;
    // yes for one holding a blank, a degree sign or a hyphen, or starting
    // with "_"; otherwise only for the reserved word.
    static bool s_bNeedFormat_Oracle(const wchar_t* pszName);
    // "GROUP" in any case: the only reserved word tested.
    static bool s_bReservedSQLWord(const wchar_t* pszName);

private:
    bool _bStartsWith(const wchar_t* psz, long n, long at, const wchar_t* pszWhat, long nWhat) const;
    // The end of the quoted identifier that starts at psz[at] (one past its
    // closing quote), or -1 when the opening quote is not there or the
    // identifier never closes within n characters.
    long _nQuotedEnd(const wchar_t* psz, long n, long at) const;

    const wchar_t* m_pszOpen;
    long m_nOpen;
    const wchar_t* m_pszClose;
    long m_nClose;
    int m_nDBKind;
};
