#include "tests/host/db/standin_qf_for_na.h"

#include <cstdint>
#include <string>

#include "tests/host/kit/standin_info_locale.h"

namespace {

constexpr int kTextFlag32 = 16;

std::u32string Decode(const void* pSource, int nSource, int nTextFlags)
{
    std::u32string text;
    if (pSource == nullptr || nSource <= 0)
        return text;
    if (nTextFlags & kTextFlag32) {
        const wchar_t* p = static_cast<const wchar_t*>(pSource);
        for (int i = 0; i < nSource; ++i)
            text.push_back(static_cast<char32_t>(p[i]));
        return text;
    }
    const char16_t* p = static_cast<const char16_t*>(pSource);
    for (int i = 0; i < nSource; ++i) {
        const char16_t u = p[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < nSource && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
            text.push_back(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (p[i + 1] - 0xDC00));
            ++i;
        } else {
            text.push_back(u);
        }
    }
    return text;
}

// UTF-16 into at most nCapacity units, whole characters only; the count
// written. A character beyond U+10FFFF is U+FFFD.
int Encode(const std::u32string& text, char16_t* pDest, int nCapacity)
{
    int n = 0;
    for (char32_t c : text) {
        if (c > 0x10FFFF)
            c = 0xFFFD;
        const int nUnits = c > 0xFFFF ? 2 : 1;
        if (n + nUnits > nCapacity)
            break;
        if (nUnits == 2) {
            pDest[n++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            pDest[n++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            pDest[n++] = static_cast<char16_t>(c);
        }
    }
    return n;
}

bool bAligned(const void* p, size_t nAlignment)
{
    return reinterpret_cast<uintptr_t>(p) % nAlignment == 0;
}

}  // namespace

StandinQFForNA::StandinQFForNA()
{
    for (int i = 0; i < kModes; ++i) {
        m_aMappers[i].m_pEngine = this;
        m_aMappers[i].m_nMode = i;
    }
}

IQFTextMapper* StandinQFForNA::piGetTextMapper(int nMode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_modesAsked.push_back(nMode);
    if (nMode < 1 || nMode >= kModes || m_abRefused[nMode])
        return nullptr;
    return &m_aMappers[nMode];
}

int StandinQFForNA::Mapper::nMapUnits(const void* pSource, int nSource, int nTextFlags, char16_t* pDest,
                                      int nCapacity)
{
    MapCall call{.mode = m_nMode, .source = nSource, .textFlags = nTextFlags, .capacity = nCapacity};
    call.aligned = bAligned(pSource, (nTextFlags & kTextFlag32) ? alignof(wchar_t) : alignof(char16_t)) &&
                   bAligned(pDest, alignof(char16_t));
    call.result = -1;
    if (call.aligned && pDest != nullptr) {
        const std::u32string mapped =
            StandinInfoLocale::MapCharacters(static_cast<unsigned>(m_nMode), Decode(pSource, nSource, nTextFlags));
        call.result = Encode(mapped, pDest, nCapacity);
    }
    std::lock_guard<std::mutex> lock(m_pEngine->m_mutex);
    if (m_pEngine->m_nScriptedAnswer)
        call.result = *m_pEngine->m_nScriptedAnswer;
    m_pEngine->m_mapCalls.push_back(call);
    return call.result;
}

void StandinQFForNA::RefuseMode(int nMode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nMode >= 0 && nMode < kModes)
        m_abRefused[nMode] = true;
}

void StandinQFForNA::ScriptAnswer(std::optional<int> nAnswer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nScriptedAnswer = nAnswer;
}

std::vector<int> StandinQFForNA::ModesAsked() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_modesAsked;
}

std::vector<StandinQFForNA::MapCall> StandinQFForNA::MapCalls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mapCalls;
}

void StandinQFForNA::ClearLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_modesAsked.clear();
    m_mapCalls.clear();
}
