#pragma once
// The step-by-step wizard of a new, copied or dropped-file profile: every page is validated
// on the way to Finish.
#include <QDialog>
#include <memory>

#include "ui/Profile_fr.h"

class QPushButton;

namespace brindle {

class TfmProfileWiz : public QDialog {
    Q_OBJECT
public:
    TfmProfileWiz(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent = nullptr);
    ~TfmProfileWiz() override;

    // The filter wizard behind the "Filters" page; without it Add and Edit do nothing.
    void SetEditFilter(TEditFilterFunc editFilter);

    // The profile changes only on Finish; the modal result (OK = QDialog::Accepted).
    int Execute(TProfile& profile);

    // 1..6.
    int CurrentPage() const { return page_; }
    TfrProfile* Page(int index) const { return pages_->Page(index); }

private:
    void ShowPage();
    void NextClick();
    void PreviousClick();

    TUiServices& ui_;
    QPushButton* buPrevious_;
    QPushButton* buNext_;
    QPushButton* buCancel_;
    QPushButton* buHelp_;
    std::unique_ptr<TProfilePages> pages_;
    int page_ = 1;
};

}  // namespace brindle
