#include "ui/Main_fm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "core/AppPaths.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/Registre_u.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFile_u.h"
#include "core/SafeFormat_u.h"
#include "engine/LogConvert_u.h"
#include "ui/AppGuard_u.h"
#include "ui/DeferredIcon_u.h"
#include "ui/ProfileList_u.h"
#include "ui/SampleProfiles_u.h"
#include "ui/StartUp_u.h"
#include "ui/UiServices.h"
#include "ui/UiText_u.h"
#include "ui/mProgress2_fm.h"

namespace brindle {

namespace {

struct TActionText {
    const char* Name;
    const char* Caption;  // with its mnemonic
    const char* Hint;  // "short|long": the short part is the tool tip, the long one the status line
};

constexpr TActionText kActionTexts[] = {
    {"acPRFileGenerate", "&Generate report", "Generate report|Generate a report from the selected profile"},
    {"acPRFileNew", "&New profile...", "New profile|Create a new profile"},
    {"acPRFileEdit", "&Edit profile...", "Edit profile|Edit the selected profile"},
    {"acPRFileCopy", "&Copy profile...", "Copy profile|Copy the selected profile"},
    {"acPRFileDelete", "&Delete profile...", "Delete profile|Delete the selected profile(s)"},
    {"acPRFileQuit", "&Quit", "Quit Brindle Analyzer"},
    {"acREFileQuit", "&Quit", "Quit Brindle Analyzer"},
    {"acREFileOpen", "&Open report...", "Open report|Open an existing report"},
    {"acREFileSave", "&Save report...", "Save report|Save the current report"},
    {"acREFileExportHTML", "Export to &HTML...", "Export the current report to HTML format"},
    {"acREFileExportWord", "Export to &Word...", "Export the current report to Word format"},
    {"acREFileExportCSV", "Export to &CSV...", "Export the current report to CSV format (comma separated values)"},
    {"acREFileExportXML", "Export to &XML...", "Export the current report to XML format"},
    {"acREViewList", "&List", "List View|View the active document as List"},
    {"acREViewHTML", "&HTML", "HTML View|View the active document as HTML"},
    {"acConfigureOptions", "&Options...", "Configure options|Configure global options"},
    {"acHelpTopics", "&Help Topics...", "Help Topics|Display the help contents page"},
    {"acHelpTips", "&Tip of the Day...", "Display a Tip of the Day"},
    {"acHelpWeb", "Brindle Analyzer &Web Site",
     "Launch your internet browser and connect to Brindle Analyzer Web Site"},
    {"acHelpAbout", "&About Brindle Analyzer...", "Display general information about Brindle Analyzer"},
};

// Toolbar buttons: the button's name, its caption and the action it runs.
struct TToolButtonText {
    const char* Name;
    const char* Caption;
    const char* Action;
};

constexpr TToolButtonText kToolButtons[] = {
    {"tbPRFileGenerate", "Report", "acPRFileGenerate"}, {"tbPRFileNew", "New", "acPRFileNew"},
    {"tbPRFileEdit", "Edit", "acPRFileEdit"},           {"tbPRFileCopy", "Copy", "acPRFileCopy"},
    {"tbPRFileDelete", "Delete", "acPRFileDelete"},     {"tbREFileOpen", "Open", "acREFileOpen"},
    {"tbREFileSave", "Save", "acREFileSave"},           {"tbREViewList", "List", "acREViewList"},
    {"tbREViewHTML", "HTML", "acREViewHTML"},           {"tbConfigureOptions", "Options", "acConfigureOptions"},
    {"tbHelpTopics", "Help", "acHelpTopics"},
};

void ShowAction(QAction* action, bool visible, bool enabled) {
    action->setVisible(visible);
    action->setEnabled(enabled);
}

}  // namespace

TfmMain::TfmMain(const TMainContext& context, TMainHooks hooks, TCommandLine commandLine, QWidget* parent)
    : QMainWindow(parent),
      engine_(context.LogConvert),
      profiles_(context.Profiles),
      options_(context.Options),
      reportTxts_(context.ReportTxts),
      ui_(context.Ui),
      format_(context.Format),
      hooks_(std::move(hooks)),
      commandLine_(std::move(commandLine)) {
    setObjectName("fmMain");
    regData_ = std::make_unique<TRegData>(AppPaths::SettingsFile());
    regData_->LoadSettings();
    RestorePlacement();
    {
        TStartUp startUp(profiles_, options_, reportTxts_, *regData_, ui_);
        startUp.CreateFolders();
    }
    CreateActions();
    if (!Unattended()) {
        BuildWidgets();
        return;
    }
    // No one sees this run: menus, tool bar and pages would cost more than the analysis of a
    // small log. The actions keep their state all the same.
    LoadCaptions();
    UpdatePageActions();
}

TfmMain::~TfmMain() {
    DeleteFolderFiles(AppPaths::TmpDir());
    SavePlacement();
}

// ---- Components ----

QAction* TfmMain::NewAction(const char* name) {
    auto* action = new QAction(this);
    action->setObjectName(name);
    return action;
}

void TfmMain::BuildWidgets() {
    if (WidgetsBuilt()) return;
    CreateMenus();
    CreateToolBar();

    pc = new QTabWidget(this);
    pc->setObjectName("pc");
    pc->addTab(CreateProfilePage(), QString());
    pc->addTab(CreateReportPage(), QString());
    setCentralWidget(pc);

    sb = new QStatusBar(this);
    sb->setObjectName("sb");
    setStatusBar(sb);

    LoadCaptions();
    // A run that went on without widgets left its page, its report and its profiles.
    RestoreReportTree();
    pc->setCurrentWidget(reportPageCurrent_ ? tsReport : tsProfiles);
    connect(pc, &QTabWidget::currentChanged, this, [this] { Guarded([this] { pcChange(); }); });
    if (!firstShow_) {
        FillProfileList();
        SelectFirstProfile();
    }
    // The tip of the day shows before the first show finishes: the menu bar must already
    // hold one page's menus, not both.
    UpdatePageActions();
    UpdateCaption();
}

void TfmMain::setVisible(bool visible) {
    if (visible) Guarded([this] { BuildWidgets(); });
    QMainWindow::setVisible(visible);
}

void TfmMain::CreateActions() {
    acPRFileGenerate = NewAction("acPRFileGenerate");
    acPRFileNew = NewAction("acPRFileNew");
    acPRFileEdit = NewAction("acPRFileEdit");
    acPRFileCopy = NewAction("acPRFileCopy");
    acPRFileDelete = NewAction("acPRFileDelete");
    acPRFileQuit = NewAction("acPRFileQuit");
    acREFileQuit = NewAction("acREFileQuit");
    acREFileOpen = NewAction("acREFileOpen");
    acREFileSave = NewAction("acREFileSave");
    acREFileExportHTML = NewAction("acREFileExportHTML");
    acREFileExportWord = NewAction("acREFileExportWord");
    acREFileExportCSV = NewAction("acREFileExportCSV");
    acREFileExportXML = NewAction("acREFileExportXML");
    acREViewList = NewAction("acREViewList");
    acREViewHTML = NewAction("acREViewHTML");
    acConfigureOptions = NewAction("acConfigureOptions");
    acHelpTopics = NewAction("acHelpTopics");
    acHelpTips = NewAction("acHelpTips");
    acHelpWeb = NewAction("acHelpWeb");
    acHelpAbout = NewAction("acHelpAbout");
    acREViewList->setCheckable(true);
    acREViewHTML->setCheckable(true);

    // The style finds these in the icon theme, which costs a search of its folders.
    const auto styleIcon = [](QStyle::StandardPixmap pixmap) {
        return DeferredIcon([pixmap] { return QApplication::style()->standardIcon(pixmap); });
    };
    acPRFileGenerate->setIcon(styleIcon(QStyle::SP_MediaPlay));
    acPRFileNew->setIcon(styleIcon(QStyle::SP_FileIcon));
    acPRFileEdit->setIcon(styleIcon(QStyle::SP_FileDialogDetailedView));
    acPRFileCopy->setIcon(styleIcon(QStyle::SP_FileDialogNewFolder));
    acPRFileDelete->setIcon(styleIcon(QStyle::SP_TrashIcon));
    acREFileOpen->setIcon(styleIcon(QStyle::SP_DialogOpenButton));
    acREFileSave->setIcon(styleIcon(QStyle::SP_DialogSaveButton));
    acREViewList->setIcon(styleIcon(QStyle::SP_FileDialogListView));
    acREViewHTML->setIcon(styleIcon(QStyle::SP_FileDialogContentsView));
    acConfigureOptions->setIcon(styleIcon(QStyle::SP_FileDialogInfoView));
    acHelpTopics->setIcon(styleIcon(QStyle::SP_DialogHelpButton));

    const std::pair<QAction*, void (TfmMain::*)()> bodies[] = {
        {acPRFileGenerate, &TfmMain::acPRFileGenerateExecute},
        {acPRFileNew, &TfmMain::acPRFileNewExecute},
        {acPRFileEdit, &TfmMain::acPRFileEditExecute},
        {acPRFileCopy, &TfmMain::acPRFileCopyExecute},
        {acPRFileDelete, &TfmMain::acPRFileDeleteExecute},
        {acREFileOpen, &TfmMain::acREFileOpenExecute},
        {acREFileSave, &TfmMain::acREFileSaveExecute},
        {acREFileExportHTML, &TfmMain::acREFileExportHTMLExecute},
        {acREFileExportWord, &TfmMain::acREFileExportWordExecute},
        {acREFileExportCSV, &TfmMain::acREFileExportCSVExecute},
        {acREFileExportXML, &TfmMain::acREFileExportXMLExecute},
        {acREViewList, &TfmMain::acREViewListExecute},
        {acREViewHTML, &TfmMain::acREViewHTMLExecute},
        {acConfigureOptions, &TfmMain::acConfigureOptionsExecute},
        {acHelpTopics, &TfmMain::acHelpTopicsExecute},
        {acHelpTips, &TfmMain::acHelpTipsExecute},
        {acHelpWeb, &TfmMain::acHelpWebExecute},
        {acHelpAbout, &TfmMain::acHelpAboutExecute},
    };
    for (const auto& [action, body] : bodies)
        connect(action, &QAction::triggered, this, [this, body = body] { Guarded([this, body] { (this->*body)(); }); });
    connect(acPRFileQuit, &QAction::triggered, this, &QWidget::close);
    connect(acREFileQuit, &QAction::triggered, this, &QWidget::close);

    // Both Quit actions carry the key; only the one of the shown page is enabled.
    acREFileOpen->setShortcut(QKeySequence::Open);
    acREFileSave->setShortcut(QKeySequence::Save);
    // Ctrl+Q is the Linux desktops' Quit, also where the platform names none.
    const QKeySequence quit = QKeySequence(QKeySequence::Quit).isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_Q)
                                                                         : QKeySequence(QKeySequence::Quit);
    acPRFileQuit->setShortcut(quit);
    acREFileQuit->setShortcut(quit);
    acHelpTopics->setShortcut(QKeySequence::HelpContents);
}

