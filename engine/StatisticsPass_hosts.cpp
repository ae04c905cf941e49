#include <algorithm>

#include "engine/StatisticsPass_group.h"

namespace brindle::statpass {

void TStatisticsPass::ByHost(TLane& lane) {
    Group(
        lane, kVisitorRule, TRecKey::Host, [](const TRecLog& r) { return r.HostIdx; },
        [&](const TRecLog& rec, TRecStat& row) {
            row.Name = TableName(In.HostTable.GetString(rec.HostIdx));
            row.IP = IPOf(rec.HostIdx);
            row.Key = rec.Time;
            return true;
        },
        [](const TRecLog& rec, TRecStat& row) { row.Key = std::max(row.Key, rec.Time); }, S.StatByHost);
}

void TStatisticsPass::HostCountries(TLane&) {
    std::unique_ptr<IGeoIPCountryReader> reader =
        In.CountryReaderFactory ? In.CountryReaderFactory() : CreateGeoIPCountryReader();
    if (reader) AssignHostCountries(S.StatByHost, *reader, In.CountryDbFile);
}

void TStatisticsPass::HostGroups(TLane&) {
    LookedUpCountries.clear();
    for (const TRecStat& host : S.StatByHost) LookedUpCountries.push_back(host.Country);
    HostLists = CollectHostGroups(S.StatByHost);
    for (const TRecStat& host : S.StatByHost) {
        if (host.Visits <= 0) continue;
        TStatistics::MergeStat(S.StatByNbVisit[std::min(host.Visits, TArrayByNbVisit::kLast)], host, 0);
    }
}

void TStatisticsPass::RegroupHosts(TLane&) {
    RegroupFromHosts({{HostLists.Domains, S.StatByDomain, false},
                      {HostLists.Tlds, S.StatByTld, true},
                      {HostLists.Countries, S.StatByCountry, true},
                      {HostLists.Regions, S.StatByRegion, true}});
    HostLists = {};
}

void TStatisticsPass::RegroupCities(TLane&) {
    TCityGroupLists lists;
    if (!In.CityDbPath.empty()) {
        std::unique_ptr<IGeoIPCityReader> reader =
            In.CityReaderFactory ? In.CityReaderFactory() : CreateGeoIPCityReader();
        if (reader) lists = CollectCityGroups(S.StatByHost, *reader, In.CityDbPath);
    }
    RegroupFromHosts({{lists.USStates, S.StatByUSState, false},
                      {lists.CAProvinces, S.StatByCAProv, false},
                      {lists.CNProvinces, S.StatByCNProv, false},
                      {lists.Cities, S.StatByCity, false}});
}

void TStatisticsPass::RegroupFromHosts(std::initializer_list<THostRegroup> regroups) {
    TTextArena arena;
    for (const THostRegroup& regroup : regroups)
        RegroupRows(S.StatByHost, regroup.Work, regroup.Target, regroup.SumDays, &arena);
    S.Texts.Adopt(std::move(arena));
}

}  // namespace brindle::statpass
