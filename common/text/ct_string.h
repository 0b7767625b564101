#pragma once

#include <cstdarg>

#include "common/system/counted_arguments.h"
#include "common/text/str_ellipsis.h"
#include "common/text/xy_string.h"

// Visited by CTString::PourTouteChaineSepareePar once per piece, in order;
// answers non-zero to go on.
class IVisiteurPourTouteChaine
{
public:
    virtual int bVisitePiece(long nIndex, const wchar_t* pszPiece, long nLength) = 0;

protected:
    ~IVisiteurPourTouteChaine() = default;
};

// The everyday owned wide string: one pointer to a malloc'd, terminated
// block, null for the empty string (an allocated empty text is equal to it
// everywhere). No cached length: nTaille measures. Every change of length
// resizes the block to exactly length + 1 characters; copies are deep.
//
// Searches answer -1 when the string is empty or nothing is found; empty
// or null patterns and separators are never found (they would make no
// progress). Positions and counts outside the text are clipped. When memory
// runs out a change is not made: the string keeps its text.
//
// Texts passed in may lie inside the string's own text, except for the
// pszSet... splitters, whose answer points into the text given.
class CTString
{
public:
    // Construction, assignment and release. A null or empty text empties
    // (frees the block); assigning the string's own text changes nothing; a
    // text of the current length reuses the block.
    CTString() = default;
    ~CTString();
    CTString(const wchar_t* psz);
    CTString(const CTString& other);
    CTString(CTString&& other) noexcept;
    // At most n characters of psz (n below 0: all of it).
    CTString(const wchar_t* psz, long n);
    // The concatenation of up to three texts (null ones count as empty).
    CTString(const wchar_t* a, const wchar_t* b, const wchar_t* c);
    // 8-bit text of code page 1252.
    CTString(const char* psz);

    CTString& operator=(const wchar_t* psz);
    CTString& operator=(wchar_t* psz);
    CTString& operator=(const CTString& other);
    CTString& operator=(CTString&& other) noexcept;
    CTString& operator=(wchar_t c);

    void SetUNICODE(const wchar_t* psz) { Set(psz); }
    void Set(const wchar_t* psz);
    void Set(const CXYString<wchar_t>& s);
    void Set(const CXYString<wchar_t>* ps);
    // At most n characters (fewer when the text is shorter).
    void Set(const wchar_t* psz, unsigned long n);
    // 8-bit text converted from the code page (0: 1252; 65001: UTF-8):
    // exactly nLen bytes (-1: up to the terminator; never past it), a
    // multi-byte sequence cut at the end decoding as the converter decodes
    // a cut sequence. A null text, or a failed conversion, empties.
    void SetANSIEx(const char* psz, int nLen, unsigned nCodePage);
    // Exactly n characters of p, zeros included, then a terminator.
    void SetFromBinary(const wchar_t* p, unsigned long n);
    void Set(const wchar_t* a, const wchar_t* b, const wchar_t* c);
    // A one-character string; the character 0 empties.
    void Set(wchar_t c);
    void SetI4(int n);
    void SetI8(long n);
    // The text without case and accents (the map of flags 3); with its own
    // text as argument the string is mapped in place.
    void SetStandard(const wchar_t* psz);
    void Vide();
    // Adopts a malloc'd block (the old one is freed).
    void SetBuffer(wchar_t* pBuffer);
    // Takes the other string's block; the other is left empty.
    void Transfert(CTString& other);
    // Creates a new empty file in the temporary directory ($TMPDIR when it
    // is a directory, else the system's) named pszPrefix + six random
    // characters, and takes its name. False (the string empty) when the
    // file cannot be created.
    bool FichierTemporaire(const wchar_t* pszPrefix);
    // Resizes the block to n characters and a terminator (malloc when there
    // is none, realloc otherwise); the text is not terminated here. False
    // when memory runs out (the block is kept as it was).
    bool _SetBufferSize(unsigned long n);

    // Reading.
    const wchar_t* pszGet() const { return m_psz ? m_psz : gszVideW; }
    // Character i (0 without a block); i from 0 to the length.
    wchar_t cGetChar(long i) const { return m_psz && i >= 0 ? m_psz[i] : 0; }
    // Overwrites character i; i below the length.
    void SetChar(long i, wchar_t c)
    {
        if (m_psz && i >= 0)
            m_psz[i] = c;
    }
    long nTaille() const;
    bool bEstEgal(const wchar_t* psz) const;
    bool operator==(const wchar_t* psz) const { return bEstEgal(psz); }
    bool operator==(const CTString& other) const { return bEstEgal(other.pszGet()); }
    bool operator!=(const wchar_t* psz) const { return !bEstEgal(psz); }
    bool operator!=(const CTString& other) const { return !bEstEgal(other.pszGet()); }
    // Equal ignoring case and accents, through the host's locale.
    bool bEstEgalI(const wchar_t* psz) const;
    bool bEstEgalI(const CTString& other) const { return bEstEgalI(other.pszGet()); }
    bool bCommencePar(const wchar_t* psz) const;
    bool bTerminePar(const wchar_t* psz) const;
    bool bCommenceParI(const wchar_t* psz) const;
    bool bTermineParI(const wchar_t* psz) const;
    bool bTerminePar(wchar_t c) const;

