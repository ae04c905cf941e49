#pragma once
// Brings options and profiles read from files of older program versions up to the current
// versions, one fixed step per older version. The steps only change memory; the caller
// saves the files afterwards.
#include <string>

namespace brindle {

class TOptions;
class TLstProfile;

inline constexpr double kCurrentOptionsVersion = 1.40;
inline constexpr double kCurrentProfilesVersion = 2.20;

// A stored version text read with "." as decimal point; a text that is not a number (empty
// included) counts as 1.0.
double StoredFileVersion(const std::string& ver);

// Both versions are compared as texts with two decimals. When both are known versions and the
// target is the later one, every step after Stored up to Target runs, oldest first; any other
// pair runs nothing.
void MigrateOptions(TOptions& options, double stored, double target);
void MigrateProfiles(TLstProfile& profiles, double stored, double target);

void UpgradeOptionsTo110(TOptions& options);
void UpgradeOptionsTo120(TOptions& options);
void UpgradeOptionsTo130(TOptions& options);
void UpgradeOptionsTo140(TOptions& options);

// Each works on every profile of the list, in list order.
void UpgradeProfilesTo110(TLstProfile& profiles);
void UpgradeProfilesTo120(TLstProfile& profiles);
void UpgradeProfilesTo130(TLstProfile& profiles);
void UpgradeProfilesTo200(TLstProfile& profiles);
void UpgradeProfilesTo210(TLstProfile& profiles);
void UpgradeProfilesTo220(TLstProfile& profiles);

}  // namespace brindle
