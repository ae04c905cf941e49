// The reverse-DNS cache file.
#include "FuzzInput.h"
#include "engine/DNSCache_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const std::string path = fuzz::WriteInput("dns.dat", fuzz::AsText(data, size));
    TDNSCache cache;
    cache.LoadFromFile(path);
    return 0;
}
