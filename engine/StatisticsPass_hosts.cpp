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
    const TLstStat& hosts = S.StatByHost;
    TTextArena arena;
    RegroupRows(hosts, HostLists.Domains, S.StatByDomain, false, &arena);
    RegroupRows(hosts, HostLists.Tlds, S.StatByTld, true, &arena);
    RegroupRows(hosts, HostLists.Countries, S.StatByCountry, true, &arena);
    RegroupRows(hosts, HostLists.Regions, S.StatByRegion, true, &arena);
    S.Texts.Adopt(std::move(arena));
    HostLists = {};
}

void TStatisticsPass::RegroupCities(TLane&) {
    TCityGroupLists lists;
    if (!In.CityDbPath.empty()) {
        std::unique_ptr<IGeoIPCityReader> reader =
            In.CityReaderFactory ? In.CityReaderFactory() : CreateGeoIPCityReader();
        if (reader) lists = CollectCityGroups(S.StatByHost, *reader, In.CityDbPath);
    }
    const TLstStat& hosts = S.StatByHost;
    TTextArena arena;
    RegroupRows(hosts, lists.USStates, S.StatByUSState, false, &arena);
    RegroupRows(hosts, lists.CAProvinces, S.StatByCAProv, false, &arena);
    RegroupRows(hosts, lists.CNProvinces, S.StatByCNProv, false, &arena);
    RegroupRows(hosts, lists.Cities, S.StatByCity, false, &arena);
    S.Texts.Adopt(std::move(arena));
}

}  // namespace brindle::statpass
