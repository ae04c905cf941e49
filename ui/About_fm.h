#pragma once
// The about box: product, version, the installed extras (GeoIP City database, language
// packs) and links to the maker's web site and mail address.
#include <QDialog>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DateTime_u.h"
#include "core/WebSite_u.h"

class QLabel;
class QPlainTextEdit;

namespace brindle {

class TLstReportTxt;
class TUiServices;

inline constexpr std::string_view kMakerMail = "brindle-analyzer@corvane.example";

// The build date in a GeoIP database's information text ("GEO-533LITE 20130903 Build 1
// ..."): the first eight characters after the first blank of the trimmed text, as year,
// month and day. Nothing when they are not eight, the date does not exist or is day 0.
std::optional<TSeconds> GeoIPInfoDate(std::string_view info);

// The information text of the GeoIP City database at Path; empty when there is none.
std::string ReadGeoIPCityInfo(const std::string& path);

// "Language pack: <name> (<version>)" for every language but the built-in one, sorted,
// each line once.
std::vector<std::string> LanguagePackLines(const TLstReportTxt& languages);

class TfmAbout : public QDialog {
    Q_OBJECT
public:
    TfmAbout(const TLstReportTxt& languages, TUiServices& ui, QWidget* parent = nullptr);

    // Lists the installed extras and runs the dialog. Any trouble with the City database
    // only leaves its line out.
    int Execute(const std::string& cityDbPath);
    // Execute's first steps without running the dialog.
    void Prepare(const std::string& cityDbPath);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* MakeLink(const char* name, std::string_view text);

    const TLstReportTxt& languages_;
    TUiServices& ui_;
    QPlainTextEdit* mePlugin_;
    QLabel* laWeb_;
    QLabel* laMail_;
};

}  // namespace brindle
