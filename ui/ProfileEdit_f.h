#pragma once
// The tabbed editor of an existing profile.
#include <memory>

#include "ui/Profile_fr.h"
#include "ui/mDialogDtlBottom_fm.h"

class QPushButton;
class QTabWidget;

namespace brindle {

class TfmProfileEdit : public TfmmDialogDtlBottom {
    Q_OBJECT
public:
    TfmProfileEdit(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent = nullptr);
    ~TfmProfileEdit() override;

    // The filter wizard behind the "Filters" page; without it Add and Edit do nothing.
    void SetEditFilter(TEditFilterFunc editFilter);

    // The profile changes only on OK; the modal result (OK = QDialog::Accepted).
    int Execute(TProfile& profile);

    TfrProfile* Page(int index) const { return pages_->Page(index); }
    QTabWidget* Tabs() const { return pc_; }

protected:
    // On OK: the first page that refuses its input becomes the active tab.
    bool Validate() override;

private:
    TUiServices& ui_;
    QTabWidget* pc_;
    QPushButton* buHelp_;
    std::unique_ptr<TProfilePages> pages_;
};

}  // namespace brindle
