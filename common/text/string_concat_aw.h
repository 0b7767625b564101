#pragma once

#include <type_traits>

#include "common/text/string_concat_aw_map.h"
#include "common/text/xy_string_concat.h"

class CTString;

// The SQL text builder: an 8-bit side (text in a code page) and a wide side,
// one of which is the master. Every change goes to the master and makes the
// other side stale (length 0, buffer kept); pszGetW / pszGetA rebuild a stale
// side from the master on demand. The mode is fixed by two code pages:
// - the master code page: -2 (kMaitreLarge) when the wide side is the
//   master, otherwise the code page of the 8-bit master;
// - the input code page: that of 8-bit text added without a code page of its
//   own, and the one a wide master is rendered into by pszGetA.
// A builder that is a member of a larger object starts with -1 in both
// (kNonDefini) and its owner sets them before the first use.
//
// Positions and counts given to and returned by the positional operations
// (Tronque, Coupe, Insert, Remplace, the start of the replace-all, nPos,
// cGetCharW, bIsCharSpace) are wide characters whatever the master: with a
// multi-byte 8-bit master (UTF-8, double-byte code pages) they are mapped to
// byte offsets inside, so a parameter is never put, nor a text cut, inside a
// character. Bytes of the 8-bit master that its code page cannot decode
// belong to no character (see CCarteMaitreA). cGetCharA(i) is a byte index
// of the 8-bit side, and the lengths read directly are each side's own
// (characters of the wide side, bytes of the 8-bit side).
//
// Texts: a length of -1 means up to the terminator; a null text or any
// other length below 1 adds nothing. A text may lie inside the builder.
// When memory runs out the side concerned is spoiled and reads as empty text
// (see CXYStringConcat): no statement is sent with a piece missing.
class CTStringConcatAW
{
public:
    static constexpr unsigned kMaitreLarge = 0xFFFFFFFEu;
    static constexpr unsigned kNonDefini = 0xFFFFFFFFu;
    // Third argument of the 8-bit Add: the input code page.
    static constexpr unsigned kCodePageEntree = 0xFFFFFFFFu;

    explicit CTStringConcatAW(unsigned nCodePageMaitre = kNonDefini, unsigned nCodePageEntree = kNonDefini);
    CTStringConcatAW(const CTStringConcatAW&) = delete;
    CTStringConcatAW& operator=(const CTStringConcatAW&) = delete;

    // For an owner whose builder started unset: fixes the mode and empties.
    void SetCodePages(unsigned nCodePageMaitre, unsigned nCodePageEntree);
    unsigned nGetCodePageMaitre() const { return m_nCodePageMaitre; }
    unsigned nGetCodePageEntree() const { return m_nCodePageEntree; }
    bool bMaitreLarge() const { return m_nCodePageMaitre == kMaitreLarge; }

    // Reading (the rebuild rule). Never null.
    const wchar_t* pszGetW() const;
    const char* pszGetA() const;
    // Each side's own length as it stands (no rebuild).
    long nGetLongueurW() const { return m_clW.nGetLongueur(); }
    long nGetLongueurA() const { return m_clA.nGetLongueur(); }
    // Whether the master side is empty.
    bool bEstVide() const;
    // Positions of the text: its wide characters (with an 8-bit master, the
    // characters its code page decodes; no rebuild for 1252 and UTF-8). The
    // last character is at nGetNbCar() - 1.
    long nGetNbCar() const { return _Carte().nNbCar(); }
    // A side spoiled by a failed growth.
    bool bEchec() const { return m_clA.bEchec() || m_clW.bEchec(); }
    // Wide character i after pszGetW(); 0 outside the text.
    wchar_t cGetCharW(long i) const;
    // After pszGetW(): byte i of the 8-bit side when both sides are
    // non-empty, else 0 (with a wide master the 8-bit side is current only
    // after pszGetA()); 0 outside the text.
    char cGetCharA(long i) const;
    // Whether character i of the master is a blank (U+0020).
    bool bIsCharSpace(long i) const;

    // Appending; every append that adds something makes the other side stale.
    // Wide text: copied to a wide master, converted into an 8-bit master's
    // code page. The third argument is not used.
    void Add(const wchar_t* pszText, long nLen, unsigned = kCodePageEntree);
    // 8-bit text of code page nCodePage (kCodePageEntree: the input code
    // page): converted for a wide master; for an 8-bit master copied when
    // the code pages agree, converted to UTF-8 for a UTF-8 master, otherwise
    // through wide text into the master code page.
    void Add(const char* pszText, long nLen, unsigned nCodePage = kCodePageEntree);
    void Add(const CTString& s);
    // UTF-8 bytes, decoded into the master's form.
    void AddUTF8(const char* pszText, long nLen);
    void AddStrCte(const wchar_t* pszText, long nLen) { Add(pszText, nLen, kCodePageEntree); }
    // Empties both sides, then appends.
    void SetStrCte(const wchar_t* pszText, long nLen);
    void Vide();
    // Decimal text (zeros in front up to nMinDigits for values above 0) and
    // upper-case hexadecimal of 2, 4, 8 or 16 digits, on the master side.
    void AddNumber(int v, int nMinDigits = -1);
    void AddNumber(long v, int nMinDigits = -1);
    void AddNumberHexa(unsigned char v);
    void AddNumberHexa(unsigned short v);
    void AddNumberHexa(unsigned int v);
    void AddNumberHexa(unsigned long v);

