// The engine's month layout, natively: nanoseconds per panel.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "layout.h"

// Frames about the size of the dialog's at 96 dpi; the layout's cost does
// not depend on them. The months run over forty years.
static void LayoutPanels(benchmark::State &state, PanelKind kind, int width, int height) {
    CellMetrics metrics = MeasureCellMetrics(kind, width, height);
    CalendarDate today = {15, 0, 1997};
    int month = 0;
    int year = 1990;
    for (auto _ : state) {
        PanelLayout layout = LayoutMonth(kind, metrics, width, height, month, year, today);
        benchmark::DoNotOptimize(layout);
        if (++month == 12) {
            month = 0;
            year = year == 2030 ? 1990 : year + 1;
        }
    }
}

static double Min(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }
static double Max(const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); }

BENCHMARK_CAPTURE(LayoutPanels, current, PanelKind::current, 173, 128)
    ->ComputeStatistics("min", Min)
    ->ComputeStatistics("max", Max);
BENCHMARK_CAPTURE(LayoutPanels, side, PanelKind::side, 124, 92)
    ->ComputeStatistics("min", Min)
    ->ComputeStatistics("max", Max);

BENCHMARK_MAIN();
