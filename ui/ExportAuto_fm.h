#pragma once
// A profile's automatic export: format, target and report language.
#include <cstdint>
#include <string>

#include "ui/mDialogDtlBottom_fm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brindle {

class TLstReportTxt;
class TUiServices;

class TfmExportAuto : public TfmmDialogDtlBottom {
    Q_OBJECT
public:
    TfmExportAuto(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent = nullptr);

    // All three in and out; on OK they take the dialog's values, after Cancel they stay as
    // they came (an empty LanguageID having become "default"). The modal result.
    int Execute(std::uint8_t& kind, std::string& fileName, std::string& languageID);

protected:
    bool Validate() override;

private:
    void rbClick();
    void buBrowseClick();
    int CheckedKind() const;
    QRadioButton* CheckedButton() const;

    TUiServices& ui_;
    const TLstReportTxt& languages_;
    QLabel* laLanguage_;
    QRadioButton* rbHTML_;
    QRadioButton* rbWord_;
    QRadioButton* rbCSV_;
    QRadioButton* rbXML_;
    QLineEdit* edExportFile_;
    QPushButton* buBrowse_;
    QComboBox* cbLanguage_;
};

}  // namespace brindle
