#include "engine/GeoIPReader_u.h"

#include <GeoIP.h>
#include <GeoIPCity.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace brindle {

namespace {

struct TGeoIPDeleter {
    void operator()(GeoIP* gi) const { GeoIP_delete(gi); }
};
using TGeoIPHandle = std::unique_ptr<GeoIP, TGeoIPDeleter>;

struct TRecordDeleter {
    void operator()(GeoIPRecord* record) const { GeoIPRecord_delete(record); }
};

std::string TextOf(const char* text) { return text ? std::string(text) : std::string(); }

// Up to this many lookups read the tree from the file node by node (a few dozen reads each);
// more map the file, so that only the pages of the nodes visited are read.
constexpr std::size_t kFewLookups = 64;

// Opens a database of one of the editions without messages on stderr. Null when it cannot be
// opened or is of another edition: lookups of the wrong kind would read the tree wrongly.
TGeoIPHandle OpenDatabase(const std::string& fileName, std::initializer_list<int> editions, std::size_t lookups) {
    if (fileName.empty()) return nullptr;
    TGeoIPHandle gi(GeoIP_open(fileName.c_str(), GEOIP_STANDARD | GEOIP_SILENCE));
    if (!gi) return nullptr;
    const int edition = GeoIP_database_edition(gi.get());
    if (std::find(editions.begin(), editions.end(), edition) == editions.end()) return nullptr;
    if (lookups <= kFewLookups) return gi;
    // Mapped only once the file has opened as it is: libGeoIP frees a mapped cache as if it
    // were allocated when a broken file fails to open that way.
    TGeoIPHandle mapped(GeoIP_open(fileName.c_str(), GEOIP_MMAP_CACHE | GEOIP_SILENCE));
    return mapped && GeoIP_database_edition(mapped.get()) == edition ? std::move(mapped) : std::move(gi);
}

class TGeoIPCountryReader final : public IGeoIPCountryReader {
public:
    bool Open(const std::string& fileName) override {
        gi_ = OpenDatabase(fileName, {GEOIP_COUNTRY_EDITION}, lookups_);
        return gi_ != nullptr;
    }
    void Close() override { gi_.reset(); }
    void ExpectLookups(std::size_t count) override { lookups_ = count; }

    TGeoIPCountry LookupCountry(std::string_view address) const override {
        TGeoIPCountry result;
        if (!gi_) return result;
        const std::string text(address);
        GeoIPLookup lookup{};
        const int id = GeoIP_id_by_addr_gl(gi_.get(), text.c_str(), &lookup);
        if (id <= 0) return result;  // 0 is "not found"
        const char* code = GeoIP_code_by_id(id);
        if (!code) return result;
        result.Found = true;
        result.Code = code;
        result.Name = TextOf(GeoIP_name_by_id(id));
        return result;
    }

private:
    TGeoIPHandle gi_;
    std::size_t lookups_ = SIZE_MAX;
};

class TGeoIPCityReader final : public IGeoIPCityReader {
public:
    bool Open(const std::string& fileName) override {
        gi_ = OpenDatabase(fileName, {GEOIP_CITY_EDITION_REV0, GEOIP_CITY_EDITION_REV1}, lookups_);
        if (gi_) GeoIP_set_charset(gi_.get(), GEOIP_CHARSET_UTF8);
        return gi_ != nullptr;
    }
    void Close() override { gi_.reset(); }
    void ExpectLookups(std::size_t count) override { lookups_ = count; }

    TGeoIPCity LookupCity(std::string_view address) const override {
        TGeoIPCity result;
        if (!gi_) return result;
        const std::string text(address);
        const std::unique_ptr<GeoIPRecord, TRecordDeleter> record(GeoIP_record_by_addr(gi_.get(), text.c_str()));
        if (!record) return result;
        result.Found = true;
        result.CountryCode = TextOf(record->country_code);
        result.CountryName = TextOf(record->country_name);
        result.RegionCode = TextOf(record->region);
        result.City = TextOf(record->city);
        return result;
    }

private:
    TGeoIPHandle gi_;
    std::size_t lookups_ = SIZE_MAX;
};

}  // namespace

std::unique_ptr<IGeoIPCountryReader> CreateGeoIPCountryReader() { return std::make_unique<TGeoIPCountryReader>(); }
std::unique_ptr<IGeoIPCityReader> CreateGeoIPCityReader() { return std::make_unique<TGeoIPCityReader>(); }

}  // namespace brindle
