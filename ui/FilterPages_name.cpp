// Kinds 20..23: names of the options' user-agent lists and the request method.
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

TfrFilterName::TfrFilterName(TUiServices& ui, std::string_view info, std::string_view caption, const char* comboName,
                             const TLstUAType& list, QWidget* parent)
    : TfrFilterPage(ui, info, parent), combo_(new QComboBox(this)), list_(list) {
    combo_->setObjectName(comboName);
    combo_->setMaxVisibleItems(20);
    AddCaptioned(caption, combo_);
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

TfrFilter20::TfrFilter20(TUiServices& ui, const TOptions& options, QWidget* parent)
    : TfrFilterName(ui, "Filter log file information by the visitor's OS.", "Operating Systems", "cbOS", options.OSs,
                    parent) {
    setObjectName("frFilter20");
}

TfrFilter21::TfrFilter21(TUiServices& ui, const TOptions& options, QWidget* parent)
    : TfrFilterName(ui, "Filter log file information by the visitor's browser.", "Browsers", "cbBrowser",
                    options.Browsers, parent) {
    setObjectName("frFilter21");
}

TfrFilter22::TfrFilter22(TUiServices& ui, const TOptions& options, QWidget* parent)
    : TfrFilterName(ui, "Filter log file information by spiders.", "Spiders", "cbSpider", options.Spiders, parent) {
    setObjectName("frFilter22");
}

TfrFilter23::TfrFilter23(TUiServices& ui, QWidget* parent)
    : TfrFilterPage(ui, "Filter log file information by the type of request. Requests\r\ncan be GET, HEAD or POST.",
                    parent),
      rbGet_(new QRadioButton(QString::fromLatin1(kMethods[0]), this)),
      rbHead_(new QRadioButton(QString::fromLatin1(kMethods[1]), this)),
      rbPost_(new QRadioButton(QString::fromLatin1(kMethods[2]), this)) {
    setObjectName("frFilter23");
    rbGet_->setObjectName("rbGet");
    rbHead_->setObjectName("rbHead");
    rbPost_->setObjectName("rbPost");
    AddCaptioned("Type of request", MakeRow({rbGet_, rbHead_, rbPost_}));
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
