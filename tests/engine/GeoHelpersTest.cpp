#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/AppPaths.h"
#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "engine/GeoHelpers_u.h"
#include "engine/GeoIPReader_u.h"
#include "engine/Statistics_u.h"
#include "support/TestFolder.h"

using namespace brindle;

namespace {

std::vector<std::string> Names(const TLstStat& list) {
    std::vector<std::string> names;
    for (const TRecStat& row : list) names.push_back(row.Name.Str());
    return names;
}

TRecStat HostRow(std::string name, std::int32_t hits) {
    TRecStat row;
    row.Name = std::move(name);
    row.IP = THostReferrerHelper::IsNumericHost(row.Name) ? static_cast<std::int32_t>(IPToLong(row.Name)) : -1;
    row.Hits = hits;
    row.Visits = hits;
    return row;
}

TLstSEType Engines() {
    TLstSEType engines;
    engines.Add({"google.", "q=", "as_q=", "", "Google"});
    engines.Add({"search.yahoo.", "p=", "", "", "Yahoo"});
    return engines;
}

// A City database of a few addresses; remembers what it was asked.
class FakeCityReader final : public IGeoIPCityReader {
public:
    bool openable = true;
    std::map<std::string, TGeoIPCity> cities;
    mutable std::vector<std::string> asked;

    bool Open(const std::string& fileName) override { return openable && !fileName.empty(); }
    void Close() override {}
    TGeoIPCity LookupCity(std::string_view address) const override {
        asked.emplace_back(address);
        const auto it = cities.find(std::string(address));
        return it == cities.end() ? TGeoIPCity{} : it->second;
    }
};

}  // namespace

TEST(GeoHelpers, NumericHosts) {
    const std::pair<std::string, bool> cases[] = {
        {"", true},         {"192.168.0.1", true}, {"...", true},   {"1", true},
        {"1.2.3.a", false}, {"host", false},       {" 1.2", false}, {"1:2::3", false},
    };
    for (const auto& [text, numeric] : cases) EXPECT_EQ(THostReferrerHelper::IsNumericHost(text), numeric) << text;
}

TEST(GeoHelpers, SplitHostName) {
    struct Case {
        std::string host, domain, tld;
    };
    const Case cases[] = {
        {"www.Example.COM", "Example.COM", "com"},
        {"a.b.c.example.co.UK", "co.UK", "uk"},
        {"Example.Org", "Example.Org", "org"},
        {"localhost", "localhost", ""},
        {"192.168.10.1", "192.168.10.1", ""},
        {"", "", ""},
        {"host.", "host.", ""},
        {".com", ".com", "com"},
        {"a..b", ".b", "b"},
    };
    THostReferrerHelper helper;
    for (const Case& c : cases) {
        helper.SplitHostName(c.host);
        EXPECT_EQ(helper.HostDomain, c.domain) << c.host;
        EXPECT_EQ(helper.HostTLD, c.tld) << c.host;
    }
}

TEST(GeoHelpers, ReferrerSite) {
    const std::pair<std::string, std::string> cases[] = {
        {"http://www.example.com/path/page.html", "www.example.com"},
        {"http://www.example.com", "www.example.com"},
        {"https://host:8080/", "host:8080"},
        {"www.example.com", ""},
        {"a/b", ""},
        {"//host/x", "host"},
        {"10.0.0.1", "10.0.0.1"},
        {"", ""},
        {"-", ""},
    };
    THostReferrerHelper helper;
    for (const auto& [referrer, site] : cases) {
        helper.ReferrerSite = "stale";
        helper.ExtractReferrerSite(referrer);
        EXPECT_EQ(helper.ReferrerSite, site) << referrer;
        // The same as a piece of the referrer itself.
        const std::string_view piece = ReferrerSiteOf(referrer);
        EXPECT_EQ(piece, site) << referrer;
        if (!piece.empty()) {
            EXPECT_TRUE(piece.data() >= referrer.data() &&
                        piece.data() + piece.size() <= referrer.data() + referrer.size());
        }
    }
}

TEST(GeoHelpers, ReferrerParams) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"http://g/search?q=a+b&hl=en", {"http://g/search", "q=a+b", "hl=en"}},
        {"x??&&y", {"x", "y"}},
        {"p?q=\"a&b?c\"&r=1", {"p", "q=a&b?c", "r=1"}},
        {"p?\r\nq=1&\nr=2", {"p", "q=1", "r=2"}},
        {"p?q=\"open", {"p", "q=open"}},
        {"p?\"\"&q=1", {"p", "q=1"}},
        {"", {}},
    };
    for (const auto& [referrer, fields] : cases) EXPECT_EQ(SplitReferrerParams(referrer), fields) << referrer;
}

