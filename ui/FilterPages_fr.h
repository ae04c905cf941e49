#pragma once
// The pages of the filter kinds 11..24, one class per behaviour; the table of the kinds
// gives each page its texts. Each page edits the values of its kind in the text forms the
// analysis reads (Value1, and Value2 for ranges).
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "core/DateTime_u.h"
#include "core/Options_u.h"
#include "ui/FilterKinds_u.h"
#include "ui/Filter_fr.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimeEdit;
class QVBoxLayout;

namespace brindle {

// "yyyymmddhhnnss", each part zero-padded to its width.
std::string FormatFilterStamp(const TDateParts& parts);
// Reads the digits back by position, as the analysis does (a 13-character text has a
// one-digit second); nothing when a part is missing or not all digits, or the date or time
// does not exist.
std::optional<TDateParts> ParseFilterStamp(std::string_view text);

// A kind page: its explanation on top, then captioned controls.
class TfrFilterPage : public TfrFilter {
    Q_OBJECT
protected:
    TfrFilterPage(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent);
    // A caption above a control.
    void AddCaptioned(std::string_view caption, QWidget* control);
    // Widgets side by side, left-aligned; a null entry stands for a text label of Caption.
    QWidget* MakeRow(std::initializer_list<QWidget*> widgets, std::string_view caption = {});
    void AddWidget(QWidget* widget);
    void Done() override {}

private:
    QVBoxLayout* layout_;
};

// One text (a mask, or a plain text) that must not be empty.
class TfrFilterText : public TfrFilterPage {
    Q_OBJECT
public:
    TfrFilterText(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override;
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

private:
    QLineEdit* edit_;
};

// Kind 13: a range of date-times, both ends included.
class TfrFilter13 : public TfrFilterPage {
    Q_OBJECT
public:
    TfrFilter13(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override;
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

private:
    QDateEdit* dtDateBegin_;
    QTimeEdit* dtTimeBegin_;
    QDateEdit* dtDateEnd_;
    QTimeEdit* dtTimeEnd_;
};

// One entry of a fixed list; Value1 is its number (FirstValue for the first).
class TfrFilterNumber : public TfrFilterPage {
    Q_OBJECT
public:
    TfrFilterNumber(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override { return true; }
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

private:
    QComboBox* combo_;
    QStringList items_;
    int firstValue_;
};

// Kind 18: a range of HTTP status codes.
class TfrFilter18 : public TfrFilterPage {
    Q_OBJECT
public:
    TfrFilter18(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override;
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

private:
    QComboBox* cbRCFrom_;
    QComboBox* cbRCTo_;
};

// A display name of one of the options' user-agent lists.
class TfrFilterName : public TfrFilterPage {
    Q_OBJECT
public:
    // Options must outlive the page.
    TfrFilterName(TUiServices& ui, const TFilterKindPage& kind, const TOptions& options, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override { return true; }
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

private:
    QComboBox* combo_;
    const TLstUAType& list_;
};

// Kind 23: the request method.
class TfrFilter23 : public TfrFilterPage {
    Q_OBJECT
public:
    TfrFilter23(TUiServices& ui, const TFilterKindPage& kind, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override { return true; }
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

private:
    QRadioButton* rbGet_;
    QRadioButton* rbHead_;
    QRadioButton* rbPost_;
};

}  // namespace brindle
