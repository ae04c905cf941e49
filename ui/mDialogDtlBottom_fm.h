#pragma once
// The base of the small modal dialogs: a client panel on top and OK/Cancel at the bottom.
#include <QDialog>

class QPushButton;
class QWidget;

namespace brindle {

class TfmmDialogDtlBottom : public QDialog {
    Q_OBJECT
public:
    explicit TfmmDialogDtlBottom(QWidget* parent = nullptr);

    QWidget* paTop() const { return paTop_; }
    QWidget* paBottom() const { return paBottom_; }
    QPushButton* buOK() const { return buOK_; }
    QPushButton* buCancel() const { return buCancel_; }

protected:
    // Called when OK is pressed; returning false keeps the dialog open.
    virtual bool Validate() { return true; }

private:
    void OnOK();

    QWidget* paTop_;
    QWidget* paBottom_;
    QPushButton* buOK_;
    QPushButton* buCancel_;
};

}  // namespace brindle
