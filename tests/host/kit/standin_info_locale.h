#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/text/info_locale.h"

// The host's locale interface as the library expects it: good enough for
// French and neutral case- and accent-insensitive work, plus a call log and
// scripted answers for routing tests. It does not use the common library (it
// also lives in the stand-in host module, which must not link it).
//
// Characters. Every character has three forms: upper, lower and base (the
// accent removed, case kept). For U+0000-U+00FF and the letters of code page
// 1252 at their Unicode positions (Œ œ Š š Ž ž Ÿ ƒ) the forms come from a
// fixed table whose upper-case base form is exactly the byte table
// pToNoAccentUpper_Latin1 (é -> E, œ -> Œ, ÿ -> Y, æ -> Æ, ß stays ß);
// elsewhere upper and lower come from towupper/towlower under C.UTF-8 and the
// base form is the character itself. A symbol is a character that is white
// space or punctuation under C.UTF-8 (iswspace, iswpunct).
//
// Locale ids are logged and otherwise ignored: 1024, 1036, the current one and
// any other id behave identically (equal texts under the registries' 1024
// comparison must hash alike under the 1036 map).
//
// Mapping (map flags; other bits ignored): 2 takes the base form, then 1 the
// upper form or, without 1, 0x100 the lower form (3 is the accent-free upper
// form used as the primary weight below); 4 drops symbols. One character
// always gives one character or, with 4, nothing. A negative source length
// means up to the terminator; a null source is empty. The source is read in
// full before anything is written, so mapping in place is safe. A null
// destination is never written: the answer is the length needed, terminator
// excluded. A destination of capacity c >= 1 receives min(needed, c - 1)
// units (UTF-8: whole characters only) and a terminator, and the answer is
// the count written; capacity <= 0 writes nothing and answers 0.
//
// Comparison, three levels over the whole texts, each deciding only when the
// ones before are equal; characters compared as unsigned 32-bit values:
//   primary   the flags-3 map of each character (so equal under flags 3 means
//             equal flags-3 maps), shorter text first when one is a prefix;
//   secondary the accent: 0 for a character whose lower form equals the lower
//             form of its primary weight, otherwise its lower form; compared
//             from the start of the text (no French backwards rule);
//   tertiary  the case: 0 lower or caseless, 1 otherwise (lower before upper).
// So "e" < "E" < "é" < "É" < "f", and "cote" < "coté" < "côte". Flag 1 drops
// the tertiary level, flag 2 the secondary level, flag 4 drops the symbols
// from both texts first; other bits (0x20000000, 0x40000000 ...) are ignored.
// Negative lengths mean up to the terminator; explicit lengths are honoured
// exactly (embedded zeros inside count, anything past is ignored). Answers
// are -1, 0 or 1.
//
// 8-bit slots decode in code page 65001 (UTF-8) when the current code page is
// 65001 and in 1252 otherwise (the five undefined 1252 bytes stand for
// U+0081, U+008D, U+008F, U+0090, U+009D); undecodable UTF-8 bytes read as
// '?'. Mapping results are encoded back the same way, '?' for what 1252
// cannot hold (nothing a 1252 source can produce).
//
// Sort key (nMapSortKeyA): follows the comparison without flags, so memcmp
// (or strcmp) of two keys orders them as nCompareStringLocaleA(.., 0, ..)
// does and equal keys mean equal texts at all three levels:
//   primary weights, each as three bytes 0x02 + 7-bit groups, big-endian;
//   0x01; secondary weights in the same form; 0x01; tertiary weights, one
//   byte each (0x02 lower or caseless, 0x03 upper); terminator 0x00.
// The key holds no zero byte before its terminator. Capacity rules are those
// of the maps, counted in bytes.
//
// Scripted answers: a scripted slot still does its work (a destination is
// filled as usual) and then answers the scripted value. The log records every
// call with the answer actually given; it and the scripts are guarded by a
// mutex, the settings are atomic.
class StandinInfoLocale final : public IInfoLocale
{
public:
    // Slot numbers are the interface's virtual-table positions.
    enum Slot : int {
        kReserve0,
        kReserve1,
        kGetCurrentCharset,
        kGetCurrentCodePage,
        kGetCurrentLCID,
        kCompareStringLocaleA,
        kCompareStringLocaleW,
        kCompareStringA,
        kCompareStringW,
        kMapSortKeyA,
        kReserve10,
        kMapStringLocaleA,
        kMapStringLocaleW,
        kMapStringA,
        kMapStringW,
        kGetSafeCurrentLCID,
        kSlotCount
    };

