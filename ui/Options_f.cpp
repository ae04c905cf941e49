#include "ui/Options_f.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <vector>

#include "core/CommonConsts_tables.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFormat_u.h"
#include "engine/DNSCache_u.h"
#include "ui/OptionsDtl_fm.h"
#include "ui/UiServices.h"
#include "ui/UiText_u.h"

namespace brindle {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr std::string_view kCouldNotSave = "Could not save the file '%s'.";

struct TMiscSwitch {
    const char* Name;
    const char* Text;
    std::int32_t TOptions::*Field;
};

constexpr std::array<TMiscSwitch, 8> kMiscSwitches = {{
    {"cbRemoveTxtQuestionRequestURL", "Remove text after question marks (?) in file names",
     &TOptions::RemoveTxtQuestionRequestURL},
    {"cbRemoveTxtQuestionReferrerURL", "Remove text after question marks (?) in referrer URL",
     &TOptions::RemoveTxtQuestionReferrerURL},
    {"cbRemoveTxtSharpRequestURL", "Remove text after sharps (#) in file names", &TOptions::RemoveTxtSharpRequestURL},
    {"cbRemoveTxtSharpReferrerURL", "Remove text after sharps (#) in referrer URLs",
     &TOptions::RemoveTxtSharpReferrerURL},
    {"cbConvertLowerCaseRequestURL", "Convert file names to lower case", &TOptions::ConvertLowerCaseRequestURL},
    {"cbConvertLowerCaseReferrerURL", "Convert referrer URLs to lower case", &TOptions::ConvertLowerCaseReferrerURL},
    {"cbShowEmptyReport", "Show empty reports", &TOptions::ShowEmptyReports},
    {"cbShowGridLines", "Show grid lines in list view", &TOptions::ShowGridLines},
}};

std::int32_t Flag(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

// The text the separator list shows for the stored settings. Codes other than 0 and the
// named ones behave as "System default", so they show as that rather than as an empty
// custom separator.
std::string SeparatorText(const TRecExportOptions& exportOptions) {
    if (exportOptions.CSVSeparatorType == 0) return exportOptions.CSVSeparatorChar;
    const std::string name = GetCSVSeparatorName(exportOptions.CSVSeparatorType);
    return name.empty() ? GetCSVSeparatorName(1) : name;
}

// The ID column wide enough for the longest ID; every row counts, not only those in view.
void FitIdColumn(QTreeWidget& list) {
    const QFontMetrics metrics(list.font());
    int width = list.header()->sectionSizeHint(0);
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        width = std::max(width, metrics.horizontalAdvance(list.topLevelItem(i)->text(0)));
    const int margins = 2 * list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 12;
    list.setColumnWidth(0, std::max(list.columnWidth(0), width + margins));
}

}  // namespace

// One list page: its list, its three actions, and what they do to the copy's records.
// Row i of the list shows record i.
struct TfmOptions::TListPage {
    QTreeWidget* List = nullptr;
    QAction* Add = nullptr;
    QAction* Edit = nullptr;
    QAction* Del = nullptr;
    std::function<int()> Count;
    std::function<QStringList(int)> Texts;
    std::function<bool()> AddRecord;  // entry dialog on a new record; true when appended
    std::function<bool(int)> EditRecord;  // entry dialog on record i; true when changed
    std::function<void(int)> RemoveRecord;
};

TfmOptions::TfmOptions(TOptions& options, std::string optionsFile, const TLstReportTxt& languages, TUiServices& ui,
                       QWidget* parent)
    : QDialog(parent),
      options_(options),
      working_(options),
      optionsFile_(std::move(optionsFile)),
      languages_(languages),
      ui_(ui),
      pc_(new QTabWidget(this)) {
    setObjectName("fmOptions");
    setWindowTitle(UiText("Options"));
    setModal(true);
    pc_->setObjectName("pc");
    for (auto& page : lists_) page = std::make_unique<TListPage>();

    auto uaTexts = [](const TRecUAType& rec) { return QStringList{Q(rec.ID), Q(rec.Name)}; };
    BindList<TfmOSDtl>(*lists_[lkOS], working_.OSs, uaTexts);
    BindList<TfmBrowserDtl>(*lists_[lkBrowser], working_.Browsers, uaTexts);
    BindList<TfmSpiderDtl>(*lists_[lkSpider], working_.Spiders, uaTexts);
    BindList<TfmSEDtl>(*lists_[lkSE], working_.SEs, [](const TRecSEType& rec) {
        return QStringList{Q(rec.ID), Q(rec.Query1), Q(rec.Query2), Q(rec.Query3), Q(rec.Name)};
    });
    BindList<TfmFileExtDtl>(*lists_[lkFileExt], working_.Files, [](const TRecFileExt& rec) {
        return QStringList{Q(rec.Ext), Q(GetFileTypeName(rec.FileType))};
    });

    const struct {
        TListKind Kind;
        const char* Page;
        const char* Caption;
        const char* Info;
        QStringList Columns;
        const char* List;
        const char* Prefix;
    } listPages[] = {
        {lkOS,
         "tsOS",
         "Operating Systems",
         "This option allows you to edit the operating systems recognized by Brindle Analyzer.",
         {"ID", "Operating System"},
         "lvOS",
         "OS"},
        {lkBrowser,
         "tsBrowser",
         "Browsers",
         "This option allows you to edit the browsers recognized by Brindle Analyzer.",
         {"ID", "Browser"},
         "lvBrowser",
         "Browser"},
        {lkSpider,
         "tsSpider",
         "Spiders",
         "This option allows you to edit the spiders recognized by Brindle Analyzer.",
         {"ID", "Spider"},
         "lvSpider",
         "Spider"},
        {lkSE,
         "tsSE",
         "Search Engines",
         "This option allows you to edit the search engines recognized by Brindle Analyzer.",
         {"ID", "Query 1", "Query 2", "Query 3", "Search Engine"},
         "lvSE",
         "SE"},
        {lkFileExt,
         "tsFileExt",
         "Files",
         "This option allows you to edit the \"files\" extensions.",
         {"Extension", "Type"},
         "lvFileExt",
         "FileExt"},
    };
    for (const auto& p : listPages)
        pc_->addTab(MakeListPage(*lists_[p.Kind], p.Page, p.Info, p.Columns, p.List, p.Prefix), UiText(p.Caption));
    pc_->addTab(MakeDnsPage(), UiText("DNS"));
    pc_->addTab(MakeExportPage(), UiText("Export"));
    pc_->addTab(MakeMiscPage(), UiText("Misc"));

    auto* buOK = new QPushButton(UiText("OK"), this);
    auto* buCancel = new QPushButton(UiText("Cancel"), this);
    buOK->setObjectName("buOK");
    buCancel->setObjectName("buCancel");
    buOK->setDefault(true);
    connect(buOK, &QPushButton::clicked, this, &TfmOptions::accept);
    connect(buCancel, &QPushButton::clicked, this, &TfmOptions::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buOK);
    buttons->addWidget(buCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pc_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TfmOptions::~TfmOptions() {
    // The pages go before the widgets that call them; nothing may reach them after.
    for (auto& page : lists_)
        if (page->List) page->List->disconnect(this);
}

template <class Dialog, class Rec, class Texts>
void TfmOptions::BindList(TListPage& page, TLstRecords<Rec>& list, Texts texts) {
    page.Count = [&list] { return static_cast<int>(list.Count()); };
    page.Texts = [&list, texts](int i) { return texts(list[static_cast<std::size_t>(i)]); };
    page.AddRecord = [this, &list] {
        Rec rec{};
        Dialog dialog(this);
        if (dialog.Execute(rec) != QDialog::Accepted) return false;
        list.Add(rec);
        return true;
    };
    page.EditRecord = [this, &list](int i) {
        Dialog dialog(this);
        return dialog.Execute(list[static_cast<std::size_t>(i)]) == QDialog::Accepted;
    };
    page.RemoveRecord = [&list](int i) { list.Remove(static_cast<std::size_t>(i)); };
}

QWidget* TfmOptions::MakeListPage(TListPage& page, const char* pageName, const char* info, const QStringList& columns,
                                  const char* listName, const char* prefix) {
    auto* sheet = new QWidget(pc_);
    sheet->setObjectName(pageName);
    auto* list = new QTreeWidget(sheet);
    list->setObjectName(listName);
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setMinimumSize(560, 300);
    list->header()->setSectionResizeMode(QHeaderView::Interactive);
    list->installEventFilter(this);
    page.List = list;

    const QString name = QString::fromLatin1(prefix);
    page.Add = new QAction(UiText("Add..."), sheet);
    page.Edit = new QAction(UiText("Edit..."), sheet);
    page.Del = new QAction(UiText("Delete"), sheet);
    page.Add->setObjectName("ac" + name + "Add");
    page.Edit->setObjectName("ac" + name + "Edit");
    page.Del->setObjectName("ac" + name + "Del");
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    list->addActions({page.Add, page.Edit, page.Del});

    connect(page.Add, &QAction::triggered, this, [this, &page] { AddRow(page); });
    connect(page.Edit, &QAction::triggered, this, [this, &page] { EditRow(page); });
    connect(page.Del, &QAction::triggered, this, [this, &page] { DeleteRows(page); });
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this, &page] { UpdateActions(page); });
    connect(list, &QTreeWidget::itemDoubleClicked, this, [&page] {
        if (page.Edit->isEnabled()) page.Edit->trigger();
    });

    auto* buttons = new QVBoxLayout;
    for (QAction* action : {page.Add, page.Edit, page.Del}) {
        auto* button = new QPushButton(action->text(), sheet);
        button->setObjectName("bu" + action->objectName().mid(2));
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(list, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(new QLabel(UiText(info), sheet));
    layout->addLayout(row, 1);
    UpdateActions(page);
    return sheet;
}

QSpinBox* TfmOptions::AddSpin(QGridLayout* grid, int row, const char* label, const char* name, int low, int high,
                              const char* defaultText) {
    auto* spin = new QSpinBox(grid->parentWidget());
    spin->setObjectName(QStringLiteral("ud") + QString::fromLatin1(name));
    spin->setRange(low, high);
    // The spin box's own edit carries the edit's name.
    if (auto* edit = spin->findChild<QLineEdit*>())
        edit->setObjectName(QStringLiteral("ed") + QString::fromLatin1(name));
    grid->addWidget(new QLabel(UiText(label), grid->parentWidget()), row, 0);
    grid->addWidget(spin, row, 1);
    grid->addWidget(new QLabel(UiText(defaultText), grid->parentWidget()), row, 2);
    return spin;
}

QCheckBox* TfmOptions::AddCheck(QWidget* parent, const char* text, const char* name) {
    auto* box = new QCheckBox(UiText(text), parent);
    box->setObjectName(name);
    return box;
}

QWidget* TfmOptions::MakeDnsPage() {
    auto* sheet = new QWidget(pc_);
    sheet->setObjectName("tsDNSLookup");
    auto* grid = new QGridLayout(sheet);
    udDNSThread_ = AddSpin(grid, 0, "Number of simultaneous threads", "DNSThread", 1, 1000, "(default 100)");
    udDNSCache_ = AddSpin(grid, 1, "Cache expiration (in days)", "DNSCache", 1, 60, "(default 30)");
    udDNSTimeout_ =
        AddSpin(grid, 2, "DNS lookup timeout (in milliseconds)", "DNSTimeout", 100, 30000, "(default 5000)");
    cbDNSAskBefore_ =
        AddCheck(sheet, "Ask confirmation before analyzing profiles with DNS lookup ON", "cbDNSAskBefore");
    grid->addWidget(cbDNSAskBefore_, 3, 0, 1, 3);
    auto* buDNSClear = new QPushButton(UiText("Clear DNS Cache"), sheet);
    buDNSClear->setObjectName("buDNSClear");
    connect(buDNSClear, &QPushButton::clicked, this, &TfmOptions::ClearDnsCache);
    grid->addWidget(buDNSClear, 4, 0, Qt::AlignLeft);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(3, 1);
    return sheet;
}

QWidget* TfmOptions::MakeExportPage() {
    auto* sheet = new QWidget(pc_);
    sheet->setObjectName("tsExport");
    auto* layout = new QVBoxLayout(sheet);

    cbLanguage_ = new QComboBox(sheet);
    cbLanguage_->setObjectName("cbLanguage");
    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(new QLabel(UiText("Default language"), sheet));
    languageRow->addWidget(cbLanguage_, 1);
    layout->addLayout(languageRow);

    auto* word = new QGroupBox(UiText("MS-Word report "), sheet);
    auto* wordGrid = new QGridLayout(word);
    edMSWordAuthor_ = new QLineEdit(word);
    edMSWordAuthor_->setObjectName("edMSWordAuthor");
    edMSWordCompany_ = new QLineEdit(word);
    edMSWordCompany_->setObjectName("edMSWordCompany");
    cbMSWordPageBreak_ = AddCheck(word, "Add Page Break between each report", "cbMSWordPageBreak");
    cbMSWordDescription_ = AddCheck(word, "Add Description above report", "cbMSWordDescription");
    wordGrid->addWidget(new QLabel(UiText("Author"), word), 0, 0);
    wordGrid->addWidget(edMSWordAuthor_, 0, 1);
    wordGrid->addWidget(new QLabel(UiText("Company"), word), 1, 0);
    wordGrid->addWidget(edMSWordCompany_, 1, 1);
    wordGrid->addWidget(cbMSWordPageBreak_, 2, 0, 1, 2);
    wordGrid->addWidget(cbMSWordDescription_, 3, 0, 1, 2);
    layout->addWidget(word);

    auto* html = new QGroupBox(UiText("HTML report "), sheet);
    auto* htmlLayout = new QVBoxLayout(html);
    cbHTMLDescription_ = AddCheck(html, "Add Description above report", "cbHTMLDescription");
    htmlLayout->addWidget(cbHTMLDescription_);
    layout->addWidget(html);

    auto* csv = new QGroupBox(UiText("CSV report "), sheet);
    auto* csvLayout = new QHBoxLayout(csv);
    cbCSVSeparator_ = new QComboBox(csv);
    cbCSVSeparator_->setObjectName("cbCSVSeparator");
    cbCSVSeparator_->setEditable(true);
    cbCSVSeparator_->setInsertPolicy(QComboBox::NoInsert);
    for (const TRecCSVSeparatorProperty& row : CSVSeparatorTable()) cbCSVSeparator_->addItem(Q(row.Name));
    csvLayout->addWidget(new QLabel(UiText("Separator"), csv));
    csvLayout->addWidget(cbCSVSeparator_, 1);
    layout->addWidget(csv);
    layout->addStretch();
    return sheet;
}

QWidget* TfmOptions::MakeMiscPage() {
    auto* sheet = new QWidget(pc_);
    sheet->setObjectName("tsMisc");
    auto* layout = new QVBoxLayout(sheet);
    for (std::size_t i = 0; i < kMiscSwitches.size(); ++i) {
        miscChecks_[i] = AddCheck(sheet, kMiscSwitches[i].Text, kMiscSwitches[i].Name);
        layout->addWidget(miscChecks_[i]);
    }
    auto* grid = new QGridLayout;
    auto* holder = new QWidget(sheet);
    holder->setLayout(grid);
    udVisSes_ = AddSpin(grid, 0, "Length of visitor sessions (in minutes)", "VisSes", 0, 9999, "(default 30)");
    grid->setColumnStretch(3, 1);
    layout->addWidget(holder);
    layout->addStretch();
    return sheet;
}

int TfmOptions::Execute(const std::string& dnsCacheFile) {
    Prepare(dnsCacheFile);
    return exec();
}

void TfmOptions::Prepare(const std::string& dnsCacheFile) {
    dnsCacheFile_ = dnsCacheFile;
    working_ = options_;
    for (auto& page : lists_) FillList(*page);

    udDNSThread_->setValue(working_.NbThread);
    udDNSCache_->setValue(working_.CacheDays);
    udDNSTimeout_->setValue(working_.Timeout);
    cbDNSAskBefore_->setChecked(working_.AskBefore != 0);

    FillLanguages();
    edMSWordAuthor_->setText(Q(working_.Export.MSWordAuthor));
    edMSWordCompany_->setText(Q(working_.Export.MSWordCompany));
    cbMSWordPageBreak_->setChecked(working_.Export.MSWordPageBreak != 0);
    cbMSWordDescription_->setChecked(working_.Export.MSWordDescription != 0);
    cbHTMLDescription_->setChecked(working_.Export.HTMLDescription != 0);
    cbCSVSeparator_->setCurrentText(Q(SeparatorText(working_.Export)));

    for (std::size_t i = 0; i < kMiscSwitches.size(); ++i)
        miscChecks_[i]->setChecked(working_.*kMiscSwitches[i].Field != 0);
    udVisSes_->setValue(working_.SessionLength);
    pc_->setCurrentIndex(0);
}

void TfmOptions::FillLanguages() {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(languages_.Count()));
    for (int i = 0; i < languages_.Count(); ++i) names.push_back(languages_.GetItem(i)->Info.LanguageName);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    cbLanguage_->clear();
    for (const std::string& name : names) cbLanguage_->addItem(Q(name));
    const TReportTxt* chosen = languages_.FindByID(working_.Export.LanguageID);
    cbLanguage_->setCurrentIndex(
        chosen ? cbLanguage_->findText(Q(chosen->Info.LanguageName), Qt::MatchFixedString | Qt::MatchCaseSensitive)
               : -1);
}

void TfmOptions::FillList(TListPage& page) {
    page.List->clear();
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < page.Count(); ++i) items << new QTreeWidgetItem(page.Texts(i));
    page.List->addTopLevelItems(items);
    FitIdColumn(*page.List);
    UpdateActions(page);
}

void TfmOptions::UpdateActions(TListPage& page) {
    const auto selected = page.List->selectionModel()->selectedRows().size();
    page.Edit->setEnabled(selected == 1);
    page.Del->setEnabled(selected >= 1);
}

void TfmOptions::AddRow(TListPage& page) {
    if (page.AddRecord()) {
        auto* item = new QTreeWidgetItem(page.Texts(page.Count() - 1));
        page.List->addTopLevelItem(item);
        FitIdColumn(*page.List);
        page.List->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    page.List->setFocus();
}

void TfmOptions::EditRow(TListPage& page) {
    const QModelIndexList rows = page.List->selectionModel()->selectedRows();
    if (rows.size() == 1) {
        const int row = rows.front().row();
        if (page.EditRecord(row)) {
            const QStringList texts = page.Texts(row);
            QTreeWidgetItem* item = page.List->topLevelItem(row);
            for (int column = 0; column < texts.size(); ++column) item->setText(column, texts[column]);
            FitIdColumn(*page.List);
        }
    }
    page.List->setFocus();
}

void TfmOptions::DeleteRows(TListPage& page) {
    std::vector<int> rows;
    for (const QModelIndex& index : page.List->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.rbegin(), rows.rend());
    for (const int row : rows) {
        page.RemoveRecord(row);
        delete page.List->takeTopLevelItem(row);
    }
    UpdateActions(page);
    page.List->setFocus();
}

bool TfmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        for (auto& page : lists_) {
            if (watched != page->List) continue;
            if (key == Qt::Key_Insert) {
                page->Add->trigger();
                return true;
            }
            if (key == Qt::Key_Delete) {
                if (page->Del->isEnabled()) page->Del->trigger();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmOptions::StoreSettings() {
    working_.NbThread = udDNSThread_->value();
    working_.CacheDays = udDNSCache_->value();
    working_.Timeout = udDNSTimeout_->value();
    working_.AskBefore = Flag(cbDNSAskBefore_);
    if (const TReportTxt* language = languages_.FindByName(StdText(cbLanguage_->currentText())))
        working_.Export.LanguageID = language->Info.LanguageID;
    working_.Export.MSWordAuthor = StdText(edMSWordAuthor_->text());
    working_.Export.MSWordCompany = StdText(edMSWordCompany_->text());
    working_.Export.MSWordPageBreak = Flag(cbMSWordPageBreak_);
    working_.Export.MSWordDescription = Flag(cbMSWordDescription_);
    working_.Export.HTMLDescription = Flag(cbHTMLDescription_);
    const std::string separator = StdText(cbCSVSeparator_->currentText());
    const int code = GetCSVSeparatorCode(separator);
    if (code >= 1 && code <= 4) {
        working_.Export.CSVSeparatorType = code;
        working_.Export.CSVSeparatorChar.clear();
    } else {
        working_.Export.CSVSeparatorType = 0;
        working_.Export.CSVSeparatorChar = separator;
    }
    for (std::size_t i = 0; i < kMiscSwitches.size(); ++i) working_.*kMiscSwitches[i].Field = Flag(miscChecks_[i]);
    working_.SessionLength = udVisSes_->value();
}

void TfmOptions::accept() {
    StoreSettings();
    options_ = working_;
    // The options hold what the user confirmed even when the file cannot be written; the
    // failure is told rather than passed over.
    if (!optionsFile_.empty() && !options_.SaveToFile(optionsFile_))
        ui_.ShowError(SafeFormat(kCouldNotSave, {optionsFile_}));
    QDialog::accept();
}

void TfmOptions::ClearDnsCache() {
    if (!ui_.AskYesNo("Are you sure you want to clear the DNS Cache ?", TQuestionKind::Beep)) return;
    TDNSCache cache;
    cache.Clear();
    if (!cache.SaveToFile(dnsCacheFile_)) ui_.ShowError(SafeFormat(kCouldNotSave, {dnsCacheFile_}));
}

}  // namespace brindle
