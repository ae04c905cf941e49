#pragma once
// The options dialog. It edits a copy of the options: the list pages change the copy at
// once, the other pages are read into it on OK. OK stores the copy into the options and
// saves them; Cancel drops the copy.
#include <QDialog>
#include <array>
#include <memory>
#include <string>

#include "core/Options_u.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;

namespace brindle {

class TLstReportTxt;
class TUiServices;

class TfmOptions : public QDialog {
    Q_OBJECT
public:
    // OptionsFile is where OK saves the options ("Options.xml"); empty saves nothing.
    // Languages fills the export language list.
    TfmOptions(TOptions& options, std::string optionsFile, const TLstReportTxt& languages, TUiServices& ui,
               QWidget* parent = nullptr);
    ~TfmOptions() override;

    // Fills the pages from the options, shows the first page and runs the dialog;
    // DnsCacheFile is the "dns.dat" that "Clear DNS Cache" empties.
    int Execute(const std::string& dnsCacheFile);
    // What Execute does before the dialog is shown.
    void Prepare(const std::string& dnsCacheFile);

    // The copy being edited.
    const TOptions& Working() const { return working_; }

    // OK: the settings of the pages into the copy, the copy into the options, then saved.
    void accept() override;

    // "Clear DNS Cache": asks, then replaces the cache file with an empty one at once.
    void ClearDnsCache();

    // The five list pages, in page order.
    enum TListKind { lkOS, lkBrowser, lkSpider, lkSE, lkFileExt, lkCount };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TListPage;

    QWidget* MakeListPage(TListPage& page, const char* pageName, const char* info, const QStringList& columns,
                          const char* listName, const char* prefix);
    QWidget* MakeDnsPage();
    QWidget* MakeExportPage();
    QWidget* MakeMiscPage();
    QSpinBox* AddSpin(QGridLayout* grid, int row, const char* label, const char* name, int low, int high,
                      const char* defaultText);
    QCheckBox* AddCheck(QWidget* parent, const char* text, const char* name);
    template <class Dialog, class Rec, class Texts>
    void BindList(TListPage& page, TLstRecords<Rec>& list, Texts texts);

    void FillList(TListPage& page);
    void AddRow(TListPage& page);
    void EditRow(TListPage& page);
    void DeleteRows(TListPage& page);
    void UpdateActions(TListPage& page);
    void FillLanguages();
    void StoreSettings();

    TOptions& options_;
    TOptions working_;
    std::string optionsFile_;
    std::string dnsCacheFile_;
    const TLstReportTxt& languages_;
    TUiServices& ui_;
    std::array<std::unique_ptr<TListPage>, lkCount> lists_;

    QTabWidget* pc_;
    QSpinBox* udDNSThread_ = nullptr;
    QSpinBox* udDNSCache_ = nullptr;
    QSpinBox* udDNSTimeout_ = nullptr;
    QCheckBox* cbDNSAskBefore_ = nullptr;
    QComboBox* cbLanguage_ = nullptr;
    QLineEdit* edMSWordAuthor_ = nullptr;
    QLineEdit* edMSWordCompany_ = nullptr;
    QCheckBox* cbMSWordPageBreak_ = nullptr;
    QCheckBox* cbMSWordDescription_ = nullptr;
    QCheckBox* cbHTMLDescription_ = nullptr;
    QComboBox* cbCSVSeparator_ = nullptr;
    std::array<QCheckBox*, 8> miscChecks_{};
    QSpinBox* udVisSes_ = nullptr;
};

}  // namespace brindle
