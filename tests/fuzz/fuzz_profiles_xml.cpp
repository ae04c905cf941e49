// Profiles.xml: any bytes must read without fault, and what was read must write back and read
// again to the same file.
#include <cstdlib>

#include "FuzzInput.h"
#include "core/Profiles_u.h"
#include "core/XMLProfiles_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    using namespace brindle::xmlprofiles;
    TProfiles profiles;
    if (!ReadProfilesXml(fuzz::AsText(data, size), profiles)) return 0;
    const std::string written = WriteProfilesXml(profiles);
    TProfiles again;
    if (!ReadProfilesXml(written, again) || WriteProfilesXml(again) != written) std::abort();
    return 0;
}
