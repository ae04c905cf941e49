#pragma once
// Writes a tiny database in the legacy GeoIP City layout, so that tests reach the real
// lookup through libGeoIP: a binary trie over the address bits (two 3-byte little-endian
// records per node; a record at or above the node count is a leaf), then the city records
// (country id, region, city, postal code NUL-terminated, latitude and longitude in three
// bytes each, and a metro/area code for US records of revision 1), then the information
// text after three zero bytes, and last the structure info: three 0xFF bytes, the edition
// byte and the node count in three bytes.
#include <GeoIP.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace brindle::test {

struct TGeoIPCityEntry {
    std::string Network;  // dotted quad
    int PrefixLength = 24;
    std::string CountryCode;  // "US"
    std::string Region;  // "CA", "08"
    std::string City;  // ISO-8859-1 as the databases store it
    std::string PostalCode;
    double Latitude = 0;
    double Longitude = 0;
};

class TGeoIPCityDbWriter {
public:
    static std::string Build(const std::vector<TGeoIPCityEntry>& entries, const std::string& info,
                             int edition = GEOIP_CITY_EDITION_REV1) {
        TGeoIPCityDbWriter writer;
        std::vector<int> leaves;
        std::string data(1, '\0');  // offset 0 would read as "not found"
        for (const TGeoIPCityEntry& entry : entries) {
            leaves.push_back(static_cast<int>(data.size()));
            data += Record(entry, edition);
        }
        for (std::size_t i = 0; i < entries.size(); ++i)
            writer.Insert(ParseQuad(entries[i].Network), entries[i].PrefixLength, leaves[i]);
        const auto segments = static_cast<std::uint32_t>(writer.nodes_.size());
        std::string bytes;
        for (const TNode& node : writer.nodes_)
            for (const TChild& child : node.Children)
                Append3(bytes, child.IsNode ? static_cast<std::uint32_t>(child.Value)
                                            : segments + static_cast<std::uint32_t>(child.Value));
        bytes += data;
        bytes += std::string(3, '\0') + info;
        bytes += "\xff\xff\xff";
        bytes += static_cast<char>(edition);
        Append3(bytes, segments);
        return bytes;
    }

private:
    struct TChild {
        bool IsNode = false;
        int Value = 0;  // node index, or data offset; "not found" is offset 0
    };
    struct TNode {
        TChild Children[2];
    };

    static void Append3(std::string& out, std::uint32_t value) {
        for (int i = 0; i < 3; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
    }

    static std::uint32_t ParseQuad(const std::string& quad) {
        std::uint32_t value = 0;
        std::size_t start = 0;
        for (int part = 0; part < 4; ++part) {
            const std::size_t end = quad.find('.', start);
            value = value << 8 | static_cast<std::uint32_t>(std::stoi(quad.substr(start, end - start)));
            start = end + 1;
        }
        return value;
    }

    static std::string Record(const TGeoIPCityEntry& entry, int edition) {
        std::string out;
        out += static_cast<char>(GeoIP_id_by_code(entry.CountryCode.c_str()));
        for (const std::string* text : {&entry.Region, &entry.City, &entry.PostalCode}) out += *text + '\0';
        Append3(out, static_cast<std::uint32_t>(std::lround((entry.Latitude + 180) * 10000)));
        Append3(out, static_cast<std::uint32_t>(std::lround((entry.Longitude + 180) * 10000)));
        if (edition == GEOIP_CITY_EDITION_REV1 && entry.CountryCode == "US") Append3(out, 807 * 1000 + 415);
        return out;
    }

    TGeoIPCityDbWriter() : nodes_(1) {}

    void Insert(std::uint32_t network, int prefixLength, int dataOffset) {
        std::size_t node = 0;
        for (int depth = 0; depth < prefixLength; ++depth) {
            const int bit = (network >> (31 - depth)) & 1;
            if (depth == prefixLength - 1) {
                nodes_[node].Children[bit] = {false, dataOffset};
                return;
            }
            if (!nodes_[node].Children[bit].IsNode) {
                nodes_[node].Children[bit] = {true, static_cast<int>(nodes_.size())};
                nodes_.emplace_back();
            }
            node = static_cast<std::size_t>(nodes_[node].Children[bit].Value);
        }
    }

    std::vector<TNode> nodes_;
};

}  // namespace brindle::test
