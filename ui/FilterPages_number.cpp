// Kinds 14..18: entries of fixed lists stored as numbers (day, hour, month, status codes).
#include <QComboBox>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "ui/FilterPages_fr.h"
#include "ui/UiServices.h"
#include "ui/UiText_u.h"

namespace brindle {

namespace {

template <class Table>
QStringList TextsOf(const Table& table) {
    QStringList items;
    for (const auto& row : table) items << UiText(row.Text);
    return items;
}

QStringList HourItems() {
    QStringList items;
    for (int h = 0; h < 24; ++h)
        items << QString::fromStdString(FormatInt(h, 2) + ":00-" + FormatInt(h + 1, 2) + ":00");
    return items;
}

QStringList DayOfMonthItems() {
    QStringList items;
    for (int d = 1; d <= 31; ++d) items << QString::number(d);
    return items;
}

std::int64_t ParseOr(const std::string& text, std::int64_t defaultValue) {
    std::int64_t value = 0;
    return TryParseInt64(text, value) ? value : defaultValue;
}

// Row of a status code in the code table; 0 (the first entry) when the text is not a
// number or the code has no row.
int StatusRow(const std::string& text) {
    std::int64_t code = 0;
    if (!TryParseInt64(text, code)) return 0;
    const TStatusCodes& table = StatusCodeTable();
    for (int i = 0; i < kStatusCodeCount; ++i)
        if (table[i].Code == code) return i;
    return 0;
}

int StatusCodeAt(const QComboBox* combo) {
    const int row = combo->currentIndex();
    return row < 0 ? StatusCodeTable()[0].Code : StatusCodeTable()[row].Code;
}

}  // namespace

TfrFilterNumber::TfrFilterNumber(TUiServices& ui, std::string_view info, std::string_view caption,
                                 const char* comboName, QStringList items, int firstValue, int defaultValue,
                                 QWidget* parent)
    : TfrFilterPage(ui, info, parent),
      combo_(new QComboBox(this)),
      items_(std::move(items)),
      firstValue_(firstValue),
      defaultValue_(defaultValue) {
    combo_->setObjectName(comboName);
    combo_->setMaxVisibleItems(24);
    AddCaptioned(caption, combo_);
}

void TfrFilterNumber::Init() {
    combo_->clear();
    combo_->addItems(items_);
    combo_->setCurrentIndex(0);
}

void TfrFilterNumber::SaveToFilter(TRecFilterProperty& filter) {
    // No entry is chosen only for a hand-edited value below the list; it is kept as it was.
    if (combo_->currentIndex() >= 0) filter.Value1 = std::to_string(firstValue_ + combo_->currentIndex());
}

void TfrFilterNumber::LoadFromFilter(const TRecFilterProperty& filter) {
    const std::int64_t row = ParseOr(filter.Value1, defaultValue_) - firstValue_;
    const std::int64_t last = combo_->count() - 1;
    combo_->setCurrentIndex(row < 0 ? -1 : static_cast<int>(std::min(row, last)));
}

TfrFilter14::TfrFilter14(TUiServices& ui, QWidget* parent)
    : TfrFilterNumber(ui, "Filter log file information by the day of week the request\r\nwas received.", "Day of week",
                      "cbDay", TextsOf(LongDayNameTable()), 1, 1, parent) {
    setObjectName("frFilter14");
}

TfrFilter15::TfrFilter15(TUiServices& ui, QWidget* parent)
    : TfrFilterNumber(ui, "Filter log file information by the hour of day the request\r\nwas received.", "Hour of day",
                      "cbHod", HourItems(), 0, 0, parent) {
    setObjectName("frFilter15");
}

TfrFilter16::TfrFilter16(TUiServices& ui, QWidget* parent)
    : TfrFilterNumber(ui, "Filter log file information by the day of month the request\r\nwas received.",
                      "Day of month", "cbDom", DayOfMonthItems(), 1, 1, parent) {
    setObjectName("frFilter16");
}

TfrFilter17::TfrFilter17(TUiServices& ui, QWidget* parent)
    : TfrFilterNumber(ui, "Filter log file information by the month the request\r\nwas received.", "Month", "cbMonth",
                      TextsOf(LongMonthNameTable()), 1, 1, parent) {
    setObjectName("frFilter17");
}

TfrFilter18::TfrFilter18(TUiServices& ui, QWidget* parent)
    : TfrFilterPage(ui,
                    "Filter log file information by the status code returned by\r\nthe web server. To include "
                    "or exclude just one status code,\r\nspecify the same values for the lower and upper ranges.",
                    parent),
      cbRCFrom_(new QComboBox(this)),
      cbRCTo_(new QComboBox(this)) {
    setObjectName("frFilter18");
    cbRCFrom_->setObjectName("cbRCFrom");
    cbRCTo_->setObjectName("cbRCTo");
    AddCaptioned("Return code from", MakeRow({cbRCFrom_, nullptr, cbRCTo_}, "to"));
}

void TfrFilter18::Init() {
    QStringList items;
    for (const TRecStatusCode& row : StatusCodeTable())
        items << QString::fromStdString(std::to_string(row.Code) + " (" + row.Text + ")");
    for (QComboBox* combo : {cbRCFrom_, cbRCTo_}) {
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(0);
    }
}

bool TfrFilter18::Validate() {
    if (StatusCodeAt(cbRCTo_) >= StatusCodeAt(cbRCFrom_)) return true;
    Ui().ShowWarning("The upper bound must be greather or equal to the lower bound.");
    return false;
}

void TfrFilter18::SaveToFilter(TRecFilterProperty& filter) {
    filter.Value1 = std::to_string(StatusCodeAt(cbRCFrom_));
    filter.Value2 = std::to_string(StatusCodeAt(cbRCTo_));
}

void TfrFilter18::LoadFromFilter(const TRecFilterProperty& filter) {
    cbRCFrom_->setCurrentIndex(StatusRow(filter.Value1));
    cbRCTo_->setCurrentIndex(StatusRow(filter.Value2));
}

}  // namespace brindle
