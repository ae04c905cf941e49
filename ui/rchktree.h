#pragma once
// A tree whose nodes carry a three-state check mark (state index 1 unchecked, 2 checked,
// 3 partly checked; -1, no mark, counts as unchecked) and which, with StateRecursion on,
// keeps parents and children consistent: checking a node checks its subtree, and a parent
// shows checked, unchecked or partly checked according to its children.
#include <QTreeWidget>

namespace brindle {

class TBinaryReader;
class TBinaryWriter;

class TrchkTreeView : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kStateNone = -1;
    static constexpr int kStateUnchecked = 1;
    static constexpr int kStateChecked = 2;
    static constexpr int kStatePartial = 3;

    explicit TrchkTreeView(QWidget* parent = nullptr);

    bool StateRecursion() const { return stateRecursion_; }
    // A state that propagation never changes and that stops it.
    int StateIgnore() const { return stateIgnore_; }
    void SetStateIgnore(int value) { stateIgnore_ = value; }

    // The node's state index; -1 for a node without a mark (and for null).
    int StateIndex(const QTreeWidgetItem* node) const;
    // Sets the mark; with StateRecursion on (and not while loading), setting 1 or 2 propagates,
    // also when the node already had that state.
    void SetStateIndex(QTreeWidgetItem* node, int state);

    // Where the node's mark is drawn, in viewport coordinates.
    QRect StateIconRect(const QTreeWidgetItem* node) const;

    // The next node of a depth-first walk (node, its children, then its next sibling).
    QTreeWidgetItem* NextNode(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* FirstNode() const { return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr; }

    // Kept in this order: the report page and tests build on it.
    virtual void StateChanged(QTreeWidgetItem* node);
    virtual void InitStates(QTreeWidgetItem* node);
    virtual void SetStateRecursion(bool value);
    virtual void DoStateChange(QTreeWidgetItem* node);
    // One 4-byte little-endian state index per node, depth first; on each level the walk
    // stops after (saving) or at (loading) a value equal to StateIgnore.
    virtual void SaveStates(TBinaryWriter& stream) const;
    virtual void LoadStates(TBinaryReader& stream);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // Space steps the focused node's mark as a click on it would.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsIgnored(const QTreeWidgetItem* node) const { return StateIndex(node) == stateIgnore_; }
    void PushToChildren(QTreeWidgetItem* node);
    void RecomputeParent(QTreeWidgetItem* parent);
    void InitState(QTreeWidgetItem* node);
    void PaintState(QTreeWidgetItem* node, int state);
    void StepState(QTreeWidgetItem* node);
    void SaveLevel(const QTreeWidgetItem* parent, TBinaryWriter& stream) const;
    bool LoadLevel(QTreeWidgetItem* parent, TBinaryReader& stream);
    QTreeWidgetItem* ChildOf(const QTreeWidgetItem* parent, int index) const;
    int ChildCount(const QTreeWidgetItem* parent) const;

    bool stateRecursion_ = false;
    int stateIgnore_ = 0;
    bool loading_ = false;
};

}  // namespace brindle