TEST(GeoHelpers, SearchPhrase) {
    const TLstSEType engines = Engines();
    struct Case {
        std::string referrer, engine, phrase;
        std::vector<std::string> keywords;
    };
    const Case cases[] = {
        {"http://www.google.com/search?q= Hello  World &hl=en", "Google", "hello  world", {"hello", "", "world"}},
        {"http://www.google.com/search?hl=en&as_q=One", "Google", "one", {"one"}},
        {"http://search.yahoo.com/search?p=\"Big&Small\"", "Yahoo", "big&small", {"big&small"}},
        {"http://www.google.com/search?q=\t\r\nx\x01", "Google", "x", {"x"}},
        {"http://www.google.com/search?q=Cache:www.example.com/", "", "", {}},
        {"http://www.google.com/search?q=", "Google", "", {""}},
    };
    for (const Case& c : cases) {
        THostReferrerHelper helper;
        helper.ExtractSearchPhrase(c.referrer, engines);
        EXPECT_EQ(helper.SearchEngine, c.engine) << c.referrer;
        EXPECT_EQ(helper.SearchPhrase, c.phrase) << c.referrer;
        EXPECT_EQ(helper.Keywords, c.keywords) << c.referrer;
    }

    THostReferrerHelper helper;
    helper.ExtractSearchPhrase("http://www.google.com/search?q=first", engines);
    helper.ExtractSearchPhrase("http://www.example.com/?q=x", engines);
    EXPECT_EQ(helper.SearchEngine, "");
    helper.ExtractSearchPhrase("http://www.google.com/search?q=first", engines);
    helper.ExtractSearchPhrase("", engines);
    EXPECT_EQ(helper.SearchEngine, "");
}

TEST(GeoHelpers, RealCountryDatabase) {
    const std::unique_ptr<IGeoIPCountryReader> reader = CreateGeoIPCountryReader();
    ASSERT_TRUE(reader->Open(AppPaths::GeoIPCountryFile())) << AppPaths::GeoIPCountryFile();
    struct Case {
        std::string address, code, name;
    };
    const Case cases[] = {
        {"8.8.8.8", "US", "United States"},  // Google Public DNS
        {"80.67.169.12", "FR", "France"},  // FDN's public resolver
        {"194.109.6.66", "NL", "Netherlands"},  // XS4ALL's resolver
        {"202.12.27.33", "JP", "Japan"},  // m.root-servers.net
        {"212.58.244.22", "GB", "United Kingdom"},  // BBC
        {"217.160.0.1", "DE", "Germany"},  // 1&1 IONOS
    };
    for (const Case& c : cases) {
        const TGeoIPCountry found = reader->LookupCountry(c.address);
        EXPECT_TRUE(found.Found) << c.address;
        EXPECT_EQ(found.Code, c.code) << c.address;
        EXPECT_EQ(found.Name, c.name) << c.address;
    }
    for (const std::string address : {"127.0.0.1", "10.1.2.3", "192.168.0.1", "not an address", ""})
        EXPECT_FALSE(reader->LookupCountry(address).Found) << address;
    reader->Close();
    EXPECT_FALSE(reader->LookupCountry("8.8.8.8").Found);
}

TEST(GeoHelpers, ReadersRefuseWhatTheyCannotRead) {
    const test::TestFolder folder;
    const std::unique_ptr<IGeoIPCountryReader> country = CreateGeoIPCountryReader();
    const std::unique_ptr<IGeoIPCityReader> city = CreateGeoIPCityReader();
    EXPECT_FALSE(country->Open(""));
    EXPECT_FALSE(country->Open(folder.file("missing.dat")));
    EXPECT_FALSE(city->Open(""));
    EXPECT_FALSE(city->Open(folder.file("missing.dat")));
    // The country database is no City database.
    EXPECT_FALSE(city->Open(AppPaths::GeoIPCountryFile()));
    EXPECT_FALSE(city->LookupCity("8.8.8.8").Found);
}

