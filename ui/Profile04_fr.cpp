#include "ui/Profile04_fr.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/Profiles_u.h"
#include "core/SafeFormat_u.h"
#include "ui/UiServices.h"
#include "ui/Widgets_u.h"

namespace brindle {

TfrProfile04::TfrProfile04(TUiServices& ui, QWidget* parent) : TfrProfile(ui, parent), lv_(new QTreeWidget(this)) {
    setObjectName("frProfile04");
    lv_->setObjectName("lv");
    lv_->setHeaderLabels({UiText("Filters")});

    auto* buttons = new QHBoxLayout;
    acAdd_ = NewAction(this, "acAdd", "Add...", buttons);
    acEdit_ = NewAction(this, "acEdit", "Edit...", buttons);
    acDel_ = NewAction(this, "acDel", "Delete", buttons);
    buttons->addStretch();
    rows_ = new TListPageActions(lv_, acAdd_, acEdit_, acDel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NewLabel(this, "laInfo",
                               "You can include or exclude certain data from your report by\r\n"
                               "using filters. By default all data is included."));
    layout->addWidget(lv_, 1);
    layout->addLayout(buttons);

    connect(acAdd_, &QAction::triggered, this, &TfrProfile04::AddFilter);
    connect(acEdit_, &QAction::triggered, this, &TfrProfile04::EditFilter);
    connect(acDel_, &QAction::triggered, this, &TfrProfile04::DeleteFilters);
}

TfrProfile04::~TfrProfile04() = default;

void TfrProfile04::Init() { copy_ = std::make_unique<TProfile>(); }

void TfrProfile04::Done() { copy_.reset(); }

void TfrProfile04::LoadFromProfile(const TProfile& profile) {
    if (!copy_) Init();
    copy_->Assign(profile);
    FillList(-1);
}

void TfrProfile04::SaveToProfile(TProfile& profile) { profile.Filters = copy_->Filters; }

std::string TfrProfile04::NewFilterName(const TLstFilterProperty& filters) {
    for (int number = 1;; ++number) {
        std::string name = SafeFormat("Filter %d", {number});
        const bool taken = std::any_of(filters.begin(), filters.end(),
                                       [&name](const TRecFilterProperty& filter) { return filter.Name == name; });
        if (!taken) return name;
    }
}

void TfrProfile04::FillList(int selectRow) {
    lv_->clear();
    for (const auto& filter : copy_->Filters) new QTreeWidgetItem(lv_, {UiText(filter.Name)});
    rows_->SelectRow(selectRow);
}

void TfrProfile04::AddFilter() {
    if (!editFilter_) return;
    TRecFilterProperty filter;
    filter.FilterType = 1;
    filter.FilterItem = 11;
    filter.Name = NewFilterName(copy_->Filters);
    if (!editFilter_(filter)) return;
    copy_->Filters.Add(filter);
    FillList(static_cast<int>(copy_->Filters.Count()) - 1);
}

void TfrProfile04::EditFilter() {
    const int row = rows_->SelectedRow();
    if (!editFilter_ || row < 0) return;
    TRecFilterProperty filter = copy_->Filters[static_cast<std::size_t>(row)];
    if (!editFilter_(filter)) return;
    copy_->Filters[static_cast<std::size_t>(row)] = filter;
    FillList(row);
}

void TfrProfile04::DeleteFilters() {
    const auto rows = rows_->SelectedRows();
    if (rows.empty()) return;
    if (!Ui().AskYesNo("Are you sure you want to delete the selected filter(s) ?", TQuestionKind::Silent)) return;
    DeleteRows(copy_->Filters, rows);
    FillList(-1);
}

}  // namespace brindle