void TfmMain::CreateMenus() {
    // A null entry is a separator.
    auto makeMenu = [this](const char* name, std::initializer_list<QAction*> items) {
        auto* menu = new QMenu(this);
        menu->setObjectName(name);
        for (QAction* item : items)
            if (item)
                menu->addAction(item);
            else
                menu->addSeparator();
        menuBar()->addMenu(menu);
        return menu;
    };
    menuBar()->setObjectName("mm");
    miPRFile = makeMenu("miPRFile", {acPRFileGenerate, nullptr, acPRFileNew, acPRFileEdit, acPRFileCopy, acPRFileDelete,
                                     nullptr, acPRFileQuit});
    miREFile = makeMenu("miREFile", {acREFileOpen, acREFileSave, nullptr, acREFileExportHTML, acREFileExportWord,
                                     acREFileExportCSV, acREFileExportXML, nullptr, acREFileQuit});
    miREView = makeMenu("miREView", {acREViewList, acREViewHTML});
    miConfigure = makeMenu("miConfigure", {acConfigureOptions});
    miHelp = makeMenu("miHelp", {acHelpTopics, acHelpTips, nullptr, acHelpWeb, nullptr, acHelpAbout});
}

void TfmMain::CreateToolBar() {
    tbaIcons = addToolBar(QString());
    tbaIcons->setObjectName("tbaIcons");
    tbaIcons->setMovable(false);
    tbaIcons->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto addButton = [this](QAction* action) { tbaIcons->addAction(action); };
    for (QAction* action :
         {acPRFileGenerate, acPRFileNew, acPRFileEdit, acPRFileCopy, acPRFileDelete, acREFileOpen, acREFileSave})
        addButton(action);
    tbSep2 = tbaIcons->addSeparator();
    tbSep2->setObjectName("tbSep2");
    addButton(acREViewList);
    addButton(acREViewHTML);
    // tbSep1 parts the profile buttons from Options on the profile page; on the report page it
    // hides and List/HTML need their own separator before Options.
    tbSep3 = tbaIcons->addSeparator();
    tbSep3->setObjectName("tbSep3");
    tbSep1 = tbaIcons->addSeparator();
    tbSep1->setObjectName("tbSep1");
    addButton(acConfigureOptions);
    addButton(acHelpTopics);
    for (const TToolButtonText& button : kToolButtons)
        if (auto* action = findChild<QAction*>(button.Action))
            if (QWidget* widget = tbaIcons->widgetForAction(action)) widget->setObjectName(button.Name);
}

