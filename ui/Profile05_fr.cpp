#include "ui/Profile05_fr.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/CommonConsts_catalogue.h"
#include "core/Profiles_u.h"
#include "ui/TreeIcons_u.h"
#include "ui/Widgets_u.h"
#include "ui/rchktree.h"

namespace brindle {
namespace {

constexpr int kRowRole = Qt::UserRole + 1;
constexpr int kLeafRole = Qt::UserRole + 2;
constexpr int kImageRole = Qt::UserRole + 3;

constexpr int kMaxItemsList = 1000;
constexpr int kMaxItemsHorizBar = 20;
constexpr int kMaxItemsPie = 10;
constexpr int kMaxItemsDaily = 10;

QIcon ImageIcon(int image) {
    switch (image) {
        case TfrProfile05::imExpanded: return SelectionTreeIcon(TSelectionImage::FolderOpen);
        case TfrProfile05::imTable: return SelectionTreeIcon(TSelectionImage::Table);
        case TfrProfile05::imChart: return SelectionTreeIcon(TSelectionImage::Chart);
        default: return SelectionTreeIcon(TSelectionImage::FolderClosed);
    }
}

bool IsFolder(int id) { return GroupIDs().Contains(id); }

}  // namespace

TfrProfile05::TfrProfile05(TUiServices& ui, QWidget* parent)
    : TfrProfile(ui, parent),
      tv_(new TrchkTreeView(this)),
      gbItems_(new QGroupBox(UiText("Items"), this)),
      udItems_(new QSpinBox(gbItems_)),
      edItems_(udItems_->findChild<QLineEdit*>()),
      buSelectAll_(NewButton(this, "buSelectAll", "Select All")),
      buClearAll_(NewButton(this, "buClearAll", "Clear All")) {
    setObjectName("frProfile05");
    tv_->setObjectName("tv");
    tv_->header()->hide();
    tv_->SetStateIgnore(0);
    tv_->SetStateRecursion(true);
    gbItems_->setObjectName("gbItems");
    udItems_->setObjectName("udItems");
    udItems_->setRange(0, kMaxItemsList);
    if (edItems_) edItems_->setObjectName("edItems");

    auto* items = new QHBoxLayout(gbItems_);
    items->addWidget(udItems_);
    auto* side = new QVBoxLayout;
    side->addWidget(gbItems_);
    side->addStretch();
    side->addWidget(buSelectAll_);
    side->addWidget(buClearAll_);
    auto* body = new QHBoxLayout;
    body->addWidget(tv_, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NewLabel(this, "laViews", "Select which views to create in reports:"));
    layout->addLayout(body, 1);

    connect(tv_, &QTreeWidget::currentItemChanged, this, &TfrProfile05::CurrentChanged);
    connect(tv_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) { SetImage(node, imExpanded); });
    connect(tv_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) { SetImage(node, imCollapsed); });
    connect(buSelectAll_, &QPushButton::clicked, this, [this] { SetAllStates(TrchkTreeView::kStateChecked); });
    connect(buClearAll_, &QPushButton::clicked, this, [this] { SetAllStates(TrchkTreeView::kStateUnchecked); });
    ShowCount(nullptr);
}

TfrProfile05::~TfrProfile05() = default;

const TRecNodeProperty& TfrProfile05::NodeRow(const QTreeWidgetItem* node) {
    return NodeTable().at(static_cast<std::size_t>(node->data(0, kRowRole).toInt()));
}

TfrProfile05::TLeafKind TfrProfile05::LeafKind(const QTreeWidgetItem* node) {
    return static_cast<TLeafKind>(node->data(0, kLeafRole).toInt());
}

int TfrProfile05::ImageIndex(const QTreeWidgetItem* node) { return node->data(0, kImageRole).toInt(); }

void TfrProfile05::SetImage(QTreeWidgetItem* node, TImage image) {
    node->setData(0, kImageRole, static_cast<int>(image));
    node->setIcon(0, ImageIcon(image));
}

QTreeWidgetItem* TfrProfile05::NewNode(QTreeWidgetItem* parent, int row, const QString& text, TLeafKind kind,
                                       TImage image) {
    auto* node = parent ? new QTreeWidgetItem(parent, {text}) : new QTreeWidgetItem(tv_, {text});
    node->setData(0, kRowRole, row);
    node->setData(0, kLeafRole, static_cast<int>(kind));
    SetImage(node, image);
    tv_->SetStateIndex(node, TrchkTreeView::kStateUnchecked);
    return node;
}

