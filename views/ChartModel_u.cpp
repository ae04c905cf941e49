#include "views/ChartModel_u.h"

#include <utility>

namespace brindle {

void TChartSeries::AddXY(double x, double y, std::string label) {
    points_.push_back(TChartPoint{x, y, std::move(label), SeriesColor});
}

void TChartSeries::Add(double value, std::string label) {
    AddXY(static_cast<double>(points_.size()), value, std::move(label));
}

void TChartSeries::SetValueColor(std::size_t index, TColor color) {
    if (index < points_.size()) points_[index].Color = color;
}

void TChart::FreeAllSeries() {
    while (!series_.empty()) series_.pop_back();
}

void TChart::AddSeries(TChartSeries series) { series_.push_back(std::move(series)); }

}  // namespace brindle