QWidget* TfmMain::CreateProfilePage() {
    tsProfiles = new QWidget;
    tsProfiles->setObjectName("tsProfiles");
    vtProfiles = new QTreeView(tsProfiles);
    vtProfiles->setObjectName("vtProfiles");
    profileModel_ = new TProfileListModel(vtProfiles);
    vtProfiles->setModel(profileModel_);
    vtProfiles->setRootIsDecorated(false);
    vtProfiles->setUniformRowHeights(true);
    vtProfiles->setAllColumnsShowFocus(true);
    vtProfiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    vtProfiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    vtProfiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vtProfiles->setSortingEnabled(false);
    vtProfiles->header()->setSectionsClickable(true);
    vtProfiles->header()->setSortIndicatorShown(false);
    vtProfiles->header()->setStretchLastSection(true);
    const int widths[kProfileColumnCount] = {150, 260, 150, 60, 60, 200};
    for (int i = 0; i < kProfileColumnCount; ++i) vtProfiles->setColumnWidth(i, widths[i]);
    // Dropped log files: handled before the view's own drag and drop.
    vtProfiles->setAcceptDrops(true);
    vtProfiles->viewport()->setAcceptDrops(true);
    vtProfiles->viewport()->installEventFilter(this);
    // Delete and Enter on the list itself (ProfileListKey).
    vtProfiles->installEventFilter(this);

    connect(vtProfiles->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { Guarded([this, column] { vtProfilesHeaderClick(column); }); });
    connect(vtProfiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Guarded([this] { UpdateProfileActions(); }); });
    connect(vtProfiles, &QTreeView::doubleClicked, this, [this] { Guarded([this] { vtProfilesDblClick(); }); });

    auto* layout = new QVBoxLayout(tsProfiles);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(vtProfiles);
    return tsProfiles;
}

