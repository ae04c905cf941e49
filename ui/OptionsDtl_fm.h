#pragma once
// The entry dialogs of the options lists: one record each. Nothing is checked; empty texts
// are stored as typed. The record changes only on OK.
#include <string_view>

#include "core/Options_u.h"
#include "ui/mDialogDtlBottom_fm.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace brindle {

// A dialog of labelled fields on the base dialog's top panel.
class TfmOptionsDtl : public TfmmDialogDtlBottom {
    Q_OBJECT
protected:
    TfmOptionsDtl(std::string_view title, QWidget* parent);
    QLineEdit* AddEdit(std::string_view label, const char* name);
    QComboBox* AddCombo(std::string_view label, const char* name);

private:
    QFormLayout* form_;
};

// Operating systems, browsers and spiders: a match text and a name.
class TfmUATypeDtl : public TfmOptionsDtl {
    Q_OBJECT
public:
    int Execute(TRecUAType& rec);
    void LoadRecord(const TRecUAType& rec);
    void SaveRecord(TRecUAType& rec) const;

protected:
    TfmUATypeDtl(std::string_view title, std::string_view nameLabel, QWidget* parent);

private:
    QLineEdit* edID_;
    QLineEdit* edName_;
};

class TfmOSDtl : public TfmUATypeDtl {
    Q_OBJECT
public:
    explicit TfmOSDtl(QWidget* parent = nullptr);
};

class TfmBrowserDtl : public TfmUATypeDtl {
    Q_OBJECT
public:
    explicit TfmBrowserDtl(QWidget* parent = nullptr);
};

class TfmSpiderDtl : public TfmUATypeDtl {
    Q_OBJECT
public:
    explicit TfmSpiderDtl(QWidget* parent = nullptr);
};

class TfmSEDtl : public TfmOptionsDtl {
    Q_OBJECT
public:
    explicit TfmSEDtl(QWidget* parent = nullptr);
    int Execute(TRecSEType& rec);
    void LoadRecord(const TRecSEType& rec);
    void SaveRecord(TRecSEType& rec) const;

private:
    QLineEdit* edID_;
    QLineEdit* edQuery1_;
    QLineEdit* edQuery2_;
    QLineEdit* edQuery3_;
    QLineEdit* edName_;
};

class TfmFileExtDtl : public TfmOptionsDtl {
    Q_OBJECT
public:
    explicit TfmFileExtDtl(QWidget* parent = nullptr);
    int Execute(TRecFileExt& rec);
    // The kind's name is chosen; none for kind 0. Storing gives 0 when none is chosen.
    void LoadRecord(const TRecFileExt& rec);
    void SaveRecord(TRecFileExt& rec) const;

private:
    QLineEdit* edExt_;
    QComboBox* cbFileType_;
};

}  // namespace brindle
