#pragma once
// The two sample profiles added on the first run of a new program version, and the profile
// made for a single log file.
#include <memory>
#include <string>
#include <string_view>

namespace brindle {

class TProfile;
class TLstProfile;

// A profile reading one local log file (enabled, port 21, not passive), format and date order
// detected, with every report of the default report table in table order.
std::unique_ptr<TProfile> NewProfileForLogFile(std::string_view fileName);

// Appends "Sample1" (the Apache log SampleDir + "sample1.log") and "Sample2" (the IIS log
// SampleDir + "sample2.log"), each only when no profile has exactly that name.
void CreateSampleProfiles(TLstProfile& profiles, const std::string& sampleDir);

}  // namespace brindle
