#pragma once
// The fourteen kind pages of the filter wizard (kinds 11..24). Each page edits the values
// of its kind in the text forms the analysis reads (Value1, and Value2 for ranges).
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "core/DateTime_u.h"
#include "core/Options_u.h"
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
    TfrFilterPage(TUiServices& ui, std::string_view info, QWidget* parent);
    // A caption above a control.
    void AddCaptioned(std::string_view caption, QWidget* control);
    // Widgets side by side, left-aligned; a null entry stands for a text label of Caption.
    QWidget* MakeRow(std::initializer_list<QWidget*> widgets, std::string_view caption = {});
    void AddWidget(QWidget* widget);
    void Done() override {}

private:
    QVBoxLayout* layout_;
};

// Kinds 11, 12, 19 and 24: one text (a mask, or a plain text) that must not be empty.
class TfrFilterText : public TfrFilterPage {
    Q_OBJECT
public:
    void Init() override;
    bool Validate() override;
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

protected:
    TfrFilterText(TUiServices& ui, std::string_view info, std::string_view caption, const char* editName,
                  QWidget* parent);

private:
    QLineEdit* edit_;
};

class TfrFilter11 : public TfrFilterText {
    Q_OBJECT
public:
    explicit TfrFilter11(TUiServices& ui, QWidget* parent = nullptr);
};

class TfrFilter12 : public TfrFilterText {
    Q_OBJECT
public:
    explicit TfrFilter12(TUiServices& ui, QWidget* parent = nullptr);
};

class TfrFilter19 : public TfrFilterText {
    Q_OBJECT
public:
    explicit TfrFilter19(TUiServices& ui, QWidget* parent = nullptr);
};

class TfrFilter24 : public TfrFilterText {
    Q_OBJECT
public:
    explicit TfrFilter24(TUiServices& ui, QWidget* parent = nullptr);
};

// Kind 13: a range of date-times, both ends included.
class TfrFilter13 : public TfrFilterPage {
    Q_OBJECT
public:
    explicit TfrFilter13(TUiServices& ui, QWidget* parent = nullptr);

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

// Kinds 14..17: one entry of a fixed list; Value1 is its number (FirstValue for the first).
class TfrFilterNumber : public TfrFilterPage {
    Q_OBJECT
public:
    void Init() override;
    bool Validate() override { return true; }
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

protected:
    TfrFilterNumber(TUiServices& ui, std::string_view info, std::string_view caption, const char* comboName,
                    QStringList items, int firstValue, int defaultValue, QWidget* parent);

private:
    QComboBox* combo_;
    QStringList items_;
    int firstValue_;
    int defaultValue_;
};

class TfrFilter14 : public TfrFilterNumber {
    Q_OBJECT
public:
    explicit TfrFilter14(TUiServices& ui, QWidget* parent = nullptr);
};

class TfrFilter15 : public TfrFilterNumber {
    Q_OBJECT
public:
    explicit TfrFilter15(TUiServices& ui, QWidget* parent = nullptr);
};

class TfrFilter16 : public TfrFilterNumber {
    Q_OBJECT
public:
    explicit TfrFilter16(TUiServices& ui, QWidget* parent = nullptr);
};

class TfrFilter17 : public TfrFilterNumber {
    Q_OBJECT
public:
    explicit TfrFilter17(TUiServices& ui, QWidget* parent = nullptr);
};

// Kind 18: a range of HTTP status codes.
class TfrFilter18 : public TfrFilterPage {
    Q_OBJECT
public:
    explicit TfrFilter18(TUiServices& ui, QWidget* parent = nullptr);

    void Init() override;
    bool Validate() override;
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

private:
    QComboBox* cbRCFrom_;
    QComboBox* cbRCTo_;
};

// Kinds 20..22: a display name of one of the options' user-agent lists.
class TfrFilterName : public TfrFilterPage {
    Q_OBJECT
public:
    void Init() override;
    bool Validate() override { return true; }
    void SaveToFilter(TRecFilterProperty& filter) override;
    void LoadFromFilter(const TRecFilterProperty& filter) override;

protected:
    TfrFilterName(TUiServices& ui, std::string_view info, std::string_view caption, const char* comboName,
                  const TLstUAType& list, QWidget* parent);

private:
    QComboBox* combo_;
    const TLstUAType& list_;
};

class TfrFilter20 : public TfrFilterName {
    Q_OBJECT
public:
    TfrFilter20(TUiServices& ui, const TOptions& options, QWidget* parent = nullptr);
};

class TfrFilter21 : public TfrFilterName {
    Q_OBJECT
public:
    TfrFilter21(TUiServices& ui, const TOptions& options, QWidget* parent = nullptr);
};

class TfrFilter22 : public TfrFilterName {
    Q_OBJECT
public:
    TfrFilter22(TUiServices& ui, const TOptions& options, QWidget* parent = nullptr);
};

// Kind 23: the request method.
class TfrFilter23 : public TfrFilterPage {
    Q_OBJECT
public:
    explicit TfrFilter23(TUiServices& ui, QWidget* parent = nullptr);

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
