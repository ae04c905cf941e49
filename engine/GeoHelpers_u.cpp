#include "engine/GeoHelpers_u.h"

#include <algorithm>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "core/ReportTxt_u.h"

namespace brindle {

namespace {

std::string AsciiLower(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimBlanksAndControls(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

// The dotted address of a host row, empty when the host is no address.
std::string RowAddress(const TRecStat& row) {
    if (row.IP == -1) return {};
    return LongToIP(static_cast<std::uint32_t>(row.IP));
}

}  // namespace

bool THostReferrerHelper::IsNumericHost(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

void THostReferrerHelper::SplitHostName(std::string_view host) {
    HostDomain = host;
    HostTLD.clear();
    if (IsNumericHost(host)) return;
    const std::size_t last = host.rfind('.');
    if (last == std::string_view::npos) return;
    HostTLD = AsciiLower(host.substr(last + 1));
    if (last == 0) return;
    const std::size_t second = host.rfind('.', last - 1);
    if (second != std::string_view::npos) HostDomain = host.substr(second + 1);
}

void THostReferrerHelper::ExtractReferrerSite(std::string_view referrer) {
    ReferrerSite.clear();
    if (referrer.empty()) return;
    if (IsNumericHost(referrer)) {
        ReferrerSite = referrer;
        return;
    }
    const std::size_t first = referrer.find('/');
    if (first == std::string_view::npos) return;
    const std::size_t second = referrer.find('/', first + 1);
    if (second == std::string_view::npos) return;
    const std::size_t start = second + 1;
    const std::size_t third = referrer.find('/', start);
    ReferrerSite = referrer.substr(start, third == std::string_view::npos ? std::string_view::npos : third - start);
}

std::vector<std::string> SplitReferrerParams(std::string_view referrer) {
    std::vector<std::string> fields;
    std::string field;
    bool inQuotes = false;
    const auto endField = [&] {
        if (!field.empty()) fields.push_back(std::move(field));
        field.clear();
    };
    for (const char c : referrer) {
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && (c == '?' || c == '&')) {
            endField();
        } else if (field.empty() && (c == '\r' || c == '\n')) {
            // A field never starts with a line break.
        } else {
            field += c;
        }
    }
    endField();
    return fields;
}

void THostReferrerHelper::ExtractSearchPhrase(std::string_view referrer, const TLstSEType& engines) {
    if (referrer.empty()) {
        SearchEngine.clear();
        return;
    }
    SearchEngine = engines.FindName(referrer);
    if (SearchEngine.empty()) return;
    const std::vector<std::string> params = SplitReferrerParams(referrer);
    SearchPhrase = AsciiLower(TrimBlanksAndControls(engines.GetKeyPhrase(SearchEngine, params)));
    Keywords.clear();
    if (SearchPhrase.starts_with("cache:")) {
        SearchEngine.clear();
        SearchPhrase.clear();
        return;
    }
    SplitToList(SearchPhrase, ' ', Keywords);
}

bool AssignHostCountries(TLstStat& hosts, IGeoIPCountryReader& reader, const std::string& fileName) {
    if (!reader.Open(fileName)) return false;
    for (TRecStat& row : hosts) {
        row.Country = 0;
        const std::string address = RowAddress(row);
        if (address.empty()) continue;
        const TGeoIPCountry found = reader.LookupCountry(address);
        if (found.Found) row.Country = GetCountryIndex(AsciiLower(found.Code));
    }
    reader.Close();
    return true;
}

int CountryWithTLDFallback(int country, std::string_view hostTLD) {
    if (country != 0 || hostTLD.empty()) return country;
    return GetCountryIndex(hostTLD);
}

THostGroupLists CollectHostGroups(TLstStat& hosts) {
    THostGroupLists lists;
    for (auto* list : {&lists.Domains, &lists.Tlds, &lists.Countries, &lists.Regions}) list->reserve(hosts.Count());
    THostReferrerHelper helper;
    for (std::size_t i = 0; i < hosts.Count(); ++i) {
        TRecStat& row = hosts[i];
        helper.SplitHostName(row.Name);
        row.Country = CountryWithTLDFallback(row.Country, helper.HostTLD);
        lists.Domains.push_back({helper.HostDomain, i});
        lists.Tlds.push_back({helper.HostTLD, i});
        lists.Countries.push_back({GetCountryTLD(row.Country), i});
        lists.Regions.push_back({GetCountryRegionKey(row.Country), i});
    }
    return lists;
}

TCityGroupLists CollectCityGroups(const TLstStat& hosts, IGeoIPCityReader& reader, const std::string& fileName) {
    TCityGroupLists lists;
    if (!reader.Open(fileName)) return lists;
    for (std::size_t i = 0; i < hosts.Count(); ++i) {
        const std::string address = RowAddress(hosts[i]);
        if (address.empty()) continue;
        const TGeoIPCity found = reader.LookupCity(address);
        if (!found.Found) continue;
        std::string region;
        std::vector<TRegroupRow>* regionList = nullptr;
        if (found.CountryCode == "US") {
            region = GetUSStateName(found.RegionCode);
            regionList = &lists.USStates;
        } else if (found.CountryCode == "CA") {
            region = GetCAProvinceName(found.RegionCode);
            regionList = &lists.CAProvinces;
        } else if (found.CountryCode == "CN") {
            region = GetCNProvinceName(found.RegionCode);
            regionList = &lists.CNProvinces;
        }
        if (regionList && !region.empty()) regionList->push_back({region, i});
        if (found.City.empty()) continue;
        std::string city = found.City + ", ";
        if (!region.empty()) city += region + ", ";
        city += GetCountryNameByTLD(AsciiLower(found.CountryCode), nullptr);
        lists.Cities.push_back({std::move(city), i});
    }
    reader.Close();
    return lists;
}

}  // namespace brindle
