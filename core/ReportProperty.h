#pragma once
// One report's settings in a profile; the catalogue's default table uses the same record.
#include <cstdint>

namespace brindle {

struct TRecReportProperty {
    std::uint8_t ID = 0;
    std::int32_t Enable = 0;
    std::int32_t EnableList = 0;
    std::int32_t EnableChart = 0;
    std::int32_t EnableChartDaily = 0;
    std::int32_t NbItemsList = 0;
    std::int32_t NbItemsChart = 0;
    std::int32_t NbItemsChartDaily = 0;

    friend bool operator==(const TRecReportProperty&, const TRecReportProperty&) = default;
};

}  // namespace brindle
