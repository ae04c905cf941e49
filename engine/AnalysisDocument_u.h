#pragma once
// The analysis document ("*.bnl"): an analysis result saved without its log files, so that
// it can be viewed and exported later. It holds the profile, the analysis times, the
// summary, the fixed tables and the thirty lists; no hit records.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/DateTime_u.h"
#include "core/Profiles_u.h"
#include "engine/Statistics_u.h"

namespace brindle {

// Version tags (major * 65536 + minor) equal the profile block's.
constexpr std::uint32_t kDocumentVersion20 = kProfileBlockVersion20;
constexpr std::uint32_t kDocumentVersion21 = kProfileBlockVersion21;

// Load result codes.
constexpr int kDocLoaded = 0;
constexpr int kDocNotADocument = 1;  // wrong magic
constexpr int kDocUnknownVersion = 2;  // neither 2.0 nor 2.1
constexpr int kDocUnreadable = 3;  // cannot be opened, short or malformed
constexpr int kDocConversionDeclined = 11;  // a 2.0 document the user chose not to convert

// Asked (with a warning beep, Yes and No) before a 2.0 document is converted.
inline constexpr std::string_view kConvertOldDocumentQuestion =
    "This file was saved with a previous version of Brindle Analyzer.\r\n"
    "Do you want to convert this file to the new format?";

// Writes the document in the current version. The earlier file is replaced only when the
// whole document was written; false leaves it as it was. A document larger than the space
// free beside the file is refused before anything is written: a long day span makes every
// daily row millions of bytes, and filling the disk first would only fail later.
bool SaveAnalysisDocument(const std::string& fileName, const TProfile& profile, TSeconds analysisTime,
                          const TStatistics& stats);

// The size SaveAnalysisDocument gives the file, worked out without writing it. Per-day
// counts are dense in the document: four bytes per day for every row that keeps them.
std::uint64_t AnalysisDocumentSize(const TProfile& profile, const TStatistics& stats);

// Reads a document. True exactly when Code is kDocLoaded; then Profile, AnalysisTime and
// Stats hold the document (Stats' visit count 0, FirstDay, LastDay and DaySpan derived from
// the hit times). Any other outcome leaves all three as they were. AskConvertOldVersion is
// called only for a 2.0 document; an empty callback declines.
bool LoadAnalysisDocument(const std::string& fileName, TProfile& profile, TSeconds& analysisTime, TStatistics& stats,
                          int& code, const std::function<bool()>& askConvertOldVersion);

}  // namespace brindle
