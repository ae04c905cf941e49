// The reverse-DNS cache file. Whatever part of it reads must save and read back the same.
#include <cstdlib>

#include "FuzzInput.h"
#include "engine/DNSCache_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const std::string path = fuzz::WriteInput("dns.dat", fuzz::AsText(data, size));
    TDNSCache cache;
    cache.LoadFromFile(path);
    const std::string copy = fuzz::ScratchFolder() + "copy.dat";
    if (!cache.SaveToFile(copy)) std::abort();
    TDNSCache again;
    if (!again.LoadFromFile(copy) || again.Cache.Items() != cache.Cache.Items()) std::abort();
    return 0;
}
