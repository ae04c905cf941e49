#pragma once
// The desktop's message boxes, beeps, file dialogs and browser behind TUiServices.
#include <QPointer>
#include <QWidget>

class QFileDialog;

#include "ui/UiServices.h"

namespace brindle {

class TQtUiServices : public TUiServices {
public:
    // Boxes are owned by Owner (the main window) when it is set.
    explicit TQtUiServices(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    bool AskYesNo(const std::string& text, TQuestionKind kind) override;
    TAnswer AskYesNoCancel(const std::string& text, TQuestionKind kind) override;
    std::optional<std::string> AskOpenFileName(const std::string& title, const std::string& filter,
                                               const std::string& initial) override;
    std::optional<std::string> AskSaveFileName(const std::string& title, const std::string& filter,
                                               const std::string& initial) override;
    std::optional<std::string> AskFolder(const std::string& title, const std::string& initial) override;
    bool OpenWithDesktop(const std::string& pathOrUrl) override;
    void ShowHelpTopic(const std::string& topic) override;

    // "Text (*.a)|*.a|All (*.*)|*.*" as Qt's "Text (*.a);;All (*)": the real patterns in the
    // trailing parentheses, the only place Qt reads them.
    static QString ToQtFilter(const std::string& filter);
    // Sizes a file dialog so that its Size, Type and Date columns show whole.
    static void FitFileDialog(QFileDialog& dialog);

private:
    QWidget* Owner() const;
    // Shows a question with the kind's icon and beep; returns the button pressed.
    int Ask(const std::string& text, TQuestionKind kind, int buttons);
    std::optional<std::string> RunFileDialog(QFileDialog& dialog);
    QPointer<QWidget> owner_;
};

}  // namespace brindle
