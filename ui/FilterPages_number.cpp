// Entries of fixed lists stored as numbers (day, hour, month), and the range of status codes.
#include <QComboBox>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "ui/FilterPages_fr.h"
#include "ui/UiServices.h"

namespace brindle {

namespace {

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

TfrFilterNumber::TfrFilterNumber(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent)
    : TfrFilterPage(ui, kind, parent), combo_(new QComboBox(this)), items_(kind.Items()), firstValue_(kind.FirstValue) {
    combo_->setObjectName(kind.ControlName);
    combo_->setMaxVisibleItems(24);
    AddCaptioned(kind.Caption, combo_);
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
    const std::int64_t row = ParseOr(filter.Value1, firstValue_) - firstValue_;
    const std::int64_t last = combo_->count() - 1;
    combo_->setCurrentIndex(row < 0 ? -1 : static_cast<int>(std::min(row, last)));
}

TfrFilter18::TfrFilter18(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent)
    : TfrFilterPage(ui, kind, parent), cbRCFrom_(new QComboBox(this)), cbRCTo_(new QComboBox(this)) {
    cbRCFrom_->setObjectName("cbRCFrom");
    cbRCTo_->setObjectName("cbRCTo");
    AddCaptioned(kind.Caption, MakeRow({cbRCFrom_, nullptr, cbRCTo_}, "to"));
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
