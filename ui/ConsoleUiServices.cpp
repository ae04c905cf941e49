#include "ui/ConsoleUiServices.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

#include "core/Registre_u.h"

namespace brindle {

namespace {

constexpr const char* kConfirmDNSQuestion =
    "DNS lookup for the profile to be analyzed is enabled. Please note\r\nthat it can slow down the analysis and "
    "you should be connected to\r\nInternet during the analyzing.\r\n\r\nDo you wish to continue ?";
constexpr const char* kConfirmWordQuestion =
    "If your macro security level for MS Word is set to \"High\" the macro\r\nneeded to complete the report may "
    "not run properly. Verify your macro\r\nsecurity level before proceeding. For help with macro security "
    "settings\r\nplease consult MS Word's help.\r\n\r\nProceed with the report creation?";

void FilterPlatformWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) return;
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace

void QuietNoScreenPlatformWarnings() { qInstallMessageHandler(&FilterPlatformWarnings); }

bool IsNoScreenPlatform(const QString& platformName) {
    return platformName == QLatin1String("offscreen") || platformName == QLatin1String("minimal");
}

void TConsoleUiServices::Print(const char* kind, const std::string& text) {
    std::string line = kind;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '\r' || c == '\n') {
            // "\r\n" is one line end.
            if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
            out_ << line << '\n';
            line.clear();
        } else {
            line += c;
        }
    }
    out_ << line << '\n';
    out_.flush();
}

void TConsoleUiServices::ShowError(const std::string& text) { Print("Error: ", text); }

void TConsoleUiServices::ShowWarning(const std::string& text) { Print("Warning: ", text); }

void TConsoleUiServices::ShowInformation(const std::string& text) { Print("", text); }

bool TConsoleUiServices::AskYesNo(const std::string& text, TQuestionKind kind) {
    const bool yes = kind == TQuestionKind::Warning;
    Print("Question: ", text);
    Print("", yes ? "Answered Yes (no screen to ask on)." : "Answered No (no screen to ask on).");
    return yes;
}

std::optional<std::string> TConsoleUiServices::AskOpenFileName(const std::string&, const std::string&,
                                                               const std::string&) {
    return std::nullopt;
}

std::optional<std::string> TConsoleUiServices::AskSaveFileName(const std::string&, const std::string&,
                                                               const std::string&) {
    return std::nullopt;
}

std::optional<std::string> TConsoleUiServices::AskFolder(const std::string&, const std::string&) {
    return std::nullopt;
}

bool TConsoleUiServices::OpenWithDesktop(const std::string&) { return false; }

void TConsoleUiServices::ShowHelpTopic(const std::string&) {}

TMainHooks WithoutScreenDialogs(TMainHooks hooks, TUiServices& ui) {
    hooks.StartUpTips = nullptr;
    hooks.ConfirmDNS = [&ui](bool& dontShowAgain, QWidget*) {
        dontShowAgain = false;
        return ui.AskYesNo(kConfirmDNSQuestion, TQuestionKind::Warning);
    };
    hooks.ConfirmWord = [&ui](TRegData& regData, bool silent, QWidget*) {
        if (!regData.WordExport || silent) return true;
        return ui.AskYesNo(kConfirmWordQuestion, TQuestionKind::Warning);
    };
    return hooks;
}

}  // namespace brindle
