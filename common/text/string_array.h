#pragma once

#include "common/text/ct_string.h"
#include "common/text/tableau.h"

// An ordered list of owned strings: each element points to a CTString made
// with new and deleted by the array when it is removed, replaced, emptied
// or destroyed. Lists of names are added to, searched, sorted, split from a
// text at a separator and joined back with one.
//
// Indexes outside the array make an operation do nothing. When memory runs
// out an element is not added (the text given is not kept).
class CTStringArray : public CTTableau<CTString*>
{
public:
    // Growth step of the element pointers (steps of 1 turn into steps of 20
    // above 100 elements).
    explicit CTStringArray(int nPas = 1);

    // Virtual slots after the six of CTTableau<CTString*>, in order. The two
    // inherited Initialise slots are taken over: storing one pointer n times
    // would delete it n times, so they replace the elements with n copies of
    // the string pointed to.
    ~CTStringArray() override;
    int Initialise(void const* pElement, int n) override;
    int Initialise(CTString* const& pElement, int n) override;
    // Appends a copy of the text (an empty element for a null string).
    virtual void Ajoute(const CTString* p);
    virtual void Ajoute(const wchar_t* psz);
    // Appends copies of all the other array's strings, in order.
    virtual void Ajoute(const CTTableau<CTString*>& other);
    // Inserts a copy at index 0 .. count.
    virtual void Insere(const CTString* p, int nAt);
    virtual void Insere(const wchar_t* psz, int nAt);
    // Puts a new copy at index i and deletes the string held there.
    virtual void SetAt(const CTString* p, int i);
    virtual void SetAt(const wchar_t* psz, int i);
    // Deletes the string at i and removes its slot.
    virtual void Supprime(int i);
    // Deletes every string; the count becomes 0.
    virtual void SupprimeTout();
    // The element at i (no bounds check).
    virtual CTString* operator[](int i) const;
    // First index >= nStart (below 0: 0) whose text equals s: wcscmp when
    // case-sensitive, otherwise equality without case and accents through
    // the host locale. -1 when nothing matches. A null s is the empty text.
    virtual int nRecherche(const wchar_t* s, int bCaseSensitive, int nStart) const;
    // Sorts: ascending by wcscmp, ascending by wcscasecmp, descending by
    // wcscmp.
    virtual void TrieCroisssant();
    virtual void TrieCroisssantI();
    virtual void TrieDecroisssant();
    // Joins the texts with sep between them into *pOut, sized once. An empty
    // array leaves *pOut as it is; a null or empty sep joins without one.
    // False only when memory runs out (*pOut then unchanged).
    virtual bool bFusion(CTString* pOut, const wchar_t* sep) const;
    // Empties the array and appends each piece of s between occurrences of
    // sep, empty pieces included (also the one after a final separator). An
    // empty s gives no element; a null or empty sep is refused (no element).
    virtual void Decoupe(const CTString& s, const wchar_t* sep);
    virtual void Decoupe(const wchar_t* s, const wchar_t* sep);
    // Appends n copies of s.
    virtual void Initialise(const wchar_t* s, int n);
    // Appends an element of at most n characters of s (n below 0: all).
    virtual void vAjoute(const wchar_t* s, long n);

    // Appends an element that takes over p's text; p is left empty.
    void AjouteRecupere(CTString* p);
    // Appends an element formatted as CTString::printf; its result.
    int AjoutePrintf(const wchar_t* pszFormat, ...);
    // Appends an element formatted by FormatMessageW (printf-style, as
    // CTString::FormatMessageW, the arguments counted); the characters
    // produced, 0 on failure (the element then empty).
    template <class... Args>
    int AjouteFormatMessageWin(const wchar_t* pszFormat, Args... args)
    {
        CTString* element = _pclAjouteVide();
        return element != nullptr ? static_cast<int>(element->FormatMessageW(pszFormat, args...)) : 0;
    }

    // Splits s at sep, sorts the pieces with wcscasecmp and joins them into
    // *pOut with the same separator.
    static bool g_bTrieCroissantI(CTString* pOut, const wchar_t* s, const wchar_t* sep);

private:
    // A new empty element appended; null when it could not be.
    CTString* _pclAjouteVide();
    // Takes ownership of p (deleted when it cannot be stored).
    bool _bAjoute(CTString* p);
    bool _bInsere(CTString* p, int nAt);
    CTString* _pGet(int i) const { return CTTableau<CTString*>::operator[](i); }
};
