// Names from the options' user-agent lists, and the request method.
#include <array>

#include <QComboBox>
#include <QRadioButton>

#include "ui/FilterPages_fr.h"
#include "ui/UiText_u.h"

namespace brindle {

namespace {

// The stored texts, in button order (a desktop theme may add accelerators to the captions).
constexpr std::array<const char*, 3> kMethods = {"GET", "HEAD", "POST"};

}  // namespace

TfrFilterName::TfrFilterName(TUiServices& ui, const TFilterKindPage& kind, const TOptions& options, QWidget* parent)
    : TfrFilterPage(ui, kind, parent), combo_(new QComboBox(this)), list_(options.*kind.List) {
    combo_->setObjectName(kind.ControlName);
    combo_->setMaxVisibleItems(20);
    AddCaptioned(kind.Caption, combo_);
}

void TfrFilterName::Init() {
    combo_->clear();
    QStringList names;
    for (const TRecUAType& rec : list_) {
        const QString name = QString::fromStdString(rec.Name);
        if (!names.contains(name)) names << name;
    }
    combo_->addItems(names);
    combo_->setCurrentIndex(combo_->count() > 0 ? 0 : -1);
}

void TfrFilterName::SaveToFilter(TRecFilterProperty& filter) { filter.Value1 = StdText(combo_->currentText()); }

void TfrFilterName::LoadFromFilter(const TRecFilterProperty& filter) {
    const int row =
        combo_->findText(QString::fromStdString(filter.Value1), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    combo_->setCurrentIndex(row >= 0 ? row : (combo_->count() > 0 ? 0 : -1));
}

TfrFilter23::TfrFilter23(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent)
    : TfrFilterPage(ui, kind, parent),
      rbGet_(new QRadioButton(QString::fromLatin1(kMethods[0]), this)),
      rbHead_(new QRadioButton(QString::fromLatin1(kMethods[1]), this)),
      rbPost_(new QRadioButton(QString::fromLatin1(kMethods[2]), this)) {
    rbGet_->setObjectName("rbGet");
    rbHead_->setObjectName("rbHead");
    rbPost_->setObjectName("rbPost");
    AddCaptioned(kind.Caption, MakeRow({rbGet_, rbHead_, rbPost_}));
}

void TfrFilter23::Init() { rbGet_->setChecked(true); }

void TfrFilter23::SaveToFilter(TRecFilterProperty& filter) {
    const std::array<const QRadioButton*, 3> buttons = {rbGet_, rbHead_, rbPost_};
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked()) filter.Value1 = kMethods[i];
}

void TfrFilter23::LoadFromFilter(const TRecFilterProperty& filter) {
    const std::array<QRadioButton*, 3> buttons = {rbGet_, rbHead_, rbPost_};
    QRadioButton* ticked = rbGet_;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (filter.Value1 == kMethods[i]) ticked = buttons[i];
    ticked->setChecked(true);
}

}  // namespace brindle