QWidget* TfmMain::CreateReportPage() {
    tsReport = new QWidget;
    tsReport->setObjectName("tsReport");
    splitter_ = new QSplitter(Qt::Horizontal, tsReport);
    paLeft = new QWidget(splitter_);
    paLeft->setObjectName("paLeft");
    paRight = new QWidget(splitter_);
    paRight->setObjectName("paRight");

    tvl = new QTreeWidget(paLeft);
    tvl->setObjectName("tvl");
    tvl->setHeaderHidden(true);
    tvl->setColumnCount(1);
    auto* left = new QVBoxLayout(paLeft);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(tvl);
    connect(tvl, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node) { Guarded([this, node] { tvlChange(node); }); });
    connect(tvl, &QTreeWidget::itemExpanded, this, &TfmMain::tvlImageUpdate);
    connect(tvl, &QTreeWidget::itemCollapsed, this, &TfmMain::tvlImageUpdate);

    auto makeFrame = [this](const std::function<QWidget*(QWidget*)>& make, const char* name) {
        QWidget* frame = make ? make(paRight) : nullptr;
        if (!frame) frame = new QWidget(paRight);
        frame->setObjectName(name);
        frame->hide();
        paRight->layout()->addWidget(frame);
        return frame;
    };
    auto* right = new QVBoxLayout(paRight);
    right->setContentsMargins(0, 0, 0, 0);
    // The chart renderer draws off screen; its frame only keeps the place.
    frChart1 = makeFrame({}, "frChart1");
    frList1 = makeFrame(hooks_.MakeListFrame, "frList1");
    frHTML1 = makeFrame(hooks_.MakeHTMLFrame, "frHTML1");
    frInfo1 = makeFrame(hooks_.MakeInfoFrame, "frInfo1");

    splitter_->addWidget(paLeft);
    splitter_->addWidget(paRight);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({240, 760});
    auto* layout = new QVBoxLayout(tsReport);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);
    return tsReport;
}

