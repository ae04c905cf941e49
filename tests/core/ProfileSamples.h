#pragma once
// Profiles shared by the profile tests: a fixed set behind the golden files and a random
// generator for round trips.
#include <random>
#include <string>

#include "core/Profiles_u.h"

namespace brindle::test {

// Three profiles: one with every list filled and markup, quotes and non-ASCII in its texts,
// one with empty lists, one with blanks and line breaks in its texts.
inline TProfiles GoldenProfiles() {
    TProfiles profiles;
    profiles.Description = "ignored on save";
    profiles.Ver = "1.00";

    auto main = std::make_unique<TProfile>();
    main->Name = "Main site & <shop>";
    main->LogFiles.Add({"file://", "/var/log/apache2/access_%YYYY%.log", "", "", 0, 0, 1});
    main->LogFiles.Add({"ftp://", "ftp.example.com/logs/*.gz", "webmaster", "p\"w<d>&'x", 21, 1, 0});
    main->Obsolete110 = {"http://", "legacy.example.com/log", "old", "secret", 80};
    main->LogFileFormat = 1;
    main->DateFormat = 2;
    main->DomainName = "www.example.com";
    main->DefaultPage = "index.html";
    main->DNSLookup = 1;
    main->AutoExport = 1;
    main->AutoExportType = 2;
    main->AutoExportFile = "/home/user/export/report_%YYYY%-%MM%";
    main->AutoExportLanguageID = "default";
    main->Description = "Caf\u00e9 \u2013 na\u00efve \u201cquotes\u201d \u65e5\u672c > & <";
    main->OffsetSign = -1;
    main->OffsetHour = 5;
    main->OffsetMinute = 30;
    main->Reports.Add({10, 1, 1, 0, 0, 0, 0, 0});
    main->Reports.Add({31, 0, 1, 1, 1, 20, 10, 5});
    main->Reports.Add({37, 1, 1, 1, 0, 100, 15, 10});
    main->Filters.Add({1, 11, "Only pages", "*.html", ""});
    main->Filters.Add({2, 17, "No \"bots\"", "bot", "crawler"});
    profiles.Profiles.Add(std::move(main));

    auto empty = std::make_unique<TProfile>();
    empty->Name = "Empty";
    empty->OffsetSign = 1;
    profiles.Profiles.Add(std::move(empty));

    auto spaced = std::make_unique<TProfile>();
    spaced->Name = "  spaced  ";
    spaced->Description = "line1\r\nline2\ttab";
    spaced->DomainName = " ";
    spaced->OffsetSign = 1;
    spaced->OffsetHour = -2;
    spaced->Reports.Add({142, 1, 0, 0, 0, 2147483647, 0, 0});
    profiles.Profiles.Add(std::move(spaced));
    return profiles;
}

// A text of valid UTF-8 that XML can carry: markup, quotes, blanks, line breaks, non-ASCII.
inline std::string RandomText(std::mt19937& rng, std::size_t maxLength) {
    static const char* const pieces[] = {"a",  "Z",      "0",      " ",          "&",  "<",    ">",
                                         "\"", "'",      "\t",     "\n",         "\r", "\r\n", "%YYYY%",
                                         "/",  "\u00e9", "\u20ac", "\U0001F600", "]]>"};
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::string text;
    for (std::size_t n = length(rng); n > 0; --n) text += pieces[pick(rng)];
    return text;
}

inline TProfile RandomProfile(std::mt19937& rng) {
    std::uniform_int_distribution<std::int32_t> anyInt(-100000, 100000);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> count(0, 3);
    TProfile p;
    p.Name = RandomText(rng, 8);
    for (int i = count(rng); i > 0; --i)
        p.LogFiles.Add({RandomText(rng, 3), RandomText(rng, 10), RandomText(rng, 4), RandomText(rng, 4), anyInt(rng),
                        anyInt(rng), anyInt(rng)});
    p.LogFileFormat = static_cast<std::uint8_t>(byte(rng));
    p.DateFormat = static_cast<std::uint8_t>(byte(rng));
    p.DomainName = RandomText(rng, 6);
    p.DefaultPage = RandomText(rng, 6);
    p.DNSLookup = anyInt(rng);
    p.AutoExport = anyInt(rng);
    p.AutoExportType = static_cast<std::uint8_t>(byte(rng));
    p.AutoExportFile = RandomText(rng, 6);
    p.AutoExportLanguageID = RandomText(rng, 3);
    p.Description = RandomText(rng, 12);
    p.OffsetSign = anyInt(rng);
    p.OffsetHour = anyInt(rng);
    p.OffsetMinute = anyInt(rng);
    for (int i = count(rng); i > 0; --i)
        p.Reports.Add({static_cast<std::uint8_t>(byte(rng)), anyInt(rng), anyInt(rng), anyInt(rng), anyInt(rng),
                       anyInt(rng), anyInt(rng), anyInt(rng)});
    for (int i = count(rng); i > 0; --i)
        p.Filters.Add({static_cast<std::uint8_t>(byte(rng)), static_cast<std::uint8_t>(byte(rng)), RandomText(rng, 4),
                       RandomText(rng, 4), RandomText(rng, 4)});
    return p;
}

}  // namespace brindle::test
