// How long one refresh of the CPU probe takes on the live processor, and how much 20
// clock measurements in a row spread.
//   vardak_cpu_bench [REFRESHES [MEASUREMENTS]]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "probes/hardware/Vesk_CPU.h"

namespace {

double secondsBetween(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int countArgument(int argc, char** argv, int index, int fallback) {
    if (argc <= index) {
        return fallback;
    }
    const int value = std::atoi(argv[index]);
    return value > 0 && value <= 1000 ? value : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int refreshes = countArgument(argc, argv, 1, 3);
    const int measurements = countArgument(argc, argv, 2, 20);
    vardak::win32::Win32Platform platform(/*console=*/true);
    vardak::probes::TCPU cpu(platform);

    std::printf("GetInfo (%d refreshes):\n", refreshes);
    for (int run = 1; run <= refreshes; ++run) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        cpu.GetInfo();
        QueryPerformanceCounter(&end);
        std::printf("  refresh %d: %.1f ms (Frequency=%d, VendorID=%s)\n", run, secondsBetween(start, end) * 1000.0,
                    cpu.Frequency(), cpu.VendorID().c_str());
    }

    std::printf("MeasureFrequency (%d measurements):\n", measurements);
    std::vector<double> raw;
    for (int run = 1; run <= measurements; ++run) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        const vardak::probes::TFrequencyInfo info = vardak::probes::MeasureFrequency(platform.processor());
        QueryPerformanceCounter(&end);
        raw.push_back(info.rawMHz);
        std::printf("  %2d: raw %u MHz, normalised %u MHz, %u cycles in %u us timed, %.1f ms in all\n", run,
                    info.rawMHz, info.normalisedMHz, info.cycles, info.microseconds,
                    secondsBetween(start, end) * 1000.0);
    }
    const auto [lowest, highest] = std::minmax_element(raw.begin(), raw.end());
    const double mean = std::accumulate(raw.begin(), raw.end(), 0.0) / static_cast<double>(raw.size());
    double squares = 0;
    for (const double value : raw) {
        squares += (value - mean) * (value - mean);
    }
    std::printf("raw MHz: min %.0f, max %.0f, spread %.0f, mean %.1f, standard deviation %.2f\n", *lowest, *highest,
                *highest - *lowest, mean, std::sqrt(squares / static_cast<double>(raw.size())));
    return 0;
}
