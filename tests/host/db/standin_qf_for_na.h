#pragma once

#include <mutex>
#include <optional>
#include <vector>

#include "common/text/qf_for_na.h"

// The host engine's interface as bSetQF hands it to the driver, stood in for
// with the one operation the library calls: a text mapper for each mode 1 to
// 7 (null for any other mode). A mapper maps by the locale stand-in's rules
// for the same flags: 1 upper case, 2 accents removed (Latin letters), 4
// symbols dropped; so "é" maps to "É" in mode 1, to "e" in mode 2 and to "E"
// in mode 3, one character for one (or none, mode 4).
//
// Input: 16-bit units (surrogate pairs read as one character; a lone
// surrogate stays itself) or, with text flag 16, 32-bit characters. Output:
// UTF-16, at most the capacity, a pair never cut in half; the answer is the
// count written. The input and the destination are checked to be aligned
// (a call with a misaligned one is recorded and answers -1).
//
// Tests may refuse a mode (the interface then answers null for it) and
// script the mappers' answer (they still write first). Every request and
// every mapping is recorded; all of it is guarded by a mutex.
class StandinQFForNA final : public IQFForNA
{
public:
    struct MapCall
    {
        int mode = 0;
        int source = 0;      // units (or characters) passed
        int textFlags = 0;
        int capacity = 0;
        bool aligned = true;  // both pointers aligned for their units
        int result = 0;       // the answer given
    };

    StandinQFForNA();
    StandinQFForNA(const StandinQFForNA&) = delete;
    StandinQFForNA& operator=(const StandinQFForNA&) = delete;
    ~StandinQFForNA() = default;

    IQFTextMapper* piGetTextMapper(int nMode) override;

    void RefuseMode(int nMode);
    // From now on every mapper answers nAnswer after its work; nullopt
    // gives the count written again.
    void ScriptAnswer(std::optional<int> nAnswer);

    // The modes asked for, in order, and the mappings done.
    std::vector<int> ModesAsked() const;
    std::vector<MapCall> MapCalls() const;
    void ClearLog();

private:
    class Mapper final : public IQFTextMapper
    {
    public:
        int nMapUnits(const void* pSource, int nSource, int nTextFlags, char16_t* pDest, int nCapacity) override;

        StandinQFForNA* m_pEngine = nullptr;
        int m_nMode = 0;
    };

    static constexpr int kModes = 8;

    mutable std::mutex m_mutex;
    Mapper m_aMappers[kModes];
    bool m_abRefused[kModes] = {};
    std::optional<int> m_nScriptedAnswer;
    std::vector<int> m_modesAsked;
    std::vector<MapCall> m_mapCalls;
};