    // Searching.
    long nPos(const wchar_t* psz, long nStart = 0) const;
    long nPos(wchar_t c, long nStart = 0) const;
    // Case-insensitive by the C library's towupper (process LC_CTYPE).
    long nUpPos(const wchar_t* psz, long nStart = 0) const;
    // Last occurrence; overlapping ones count.
    long nRPos(const wchar_t* psz) const;
    long nRPos(wchar_t c) const;
    long nPosParmi(const wchar_t* pszSet) const;
    // Non-overlapping occurrences.
    long nNbOcc(const wchar_t* psz) const;

    // Extracting parts.
    // n characters from nStart (n below 0: to the end), clipped at the end.
    CTString clMilieu(long nStart, long n) const;
    CTString clMilieu(long nStart) const;
    CTString clGauche(long n) const;
    CTString clDroite(long n) const;
    CTString clExclu(const wchar_t* pszSet) const;
    CTString clContientUniquement(const wchar_t* pszSet) const;
    CTString operator+(const wchar_t* psz) const;

    // Pieces between separators: index n from 0, consecutive separators
    // give empty pieces, the last piece runs to the end; the empty string
    // has one empty piece. False when the piece does not exist.
    bool bExtraitChainePos(unsigned long n, wchar_t cSep, const wchar_t** ppStart, long* pLen) const;
    // n below 1 gives the first piece; each search goes on after the whole
    // separator.
    bool bExtraitChainePos(long n, const wchar_t* pszSep, const wchar_t** ppStart, long* pLen) const;
    bool bExtraitPosTailleChaine(long n, const wchar_t* pszSep, int* pPos, long* pLen) const;
    // Piece n copied into pOut; false (pOut unchanged) when the string is
    // empty or the piece does not exist.
    bool bExtraitChaine(unsigned long n, wchar_t cSep, CTString* pOut) const;
    bool bExtraitChaine(long n, const wchar_t* pszSep, CTString* pOut) const;
    // Replaces piece n with pszNew (appends it when the piece starts at the
    // end of the text).
    bool bExtraitEtRemplaceChaine(long n, const wchar_t* pszSep, const wchar_t* pszNew);
    // Token n as wcstok splits a copy of the text (empty tokens don't
    // count); n below 0 empties pOut and answers true.
    bool bExtraitChaineTok(long n, const wchar_t* pszDelims, CTString* pOut) const;
    // Every piece in order to the visitor, until it answers 0; nothing when
    // the string has no block.
    void PourTouteChaineSepareePar(const wchar_t* pszSep, IVisiteurPourTouteChaine* pVisiteur) const;

    // Splitters: the string becomes a part of s (which must not be its own
    // text) and the answer is where scanning goes on in s.
    // Text before the first / last c, or after it; all of s when c is
    // missing. Answer: just after that c, or null.
    const wchar_t* pszSetDebutPremier(const wchar_t* s, wchar_t c);
    const wchar_t* pszSetDebutDernier(const wchar_t* s, wchar_t c);
    const wchar_t* pszSetFinPremier(const wchar_t* s, wchar_t c);
    const wchar_t* pszSetFinDernier(const wchar_t* s, wchar_t c);
    // The same, but empty when c is missing, and then the answer is s.
    const wchar_t* pszSetDebutPremierExistant(const wchar_t* s, wchar_t c);
    const wchar_t* pszSetDebutDernierExistant(const wchar_t* s, wchar_t c);
    const wchar_t* pszSetFinPremierExistant(const wchar_t* s, wchar_t c);
    const wchar_t* pszSetFinDernierExistant(const wchar_t* s, wchar_t c);