    // Changing in place: the wide text is made current first (pszGetW) and,
    // except for Insert, nothing happens on an empty builder.
    // Upper case through the host's case map; an 8-bit master is changed
    // character by character, keeping what its code page cannot hold.
    void Majuscule();
    // Keeps the first n characters (n below 1: empties); nothing when n is
    // above the length.
    void Tronque(long n);
    // Removes count characters at pos (cut at pos when they pass the end);
    // nothing for pos outside 0 .. length or a negative count.
    void Coupe(long nPos, long nCount);
    // The text at nPos (below 0: 0; at or past the end: appended).
    void Insert(const wchar_t* pszText, long nLen, long nPos);
    // 8-bit text of the input code page.
    void Insert(const char* pszText, long nLen, long nPos);
    // Replaces nCount characters at nPos (below 0: to the end; clipped at
    // the end) with the text; nothing when nPos lies outside 0 .. length.
    void Remplace(long nPos, long nCount, const wchar_t* pszText, long nLen);
    void Remplace(long nPos, long nCount, const char* pszText, long nLen);
    // Replaces every occurrence of the pattern at or after position nStart,
    // left to right; text put in by a replacement is never matched again.
    void Remplace(const wchar_t* pszPattern, long nPatternLen, const wchar_t* pszWith, long nWithLen,
                  long nStart = 0);
    void Remplace(const char* pszPattern, long nPatternLen, const char* pszWith, long nWithLen, long nStart = 0);

    // Position of the first occurrence at or after nStart, -1 when none.
    long nPos(wchar_t c, long nStart = 0) const;
    // A byte of the input code page.
    long nPos(char c, long nStart = 0) const;
    long nPos(const wchar_t* pszText, long nStart = 0) const;
    // 8-bit text of the input code page.
    long nPos(const char* pszText, long nStart = 0) const;

private:
    // Length of a text given with nLen (-1: measured; below 1 or null: 0).
    template <class U>
    static long s_nLongueur(const U* p, long nLen);
    // Code page numbers compared as the converters read them (0 is 1252).
    static unsigned s_nNorme(unsigned nCodePage);
    bool _bDansUnCote(const void* p) const { return m_clA.bContient(p) || m_clW.bContient(p); }
    // f(side) on the master side.
    template <class F>
    void _SurMaitre(F f)
    {
        if (bMaitreLarge())
            f(m_clW);
        else
            f(m_clA);
    }
    // The side whose unit is T.
    template <class T>
    CXYStringConcat<T>& _Cote() const
    {
        if constexpr (std::is_same_v<T, wchar_t>)
            return m_clW;
        else
            return m_clA;
    }
    // The wide-character map of the master (identity for a wide master).
    CCarteMaitreA _Carte() const;
    long _nLongueurMaitre() const { return bMaitreLarge() ? m_clW.nGetLongueur() : m_clA.nGetLongueur(); }
    void _SetLongueurMaitre(long n);
    // Spoils the master after a failed scratch conversion: an in-place
    // change that cannot be made must not leave a statement looking whole.
    void _EchecMaitre();
    // The other side is stale.
    void _Change();
    void _ApresAjout(long nAvant);

    // The text in the master's form (T its unit): the text itself or its
    // conversion in scratch; with pbPerte, whether a wide text had
    // characters the 8-bit master cannot hold. False when a conversion's
    // memory could not be had.
    template <class T, class U>
    bool _bForme(const U* p, long n, CXYStringConcat<T>& scratch, const T** pp, long* pn,
                 bool* pbPerte = nullptr) const;
    template <class U>
    void _Insert(const U* p, long n, long nPos);
    template <class T, class U>
    void _InsertDans(const U* p, long n, long nPos);
    template <class U>
    void _Remplace(long nPos, long nCount, const U* p, long n);
    template <class T, class U>
    void _RemplaceDans(long nPos, long nCount, const U* p, long n);
    template <class U>
    void _RemplaceTout(const U* pattern, long nPattern, const U* with, long nWith, long nStart);
    template <class T, class U>
    void _RemplaceToutDans(const U* pattern, long nPattern, const U* with, long nWith, long nStart);
    template <class U>
    long _nPos(const U* p, long n, long nStart) const;
    template <class T, class U>
    long _nPosDans(const U* p, long n, long nStart) const;
    void _MajusculeA();

    unsigned m_nCodePageMaitre;
    unsigned m_nCodePageEntree;
    // The stale side is rebuilt by the const readers.
    mutable CXYStringConcat<char> m_clA;
    mutable CXYStringConcat<wchar_t> m_clW;
};
