#pragma once

#include <type_traits>

#include "common/text/xy_string.h"

// Append-only text builder for 8-bit (char) or wide (wchar_t) text: a
// malloc'd buffer, the length in use, the capacity (terminator not counted)
// and a growth step, all in characters. SQL statements, schema queries and
// dumps are assembled in it by many small appends.
//
// - Growth is by whole steps: when length + n passes the capacity, the
//   capacity becomes ((length + n) / step + 1) x step, always strictly above
//   the need (a need of 2048 with step 1024 gives 3072), and the buffer holds
//   capacity + 1 characters.
// - The text is terminated whenever the length is not 0; an empty builder
//   reads as the shared empty text ChaineVide. Emptying keeps the buffer.
// - Lengths below 1 and null texts append nothing. Texts appended may lie
//   inside the builder's own buffer.
// - A builder never holds more than kLongueurMax characters. When growth
//   fails (no memory, or that limit), the builder is spoiled: it empties and
//   ignores every append until Vide, and bEchec answers true. A statement
//   is thus never sent with a piece silently missing: a spoiled builder
//   reads as empty text.
template <class T>
class CXYStringConcat
{
    static_assert(std::is_same_v<T, char> || std::is_same_v<T, wchar_t>, "8-bit or wide text only");

public:
    static constexpr const T* ChaineVide = XYStringEmptyText<T>();
    // The driver's builders grow by 1024 characters.
    static constexpr long kPasDefaut = 1024;
    static constexpr long kLongueurMax = 0x7FFFFEFF;

    // A step below 1 is taken as kPasDefaut.
    explicit CXYStringConcat(long nPas = kPasDefaut);
    ~CXYStringConcat();
    CXYStringConcat(const CXYStringConcat&) = delete;
    CXYStringConcat& operator=(const CXYStringConcat&) = delete;

    // Reading.
    const T* pszGet() const { return m_nLongueur ? m_pBuffer : ChaineVide; }
    long nGetLongueur() const { return m_nLongueur; }
    long nGetCapacite() const { return m_nCapacite; }
    long nGetPas() const { return m_nPas; }
    bool bEchec() const { return m_bEchec; }
    // Unit i, 0 outside the text.
    T cGetChar(long i) const { return i >= 0 && i < m_nLongueur ? m_pBuffer[i] : T(0); }

    void SetPas(long nPas) { m_nPas = nPas >= 1 ? nPas : kPasDefaut; }
    // Length 0, buffer and capacity kept; a spoiled builder is usable again.
    void Vide();
    // Exchanges the whole state of two builders of one kind.
    void Echange(CXYStringConcat& other);

    // Appends n characters (nothing for a null text or n below 1).
    void Add(const T* p, long n);
    // Appends a terminated text (nothing for a null or empty text).
    void Add(const T* p);
    // 8-bit text of a code page: the 8-bit builder copies the bytes (the
    // code page is not used), the wide one converts (MultiByteToWideChar).
    void AddAnsi(const char* p, long n, unsigned nCodePage);
    // Wide text: the 8-bit builder converts into the code page
    // (WideCharToMultiByte, "?" for what it cannot hold), the wide one copies.
    void AddWide(const wchar_t* p, long n, unsigned nCodePage);
    // 8-bit text of a code page: the 8-bit builder converts it to UTF-8
    // (MultiByteToUTF8; code page 65001 copies), the wide one as AddAnsi.
    void AddAnsiToUTF8(const char* p, long n, unsigned nCodePage);
    // UTF-8 bytes: the wide builder decodes them, the 8-bit one converts them
    // into the code page (65001 copies).
    void AddUTF8(const char* p, long n, unsigned nCodePage);
    // Converts n bytes of UTF-8 into pDst, which has room for n units and a
    // terminator: wide text through MultiByteToWideChar(65001), 8-bit text
    // through UTF8ToMultiByte to the code page. Returns the units written (0
    // when they do not fit or nothing converts).
    static long _nUTF8ToX(const char* p, long n, T* pDst, int nCodePage);

    // Decimal text; when nMinDigits is not -1 and v is above 0, zeros are put
    // in front up to nMinDigits digits ("007"; 0 stays "0", -7 stays "-7").
    void AddNumber(int v, int nMinDigits = -1);
    void AddNumber(long v, int nMinDigits = -1);
    // Upper-case hexadecimal with leading zeros: 2, 4, 8 or 16 digits.
    void AddNumberHexa(unsigned char v);
    void AddNumberHexa(unsigned short v);
    void AddNumberHexa(unsigned int v);
    void AddNumberHexa(unsigned long v);
    // Eight "0"/"1"; most significant bit first when the flag is set.
    void AddNumberBinary(unsigned char b, int bMostSignificantFirst);
    // Moves the terminated digits right and fills the front with "0" up to
    // nMinDigits characters; pDigits must have room for nMinDigits + 1.
    static void _AddPrefix0(T* pDigits, int nMinDigits);

    // First occurrence at or after start (below 0: 0), -1 when none, when the
    // builder is empty or the pattern null, empty or 0. The search runs over
    // the whole length, zeros inside the text included.
    long nPos(const T* s, long nStart = 0) const;
    long nPos(T c, long nStart = 0) const;
    // Case-sensitive equality; an empty builder equals an empty (or null) text.
    bool bEstEgal(const T* s) const;
    // Upper case in place through the host's case map (STR_ToUpper).
    void Majuscule();

    // For the builders layered on this one.
    // Room for a total of nBesoin characters, grown by the step rule; false
    // (and the builder spoiled) when it cannot be had.
    bool _AugmenteTaille(unsigned long nBesoin);
    // Room for n more characters: where to write them, or null (spoiled).
    T* _ptReserve(long n);
    // The n characters written at the end become part of the text.
    void _Avance(long n);
    // Cuts or extends the text to n characters (0 <= n <= capacity) and
    // terminates it there.
    void _SetLongueur(long n);
    T* _ptGetBuffer() { return m_pBuffer; }
    // Spoils the builder (see above).
    void _Abandonne() { _Echec(); }
    // Whether p points into the buffer.
    bool bContient(const void* p) const { return _bDedans(p); }

private:
    void _Echec();
    bool _bDedans(const void* p) const;
    void _Terminate()
    {
        if (m_pBuffer)
            m_pBuffer[m_nLongueur] = 0;
    }
    void _AddDigits(const T* digits, bool bPositive, int nMinDigits);
    // Converts into the room after the text: convert(dst, room) answers the
    // units written (0 when they did not fit or nothing converted); when it
    // answers 0, measure() may tell the room really needed (0: unknown) and
    // the conversion is tried once more with that room.
    template <class Convert, class Measure>
    void _AddConverti(long nEstimation, Convert convert, Measure measure);

    T* m_pBuffer;
    long m_nLongueur;
    long m_nCapacite;
    long m_nPas;
    bool m_bEchec;
};

extern template class CXYStringConcat<char>;
extern template class CXYStringConcat<wchar_t>;