    // Editing in place.
    void Add(wchar_t c);
    void Add(const wchar_t* psz);
    void Add(const CXYString<wchar_t>& s);
    void Add(const CXYString<wchar_t>* ps);
    // At most n characters of p, up to its terminator.
    void Add(const wchar_t* p, int n);
    void Add(const wchar_t* a, const wchar_t* b, const wchar_t* c);
    void AddI4(int n);
    void AddI8(long n);
    void Insert(wchar_t c);
    // n characters of p (-1: all) at index nAt (at or past the end:
    // appended); nothing for a null or empty text or n below -1.
    void Insert(const wchar_t* p, int n, int nAt);
    // Replaces n characters at nPos with psz (clipped at the end).
    void Remplace(long nPos, long n, const wchar_t* psz);
    // Every non-overlapping occurrence at or after nStart.
    void Remplace(const wchar_t* pszFind, const wchar_t* pszWith, long nStart = 0);
    // The same ignoring case through the host's upper-case map
    // (STR_pszUpStrstr), one search for each occurrence.
    void RemplaceI(const wchar_t* pszFind, const wchar_t* pszWith, long nStart = 0);
    // Every cFind from nStart; answers the length.
    long Remplace(wchar_t cFind, wchar_t cWith, long nStart = 0);
    // Blanks (U+0020) become no-break spaces (U+00A0).
    void Insecable();
    // Keeps the first n characters when 0 <= n <= length.
    void Tronque(long n);
    // Removes the first n characters.
    void TronqueDebut(long n);
    // Removes n characters at nPos (to the end when they pass it).
    void Coupe(long nPos, long n);
    // Exactly n characters: padded with c, or cut.
    void Complete(long n, wchar_t c);
    // Removes trailing blanks (U+0020 only).
    void SansEspace();
    // Removes leading and trailing white space (iswspace).
    void Trim();
    // Removes the character c on both sides, the left or the right.
    void Trim(wchar_t c);
    void LTrim(wchar_t c);
    void RTrim(wchar_t c);
    void Majuscule();
    void Minuscule();
    void SansAccent();
    void MapStringEx(unsigned nMode);
    void Renverse();
    // s shortened to at most max characters with "..." (STR_Ellipsis).
    void Ellipse(const wchar_t* s, unsigned long max, eELLIPSISPOSITION where);
    // Value of the n characters from nStart (n -1: to the end) in the base
    // (2 to 36; digits, then letters of either case); reading stops at the
    // first character that is no digit of the base; no sign, no blanks.
    long nVal(int nBase, int nStart = 0, int n = -1) const;

    // Formatting, Windows-style formats ("%s" a wide text, "%S" or "%hs" a
    // narrow one). The text is formatted into a block of the estimated size
    // and, when it does not fit, formatted again into a block that does:
    // never cut. Answers the length, or -1 when formatting fails (a
    // character that cannot be converted, no memory): printf and FormatV
    // then leave the string empty, AddPrintf leaves it as it was.
    int printf(const wchar_t* pszFormat, ...);
    int FormatV(const wchar_t* pszFormat, va_list args);
    int AddPrintf(const wchar_t* pszFormat, ...);
    // Formatting through ::FormatMessageWin ("%1" inserts, 64-bit arguments)
    // or ::FormatMessageW (printf-style), reading the format from the text
    // and allocating the result. Answers the characters produced; 0 on
    // failure, the string then unchanged. The arguments are counted and the
    // count goes to the formatter: an insert or conversion past them is
    // written as nothing, never read.
    template <class... Args>
    unsigned FormatMessageWin(const wchar_t* pszFormat, Args... args)
    {
        return CallWithCountedArguments(
            [&](va_list* pList, int n) { return _FormatMessageWinList(pszFormat, pList, n); }, args...);
    }
    template <class... Args>
    unsigned FormatMessageW(const wchar_t* pszFormat, Args... args)
    {
        return CallWithCountedArguments(
            [&](va_list* pList, int n) { return _FormatMessageWList(pszFormat, pList, n); }, args...);
    }

private:
    // The FormatMessage forms with the list of nArgs arguments.
    unsigned _FormatMessageWinList(const wchar_t* pszFormat, va_list* pArgs, int nArgs);
    unsigned _FormatMessageWList(const wchar_t* pszFormat, va_list* pArgs, int nArgs);
    // Puts n characters of p in place of the text.
    void _Assign(const wchar_t* p, size_t n);
    // The text with nDel characters at nPos replaced by the pieces.
    bool _bSplice(size_t nPos, size_t nDel, const wchar_t* const* ppPieces, const size_t* pnPieces, int nPieces);
    bool _bAppend(const wchar_t* const* ppPieces, const size_t* pnPieces, int nPieces);
    bool _bInside(const wchar_t* p) const;
    // Fits the block to the text after an in-place change (frees it when
    // the text became empty).
    void _Fit();
    size_t _nLen() const;
    template <class Finder>
    void _ReplaceAll(const wchar_t* pszFind, const wchar_t* pszWith, long nStart, Finder find);

    wchar_t* m_psz = nullptr;
};

static_assert(sizeof(CTString) == sizeof(void*), "a CTString is one pointer, so arrays and records stay small");
