#pragma once
// A country reader whose database stays open from input to input: opening "GeoIP.dat"
// reads and checks two megabytes, more than the analysis of a short log costs. Lookups go
// to libGeoIP's reader all the same.
#include <memory>
#include <string>
#include <string_view>

#include "engine/GeoIPReader_u.h"

namespace brindle::fuzz {

class TKeptCountryReader final : public IGeoIPCountryReader {
public:
    struct TDatabase {
        std::unique_ptr<IGeoIPCountryReader> Reader = CreateGeoIPCountryReader();
        std::string FileName;
        bool Opened = false;
    };

    explicit TKeptCountryReader(TDatabase& database) : database_(database) {}

    bool Open(const std::string& fileName) override {
        if (fileName != database_.FileName || !database_.Opened) {
            database_.FileName = fileName;
            database_.Opened = database_.Reader->Open(fileName);
        }
        open_ = database_.Opened;
        return open_;
    }
    void Close() override { open_ = false; }  // the database is kept for the next input
    TGeoIPCountry LookupCountry(std::string_view address) const override {
        return open_ ? database_.Reader->LookupCountry(address) : TGeoIPCountry{};
    }

private:
    TDatabase& database_;
    bool open_ = false;
};

}  // namespace brindle::fuzz