    struct Call
    {
        Slot slot = kReserve0;
        unsigned lcid = 0;      // locale id passed; 0 for slots without one
        unsigned flags = 0;     // comparison or map flags passed; 0 without
        std::wstring text1{};   // first text or the source, as read (8-bit:
        std::wstring text2{};   //   one unit per byte); second text compared
        int length1 = 0;        // lengths as passed
        int length2 = 0;
        bool destination = false;  // maps and sort key: a destination was given
        int capacity = 0;
        int result = 0;         // the answer given (scripted or not)
    };

    static constexpr int kDefaultCharset = 0;
    static constexpr int kDefaultCodePage = 1252;
    static constexpr unsigned kDefaultLCID = 0x40C;
    static constexpr unsigned kDefaultSafeLCID = 0x40C;
    static constexpr int kCodePageUtf8 = 65001;
    static constexpr unsigned char kSortKeyLevelSeparator = 0x01;

    StandinInfoLocale() = default;
    StandinInfoLocale(const StandinInfoLocale&) = delete;
    StandinInfoLocale& operator=(const StandinInfoLocale&) = delete;
    ~StandinInfoLocale() = default;

    int _vnReserve0() override;
    int _vnReserve1() override;
    int nGetCurrentCharset() override;
    int nGetCurrentCodePage() override;
    unsigned nGetCurrentLCID() override;
    int nCompareStringLocaleA(unsigned lcid, unsigned flags, const char* s1, int n1, const char* s2, int n2) override;
    int nCompareStringLocaleW(unsigned lcid, unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2) override;
    int nCompareStringA(unsigned flags, const char* s1, int n1, const char* s2, int n2) override;
    int nCompareStringW(unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2) override;
    int nMapSortKeyA(unsigned lcid, char* dst, int capacity, const char* src, int srcLen) override;
    int _vnReserve10() override;
    int nMapStringLocaleA(unsigned lcid, unsigned flags, char* dst, int capacity, const char* src, int srcLen) override;
    int nMapStringLocaleW(unsigned lcid, unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen) override;
    int nMapStringA(unsigned flags, char* dst, int capacity, const char* src, int srcLen) override;
    int nMapStringW(unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen) override;
    unsigned nGetSafeCurrentLCID() override;

    // A text mapped by the rules of the map flags above, without a call
    // logged: the engine stand-in's text mappers share them.
    static std::u32string MapCharacters(unsigned flags, const std::u32string& text);

    // Settings of the "current" locale.
    void SetCharset(int charset) { m_charset = charset; }
    void SetCodePage(int codePage) { m_codePage = codePage; }
    void SetLCID(unsigned lcid) { m_lcid = lcid; }
    void SetSafeLCID(unsigned lcid) { m_safeLcid = lcid; }

    // From now on `slot` answers `answer` (unsigned slots answer it cast)
    // until unscripted or reset.
    void Script(Slot slot, int answer);
    void Unscript(Slot slot);

    // Settings, scripts and log back to their defaults.
    void Reset();
    void ClearLog();

    std::vector<Call> Log() const;
    size_t Calls(Slot slot) const;
    // The last call of `slot`; an empty call (slot kSlotCount) when none.
    Call LastCall(Slot slot) const;

private:
    int Answer(Call call, int result);
    std::u32string Decode(const char* text, int length) const;
    std::string Encode(const std::u32string& text) const;
    int CompareA(unsigned flags, const char* s1, int n1, const char* s2, int n2) const;
    int MapA(unsigned flags, char* dst, int capacity, const char* src, int srcLen) const;

    std::atomic<int> m_charset{kDefaultCharset};
    std::atomic<int> m_codePage{kDefaultCodePage};
    std::atomic<unsigned> m_lcid{kDefaultLCID};
    std::atomic<unsigned> m_safeLcid{kDefaultSafeLCID};

    mutable std::mutex m_mutex;
    std::vector<Call> m_log;
    std::optional<int> m_scripts[kSlotCount];
};
