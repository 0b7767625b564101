#pragma once

// Console reporter that, after the usual table, prints one ratio line per
// pair of benchmarks whose names differ only in the measured tag and the
// baseline tag: the measured CPU time divided by the baseline's, both from
// the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vxbench {

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter(std::string title, std::string measuredTag, std::string baselineTag)
        : m_title(std::move(title)), m_measured(std::move(measuredTag)), m_baseline(std::move(baselineTag))
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%s (cpu time)\n", m_title.c_str());
        for (const auto& [name, cpu] : m_cpu) {
            const size_t at = name.find(m_measured);
            if (at == std::string::npos)
                continue;
            std::string baseline = name;
            baseline.replace(at, m_measured.size(), m_baseline);
            auto it = m_cpu.find(baseline);
            if (it != m_cpu.end() && it->second > 0)
                std::printf("  %-24s %6.2f\n", name.c_str(), cpu / it->second);
        }
    }

private:
    std::string m_title;
    std::string m_measured;
    std::string m_baseline;
    std::map<std::string, double> m_cpu;
};

}  // namespace vxbench