void TfmMain::LoadCaptions() {
    setWindowTitle(UiText(kApplicationTitle));
    if (WidgetsBuilt()) {
        miPRFile->setTitle("&File");
        miREFile->setTitle("&File");
        miREView->setTitle("&View");
        miConfigure->setTitle("&Configure");
        miHelp->setTitle("&Help");
        pc->setTabText(pc->indexOf(tsProfiles), "Profiles");
        pc->setTabText(pc->indexOf(tsReport), "Report");
    }
    for (const TActionText& text : kActionTexts) {
        auto* action = findChild<QAction*>(text.Name);
        if (!action) continue;
        action->setText(text.Caption);
        const QString hint = text.Hint;
        const int bar = hint.indexOf('|');
        action->setToolTip(bar < 0 ? hint : hint.left(bar));
        action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    }
    for (const TToolButtonText& button : kToolButtons)
        if (auto* action = findChild<QAction*>(button.Action)) action->setIconText(button.Caption);
}

// ---- Placement ----

void TfmMain::RestorePlacement() {
    TRegData& reg = *regData_;
    if (reg.Height == -1 || reg.Left == -1 || reg.Top == -1 || reg.Width == -1) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
        reg.Height = area.height() * 80 / 100;
        reg.Left = area.width() * 10 / 100;
        reg.Top = area.height() * 10 / 100;
        reg.Width = area.width() * 80 / 100;
        reg.Maximized = false;
    }
    setGeometry(reg.Left, reg.Top, reg.Width, reg.Height);
    if (reg.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TfmMain::SavePlacement() {
    TRegData& reg = *regData_;
    reg.Maximized = isMaximized();
    const QRect bounds = reg.Maximized ? normalGeometry() : geometry();
    if (bounds.isValid()) {
        reg.Height = bounds.height();
        reg.Left = bounds.left();
        reg.Top = bounds.top();
        reg.Width = bounds.width();
    }
    std::string reason;
    if (!reg.SaveSettings(&reason)) ui_.ShowError(WriteFailureText(reg.SettingsFile(), reason));
}

// ---- First show ----

void TfmMain::Start() {
    if (!Unattended()) {
        show();
        return;
    }
    QTimer::singleShot(0, this, [this] { Guarded([this] { FormShow(); }); });
}

void TfmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (viewPending_) {
        viewPending_ = false;
        Guarded([this] { BuildReportView(); });
    }
    // Queued: the start-up work may run a whole analysis, which must not happen inside the
    // show itself.
    if (firstShow_) QTimer::singleShot(0, this, [this] { Guarded([this] { FormShow(); }); });
}

void TfmMain::FormShow() {
    if (!firstShow_) return;
    // Runs once, also when a step below raises.
    firstShow_ = false;
    DisableMainForm();
    struct TEnableOnError {
        TfmMain* Window;
        bool Done = false;
        ~TEnableOnError() {
            if (!Done) Window->EnableMainForm();
        }
    } enableOnError{this};
    HideReportFrames();

    // Without a screen no one sees the window stay open after an error: a "/c" run always
    // ends, also when a step below raises, and its exit status tells whether it did its job.
    struct TEndUnattendedRun {
        bool Armed;
        bool Failed = true;
        ~TEndUnattendedRun() {
            if (Armed && Failed) QCoreApplication::exit(kUnattendedRunFailed);
        }
    } unattended{Unattended()};

    TStartUp startUp(profiles_, options_, reportTxts_, *regData_, ui_);
    TShowTipsFunc tips;
    if (hooks_.StartUpTips) tips = [this](std::int32_t firstNumber) { return hooks_.StartUpTips(firstNumber, this); };
    const TStartUpResult result = startUp.Run(commandLine_, TStartUpPaths::FromAppPaths(), tips);

    reportPageCurrent_ = false;
    if (WidgetsBuilt()) pc->setCurrentWidget(tsProfiles);
    UpdatePageActions();
    FillProfileList();
    EnableMainForm();
    enableOnError.Done = true;
    SelectFirstProfile();
    if (WidgetsBuilt()) vtProfiles->setFocus();

    bool ok = true;
    if (!result.OpenDocument.empty()) ok = OpenReportFile(result.OpenDocument);
    TProfile* profile = result.AnalyseProfile && *result.AnalyseProfile < profiles_.Profiles.Count()
                            ? &profiles_.Profiles[*result.AnalyseProfile]
                            : nullptr;
    if (!unattended.Armed) {
        if (profile) {
            GenerateReport(*profile);
            if (result.CloseAfterAnalysis) close();
        }
        return;
    }
    if (profile) {
        ok = RunGuarded(ui_, [&] { GenerateReport(*profile); }) && !autoExportFailed_ && ok;
    } else if (!commandLine_.ProfileName.empty()) {
        ui_.ShowError(SafeFormat(kNoSuchProfile, {commandLine_.ProfileName}));
        ok = false;
    }
    unattended.Failed = !ok;
    if (!ok) return;
    close();
    // A window never shown does not end the program by closing.
    QCoreApplication::exit(0);
}

