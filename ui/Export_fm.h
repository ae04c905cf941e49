#pragma once
// The target and language of a menu export, with the offer to create a missing folder; and
// what the export dialogs share.
#include <QPixmap>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/mDialogDtlBottom_fm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brindle {

class TLstReportTxt;
class TUiServices;

// Export format codes, as a profile's automatic export stores them.
enum TExportKind : std::uint8_t { ekWord = 1, ekHTML = 2, ekCSV = 3, ekXML = 4 };

inline constexpr std::string_view kDefaultLanguageName = "Default";
inline constexpr std::string_view kDefaultLanguageID = "default";
inline constexpr std::string_view kSelectFolderTitle = "Select Folder";

// The save dialog's filter and default extension of a file kind; empty for HTML.
struct TExportFileType {
    std::string_view Filter;
    std::string_view Extension;
};
TExportFileType ExportFileType(int kind);

// The image of a format (1..4); null for another kind.
QPixmap ExportKindImage(int kind, int size);

// The warning for an empty target.
std::string_view MissingTargetWarning(bool html);

// "Default", then the name of every loaded language, sorted, each once.
void FillLanguageList(QComboBox& combo, const TLstReportTxt& languages);
// "default", unless the combo is enabled and names a loaded language other than "Default":
// then that language's id.
std::string ChosenLanguageID(const QComboBox& combo, const TLstReportTxt& languages);
// A folder for HTML, else a file of the kind (given the kind's extension when it has none);
// nothing when the user cancels.
std::optional<std::string> AskExportTarget(TUiServices& ui, int kind, const std::string& current);

class TfmExport : public TfmmDialogDtlBottom {
    Q_OBJECT
public:
    TfmExport(TUiServices& ui, const TLstReportTxt& languages, QWidget* parent = nullptr);

    // True after OK with the target kept; false after Cancel, and at once for a kind other
    // than 1..4.
    bool Execute(int kind);
    const std::string& Target() const { return target_; }
    std::string GetLanguageID() const;
    int Kind() const { return kind_; }
    // The format image shown: 0 Word, 1 HTML, 2 CSV, 3 XML.
    int ImageIndex() const { return imageIndex_; }

protected:
    // The target is given and its folder exists (created on request).
    bool Validate() override;

private:
    void buBrowseClick();
    bool CheckFolder(const std::string& folder);

    TUiServices& ui_;
    const TLstReportTxt& languages_;
    QLabel* laFileName_;
    QLabel* laExportType_;
    QLabel* laInfo_;
    QLabel* laLanguage_;
    QLabel* im_;
    QLineEdit* edFileName_;
    QPushButton* buBrowse_;
    QComboBox* cbLanguage_;
    int kind_ = 0;
    int imageIndex_ = -1;
    std::string target_;
};

}  // namespace brindle
