#pragma once
// The base of the tip-of-the-day dialog: a picture, a title, the tip text, the start-up
// switch and the Next and Close buttons. The owner supplies the next tip's text.
#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

namespace brindle {

class TfmmTips : public QDialog {
    Q_OBJECT
public:
    explicit TfmmTips(QWidget* parent = nullptr);

    // Asked by "Next" for the text of the next tip.
    std::function<std::string()> OnNextTip;

    // Shows Text with the switch set from ShowAtStartup, runs the dialog and gives the
    // switch's final state back in ShowAtStartup, whichever way the dialog was closed.
    int Execute(const std::string& text, bool& showAtStartup);
    // Execute's first step without running the dialog.
    void Prepare(const std::string& text, bool showAtStartup);
    bool ShowAtStartup() const;
    void NextTip();

protected:
    QLabel* imTips() const { return imTips_; }
    QLabel* laTipsTitle() const { return laTipsTitle_; }
    QLabel* laTipsInfo() const { return laTipsInfo_; }
    QCheckBox* cbShowStartup() const { return cbShowStartup_; }
    QPushButton* buNext() const { return buNext_; }
    QPushButton* buClose() const { return buClose_; }

private:
    QLabel* imTips_;
    QLabel* laTipsTitle_;
    QLabel* laTipsInfo_;
    QCheckBox* cbShowStartup_;
    QPushButton* buNext_;
    QPushButton* buClose_;
};

}  // namespace brindle
