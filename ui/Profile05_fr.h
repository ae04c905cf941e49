#pragma once
// Profile page "Views": per report, whether it is made and which of its views (table,
// chart, daily chart), with the number of items of each view.
#include <cstdint>
#include <memory>

#include "ui/Profile_fr.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidgetItem;

namespace brindle {

class TrchkTreeView;
struct TRecNodeProperty;
struct TRecReportProperty;

class TfrProfile05 : public TfrProfile {
    Q_OBJECT
public:
    // What a node stands for: a report or folder, or one view of a report.
    enum TLeafKind : int { lkNone = 0, lkTable = 1, lkChart = 2, lkDaily = 3 };
    // Node images.
    enum TImage : int { imCollapsed = 0, imExpanded = 1, imTable = 2, imChart = 3 };

    explicit TfrProfile05(TUiServices& ui, QWidget* parent = nullptr);
    ~TfrProfile05() override;

    void Init() override;
    bool Validate() override { return true; }
    void SaveToProfile(TProfile& profile) override;
    void Done() override;
    void LoadFromProfile(const TProfile& profile) override;

    TrchkTreeView* Tree() const { return tv_; }
    // The catalogue tree row of a node, its kind and image.
    static const TRecNodeProperty& NodeRow(const QTreeWidgetItem* node);
    static TLeafKind LeafKind(const QTreeWidgetItem* node);
    static int ImageIndex(const QTreeWidgetItem* node);

    // Every node checked (2) or unchecked (1).
    void SetAllStates(int state);

private:
    QTreeWidgetItem* NewNode(QTreeWidgetItem* parent, int row, const QString& text, TLeafKind kind, TImage image);
    void SetImage(QTreeWidgetItem* node, TImage image);
    void CurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    // The count field of a leaf in Rec, when the leaf's count is editable; else null.
    static std::int32_t* CountField(const QTreeWidgetItem* node, TRecReportProperty& rec);
    void StoreCount(const QTreeWidgetItem* node);
    void ShowCount(const QTreeWidgetItem* node);

    TrchkTreeView* tv_;
    QGroupBox* gbItems_;
    QSpinBox* udItems_;
    QLineEdit* edItems_;
    QPushButton* buSelectAll_;
    QPushButton* buClearAll_;
    std::unique_ptr<TProfile> copy_;
};

}  // namespace brindle
