#include "ui/rchktree.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "core/BinaryStream_u.h"

namespace brindle {
namespace {

constexpr int kStateRole = Qt::UserRole + 100;

// Draws the marks; the tree alone changes them (the view asks the delegate where they are).
class TStateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::initStyleOption;
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
        return false;
    }
};

// Restores a flag whatever way the block is left.
class TFlagGuard {
public:
    TFlagGuard(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~TFlagGuard() { flag_ = saved_; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& flag_;
    bool saved_;
};

}  // namespace

TrchkTreeView::TrchkTreeView(QWidget* parent) : QTreeWidget(parent) { setItemDelegate(new TStateDelegate(this)); }

int TrchkTreeView::StateIndex(const QTreeWidgetItem* node) const {
    if (!node) return kStateNone;
    const QVariant value = node->data(0, kStateRole);
    return value.isValid() ? value.toInt() : kStateNone;
}

void TrchkTreeView::PaintState(QTreeWidgetItem* node, int state) {
    node->setData(0, kStateRole, state);
    switch (state) {
        case kStateUnchecked: node->setData(0, Qt::CheckStateRole, Qt::Unchecked); break;
        case kStateChecked: node->setData(0, Qt::CheckStateRole, Qt::Checked); break;
        case kStatePartial: node->setData(0, Qt::CheckStateRole, Qt::PartiallyChecked); break;
        default: node->setData(0, Qt::CheckStateRole, QVariant()); break;
    }
}

void TrchkTreeView::SetStateIndex(QTreeWidgetItem* node, int state) {
    if (!node) return;
    PaintState(node, state);
    if (!loading_ && stateRecursion_ && (state == kStateUnchecked || state == kStateChecked)) DoStateChange(node);
}

QRect TrchkTreeView::StateIconRect(const QTreeWidgetItem* node) const {
    if (!node) return {};
    const QModelIndex index = indexFromItem(node);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    static_cast<TStateDelegate*>(itemDelegate())->initStyleOption(&option, index);
    option.rect = visualRect(index);
    if (!(option.features & QStyleOptionViewItem::HasCheckIndicator)) return {};
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

QTreeWidgetItem* TrchkTreeView::ChildOf(const QTreeWidgetItem* parent, int index) const {
    return parent ? parent->child(index) : topLevelItem(index);
}

int TrchkTreeView::ChildCount(const QTreeWidgetItem* parent) const {
    return parent ? parent->childCount() : topLevelItemCount();
}

QTreeWidgetItem* TrchkTreeView::NextNode(const QTreeWidgetItem* node) const {
    if (!node) return nullptr;
    if (node->childCount() > 0) return node->child(0);
    // Qt's index lookups take non-const items; nothing is changed through them.
    for (QTreeWidgetItem* at = const_cast<QTreeWidgetItem*>(node); at; at = at->parent()) {
        const QTreeWidgetItem* parent = at->parent();
        const int next = (parent ? parent->indexOfChild(at) : indexOfTopLevelItem(at)) + 1;
        if (next < ChildCount(parent)) return ChildOf(parent, next);
    }
    return nullptr;
}

void TrchkTreeView::StateChanged(QTreeWidgetItem* node) {
    // The field, not the setter: switching back on must not re-initialise the whole tree.
    TFlagGuard off(stateRecursion_, false);
    PushToChildren(node);
    RecomputeParent(node->parent());
}

void TrchkTreeView::PushToChildren(QTreeWidgetItem* node) {
    if (IsIgnored(node)) return;
    const int state = StateIndex(node);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (IsIgnored(child)) continue;
        if (StateIndex(child) != state) PaintState(child, state);
        PushToChildren(child);
    }
}

void TrchkTreeView::RecomputeParent(QTreeWidgetItem* parent) {
    for (; parent; parent = parent->parent()) {
        if (IsIgnored(parent)) return;
        bool unchecked = false;
        bool checked = false;
        bool partial = false;
        for (int i = 0; i < parent->childCount(); ++i) {
            switch (StateIndex(parent->child(i))) {
                case kStateNone:
                case kStateUnchecked: unchecked = true; break;
                case kStateChecked: checked = true; break;
                case kStatePartial: partial = true; break;
                default: break;
            }
        }
        int state = kStatePartial;
        if (unchecked && !checked && !partial) state = kStateUnchecked;
        if (checked && !unchecked && !partial) state = kStateChecked;
        PaintState(parent, state);
    }
}

void TrchkTreeView::InitStates(QTreeWidgetItem* node) {
    if (!node) return;
    QTreeWidgetItem* parent = node->parent();
    const int first = parent ? parent->indexOfChild(node) : indexOfTopLevelItem(node);
    for (int i = first; i >= 0 && i < ChildCount(parent); ++i) {
        QTreeWidgetItem* sibling = ChildOf(parent, i);
        if (!IsIgnored(sibling)) InitState(sibling);
    }
}

void TrchkTreeView::InitState(QTreeWidgetItem* node) {
    if (StateIndex(node) == kStateChecked) {
        StateChanged(node);
        return;
    }
    if (StateIndex(node) == kStateNone) PaintState(node, kStateUnchecked);
    for (int i = 0; i < node->childCount(); ++i)
        if (!IsIgnored(node->child(i))) InitState(node->child(i));
}

void TrchkTreeView::SetStateRecursion(bool value) {
    stateRecursion_ = value;
    if (value) InitStates(FirstNode());
}

void TrchkTreeView::DoStateChange(QTreeWidgetItem* node) { StateChanged(node); }

void TrchkTreeView::SaveStates(TBinaryWriter& stream) const { SaveLevel(nullptr, stream); }

void TrchkTreeView::SaveLevel(const QTreeWidgetItem* parent, TBinaryWriter& stream) const {
    for (int i = 0; i < ChildCount(parent); ++i) {
        const QTreeWidgetItem* node = ChildOf(parent, i);
        const int state = StateIndex(node);
        stream.WriteI32(state);
        if (state == stateIgnore_) return;
        SaveLevel(node, stream);
    }
}

void TrchkTreeView::LoadStates(TBinaryReader& stream) {
    // The stored marks are consistent already; loading them must not propagate.
    TFlagGuard loading(loading_, true);
    LoadLevel(nullptr, stream);
}

bool TrchkTreeView::LoadLevel(QTreeWidgetItem* parent, TBinaryReader& stream) {
    for (int i = 0; i < ChildCount(parent); ++i) {
        QTreeWidgetItem* node = ChildOf(parent, i);
        std::int32_t state = 0;
        if (!stream.ReadI32(state)) return false;
        if (state == stateIgnore_) return true;
        SetStateIndex(node, state);
        if (!LoadLevel(node, stream)) return false;
    }
    return true;
}

void TrchkTreeView::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (!stateRecursion_) return;
    const QPoint at = event->position().toPoint();
    QTreeWidgetItem* node = itemAt(at);
    if (!node || node != currentItem() || !StateIconRect(node).contains(at)) return;
    StepState(node);
}

void TrchkTreeView::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* node = currentItem();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && stateRecursion_ && node) {
        StepState(node);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TrchkTreeView::StepState(QTreeWidgetItem* node) {
    // A node without a mark counts as unchecked; partly checked steps to unchecked.
    const int next = std::max(StateIndex(node), kStateUnchecked) + 1;
    SetStateIndex(node, next > kStateChecked ? kStateUnchecked : next);
}

}  // namespace brindle