TEST(GeoHelpers, CountryStepAndTLDFallback) {
    TLstStat hosts;
    hosts.Add(HostRow("8.8.8.8", 1));  // US by GeoIP
    hosts.Add(HostRow("www.example.de", 2));  // no address: German by its TLD
    hosts.Add(HostRow("127.0.0.1", 4));  // address without GeoIP data: unknown
    hosts.Add(HostRow("mail.example.local", 8));  // .local names no country
    hosts.Add(HostRow("shop.example.uk", 16));  // .uk is the United Kingdom
    hosts.Add(HostRow("80.67.169.12", 32));  // FR
    hosts.Add(HostRow("shop.example.com", 64));  // the reference table files .com under the US

    const std::unique_ptr<IGeoIPCountryReader> reader = CreateGeoIPCountryReader();
    ASSERT_TRUE(AssignHostCountries(hosts, *reader, AppPaths::GeoIPCountryFile()));
    EXPECT_EQ(hosts[0].Country, GetCountryIndex("us"));
    EXPECT_EQ(hosts[1].Country, 0);
    EXPECT_EQ(hosts[2].Country, 0);
    EXPECT_EQ(hosts[5].Country, GetCountryIndex("fr"));

    THostGroupLists groups = CollectHostGroups(hosts);
    EXPECT_EQ(hosts[1].Country, GetCountryIndex("de"));  // written back
    EXPECT_EQ(hosts[4].Country, GetCountryIndex("gb"));
    EXPECT_EQ(hosts[2].Country, 0);

    TStatistics stats;
    RegroupRows(hosts, groups.Domains, stats.StatByDomain, false);
    RegroupRows(hosts, groups.Tlds, stats.StatByTld, true);
    RegroupRows(hosts, groups.Countries, stats.StatByCountry, true);
    RegroupRows(hosts, groups.Regions, stats.StatByRegion, true);
    EXPECT_EQ(Names(stats.StatByDomain),
              (std::vector<std::string>{"127.0.0.1", "8.8.8.8", "80.67.169.12", "example.com", "example.de",
                                        "example.local", "example.uk"}));
    EXPECT_EQ(Names(stats.StatByTld), (std::vector<std::string>{"", "com", "de", "local", "uk"}));
    EXPECT_EQ(stats.StatByTld[0].Hits, 1 + 4 + 32);
    EXPECT_EQ(Names(stats.StatByCountry), (std::vector<std::string>{"", "de", "fr", "gb", "us"}));
    EXPECT_EQ(stats.StatByCountry[0].Hits, 4 + 8);
    EXPECT_EQ(Names(stats.StatByRegion), (std::vector<std::string>{"Europe", "None", "NorthAmerica"}));
    EXPECT_EQ(stats.StatByRegion[0].Hits, 2 + 16 + 32);
    EXPECT_EQ(stats.StatByRegion[1].Hits, 4 + 8);
    EXPECT_EQ(stats.StatByRegion[1].Country, 0);
    EXPECT_EQ(stats.StatByRegion[2].Hits, 1 + 64);
    EXPECT_EQ(stats.StatByCountry[4].Hits, 1 + 64);
}

TEST(GeoHelpers, CountryStepWithoutDatabase) {
    TLstStat hosts;
    hosts.Add(HostRow("8.8.8.8", 1));
    hosts.Mutable(0).Country = 5;
    const std::unique_ptr<IGeoIPCountryReader> reader = CreateGeoIPCountryReader();
    EXPECT_FALSE(AssignHostCountries(hosts, *reader, "/nonexistent/GeoIP.dat"));
    EXPECT_EQ(hosts[0].Country, 5);  // untouched: the step never ran
}

TEST(GeoHelpers, CityStepWithAFakeDatabase) {
    FakeCityReader reader;
    reader.cities["8.8.8.8"] = {true, "US", "United States", "CA", "Mountain View"};
    reader.cities["80.67.169.12"] = {true, "FR", "France", "A8", "Paris"};
    reader.cities["206.167.0.1"] = {true, "CA", "Canada", "ON", "Toronto"};
    reader.cities["202.106.0.20"] = {true, "CN", "China", "22", "Beijing"};
    reader.cities["4.4.4.4"] = {true, "US", "United States", "NY", ""};  // no city: state only
    reader.cities["5.5.5.5"] = {true, "US", "United States", "ZZ", "Nowhere"};  // unknown state
    reader.cities["6.6.6.6"] = {true, "us", "United States", "CA", "Lowercase"};  // codes compare exactly

    TLstStat hosts;
    for (const char* name : {"8.8.8.8", "80.67.169.12", "host.example.com", "206.167.0.1", "202.106.0.20", "4.4.4.4",
                             "5.5.5.5", "6.6.6.6", "9.9.9.9"})
        hosts.Add(HostRow(name, 1));

    TCityGroupLists groups = CollectCityGroups(hosts, reader, "GeoLiteCity.dat");
    EXPECT_EQ(reader.asked.size(), hosts.Count() - 1);  // never the host without an address

    TStatistics stats;
    RegroupRows(hosts, groups.USStates, stats.StatByUSState, false);
    RegroupRows(hosts, groups.CAProvinces, stats.StatByCAProv, false);
    RegroupRows(hosts, groups.CNProvinces, stats.StatByCNProv, false);
    RegroupRows(hosts, groups.Cities, stats.StatByCity, false);
    EXPECT_EQ(Names(stats.StatByUSState), (std::vector<std::string>{"California", "New York"}));
    EXPECT_EQ(Names(stats.StatByCAProv), (std::vector<std::string>{"Ontario"}));
    EXPECT_EQ(Names(stats.StatByCNProv), (std::vector<std::string>{"Beijing"}));
    EXPECT_EQ(Names(stats.StatByCity),
              (std::vector<std::string>{"Beijing, Beijing, China", "Lowercase, United States",
                                        "Mountain View, California, United States", "Nowhere, United States",
                                        "Paris, France", "Toronto, Ontario, Canada"}));

    reader.openable = false;
    reader.asked.clear();
    groups = CollectCityGroups(hosts, reader, "GeoLiteCity.dat");
    EXPECT_TRUE(groups.Cities.empty());
    EXPECT_TRUE(groups.USStates.empty());
    EXPECT_TRUE(reader.asked.empty());
}
