#include "engine/GeoHelpers_u.h"

#include <algorithm>
#include <span>

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

std::string_view ReferrerSiteOf(std::string_view referrer) {
    if (referrer.empty() || THostReferrerHelper::IsNumericHost(referrer)) return referrer;
    const std::size_t first = referrer.find('/');
    if (first == std::string_view::npos) return {};
    const std::size_t second = referrer.find('/', first + 1);
    if (second == std::string_view::npos) return {};
    const std::size_t start = second + 1;
    const std::size_t third = referrer.find('/', start);
    return referrer.substr(start, third == std::string_view::npos ? std::string_view::npos : third - start);
}

void THostReferrerHelper::ExtractReferrerSite(std::string_view referrer) { ReferrerSite = ReferrerSiteOf(referrer); }

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

TSearchEngineMatcher::TSearchEngineMatcher(const TLstSEType& engines) : List(engines) {
    for (const TRecSEType& engine : engines)
        Engines_.push_back(
            {AddPattern(engine.ID), {AddPattern(engine.Query1), AddPattern(engine.Query2), AddPattern(engine.Query3)}});
    // Counting sort of the one-byte patterns by their byte; the others by their first two.
    std::vector<int> pairOf;
    pairOf.reserve(Patterns.size());
    for (const std::string& text : Patterns) {
        const auto first = static_cast<unsigned char>(text[0]);
        if (text.size() == 1) ++ByteStart[first + 1];
        pairOf.push_back(text.size() == 1 ? -1 : first << 8 | static_cast<unsigned char>(text[1]));
    }
    ByPair = TPairGroups(pairOf);
    for (std::size_t i = 1; i < ByteStart.size(); ++i) ByteStart[i] += ByteStart[i - 1];
    ByByte.resize(ByteStart.back());
    std::array<std::uint32_t, 256> byteNext{};
    std::copy(ByteStart.begin(), ByteStart.end() - 1, byteNext.begin());
    ByteStarts.assign(256 / 64, 0);
    for (std::size_t p = 0; p < Patterns.size(); ++p) {
        const std::string& text = Patterns[p];
        const auto first = static_cast<unsigned char>(text[0]);
        if (text.size() != 1) continue;
        ByByte[byteNext[first]++] = static_cast<std::int32_t>(p);
        ByteStarts[first / 64] |= std::uint64_t{1} << (first % 64);
    }
}

std::int32_t TSearchEngineMatcher::AddPattern(const std::string& text) {
    if (text.empty()) return kNone;
    const auto known = std::find(Patterns.begin(), Patterns.end(), text);
    if (known != Patterns.end()) return static_cast<std::int32_t>(known - Patterns.begin());
    Patterns.push_back(text);
    return static_cast<std::int32_t>(Patterns.size() - 1);
}

int TSearchEngineMatcher::FindIndex(std::string_view referrer) const {
    std::vector<std::uint64_t> found((Patterns.size() + 63) / 64, 0);
    bool anyFound = false;
    const auto mark = [&](std::span<const std::int32_t> patterns, std::size_t at) {
        for (const std::int32_t pattern : patterns) {
            const auto p = static_cast<std::size_t>(pattern);
            if (referrer.compare(at, Patterns[p].size(), Patterns[p]) != 0) continue;
            found[p / 64] |= std::uint64_t{1} << (p % 64);
            anyFound = true;
        }
    };
    // The loops run over every byte of every referrer row: keep them tight.
    const auto* text = reinterpret_cast<const unsigned char*>(referrer.data());
    const std::size_t size = referrer.size();
    if (!ByByte.empty())
        for (std::size_t i = 0; i < size; ++i)
            if ((ByteStarts[text[i] / 64] >> (text[i] % 64) & 1) != 0)
                mark(std::span(ByByte).subspan(ByteStart[text[i]], ByteStart[text[i] + 1u] - ByteStart[text[i]]), i);
    for (std::size_t i = 0; i + 1 < size; ++i) {
        const std::size_t pair = static_cast<std::size_t>(text[i]) << 8 | text[i + 1];
        if (ByPair.Has(pair)) mark(ByPair.Group(pair), i);
    }
    if (!anyFound) return -1;
    const auto has = [&](std::int32_t p) {
        return p != kNone && (found[static_cast<std::size_t>(p) / 64] >> (p % 64) & 1) != 0;
    };
    for (std::size_t e = 0; e < Engines_.size(); ++e) {
        const TEngine& engine = Engines_[e];
        if (has(engine.ID) && (has(engine.Queries[0]) || has(engine.Queries[1]) || has(engine.Queries[2])))
            return static_cast<int>(e);
    }
    return -1;
}

void THostReferrerHelper::ExtractSearchPhrase(std::string_view referrer, const TLstSEType& engines) {
    if (referrer.empty()) {
        SearchEngine.clear();
        return;
    }
    SearchEngine = engines.FindName(referrer);
    ReadSearchPhrase(referrer, engines);
}

void THostReferrerHelper::ExtractSearchPhrase(std::string_view referrer, const TSearchEngineMatcher& engines) {
    SearchEngineIndex = -1;
    if (referrer.empty()) {
        SearchEngine.clear();
        return;
    }
    const int index = engines.FindIndex(referrer);
    if (index < 0)
        SearchEngine.clear();
    else
        SearchEngine = engines.Engines()[static_cast<std::size_t>(index)].Name;
    ReadSearchPhrase(referrer, engines.Engines());
    SearchEngineIndex = SearchEngine.empty() ? -1 : index;
}

void THostReferrerHelper::ReadSearchPhrase(std::string_view referrer, const TLstSEType& engines) {
    if (SearchEngine.empty()) return;
    // Without quotes or line breaks the parameters are plain pieces of the referrer.
    if (referrer.find_first_of("\"\r\n") == std::string_view::npos) {
        Params.clear();
        for (std::size_t start = 0; start <= referrer.size();) {
            std::size_t end = referrer.find_first_of("?&", start);
            if (end == std::string_view::npos) end = referrer.size();
            if (end > start) Params.push_back(referrer.substr(start, end - start));
            start = end + 1;
        }
        SearchPhrase = AsciiLower(TrimBlanksAndControls(engines.GetKeyPhrase(SearchEngine, Params)));
    } else {
        const std::vector<std::string> params = SplitReferrerParams(referrer);
        SearchPhrase = AsciiLower(TrimBlanksAndControls(engines.GetKeyPhrase(SearchEngine, params)));
    }
    Keywords.clear();
    if (SearchPhrase.starts_with("cache:")) {
        SearchEngine.clear();
        SearchPhrase.clear();
        return;
    }
    SplitToList(SearchPhrase, ' ', Keywords);
}

bool AssignHostCountries(TLstStat& hosts, IGeoIPCountryReader& reader, const std::string& fileName) {
    reader.ExpectLookups(hosts.Count());
    if (!reader.Open(fileName)) return false;
    for (TRecStat& row : hosts.MutableRows()) {
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
        TRecStat& row = hosts.Mutable(i);
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
    reader.ExpectLookups(hosts.Count());
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
