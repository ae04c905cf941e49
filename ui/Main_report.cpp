// The report page: the tree of the shown analysis and the view of its selected node.
#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "core/AppPaths.h"
#include "core/Options_u.h"
#include "engine/LogConvert_u.h"
#include "ui/Main_fm.h"
#include "ui/ReportTree_u.h"
#include "ui/TreeIcons_u.h"

namespace brindle {

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kViewsRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;

// The hourglass while a view is built, and pending events let run on either side.
class TBusyCursor {
public:
    TBusyCursor() {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents();
    }
    ~TBusyCursor() {
        QApplication::restoreOverrideCursor();
        QCoreApplication::processEvents();
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace

bool TfmMain::ShowsInfoPage() const { return !hasResult_ || IsInfoID(currentReportId_); }

const TProfile* TfmMain::CurrentProfile() const { return hasResult_ ? &result_.Profile : nullptr; }

TReportSource TfmMain::Source() { return {result_.Statistics, result_.Profile, result_.AnalysisTime, options_}; }

void TfmMain::BuildReportTree() {
    currentReportId_ = 0;
    currentViews_ = 0;
    if (!WidgetsBuilt()) return;
    const QSignalBlocker block(tvl);
    tvl->clear();
    QTreeWidgetItem* group = nullptr;
    for (const TRecNodeProperty* row :
         ReportTreeRows(CurrentProfile(), result_.Statistics, options_.ShowEmptyReports != 0)) {
        auto* node = row->ParentID == 0 || !group ? new QTreeWidgetItem(tvl) : new QTreeWidgetItem(group);
        if (row->ParentID == 0) group = node;
        node->setText(0, QString::fromStdString(row->Title));
        node->setData(0, kImageRole, row->Image);
        node->setData(0, kIdRole, row->ID);
        node->setData(0, kViewsRole, row->Views);
    }
    // Every node with children is about to be expanded. An icon set after the rows are laid
    // out makes the view measure it at once, reading its file.
    for (QTreeWidgetItemIterator it(tvl); *it; ++it)
        (*it)->setIcon(0, ReportTreeIcon((*it)->data(0, kImageRole).toInt(), (*it)->childCount() > 0));
    tvl->expandAll();
}

void TfmMain::RestoreReportTree() {
    const int reportId = currentReportId_;
    const std::uint8_t views = currentViews_;
    BuildReportTree();
    currentReportId_ = reportId;
    currentViews_ = views;
    if (reportId == 0) return;
    const QSignalBlocker block(tvl);
    for (QTreeWidgetItemIterator it(tvl); *it; ++it)
        if ((*it)->data(0, kIdRole).toInt() == reportId) {
            tvl->setCurrentItem(*it);
            return;
        }
}

void TfmMain::tvlImageUpdate(QTreeWidgetItem* node) {
    node->setIcon(0, ReportTreeIcon(node->data(0, kImageRole).toInt(), node->isExpanded()));
}

void TfmMain::tvlChange(QTreeWidgetItem* node) {
    if (!node) return;
    currentReportId_ = node->data(0, kIdRole).toInt();
    currentViews_ = static_cast<std::uint8_t>(node->data(0, kViewsRole).toInt());
    ShowReportView();
}

void TfmMain::acREViewListExecute() {
    requestedMode_ = 1;
    ShowReportView();
}

void TfmMain::acREViewHTMLExecute() {
    requestedMode_ = 2;
    ShowReportView();
}

void TfmMain::UpdateViewActions() {
    const bool report = hasResult_ && !IsInfoID(currentReportId_) && currentReportId_ != 0;
    acREViewList->setChecked(report && effectiveMode_ == 1);
    acREViewHTML->setChecked(report && effectiveMode_ == 2);
    acREViewList->setEnabled(report && (currentViews_ & kViewTable));
    acREViewHTML->setEnabled(report && (currentViews_ & kViewHtml));
}

void TfmMain::ShowReportView() {
    effectiveMode_ = ShowsInfoPage() ? 0 : brindle::EffectiveViewMode(requestedMode_, currentViews_);
    UpdateViewActions();
    // A run no one sees would build pages only to throw them away.
    viewPending_ = Unattended() && !isVisible();
    if (!viewPending_) BuildReportView();
}

void TfmMain::BuildReportView() {
    if (ShowsInfoPage()) {
        TBusyCursor busy;
        HideReportFrames();
        if (hooks_.ShowInfoPage) {
            hooks_.ShowInfoPage(frInfo1, hasResult_ ? 1 : 0, AppPaths::TmpDir() + "info.html");
            frInfo1->show();
        }
        return;
    }
    TBusyCursor busy;
    HideReportFrames();
    TReportSource source = Source();
    if (effectiveMode_ == 1) {
        if (hooks_.ShowReportList) {
            hooks_.ShowReportList(frList1, source, currentReportId_);
            frList1->show();
        }
    } else if (hooks_.BuildReportPage) {
        hooks_.BuildReportPage(frHTML1, source, TReportSet{currentReportId_}, EnglishTexts(),
                               AppPaths::TmpDir() + "single.html");
        frHTML1->show();
    }
}

void TfmMain::ShowReportPage() {
    BuildReportTree();
    reportPageCurrent_ = true;
    if (!WidgetsBuilt()) {
        // The first node of the tree the window would show.
        const std::vector<const TRecNodeProperty*> rows =
            ReportTreeRows(CurrentProfile(), result_.Statistics, options_.ShowEmptyReports != 0);
        if (!rows.empty()) {
            currentReportId_ = rows.front()->ID;
            currentViews_ = rows.front()->Views;
        }
        ShowReportView();
    } else {
        pc->setCurrentWidget(tsReport);
        if (QTreeWidgetItem* first = tvl->topLevelItem(0)) {
            tvl->setCurrentItem(first);
            // Selecting the node that is already current signals nothing.
            if (currentReportId_ == 0) tvlChange(first);
        } else {
            ShowReportView();
        }
    }
    UpdatePageActions();
    UpdateCaption();
}

}  // namespace brindle
