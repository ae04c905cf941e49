#pragma once
// Profile page "Log File": the log-file locations, the log format and the date order.
#include <memory>

#include "ui/Profile_fr.h"

class QAction;
class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace brindle {

class TfrProfile02 : public TfrProfile {
    Q_OBJECT
public:
    explicit TfrProfile02(TUiServices& ui, QWidget* parent = nullptr);
    ~TfrProfile02() override;

    void Init() override;
    bool Validate() override;
    void SaveToProfile(TProfile& profile) override;
    void Done() override;
    void LoadFromProfile(const TProfile& profile) override;

    // The date order is asked only for the IIS comma format.
    void UpdateDateFormat();

private:
    void AddLocation();
    void EditLocation();
    void DeleteLocations();
    void MoveLocation(int step);
    void FillList(int selectRow);
    void RowChanged(QTreeWidgetItem* item);

    QTreeWidget* lv_;
    QAction* acAdd_;
    QAction* acEdit_;
    QAction* acDelete_;
    QAction* acUp_;
    QAction* acDown_;
    QComboBox* cbLogFileFormat_;
    QComboBox* cbDateFormat_;
    QLabel* laDateFormat_;
    TListPageActions* rows_;
    std::unique_ptr<TProfile> copy_;
};

}  // namespace brindle
