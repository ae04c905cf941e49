#pragma once
// Names the statistics pass derives from rows it has built: domain, top-level domain,
// country, region, state or province and city of a host row; referring site, search
// engine, phrase and keywords of a referrer row.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Options_u.h"
#include "engine/GeoIPReader_u.h"
#include "engine/PairGroups_u.h"
#include "engine/Statistics_u.h"

namespace brindle {

// A search-engine list prepared for testing many referrers: every ID and query key is
// looked for in one walk over the referrer, by the two bytes it starts with. The matcher
// keeps a copy of the list.
class TSearchEngineMatcher {
public:
    explicit TSearchEngineMatcher(const TLstSEType& engines);
    // The answer of engines.FindIndex(referrer).
    int FindIndex(std::string_view referrer) const;
    const TLstSEType& Engines() const { return List; }
    // Whether it answers for a list equal to this one, and so may serve another run.
    bool IsFor(const TLstSEType& engines) const { return List == engines; }

private:
    static constexpr std::int32_t kNone = -1;
    struct TEngine {
        std::int32_t ID;
        std::array<std::int32_t, 3> Queries;
    };
    std::int32_t AddPattern(const std::string& text);

    TLstSEType List;
    std::vector<std::string> Patterns;  // the distinct non-empty IDs and keys
    std::vector<TEngine> Engines_;  // pattern numbers, kNone for an empty text
    // Patterns by their first two bytes; the one-byte patterns by that byte,
    // ByByte[ByteStart[b] .. ByteStart[b + 1]), with a bit for every byte that one starts with.
    TPairGroups ByPair;
    std::array<std::uint32_t, 257> ByteStart{};
    std::vector<std::int32_t> ByByte;
    std::vector<std::uint64_t> ByteStarts;
};

// Each call overwrites the result fields it sets; the engine inherits them.
class THostReferrerHelper {
public:
    std::string HostDomain;  // second-level domain, or the whole host
    std::string HostTLD;  // lower case; empty for numeric or dotless hosts
    std::string ReferrerSite;  // host part of a referrer URL
    std::string SearchEngine;  // empty when the referrer is no search
    std::string SearchPhrase;  // lower case, trimmed
    std::vector<std::string> Keywords;  // the phrase cut at single blanks
    // Set by the matcher's ExtractSearchPhrase: the engine's position in its list, -1 when
    // SearchEngine is empty.
    int SearchEngineIndex = -1;

    // Only digits and dots (so "" is numeric too).
    static bool IsNumericHost(std::string_view text);

    void SplitHostName(std::string_view host);
    void ExtractReferrerSite(std::string_view referrer);
    // An empty referrer only empties SearchEngine; a referrer of no engine leaves the
    // phrase and keywords of the call before, so read them only when SearchEngine is set.
    void ExtractSearchPhrase(std::string_view referrer, const TLstSEType& engines);
    void ExtractSearchPhrase(std::string_view referrer, const TSearchEngineMatcher& engines);

private:
    // The phrase and keywords for the engine found, SearchEngine.
    void ReadSearchPhrase(std::string_view referrer, const TLstSEType& engines);
    std::vector<std::string_view> Params;
};

// The host part of a referrer URL, as ExtractReferrerSite gives it, within Referrer.
std::string_view ReferrerSiteOf(std::string_view referrer);

// The parameter fields of a referrer: cut at "?" and "&" outside double quotes, quotes
// removed, leading CR and LF dropped, empty fields left out. No URL decoding.
std::vector<std::string> SplitReferrerParams(std::string_view referrer);

// The country of every host row with an address, from the country database (the row's
// Country is 0 when the lookup fails). A database that cannot be opened leaves every row
// at 0 and returns false.
bool AssignHostCountries(TLstStat& hosts, IGeoIPCountryReader& reader, const std::string& fileName);

// A host row's country, else the country of its top-level domain.
int CountryWithTLDFallback(int country, std::string_view hostTLD);

// Host rows grouped by domain, TLD, country TLD code ("" when unknown) and region key
// ("None" when unknown). The TLD fallback is written back into the host rows.
struct THostGroupLists {
    std::vector<TRegroupRow> Domains;
    std::vector<TRegroupRow> Tlds;
    std::vector<TRegroupRow> Countries;
    std::vector<TRegroupRow> Regions;
};
THostGroupLists CollectHostGroups(TLstStat& hosts);

// Host rows grouped by US state, Canadian province, Chinese province and city from a
// City database. The city's name reads "city, region, country" ("city, country" without
// a known region), in English. A database that cannot be opened gives empty lists.
struct TCityGroupLists {
    std::vector<TRegroupRow> USStates;
    std::vector<TRegroupRow> CAProvinces;
    std::vector<TRegroupRow> CNProvinces;
    std::vector<TRegroupRow> Cities;
};
TCityGroupLists CollectCityGroups(const TLstStat& hosts, IGeoIPCityReader& reader, const std::string& fileName);

}  // namespace brindle
