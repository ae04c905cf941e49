#include <string_view>

#include "engine/StatisticsPass_group.h"

namespace brindle::statpass {

void TStatisticsPass::ByBrowser(TLane& lane) {
    GroupNamed(
        lane, kVisitorRule, TRecKey::Browser, [](const TRecLog& r) { return r.BrowserIdx; }, In.BrowserTable,
        S.StatByBrowser);
}

void TStatisticsPass::ByOS(TLane& lane) {
    GroupNamed(
        lane, kVisitorRule, TRecKey::OS, [](const TRecLog& r) { return r.OSIdx; }, In.OSTable, S.StatByOS);
}

void TStatisticsPass::BySpider(TLane& lane) {
    GroupNamed(
        lane, kVisitorRule, TRecKey::Spider, [](const TRecLog& r) { return r.SpiderIdx; }, In.SpiderTable,
        S.StatBySpider);
}

void TStatisticsPass::ByUser(TLane& lane) {
    constexpr TWalkRule rule{.Pages = true, .Days = TDailyCounts::Visits};
    Group(
        lane, rule, TRecKey::User, [](const TRecLog& r) { return r.UserIdx; },
        [&](const TRecLog& rec, TRecStat& row) {
            const std::string_view user = In.UserTable.GetString(rec.UserIdx);
            if (user.empty()) return false;
            row.Name = TableName(user);
            return true;
        },
        S.StatByUserName);
}

}  // namespace brindle::statpass