void TfrProfile05::Init() {
    copy_ = std::make_unique<TProfile>();
    const QSignalBlocker block(tv_);
    tv_->clear();
    QTreeWidgetItem* top = nullptr;
    const auto& rows = NodeTable();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const TRecNodeProperty& row = rows[static_cast<std::size_t>(i)];
        QTreeWidgetItem* node = NewNode(row.ParentID == 0 ? nullptr : top, i, UiText(row.Title), lkNone, imCollapsed);
        if (row.ParentID == 0) top = node;
        if (row.Table) NewNode(node, i, UiText("Table"), lkTable, imTable);
        if (row.Chart) NewNode(node, i, UiText("Chart"), lkChart, imChart);
        if (row.Daily) NewNode(node, i, UiText("Daily Chart"), lkDaily, imChart);
    }
    ShowCount(nullptr);
}

void TfrProfile05::Done() { copy_.reset(); }

void TfrProfile05::LoadFromProfile(const TProfile& profile) {
    if (!copy_) Init();
    copy_->Assign(profile);
    TRecReportProperty rec;
    for (const auto& row : DefaultReportTable())
        if (!copy_->Reports.Find(row.ID, rec, false)) copy_->Reports.Add(row);

    for (QTreeWidgetItem* node = tv_->FirstNode(); node; node = tv_->NextNode(node)) {
        const int id = NodeRow(node).ID;
        if (IsFolder(id) || !copy_->Reports.Find(id, rec, false)) continue;
        std::int32_t on = rec.Enable;
        switch (LeafKind(node)) {
            case lkTable: on = rec.EnableList; break;
            case lkChart: on = rec.EnableChart; break;
            case lkDaily: on = rec.EnableChartDaily; break;
            case lkNone: break;
        }
        tv_->SetStateIndex(node, on != 0 ? TrchkTreeView::kStateChecked : TrchkTreeView::kStateUnchecked);
    }
    ShowCount(tv_->currentItem());
}

void TfrProfile05::SaveToProfile(TProfile& profile) {
    // A count typed for the leaf still selected counts too.
    StoreCount(tv_->currentItem());
    TRecReportProperty rec;
    for (QTreeWidgetItem* node = tv_->FirstNode(); node; node = tv_->NextNode(node)) {
        const int id = NodeRow(node).ID;
        if (IsFolder(id) || !copy_->Reports.Find(id, rec, false)) continue;
        const std::int32_t on = tv_->StateIndex(node) != TrchkTreeView::kStateUnchecked ? 1 : 0;
        switch (LeafKind(node)) {
            case lkTable: rec.EnableList = on; break;
            case lkChart: rec.EnableChart = on; break;
            case lkDaily: rec.EnableChartDaily = on; break;
            case lkNone: rec.Enable = on; break;
        }
        copy_->Reports.Replace(id, rec);
    }
    profile.Reports = copy_->Reports;
}

void TfrProfile05::SetAllStates(int state) {
    for (QTreeWidgetItem* node = tv_->FirstNode(); node; node = tv_->NextNode(node)) tv_->SetStateIndex(node, state);
}

std::int32_t* TfrProfile05::CountField(const QTreeWidgetItem* node, TRecReportProperty& rec) {
    if (!node) return nullptr;
    const TRecNodeProperty& row = NodeRow(node);
    switch (LeafKind(node)) {
        case lkTable: return row.Rows ? &rec.NbItemsList : nullptr;
        case lkChart: return row.ChartItems ? &rec.NbItemsChart : nullptr;
        case lkDaily: return row.DailyItems ? &rec.NbItemsChartDaily : nullptr;
        case lkNone: return nullptr;
    }
    return nullptr;
}

void TfrProfile05::StoreCount(const QTreeWidgetItem* node) {
    // A count the row does not let the user set is kept as it was.
    TRecReportProperty rec;
    if (!copy_ || !node || !copy_->Reports.Find(NodeRow(node).ID, rec, false)) return;
    std::int32_t* field = CountField(node, rec);
    if (!field) return;
    *field = udItems_->value();
    copy_->Reports.Replace(rec.ID, rec);
}

void TfrProfile05::ShowCount(const QTreeWidgetItem* node) {
    TRecReportProperty rec;
    std::int32_t* field = nullptr;
    if (copy_ && node && copy_->Reports.Find(NodeRow(node).ID, rec, false)) field = CountField(node, rec);
    gbItems_->setEnabled(field != nullptr);
    udItems_->setEnabled(field != nullptr);
    if (edItems_) edItems_->setEnabled(field != nullptr);
    if (!field) {
        udItems_->setValue(0);
        return;
    }
    switch (LeafKind(node)) {
        case lkTable: udItems_->setMaximum(kMaxItemsList); break;
        case lkChart:
            if (NodeRow(node).ChartKind == ckHorizBar) udItems_->setMaximum(kMaxItemsHorizBar);
            if (NodeRow(node).ChartKind == ckPie) udItems_->setMaximum(kMaxItemsPie);
            break;
        case lkDaily: udItems_->setMaximum(kMaxItemsDaily); break;
        case lkNone: break;
    }
    udItems_->setValue(*field);
}

void TfrProfile05::CurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    StoreCount(previous);
    ShowCount(current);
}

}  // namespace brindle
