#pragma once
// A TUiServices for tests: records every message and answers from a script.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/UiServices.h"

namespace brindle::test {

class TScriptedUi : public TUiServices {
public:
    std::vector<std::string> Errors;
    std::vector<std::string> Warnings;
    std::vector<std::string> Informations;
    std::vector<std::string> Questions;
    // Beside each question: its kind, and whether it offered Cancel too.
    std::vector<TQuestionKind> QuestionKinds;
    std::vector<bool> QuestionsWithCancel;
    // Called as each question is asked, before it is answered.
    std::function<void(const std::string&)> WhenAsked;
    // Every file or folder question, as asked.
    struct TFileRequest {
        std::string Title;
        std::string Filter;
        std::string Initial;
    };
    std::vector<TFileRequest> FileRequests;
    std::vector<std::string> Opened;
    std::vector<std::string> HelpTopics;

    // Answers handed out in order; when empty, questions answer No and dialogs are cancelled.
    std::deque<bool> YesNoAnswers;
    std::deque<std::optional<std::string>> FileAnswers;

    void ShowError(const std::string& text) override { Errors.push_back(text); }
    void ShowWarning(const std::string& text) override { Warnings.push_back(text); }
    void ShowInformation(const std::string& text) override { Informations.push_back(text); }
    bool AskYesNo(const std::string& text, TQuestionKind kind) override { return Ask(text, kind, false); }
    // Yes or No from the script; Cancel when it has run out.
    TAnswer AskYesNoCancel(const std::string& text, TQuestionKind kind) override {
        const bool scripted = !YesNoAnswers.empty();
        const bool yes = Ask(text, kind, true);
        return yes ? TAnswer::Yes : scripted ? TAnswer::No : TAnswer::Cancel;
    }
    std::optional<std::string> AskOpenFileName(const std::string& title, const std::string& filter,
                                               const std::string& initial) override {
        FileRequests.push_back({title, filter, initial});
        return NextFile();
    }
    std::optional<std::string> AskSaveFileName(const std::string& title, const std::string& filter,
                                               const std::string& initial) override {
        FileRequests.push_back({title, filter, initial});
        return NextFile();
    }
    std::optional<std::string> AskFolder(const std::string& title, const std::string& initial) override {
        FileRequests.push_back({title, {}, initial});
        return NextFile();
    }
    bool OpenWithDesktop(const std::string& pathOrUrl) override {
        Opened.push_back(pathOrUrl);
        return true;
    }
    void ShowHelpTopic(const std::string& topic) override { HelpTopics.push_back(topic); }

private:
    bool Ask(const std::string& text, TQuestionKind kind, bool withCancel) {
        Questions.push_back(text);
        QuestionKinds.push_back(kind);
        QuestionsWithCancel.push_back(withCancel);
        if (WhenAsked) WhenAsked(text);
        if (YesNoAnswers.empty()) return false;
        const bool answer = YesNoAnswers.front();
        YesNoAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> NextFile() {
        if (FileAnswers.empty()) return std::nullopt;
        auto answer = FileAnswers.front();
        FileAnswers.pop_front();
        return answer;
    }
};

}  // namespace brindle::test
