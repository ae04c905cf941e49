#pragma once
// Profile page "Filters": the profile's filters, each edited by the filter wizard.
#include <memory>
#include <string>

#include "ui/Profile_fr.h"

class QAction;
class QTreeWidget;

namespace brindle {

class TLstFilterProperty;

class TfrProfile04 : public TfrProfile {
    Q_OBJECT
public:
    explicit TfrProfile04(TUiServices& ui, QWidget* parent = nullptr);
    ~TfrProfile04() override;

    // Without an editor, Add and Edit do nothing.
    void SetEditFilter(TEditFilterFunc editFilter) { editFilter_ = std::move(editFilter); }

    void Init() override;
    bool Validate() override { return true; }
    void SaveToProfile(TProfile& profile) override;
    void Done() override;
    void LoadFromProfile(const TProfile& profile) override;

    // "Filter 1", "Filter 2" …: the first that no filter of the list is named.
    static std::string NewFilterName(const TLstFilterProperty& filters);

private:
    void AddFilter();
    void EditFilter();
    void DeleteFilters();
    void FillList(int selectRow);

    QTreeWidget* lv_;
    QAction* acAdd_;
    QAction* acEdit_;
    QAction* acDel_;
    TListPageActions* rows_;
    TEditFilterFunc editFilter_;
    std::unique_ptr<TProfile> copy_;
};

}  // namespace brindle
