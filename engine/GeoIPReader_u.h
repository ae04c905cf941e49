#pragma once
// What the statistics pass asks of the GeoIP databases: a country by address from
// "GeoIP.dat" and a city with its region from a City database. Interfaces, so that tests
// can stand in for a City database, which the system does not ship.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace brindle {

struct TGeoIPCountry {
    bool Found = false;
    std::string Code;  // two letters as the database has them ("US")
    std::string Name;
};

struct TGeoIPCity {
    bool Found = false;
    std::string CountryCode;  // "US"
    std::string CountryName;
    std::string RegionCode;  // "CA" for California, "08" for a numbered region
    std::string City;  // UTF-8
};

class IGeoIPCountryReader {
public:
    virtual ~IGeoIPCountryReader() = default;
    // False when the file cannot be opened or is no country database; a reader opened
    // before is closed first.
    virtual bool Open(const std::string& fileName) = 0;
    virtual void Close() = 0;
    // Before Open: about how many addresses will be looked up. A few are read from the file as
    // they are asked for, many through a mapping of it; the answers are the same.
    virtual void ExpectLookups(std::size_t count) { (void)count; }
    // A dotted IPv4 address; not found when the reader is closed.
    virtual TGeoIPCountry LookupCountry(std::string_view address) const = 0;
};

class IGeoIPCityReader {
public:
    virtual ~IGeoIPCityReader() = default;
    virtual bool Open(const std::string& fileName) = 0;
    virtual void Close() = 0;
    // As the country reader's.
    virtual void ExpectLookups(std::size_t count) { (void)count; }
    virtual TGeoIPCity LookupCity(std::string_view address) const = 0;
};

// Readers on libGeoIP, the database held in memory while open.
std::unique_ptr<IGeoIPCountryReader> CreateGeoIPCountryReader();
std::unique_ptr<IGeoIPCityReader> CreateGeoIPCityReader();

}  // namespace brindle
