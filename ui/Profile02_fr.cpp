#include "ui/Profile02_fr.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/CommonConsts_tables.h"
#include "core/Profiles_u.h"
#include "ui/LogFile_fm.h"
#include "ui/UiServices.h"
#include "ui/Widgets_u.h"

namespace brindle {
namespace {

constexpr int kIISCommaFormat = 5;

}  // namespace

TfrProfile02::TfrProfile02(TUiServices& ui, QWidget* parent)
    : TfrProfile(ui, parent),
      lv_(new QTreeWidget(this)),
      cbLogFileFormat_(new QComboBox(this)),
      cbDateFormat_(new QComboBox(this)),
      laDateFormat_(NewLabel(this, "laDateFormat", "Date Format:")) {
    setObjectName("frProfile02");
    lv_->setObjectName("lv");
    lv_->header()->hide();
    cbLogFileFormat_->setObjectName("cbLogFileFormat");
    cbDateFormat_->setObjectName("cbDateFormat");

    auto* buttons = new QHBoxLayout;
    acAdd_ = NewAction(this, "acAdd", "Add...", buttons);
    acEdit_ = NewAction(this, "acEdit", "Edit...", buttons);
    acDelete_ = NewAction(this, "acDelete", "Delete", buttons);
    acUp_ = NewAction(this, "acUp", "Up", buttons);
    acDown_ = NewAction(this, "acDown", "Down", buttons);
    buttons->addStretch();
    rows_ = new TListPageActions(lv_, acAdd_, acEdit_, acDelete_, {acUp_, acDown_});

    auto* formats = new QGridLayout;
    formats->addWidget(NewLabel(this, "laLogFileFormat", "Log File Format:"), 0, 0);
    formats->addWidget(cbLogFileFormat_, 0, 1);
    formats->addWidget(laDateFormat_, 1, 0);
    formats->addWidget(cbDateFormat_, 1, 1);
    formats->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NewLabel(this, "laLogFiles", "Log Files:"));
    layout->addWidget(lv_, 1);
    layout->addLayout(buttons);
    layout->addLayout(formats);

    connect(acAdd_, &QAction::triggered, this, &TfrProfile02::AddLocation);
    connect(acEdit_, &QAction::triggered, this, &TfrProfile02::EditLocation);
    connect(acDelete_, &QAction::triggered, this, &TfrProfile02::DeleteLocations);
    connect(acUp_, &QAction::triggered, this, [this] { MoveLocation(-1); });
    connect(acDown_, &QAction::triggered, this, [this] { MoveLocation(1); });
    connect(lv_, &QTreeWidget::itemChanged, this, &TfrProfile02::RowChanged);
    connect(cbLogFileFormat_, &QComboBox::currentIndexChanged, this, &TfrProfile02::UpdateDateFormat);
}

TfrProfile02::~TfrProfile02() = default;

void TfrProfile02::Init() {
    copy_ = std::make_unique<TProfile>();
    const QSignalBlocker block(cbLogFileFormat_);
    cbLogFileFormat_->clear();
    for (const auto& format : LogFormatTable()) cbLogFileFormat_->addItem(UiText(format.Name));
    cbDateFormat_->clear();
    for (const auto& format : DateFormatTable()) cbDateFormat_->addItem(UiText(format.Name));
}

void TfrProfile02::Done() { copy_.reset(); }

void TfrProfile02::LoadFromProfile(const TProfile& profile) {
    if (!copy_) Init();
    copy_->Assign(profile);
    FillList(-1);
    {
        const QSignalBlocker block(cbLogFileFormat_);
        cbLogFileFormat_->setCurrentIndex(cbLogFileFormat_->findText(UiText(GetLogFormatName(profile.LogFileFormat))));
    }
    cbDateFormat_->setCurrentIndex(cbDateFormat_->findText(UiText(GetDateFormatName(profile.DateFormat))));
    UpdateDateFormat();
}

bool TfrProfile02::Validate() {
    for (const auto& location : copy_->LogFiles)
        if (location.Enable != 0) return true;
    return Refuse("Please specify at least one log location.", lv_);
}

void TfrProfile02::SaveToProfile(TProfile& profile) {
    profile.LogFiles = copy_->LogFiles;
    profile.LogFileFormat = static_cast<std::uint8_t>(GetLogFormatCode(StdText(cbLogFileFormat_->currentText())));
    profile.DateFormat = static_cast<std::uint8_t>(GetDateFormatCode(StdText(cbDateFormat_->currentText())));
}

void TfrProfile02::UpdateDateFormat() {
    const bool iis = GetLogFormatCode(StdText(cbLogFileFormat_->currentText())) == kIISCommaFormat;
    laDateFormat_->setEnabled(iis);
    cbDateFormat_->setEnabled(iis);
    if (iis && cbDateFormat_->currentIndex() < 0) cbDateFormat_->setCurrentIndex(0);
    if (!iis) cbDateFormat_->setCurrentIndex(-1);
}

void TfrProfile02::FillList(int selectRow) {
    {
        const QSignalBlocker block(lv_);
        lv_->clear();
        for (const auto& location : copy_->LogFiles) {
            auto* item = new QTreeWidgetItem(lv_, {UiText(location.LogFileType + location.LogFileURL)});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, location.Enable != 0 ? Qt::Checked : Qt::Unchecked);
        }
    }
    rows_->SelectRow(selectRow);
}

void TfrProfile02::RowChanged(QTreeWidgetItem* item) {
    const int row = lv_->indexOfTopLevelItem(item);
    if (row < 0 || static_cast<std::size_t>(row) >= copy_->LogFiles.Count()) return;
    copy_->LogFiles[static_cast<std::size_t>(row)].Enable = item->checkState(0) == Qt::Checked ? 1 : 0;
}

void TfrProfile02::AddLocation() {
    TRecLogFileProperty location;
    location.LogFileType = "file://";
    location.LoginPort = 21;
    location.Enable = 1;
    TfmLogFile dialog(Ui(), this);
    if (dialog.Execute(location) != QDialog::Accepted) return;
    copy_->LogFiles.Add(location);
    FillList(static_cast<int>(copy_->LogFiles.Count()) - 1);
}

void TfrProfile02::EditLocation() {
    const int row = rows_->SelectedRow();
    if (row < 0) return;
    TRecLogFileProperty location = copy_->LogFiles[static_cast<std::size_t>(row)];
    TfmLogFile dialog(Ui(), this);
    if (dialog.Execute(location) != QDialog::Accepted) return;
    copy_->LogFiles[static_cast<std::size_t>(row)] = location;
    FillList(row);
}

void TfrProfile02::DeleteLocations() {
    const auto rows = rows_->SelectedRows();
    if (rows.empty()) return;
    if (!Ui().AskYesNo("Are you sure you want to delete the selected log file(s) ?", TQuestionKind::Silent)) return;
    DeleteRows(copy_->LogFiles, rows);
    FillList(-1);
}

void TfrProfile02::MoveLocation(int step) {
    const int row = rows_->SelectedRow();
    const int other = row + step;
    if (row < 0 || other < 0 || static_cast<std::size_t>(other) >= copy_->LogFiles.Count()) return;
    std::swap(copy_->LogFiles[static_cast<std::size_t>(row)], copy_->LogFiles[static_cast<std::size_t>(other)]);
    FillList(other);
}

}  // namespace brindle
