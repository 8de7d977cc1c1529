#pragma once
// Prints as the console reporter does and keeps each benchmark's time per
// iteration, wall and CPU (each repetition, too), so that main can print
// ratios between them.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            // Repetitions are reported under one name, without the suffix.
            const std::string name = run.run_name.str();
            times[name] = run.GetAdjustedRealTime();
            allTimes[name].push_back(run.GetAdjustedRealTime());
            // A benchmark timed by hand reports no CPU time.
            if (run.GetAdjustedCPUTime() > 0) {
                cpuTimes[name] = run.GetAdjustedCPUTime();
                allCpuTimes[name].push_back(run.GetAdjustedCPUTime());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times, cpuTimes;                    // wall, CPU: the last repetition
    std::map<std::string, std::vector<double>> allTimes, allCpuTimes; // every repetition
};
