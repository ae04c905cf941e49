// The City lookup end to end through libGeoIP, on a small database written in the legacy
// City layout by the test itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/AppPaths.h"
#include "core/CommonUtils_u.h"
#include "core/SafeFile_u.h"
#include "engine/GeoHelpers_u.h"
#include "engine/GeoIPReader_u.h"
#include "engine/Statistics_u.h"
#include "support/GeoIPCityDb.h"
#include "support/TestFolder.h"

using namespace brindle;
using brindle::test::TGeoIPCityDbWriter;
using brindle::test::TGeoIPCityEntry;

namespace {

const std::vector<TGeoIPCityEntry> kCities = {
    {"192.0.2.0", 24, "FR", "A8", "Paris", "75001", 48.86, 2.35},
    {"198.51.100.0", 24, "US", "CA", "San Francisco", "94103", 37.77, -122.42},
    {"198.51.101.0", 24, "US", "NY", "", "", 40.71, -74.0},  // a state without a city
    {"203.0.113.0", 25, "CA", "QC",
     "Montr\xe9"
     "al",
     "", 45.5, -73.57},  // Latin-1 in the file
    {"203.0.113.128", 25, "CN", "23", "Shanghai", "", 31.2, 121.5},
    {"100.64.0.0", 10, "DE", "", "Berlin", "10115", 52.52, 13.4},  // no region
    {"233.252.0.0", 24, "US", "ZZ", "Nowhere", "", 0, 0},  // a state the table does not know
};

std::string WriteCityDb(const test::TestFolder& folder, int edition = GEOIP_CITY_EDITION_REV1) {
    const std::string path = folder.file("GeoLiteCity.dat");
    EXPECT_TRUE(WriteFileAtomic(
        path, TGeoIPCityDbWriter::Build(kCities, "GEO-533LITE 20130903 Build 1 Copyright (c) MaxMind", edition)));
    return path;
}

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

}  // namespace

TEST(GeoIPCityDb, LookupsThroughTheLibraryReadEveryField) {
    const test::TestFolder folder;
    // Read from the file as asked, and from the whole database read first.
    for (const auto& [edition, lookups] :
         {std::pair{GEOIP_CITY_EDITION_REV1, std::size_t{1}}, std::pair{GEOIP_CITY_EDITION_REV1, std::size_t{1000000}},
          std::pair{GEOIP_CITY_EDITION_REV0, std::size_t{1}},
          std::pair{GEOIP_CITY_EDITION_REV0, std::size_t{1000000}}}) {
        SCOPED_TRACE(testing::Message() << edition << " " << lookups);
        const std::unique_ptr<IGeoIPCityReader> reader = CreateGeoIPCityReader();
        reader->ExpectLookups(lookups);
        ASSERT_TRUE(reader->Open(WriteCityDb(folder, edition)));
        const struct {
            const char* address;
            const char* country;
            const char* countryName;
            const char* region;
            const char* city;
        } found[] = {
            {"192.0.2.1", "FR", "France", "A8", "Paris"},
            {"192.0.2.255", "FR", "France", "A8", "Paris"},
            {"198.51.100.7", "US", "United States", "CA", "San Francisco"},
            {"198.51.101.9", "US", "United States", "NY", ""},
            {"203.0.113.5", "CA", "Canada", "QC",
             "Montr\xc3\xa9"
             "al"},  // handed over as UTF-8
            {"203.0.113.200", "CN", "China", "23", "Shanghai"},
            {"100.127.255.255", "DE", "Germany", "", "Berlin"},
        };
        for (const auto& c : found) {
            const TGeoIPCity city = reader->LookupCity(c.address);
            EXPECT_TRUE(city.Found) << c.address;
            EXPECT_EQ(city.CountryCode, c.country) << c.address;
            EXPECT_EQ(city.CountryName, c.countryName) << c.address;
            EXPECT_EQ(city.RegionCode, c.region) << c.address;
            EXPECT_EQ(city.City, c.city) << c.address;
        }
        for (const char* address : {"192.0.3.0", "192.0.1.255", "198.51.102.1", "100.128.0.0", "8.8.8.8", "0.0.0.0",
                                    "255.255.255.255", "not an address", ""})
            EXPECT_FALSE(reader->LookupCity(address).Found) << address;
        reader->Close();
        EXPECT_FALSE(reader->LookupCity("192.0.2.1").Found);
    }
}

