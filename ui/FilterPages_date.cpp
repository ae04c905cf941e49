// Kind 13: the range of date-times and its fourteen-digit texts.
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLocale>
#include <QTimeEdit>

#include "core/CommonUtils_u.h"
#include "ui/FilterPages_fr.h"
#include "ui/UiServices.h"

namespace brindle {

namespace {

// As the analysis reads them: the part as far as the text reaches, all digits.
bool ReadDigits(std::string_view text, std::size_t pos, std::size_t count, int& value) {
    if (pos >= text.size()) return false;
    value = 0;
    for (const char c : text.substr(pos, count)) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

TDateParts PartsOf(const QDateEdit* date, const QTimeEdit* time) {
    const QDate d = date->date();
    const QTime t = time->time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

void Show(const TDateParts& parts, QDateEdit* date, QTimeEdit* time) {
    date->setDate(QDate(parts.Year, parts.Month, parts.Day));
    time->setTime(QTime(parts.Hour, parts.Minute, parts.Second));
}

TDateParts Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
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
    TDateParts p;
    if (!ReadDigits(text, 0, 4, p.Year) || !ReadDigits(text, 4, 2, p.Month) || !ReadDigits(text, 6, 2, p.Day) ||
        !ReadDigits(text, 8, 2, p.Hour) || !ReadDigits(text, 10, 2, p.Minute) || !ReadDigits(text, 12, 2, p.Second))
        return std::nullopt;
    if (p.Year < 1 || !IsValidDate(p.Year, p.Month, p.Day) || !IsValidTime(p.Hour, p.Minute, p.Second))
        return std::nullopt;
    return p;
}

TfrFilter13::TfrFilter13(TUiServices& ui, QWidget* parent)
    : TfrFilterPage(ui,
                    "Filter log file information by the date/time of request. If the\r\nrequest is between the "
                    "beginning and ending date/time\r\n(including), the filter will apply.",
                    parent),
      dtDateBegin_(new QDateEdit(this)),
      dtTimeBegin_(new QTimeEdit(this)),
      dtDateEnd_(new QDateEdit(this)),
      dtTimeEnd_(new QTimeEdit(this)) {
    setObjectName("frFilter13");
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

    auto* begin = new QWidget(this);
    auto* beginRow = new QHBoxLayout(begin);
    beginRow->setContentsMargins(0, 0, 0, 0);
    beginRow->addWidget(dtDateBegin_);
    beginRow->addWidget(dtTimeBegin_);
    AddCaptioned("Beginning filter date and time", begin);
    auto* end = new QWidget(this);
    auto* endRow = new QHBoxLayout(end);
    endRow->setContentsMargins(0, 0, 0, 0);
    endRow->addWidget(dtDateEnd_);
    endRow->addWidget(dtTimeEnd_);
    AddCaptioned("Ending filter date and time", end);
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
