// Kind 13: the range of date-times and its fourteen-digit texts.
#include <array>
#include <charconv>

#include <QDateEdit>
#include <QDateTime>
#include <QLocale>
#include <QTimeEdit>

#include "core/CommonUtils_u.h"
#include "ui/FilterPages_fr.h"
#include "ui/UiServices.h"

namespace brindle {

namespace {

TDateParts PartsOf(QDate d, QTime t) { return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()}; }

TDateParts PartsOf(const QDateEdit* date, const QTimeEdit* time) { return PartsOf(date->date(), time->time()); }

void Show(const TDateParts& parts, QDateEdit* date, QTimeEdit* time) {
    date->setDate(QDate(parts.Year, parts.Month, parts.Day));
    time->setTime(QTime(parts.Hour, parts.Minute, parts.Second));
}

TDateParts Now() {
    const QDateTime now = QDateTime::currentDateTime();
    return PartsOf(now.date(), now.time());
}

bool Later(const TDateParts& a, const TDateParts& b) {
    return EncodeDateTime(a.Year, a.Month, a.Day, a.Hour, a.Minute, a.Second) >
           EncodeDateTime(b.Year, b.Month, b.Day, b.Hour, b.Minute, b.Second);
}

// The system's short date with a four-digit year.
QString DateDisplayFormat() {
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

}  // namespace

std::string FormatFilterStamp(const TDateParts& parts) {
    return FormatInt(parts.Year, 4) + FormatInt(parts.Month, 2) + FormatInt(parts.Day, 2) + FormatInt(parts.Hour, 2) +
           FormatInt(parts.Minute, 2) + FormatInt(parts.Second, 2);
}

std::optional<TDateParts> ParseFilterStamp(std::string_view text) {
    constexpr std::array<std::size_t, 6> widths = {4, 2, 2, 2, 2, 2};
    std::array<int, 6> v{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < widths.size(); pos += widths[i], ++i) {
        // As the analysis reads the parts: as far as the text reaches, digits only.
        if (pos >= text.size()) return std::nullopt;
        const std::string_view part = text.substr(pos, widths[i]);
        if (part.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
        std::from_chars(part.data(), part.data() + part.size(), v[i]);
    }
    const TDateParts p{v[0], v[1], v[2], v[3], v[4], v[5]};
    if (p.Year < 1 || !IsValidDate(p.Year, p.Month, p.Day) || !IsValidTime(p.Hour, p.Minute, p.Second))
        return std::nullopt;
    return p;
}

TfrFilter13::TfrFilter13(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent)
    : TfrFilterPage(ui, kind, parent),
      dtDateBegin_(new QDateEdit(this)),
      dtTimeBegin_(new QTimeEdit(this)),
      dtDateEnd_(new QDateEdit(this)),
      dtTimeEnd_(new QTimeEdit(this)) {
    dtDateBegin_->setObjectName("dtDateBegin");
    dtTimeBegin_->setObjectName("dtTimeBegin");
    dtDateEnd_->setObjectName("dtDateEnd");
    dtTimeEnd_->setObjectName("dtTimeEnd");
    for (QDateEdit* date : {dtDateBegin_, dtDateEnd_}) {
        date->setDisplayFormat(DateDisplayFormat());
        date->setCalendarPopup(true);
        date->setMinimumDate(QDate(1, 1, 1));
    }
    for (QTimeEdit* time : {dtTimeBegin_, dtTimeEnd_}) time->setDisplayFormat(QStringLiteral("HH:mm:ss"));

    AddCaptioned("Beginning filter date and time", MakeRow({dtDateBegin_, dtTimeBegin_}));
    AddCaptioned("Ending filter date and time", MakeRow({dtDateEnd_, dtTimeEnd_}));
}

void TfrFilter13::Init() {
    const TDateParts now = Now();
    Show(now, dtDateBegin_, dtTimeBegin_);
    Show(now, dtDateEnd_, dtTimeEnd_);
}

bool TfrFilter13::Validate() {
    if (!Later(PartsOf(dtDateBegin_, dtTimeBegin_), PartsOf(dtDateEnd_, dtTimeEnd_))) return true;
    Ui().ShowWarning("The beginning date/time specifies a later date than the ending date/time.");
    return false;
}

void TfrFilter13::SaveToFilter(TRecFilterProperty& filter) {
    filter.Value1 = FormatFilterStamp(PartsOf(dtDateBegin_, dtTimeBegin_));
    filter.Value2 = FormatFilterStamp(PartsOf(dtDateEnd_, dtTimeEnd_));
}

void TfrFilter13::LoadFromFilter(const TRecFilterProperty& filter) {
    Show(ParseFilterStamp(filter.Value1).value_or(Now()), dtDateBegin_, dtTimeBegin_);
    Show(ParseFilterStamp(filter.Value2).value_or(Now()), dtDateEnd_, dtTimeEnd_);
}

}  // namespace brindle
