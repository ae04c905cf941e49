#pragma once
// The twelve string tables of a run, by number, and the record field that holds each one's
// index: code that treats every table alike walks these instead of naming them one by one.
#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/LogConvert_record.h"

namespace brindle {

enum TTableId : std::size_t {
    tiHost,
    tiUser,
    tiVDomain,
    tiMethod,
    tiURI,
    tiExt,
    tiPath,
    tiReferrer,
    tiAgent,
    tiBrowser,
    tiOS,
    tiSpider
};
inline constexpr std::size_t TableCount = 12;

inline constexpr std::array<std::int32_t TRecLog::*, TableCount> RecordIndexFields = {
    &TRecLog::HostIdx,  &TRecLog::UserIdx,    &TRecLog::VDomainIdx, &TRecLog::MethodIdx,
    &TRecLog::URIIdx,   &TRecLog::ExtIdx,     &TRecLog::PathIdx,    &TRecLog::ReferrerIdx,
    &TRecLog::AgentIdx, &TRecLog::BrowserIdx, &TRecLog::OSIdx,      &TRecLog::SpiderIdx};

}  // namespace brindle
