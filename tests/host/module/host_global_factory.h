#pragma once

#include <atomic>

#include "common/system/global_factory.h"

// The host's global factory as the module sees it: the first operation
// answers a configurable int; the module calls nothing else.
class StandinGlobalFactory final : public IGlobalFactory
{
public:
    int vnGetVersion() override;

    void SetAnswer(int answer) { m_answer = answer; }
    long Calls() const { return m_calls.load(); }
    void Reset();

    static constexpr int kDefaultAnswer = 1;

private:
    std::atomic<int> m_answer{kDefaultAnswer};
    std::atomic<long> m_calls{0};
};
