// The about box's City line read through libGeoIP from a database the test writes, in both
// City editions, beside the files that must give no line.
#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <string>

#include "core/ReportTxt_u.h"
#include "core/SafeFile_u.h"
#include "support/GeoIPCityDb.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"
#include "tests/ui/FindChild.h"
#include "ui/About_fm.h"

namespace brindle {
namespace {

TEST(AboutCity, TheLineComesFromARealCityDatabase) {
    test::TestFolder folder;
    test::TScriptedUi ui;
    TLstReportTxt languages;
    TfmAbout about(languages, ui);
    QPlainTextEdit* memo = test::Child<QPlainTextEdit>(&about, "mePlugin");
    ASSERT_NE(memo, nullptr);
    const std::vector<test::TGeoIPCityEntry> cities = {
        {"192.0.2.0", 24, "US", "CA", "Mountain View", "94043", 37.4, -122.1}};
    for (const int edition : {GEOIP_CITY_EDITION_REV0, GEOIP_CITY_EDITION_REV1}) {
        const std::string path = folder.file("city" + std::to_string(edition) + ".dat");
        ASSERT_TRUE(WriteFileAtomic(path, test::TGeoIPCityDbWriter::Build(
                                              cities, "GEO-533LITE 20130903 Build 1 Copyright (c) MaxMind", edition)));
        EXPECT_EQ(ReadGeoIPCityInfo(path), "GEO-533LITE 20130903 Build 1 Copyright (c) MaxMind") << edition;
        about.Prepare(path);
        // The date in the locale's short form, with its four-digit year.
        const std::string line = memo->toPlainText().toStdString();
        EXPECT_TRUE(line.starts_with("GeoIP City database: ")) << line;
        EXPECT_NE(line.find("2013"), std::string::npos) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    }
    // A City database whose information text has no date gives no line.
    const std::string undated = folder.file("undated.dat");
    ASSERT_TRUE(WriteFileAtomic(undated, test::TGeoIPCityDbWriter::Build(cities, "GEO-533LITE Build 1")));
    about.Prepare(undated);
    EXPECT_EQ(memo->toPlainText().toStdString(), "");
    EXPECT_TRUE(ui.Errors.empty());
}

}  // namespace
}  // namespace brindle
