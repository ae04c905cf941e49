#pragma once
// The message boxes the shell shows, behind one interface: the Qt main window implements it,
// tests script it. Every box is owned by the main window and titled kApplicationTitle.
#include <optional>
#include <string>
#include <string_view>

namespace brindle {

inline constexpr std::string_view kApplicationTitle = "Brindle Analyzer";

enum class TQuestionKind {
    Silent,  // question icon, no beep (deleting profiles, locations, filters)
    Beep,  // question icon and beep (clearing the DNS cache)
    Warning,  // warning icon and beep (converting an old document, creating a folder)
    Information,  // information icon, no beep (opening what an export wrote)
};

enum class TAnswer { Yes, No, Cancel };

class TUiServices {
public:
    virtual ~TUiServices() = default;

    // False where no box can be shown (no screen): messages go to standard error instead,
    // and a silent start still leaves its trace there.
    virtual bool ShowsBoxes() const { return true; }

    // Error beep, then an error box.
    virtual void ShowError(const std::string& text) = 0;
    // Exclamation beep, then a warning box.
    virtual void ShowWarning(const std::string& text) = 0;
    // An information box without a beep.
    virtual void ShowInformation(const std::string& text) = 0;
    // Yes and No buttons; true only for Yes (closing the box is No).
    virtual bool AskYesNo(const std::string& text, TQuestionKind kind) = 0;
    // Yes, No and Cancel buttons; closing the box is Cancel. Without buttons of its own a
    // screen-less implementation may answer as AskYesNo does.
    virtual TAnswer AskYesNoCancel(const std::string& text, TQuestionKind kind) {
        return AskYesNo(text, kind) ? TAnswer::Yes : TAnswer::No;
    }

    // File dialogs. Filter is "Description|*.ext|Description|*.ext"; empty when cancelled.
    virtual std::optional<std::string> AskOpenFileName(const std::string& title, const std::string& filter,
                                                       const std::string& initial) = 0;
    virtual std::optional<std::string> AskSaveFileName(const std::string& title, const std::string& filter,
                                                       const std::string& initial) = 0;
    virtual std::optional<std::string> AskFolder(const std::string& title, const std::string& initial) = 0;

    // Opens a file or a web address with the desktop's program for it.
    virtual bool OpenWithDesktop(const std::string& pathOrUrl) = 0;
    // Shows a help topic such as "html/filters.html"; empty shows the contents page.
    virtual void ShowHelpTopic(const std::string& topic) = 0;
};

}  // namespace brindle
