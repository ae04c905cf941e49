#pragma once
// The filter wizard: page 1 takes the name, include/exclude and the kind; page 2, the page
// of that kind, takes the values. The filter changes only on Finish.
#include <QDialog>
#include <array>

#include "core/Profiles_u.h"
#include "ui/Filter01_fr.h"

class QPushButton;

namespace brindle {

class TOptions;
class TUiServices;
class TfrFilter;

class TfmFilterWiz : public QDialog {
    Q_OBJECT
public:
    // Options gives the names of the operating-system, browser and spider pages; it must
    // outlive the wizard.
    TfmFilterWiz(const TOptions& options, TUiServices& ui, QWidget* parent = nullptr);

    // Runs the wizard on the filter; QDialog::Accepted when finished, and only then is the
    // filter changed.
    int Execute(TRecFilterProperty& filter);

    // Execute in three steps, for callers that drive the dialog themselves: Begin shows
    // page 1 for the filter; End takes the dialog's result and stores the values on OK.
    void Begin(const TRecFilterProperty& filter);
    int End(int result, TRecFilterProperty& filter);

    // 1 or 2.
    int CurrentPage() const { return page_; }
    // The page of a kind 11..24; null for any other.
    TfrFilter* KindPage(int kind) const;

private:
    void ShowPage(int page);
    void OnNext();
    void OnBack();

    TUiServices& ui_;
    TfrFilter01* page01_;
    std::array<TfrFilter*, kFilterKindCount> kindPages_{};
    TfrFilter* kindPage_ = nullptr;  // the page of the chosen kind; none until page 2 was shown
    TRecFilterProperty working_;
    int page_ = 1;
    QPushButton* buPrevious_;
    QPushButton* buNext_;
    QPushButton* buCancel_;
    QPushButton* buHelp_;
};

}  // namespace brindle