// ---- Pages ----

void TfmMain::pcChange() {
    reportPageCurrent_ = pc->currentWidget() == tsReport;
    UpdatePageActions();
    UpdateCaption();
    if (!reportPageCurrent_) UpdateProfileActions();
}

void TfmMain::UpdatePageActions() {
    const bool profilesPage = !reportPageCurrent_;
    const bool result = !profilesPage && hasResult_;
    for (QAction* action : {acPRFileGenerate, acPRFileNew, acPRFileEdit, acPRFileCopy, acPRFileDelete})
        ShowAction(action, profilesPage, profilesPage);
    ShowAction(acPRFileQuit, profilesPage, profilesPage);
    ShowAction(acREFileQuit, !profilesPage, !profilesPage);
    ShowAction(acREFileOpen, !profilesPage, !profilesPage);
    ShowAction(acREFileSave, !profilesPage, result);
    for (QAction* action : {acREFileExportHTML, acREFileExportWord, acREFileExportCSV, acREFileExportXML})
        action->setEnabled(result);
    ShowAction(acREViewList, !profilesPage, result);
    ShowAction(acREViewHTML, !profilesPage, result);
    if (WidgetsBuilt()) {
        ShowAction(miPRFile->menuAction(), profilesPage, profilesPage);
        for (QMenu* menu : {miREFile, miREView}) ShowAction(menu->menuAction(), !profilesPage, !profilesPage);
        tbSep1->setVisible(profilesPage);
        tbSep2->setVisible(!profilesPage);
        tbSep3->setVisible(!profilesPage);
    }
    // The view actions follow the shown report.
    if (result) UpdateViewActions();
}

void TfmMain::UpdateCaption() {
    if (!reportPageCurrent_)
        setWindowTitle(UiText(kApplicationTitle));
    else if (const TProfile* profile = CurrentProfile())
        setWindowTitle(QString::fromStdString(profile->Name) + " - " + UiText(kApplicationTitle));
}

void TfmMain::HideReportFrames() {
    if (!WidgetsBuilt()) return;
    for (QWidget* frame : {frChart1, frList1, frHTML1, frInfo1}) frame->hide();
}

void TfmMain::DisableMainForm() { setEnabled(false); }

void TfmMain::EnableMainForm() { setEnabled(true); }

// ---- Handlers ----

void TfmMain::Guarded(const std::function<void()>& action) { RunGuarded(ui_, action); }

void TfmMain::closeEvent(QCloseEvent* event) {
    // A job lets events run between its steps; closing under it would pull the window away.
    if (JobRunning()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool TfmMain::ProfileListKey(const QKeyEvent& key) {
    if (key.modifiers() & ~Qt::KeypadModifier) return false;
    switch (key.key()) {
        case Qt::Key_Delete:
            if (acPRFileDelete->isEnabled()) Guarded([this] { acPRFileDeleteExecute(); });
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: Guarded([this] { vtProfilesDblClick(); }); return true;
        default: return false;
    }
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (!WidgetsBuilt()) return QMainWindow::eventFilter(watched, event);
    if (watched == vtProfiles) {
        if (event->type() == QEvent::KeyPress && ProfileListKey(static_cast<const QKeyEvent&>(*event))) return true;
        return QMainWindow::eventFilter(watched, event);
    }
    if (watched != vtProfiles->viewport()) return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasUrls() && !JobRunning())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = drop->mimeData()->urls();
            drop->acceptProposedAction();
            if (!urls.isEmpty() && urls.front().isLocalFile()) {
                const std::string file = urls.front().toLocalFile().toStdString();
                Guarded([this, file] { NewProfileFromDroppedFile(file); });
            }
            return true;
        }
        default: return QMainWindow::eventFilter(watched, event);
    }
}

void TfmMain::NewProfileFromDroppedFile(const std::string& fileName) {
    AddProfileThroughWizard(NewProfileForLogFile(fileName));
}

const TReportTxt& TfmMain::EnglishTexts() const {
    const TReportTxt* english = reportTxts_.GetItem(0);
    return english ? *english : BuiltInReportTxt();
}

}  // namespace brindle
