#pragma once
// The pages of the profile editor and wizard. Every page shares one protocol: Init prepares
// it, LoadFromProfile shows a profile, Validate checks the input (warning the user itself),
// SaveToProfile writes the page's values back, Done releases what Init made.
#include <QObject>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QDialog;
class QTreeWidget;

namespace brindle {

class TLstReportTxt;
class TProfile;
class TUiServices;
struct TRecFilterProperty;
class TfrProfile04;

// Edits one filter; true when the user confirmed it (the filter is then changed).
using TEditFilterFunc = std::function<bool(TRecFilterProperty& filter)>;

inline constexpr std::string_view kProfileHelpTopic = "html/profile_dialog.html";

class TfrProfile : public QWidget {
    Q_OBJECT
public:
    explicit TfrProfile(TUiServices& ui, QWidget* parent = nullptr);

    // Kept in this order: both dialogs run them page by page.
    virtual void Init() = 0;
    virtual bool Validate() = 0;
    virtual void SaveToProfile(TProfile& profile) = 0;
    virtual void Done() = 0;
    virtual void LoadFromProfile(const TProfile& profile) = 0;

    // The first field in tab order takes the focus (a page just shown).
    void FocusFirstField();
    // The field the last refusal named takes the focus again, else the first field.
    void FocusRefusedField();

protected:
    TUiServices& Ui() const { return ui_; }
    // Shows the warning and gives false, for Validate; the field it names gets the focus back.
    bool Refuse(std::string_view warning, QWidget* field = nullptr);

private:
    TUiServices& ui_;
    QWidget* refusedField_ = nullptr;
};

// The rows of a list page: Edit (and Up, Down) need exactly one selected row, Delete one or
// more; the Insert key adds, the Delete key deletes a selection, a double click edits.
class TListPageActions : public QObject {
    Q_OBJECT
public:
    TListPageActions(QTreeWidget* list, QAction* add, QAction* edit, QAction* del,
                     std::vector<QAction*> singleOnly = {});

    // Selected rows, ascending.
    std::vector<int> SelectedRows() const;
    // The row when exactly one is selected, else -1.
    int SelectedRow() const;
    void SelectRow(int row);
    void Update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidget* list_;
    QAction* add_;
    QAction* edit_;
    QAction* del_;
    std::vector<QAction*> singleOnly_;
};

// Removes the records at the given ascending rows.
template <typename TList>
void DeleteRows(TList& list, const std::vector<int>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) list.Delete(static_cast<std::size_t>(*row));
}

// The profile image both dialogs show beside the pages.
QWidget* NewProfileImage(QWidget* parent);

// The six pages of a profile dialog, in page order.
class TProfilePages {
public:
    static constexpr int kCount = 6;
    static const std::array<std::string_view, kCount>& Titles();

    // The pages are children of Parent; the caller places them.
    TProfilePages(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent);

    TfrProfile* Page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    void SetEditFilter(TEditFilterFunc editFilter);

    // Init and LoadFromProfile on all pages, BeforeShow, the modal run of Dialog, on OK
    // SaveToProfile on all pages into Profile, finally Done on all. The modal result.
    int Execute(QDialog& dialog, TProfile& profile, const std::function<void()>& beforeShow);
    // The first page whose Validate fails (it has warned), -1 when all pass.
    int FirstInvalid() const;

private:
    std::array<TfrProfile*, kCount> pages_{};
    TfrProfile04* filters_ = nullptr;
};

}  // namespace brindle
