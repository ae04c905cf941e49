#include "ui/About_fm.h"

#include <GeoIP.h>

#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/CommonUtils_u.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFormat_u.h"
#include "ui/StartUp_u.h"
#include "ui/UiServices.h"
#include "ui/UiText_u.h"

namespace brindle {

namespace {

int NumberOr0(std::string_view text) {
    std::int64_t value = 0;
    return TryParseInt64(text, value) ? static_cast<int>(value) : 0;
}

struct TGeoIPDeleter {
    void operator()(GeoIP* gi) const { GeoIP_delete(gi); }
};

void SetLinkColour(QLabel* label, const char* colour) {
    label->setStyleSheet(QStringLiteral("color: %1; text-decoration: underline;").arg(QLatin1String(colour)));
}

}  // namespace

std::optional<TSeconds> GeoIPInfoDate(std::string_view info) {
    constexpr std::string_view blanks = " \t\r\n";
    const std::size_t first = info.find_first_not_of(blanks);
    if (first == std::string_view::npos) return std::nullopt;
    const std::string_view text = info.substr(first, info.find_last_not_of(blanks) + 1 - first);
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::string_view digits = text.substr(blank + 1, 8);
    if (digits.size() != 8) return std::nullopt;
    const int year = NumberOr0(digits.substr(0, 4));
    const int month = NumberOr0(digits.substr(4, 2));
    const int day = NumberOr0(digits.substr(6, 2));
    if (!IsValidDate(year, month, day)) return std::nullopt;
    const std::int64_t date = EncodeDate(year, month, day);
    if (date == 0) return std::nullopt;
    return StartOfDay(date);
}

std::string ReadGeoIPCityInfo(const std::string& path) {
    if (path.empty()) return {};
    const std::unique_ptr<GeoIP, TGeoIPDeleter> gi(GeoIP_open(path.c_str(), GEOIP_STANDARD | GEOIP_SILENCE));
    if (!gi) return {};
    const int edition = GeoIP_database_edition(gi.get());
    if (edition != GEOIP_CITY_EDITION_REV0 && edition != GEOIP_CITY_EDITION_REV1) return {};
    char* info = GeoIP_database_info(gi.get());
    if (!info) return {};
    std::string text(info);
    std::free(info);
    return text;
}

std::vector<std::string> LanguagePackLines(const TLstReportTxt& languages) {
    std::vector<std::string> lines;
    for (int i = 1; i < languages.Count(); ++i) {
        const TRecInfoTxt& info = languages.GetItem(i)->Info;
        lines.push_back(SafeFormat("Language pack: %s (%s)", {info.LanguageName, info.Version}));
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

TfmAbout::TfmAbout(const TLstReportTxt& languages, TUiServices& ui, QWidget* parent)
    : QDialog(parent),
      languages_(languages),
      ui_(ui),
      mePlugin_(new QPlainTextEdit(this)),
      laWeb_(MakeLink("laWeb", kMakerWebSite)),
      laMail_(MakeLink("laMail", kMakerMail)) {
    setObjectName("fmAbout");
    setWindowTitle(UiText("About BrindleAnalyzer"));
    setModal(true);

    auto* title = new QLabel(UiText("Brindle Analyzer"), this);
    title->setObjectName("laTitle");
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    title->setFont(titleFont);
    auto* laVersion = new QLabel(UiText(SafeFormat("Version %s", {kProgramVersion})), this);
    laVersion->setObjectName("laVersion");
    auto* laPlugin = new QLabel(UiText("Installed Plug-ins:"), this);
    laPlugin->setObjectName("laPlugin");
    mePlugin_->setObjectName("mePlugin");
    mePlugin_->setReadOnly(true);
    mePlugin_->setFixedHeight(90);
    auto* buOK = new QPushButton(UiText("&OK"), this);
    buOK->setObjectName("buOK");
    buOK->setDefault(true);
    connect(buOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(laVersion);
    layout->addSpacing(8);
    layout->addWidget(laWeb_);
    layout->addWidget(laMail_);
    layout->addSpacing(8);
    layout->addWidget(laPlugin);
    layout->addWidget(mePlugin_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buOK);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLabel* TfmAbout::MakeLink(const char* name, std::string_view text) {
    auto* label = new QLabel(UiText(text), this);
    label->setObjectName(name);
    label->setCursor(Qt::PointingHandCursor);
    SetLinkColour(label, "blue");
    label->installEventFilter(this);
    return label;
}

bool TfmAbout::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label && (label == laWeb_ || label == laMail_)) {
        switch (event->type()) {
            case QEvent::Enter: SetLinkColour(label, "navy"); break;
            case QEvent::Leave: SetLinkColour(label, "blue"); break;
            case QEvent::MouseButtonRelease:
                ui_.OpenWithDesktop(label == laWeb_ ? std::string(kMakerWebSite) : "mailto:" + std::string(kMakerMail));
                return true;
            default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmAbout::Prepare(const std::string& cityDbPath) {
    mePlugin_->clear();
    QStringList lines;
    if (const auto date = GeoIPInfoDate(ReadGeoIPCityInfo(cityDbPath))) {
        DisplayFormat format;
        format.ShortDateFormat =
            QtPatternToDisplayPattern(QLocale::system().dateFormat(QLocale::ShortFormat).toStdString());
        lines << UiText(SafeFormat("GeoIP City database: %s", {FormatDateText(*date, format)}));
    }
    for (const std::string& line : LanguagePackLines(languages_)) lines << UiText(line);
    mePlugin_->setPlainText(lines.join('\n'));
}

int TfmAbout::Execute(const std::string& cityDbPath) {
    Prepare(cityDbPath);
    return exec();
}

}  // namespace brindle
