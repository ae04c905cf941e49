#include "ui/Profile_fr.h"

#include <QAction>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "core/Profiles_u.h"
#include "ui/Profile01_fr.h"
#include "ui/Profile02_fr.h"
#include "ui/Profile03_fr.h"
#include "ui/Profile04_fr.h"
#include "ui/Profile05_fr.h"
#include "ui/Profile06_fr.h"
#include "ui/UiServices.h"

namespace brindle {

TfrProfile::TfrProfile(TUiServices& ui, QWidget* parent) : QWidget(parent), ui_(ui) {}

bool TfrProfile::Refuse(std::string_view warning, QWidget* field) {
    ui_.ShowWarning(std::string(warning));
    refusedField_ = field;
    FocusRefusedField();
    return false;
}

void TfrProfile::FocusFirstField() {
    for (QWidget* next = nextInFocusChain(); next && next != this; next = next->nextInFocusChain()) {
        if (!isAncestorOf(next)) break;
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && !next->isHidden()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TfrProfile::FocusRefusedField() {
    if (refusedField_ && refusedField_->isEnabled())
        refusedField_->setFocus(Qt::OtherFocusReason);
    else
        FocusFirstField();
}

// ---- TListPageActions ---------------------------------------------------------------------

TListPageActions::TListPageActions(QTreeWidget* list, QAction* add, QAction* edit, QAction* del,
                                   std::vector<QAction*> singleOnly)
    : QObject(list), list_(list), add_(add), edit_(edit), del_(del), singleOnly_(std::move(singleOnly)) {
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setRootIsDecorated(false);
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &TListPageActions::Update);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (edit_->isEnabled()) edit_->trigger();
    });
    Update();
}

std::vector<int> TListPageActions::SelectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list_->selectedItems()) rows.push_back(list_->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TListPageActions::SelectedRow() const {
    const auto rows = SelectedRows();
    return rows.size() == 1 ? rows.front() : -1;
}

void TListPageActions::SelectRow(int row) {
    list_->clearSelection();
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) {
        list_->setCurrentItem(item);
        item->setSelected(true);
    }
    Update();
}

void TListPageActions::Update() {
    const std::size_t selected = SelectedRows().size();
    edit_->setEnabled(selected == 1);
    del_->setEnabled(selected >= 1);
    for (QAction* action : singleOnly_) action->setEnabled(selected == 1);
}

bool TListPageActions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Insert) {
            add_->trigger();
            return true;
        }
        if (key == Qt::Key_Delete) {
            if (del_->isEnabled()) del_->trigger();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QWidget* NewProfileImage(QWidget* parent) {
    auto* image = new QLabel(parent);
    image->setObjectName("imProfile");
    image->setPixmap(parent->style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(64, 64));
    image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    return image;
}

// ---- TProfilePages ------------------------------------------------------------------------

const std::array<std::string_view, TProfilePages::kCount>& TProfilePages::Titles() {
    static const std::array<std::string_view, kCount> titles = {"Profile", "Log File", "Home Page",
                                                                "Filters", "Views",    "Misc"};
    return titles;
}

TProfilePages::TProfilePages(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent) {
    filters_ = new TfrProfile04(ui, parent);
    pages_ = {new TfrProfile01(ui, parent), new TfrProfile02(ui, parent),
              new TfrProfile03(ui, parent), filters_,
              new TfrProfile05(ui, parent), new TfrProfile06(ui, languages, parent)};
}

void TProfilePages::SetEditFilter(TEditFilterFunc editFilter) { filters_->SetEditFilter(std::move(editFilter)); }

int TProfilePages::Execute(QDialog& dialog, TProfile& profile, const std::function<void()>& beforeShow) {
    // Done runs whatever happens once the pages are prepared.
    struct TDoneAll {
        const std::array<TfrProfile*, kCount>& pages;
        ~TDoneAll() {
            for (TfrProfile* page : pages) page->Done();
        }
    } doneAll{pages_};
    for (TfrProfile* page : pages_) page->Init();
    for (TfrProfile* page : pages_) page->LoadFromProfile(profile);
    if (beforeShow) beforeShow();
    const int result = dialog.exec();
    if (result == QDialog::Accepted)
        for (TfrProfile* page : pages_) page->SaveToProfile(profile);
    return result;
}

int TProfilePages::FirstInvalid() const {
    for (int i = 0; i < kCount; ++i)
        if (!pages_[static_cast<std::size_t>(i)]->Validate()) return i;
    return -1;
}

}  // namespace brindle
