// The program block: the program objects first, then the application, the main window and
// the progress window; at the end the Tmp folder of this process goes.
#include <QApplication>
#include <QLocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "core/AppPaths.h"
#include "engine/AllocatorTuning_u.h"
#include "engine/GlobalVar_u.h"
#include "engine/LogConvert_u.h"
#include "ui/AppIcon_u.h"
#include "ui/CommandLine_u.h"
#include "ui/ConsoleUiServices.h"
#include "ui/MainHooks.h"
#include "ui/Main_fm.h"
#include "ui/Progress_fm.h"
#include "ui/QtUiServices.h"
#include "views/LocaleFormat_u.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
// Sanitizer builds (`make run` uses one): the libraries below keep per-process caches that
// LeakSanitizer would report at exit; tests/lsan.supp names the same for the test programs.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libdbus-1.so\n";
}
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace {

// A run no one saw ends once its windows are gone and its files written. Qt's own teardown
// would load the whole font configuration only to free it again (the fonts were never used),
// and the analysis's memory goes back to the system at once.
[[noreturn]] void EndUnattendedRun(int result) {
    brindle::AppPaths::RemoveTmpDir();
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
    std::_Exit(result);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace brindle;
    ReturnFreedMemoryPromptly();
    // A file-size limit (ulimit -f) then fails the write with EFBIG, reported like a full
    // disk, instead of killing the program halfway through a save.
    std::signal(SIGXFSZ, SIG_IGN);
    TCommandLine commandLine = ParseCommandLine(argc, argv);
    TGlobalObjects globals;
    int result = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(
            QString::fromUtf8(kApplicationTitle.data(), static_cast<int>(kApplicationTitle.size())));
        QApplication::setWindowIcon(ProgramIcon());
        QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
        commandLine.NoScreen = IsNoScreenPlatform(QGuiApplication::platformName());
        if (commandLine.NoScreen) QuietNoScreenPlatformWarnings();
        bool unattended = false;
        {
            TQtUiServices screenUi;
            TConsoleUiServices consoleUi(std::cerr);
            TUiServices& ui = commandLine.NoScreen ? static_cast<TUiServices&>(consoleUi) : screenUi;
            const TMainContext context{*GlobalLogConvert,
                                       *GlobalProfiles,
                                       *GlobalOptions,
                                       *GlobalReportTxts,
                                       ui,
                                       DisplayFormatFromLocale(QLocale::system())};
            TMainHooks hooks = MakeMainHooks(*GlobalOptions, *GlobalReportTxts, ui, context.Format);
            if (commandLine.NoScreen) hooks = WithoutScreenDialogs(std::move(hooks), ui);
            TfmMain fmMain(context, std::move(hooks), commandLine);
            unattended = fmMain.Unattended();
            screenUi.SetOwner(&fmMain);
            TfmProgress fmProgress;
            fmMain.SetProgressDialog(&fmProgress);
            fmMain.Start();
            result = QApplication::exec();
        }
        if (unattended) EndUnattendedRun(result);
    }
    AppPaths::RemoveTmpDir();
    return result;
}