TEST(GeoIPCityDb, TheCountryReaderRefusesACityDatabaseAndTheCityReaderBrokenOnes) {
    const test::TestFolder folder;
    const std::string path = WriteCityDb(folder);
    for (const std::size_t lookups : {std::size_t{1}, std::size_t{1000000}}) {
        SCOPED_TRACE(lookups);
        const std::unique_ptr<IGeoIPCountryReader> country = CreateGeoIPCountryReader();
        country->ExpectLookups(lookups);
        EXPECT_FALSE(country->Open(path));
        const std::unique_ptr<IGeoIPCityReader> reader = CreateGeoIPCityReader();
        reader->ExpectLookups(lookups);
        EXPECT_FALSE(reader->Open(folder.write("empty.dat", "")));
        EXPECT_FALSE(reader->Open(folder.write("garbage.dat", std::string(64, 'x'))));
    }
}

// The installed country database answers the same whether it is read as asked or whole.
TEST(GeoIPCityDb, TheCountryDatabaseAnswersAlikeReadAsAskedOrWhole) {
    const std::string path = AppPaths::GeoIPCountryFile();
    if (!FileExists(path)) GTEST_SKIP() << "no " << path;
    const std::unique_ptr<IGeoIPCountryReader> few = CreateGeoIPCountryReader();
    const std::unique_ptr<IGeoIPCountryReader> many = CreateGeoIPCountryReader();
    few->ExpectLookups(1);
    many->ExpectLookups(1000000);
    ASSERT_TRUE(few->Open(path));
    ASSERT_TRUE(many->Open(path));
    std::uint32_t address = 0x01020304;
    int found = 0;
    for (int i = 0; i < 2000; ++i) {
        address = address * 1664525u + 1013904223u;
        const std::string text = std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 255) + "." +
                                 std::to_string(address >> 8 & 255) + "." + std::to_string(address & 255);
        const TGeoIPCountry a = few->LookupCountry(text);
        const TGeoIPCountry b = many->LookupCountry(text);
        ASSERT_EQ(a.Found, b.Found) << text;
        EXPECT_EQ(a.Code, b.Code) << text;
        EXPECT_EQ(a.Name, b.Name) << text;
        found += a.Found;
    }
    EXPECT_GT(found, 1000);
}

TEST(GeoIPCityDb, CityRegionAndCountryReportsFromARealDatabase) {
    const test::TestFolder folder;
    const std::string path = WriteCityDb(folder);
    TLstStat hosts;
    const struct {
        const char* name;
        std::int32_t hits;
    } rows[] = {{"192.0.2.10", 1},   {"198.51.100.7", 2},     {"198.51.100.8", 4}, {"198.51.101.9", 8},
                {"203.0.113.5", 16}, {"203.0.113.200", 32},   {"100.64.1.1", 64},  {"233.252.0.1", 128},
                {"8.8.8.8", 256},    {"www.example.com", 512}};
    for (const auto& row : rows) hosts.Add(HostRow(row.name, row.hits));

    const std::unique_ptr<IGeoIPCityReader> reader = CreateGeoIPCityReader();
    TCityGroupLists groups = CollectCityGroups(hosts, *reader, path);
    TStatistics stats;
    RegroupRows(hosts, groups.USStates, stats.StatByUSState, false);
    RegroupRows(hosts, groups.CAProvinces, stats.StatByCAProv, false);
    RegroupRows(hosts, groups.CNProvinces, stats.StatByCNProv, false);
    RegroupRows(hosts, groups.Cities, stats.StatByCity, false);

    EXPECT_EQ(Names(stats.StatByUSState), (std::vector<std::string>{"California", "New York"}));
    ASSERT_EQ(stats.StatByUSState.Count(), 2u);
    EXPECT_EQ(stats.StatByUSState[0].Hits, 2 + 4);
    EXPECT_EQ(stats.StatByUSState[1].Hits, 8);
    EXPECT_EQ(Names(stats.StatByCAProv), (std::vector<std::string>{"Quebec"}));
    EXPECT_EQ(Names(stats.StatByCNProv), (std::vector<std::string>{"Shanghai"}));
    EXPECT_EQ(Names(stats.StatByCity),
              (std::vector<std::string>{"Berlin, Germany", "Montr\303\251al, Quebec, Canada", "Nowhere, United States",
                                        "Paris, France", "San Francisco, California, United States",
                                        "Shanghai, Shanghai, China"}));
    for (const TRecStat& row : stats.StatByCity) {
        if (row.Name.View().starts_with("San Francisco")) {
            EXPECT_EQ(row.Hits, 2 + 4);
        }
    }

    // A database that has gone gives empty reports, not a failed analysis.
    const TCityGroupLists none = CollectCityGroups(hosts, *reader, folder.file("gone.dat"));
    EXPECT_TRUE(none.Cities.empty());
    EXPECT_TRUE(none.USStates.empty());
}
