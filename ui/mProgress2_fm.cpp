#include "ui/mProgress2_fm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "core/CommonUtils_u.h"
#include "ui/DeferredIcon_u.h"

namespace brindle {

TfmmProgress2::TfmmProgress2()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lvStep_(new QTreeWidget),
      laInfo_(new QLabel),
      pb_(new QProgressBar),
      laPercent_(new QLabel),
      buCancel_(new QPushButton) {
    setObjectName("fmmProgress2");
    setModal(false);
    auto* paTop = new QWidget(this);
    auto* paBottom = new QWidget(this);
    paTop->setObjectName("paTop");
    paBottom->setObjectName("paBottom");
    lvStep_->setObjectName("lvStep");
    laInfo_->setObjectName("laInfo");
    pb_->setObjectName("pb");
    laPercent_->setObjectName("laPercent");
    buCancel_->setObjectName("buCancel");

    // A section's least size is measured from the font unless set: a set one until shown.
    lvStep_->header()->setMinimumSectionSize(1);
    lvStep_->setColumnCount(2);
    lvStep_->setHeaderHidden(true);
    lvStep_->setRootIsDecorated(false);
    lvStep_->setSelectionMode(QAbstractItemView::NoSelection);
    lvStep_->setFocusPolicy(Qt::NoFocus);
    // Sizing the time column to its contents would measure every row at each new step.
    lvStep_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    lvStep_->setUniformRowHeights(true);
    lvStep_->header()->setStretchLastSection(true);
    pb_->setRange(0, 100);
    pb_->setTextVisible(false);
    laPercent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    laInfo_->setTextFormat(Qt::PlainText);

    // Made when a step is drawn: a run without a screen draws none.
    const auto styleIcon = [](QStyle::StandardPixmap pixmap) {
        return DeferredIcon([pixmap] { return QApplication::style()->standardIcon(pixmap); });
    };
    ilStep_[0] = styleIcon(QStyle::SP_DialogApplyButton);
    ilStep_[1] = styleIcon(QStyle::SP_MessageBoxInformation);
    ilStep_[2] = styleIcon(QStyle::SP_DialogCancelButton);

    auto* bar = new QHBoxLayout;
    bar->addWidget(pb_, 1);
    bar->addWidget(laPercent_);
    auto* top = new QVBoxLayout(paTop);
    top->addWidget(lvStep_, 1);
    top->addWidget(laInfo_);
    top->addLayout(bar);
    auto* bottom = new QHBoxLayout(paBottom);
    bottom->addStretch();
    bottom->addWidget(buCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paTop, 1);
    layout->addWidget(paBottom);
    resize(460, 320);

    connect(buCancel_, &QPushButton::clicked, this, &TfmmProgress2::buCancelClick);
    Reset();
}

void TfmmProgress2::AddStep(int image, const std::string& text, TSeconds time) {
    // Filled before it joins the list: each change to a listed row has the view measure it.
    auto* item = new QTreeWidgetItem;
    if (time != 0) item->setText(0, QString::fromStdString(FormatTimeText(time, Format)));
    item->setText(1, QString::fromStdString(text));
    if (image >= 0 && image < kStepImageCount) item->setIcon(0, ilStep_[image]);
    lvStep_->addTopLevelItem(item);
    // Measuring and scrolling lay out every row: a hidden window (a run without a screen,
    // one step per log file) does both once, when it is shown.
    if (!isVisible()) return;
    FitTimeColumn();
    lvStep_->scrollToItem(item);
}

void TfmmProgress2::FitTimeColumn() {
    const int count = lvStep_->topLevelItemCount();
    if (unfittedFrom_ >= count) return;
    const int icon = lvStep_->iconSize().isValid() ? lvStep_->iconSize().width()
                                                   : lvStep_->style()->pixelMetric(QStyle::PM_SmallIconSize);
    int widest = lvStep_->columnWidth(0);
    for (int i = unfittedFrom_; i < count; ++i)
        widest =
            std::max(widest, icon + lvStep_->fontMetrics().horizontalAdvance(lvStep_->topLevelItem(i)->text(0)) + 16);
    if (widest > lvStep_->columnWidth(0)) lvStep_->setColumnWidth(0, widest);
    unfittedFrom_ = count;
}

void TfmmProgress2::setVisible(bool visible) {
    if (visible) {
        if (!measured_) {
            measured_ = true;
            lvStep_->header()->setMinimumSectionSize(-1);
            laPercent_->setMinimumWidth(laPercent_->fontMetrics().horizontalAdvance("100 %") + 4);
        }
        FitTimeColumn();
    }
    QDialog::setVisible(visible);
}

void TfmmProgress2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const int count = lvStep_->topLevelItemCount(); count > 0)
        lvStep_->scrollToItem(lvStep_->topLevelItem(count - 1));
}

void TfmmProgress2::Reset() {
    posted_.reset();
    pace_.Restart();
    SetInfo({});
    SetPosition(0);
    lvStep_->clear();
    unfittedFrom_ = 0;
}

void TfmmProgress2::PostProgress(int position, const std::string& text) { posted_ = TPosted{position, text}; }

bool TfmmProgress2::CatchUp() {
    if (!pace_.Due()) return false;
    if (posted_) {
        SetInfo(posted_->Text);
        SetPosition(posted_->Position);
        posted_.reset();
    }
    return true;
}

void TfmmProgress2::SetTransientOwner(QWidget* owner) {
    if (!owner) return;
    // Both need their native windows before one can be the other's transient parent.
    owner->window()->winId();
    winId();
    if (QWindow* handle = windowHandle()) handle->setTransientParent(owner->window()->windowHandle());
}

void TfmmProgress2::SetInfo(const std::string& text) { laInfo_->setText(QString::fromStdString(text)); }

void TfmmProgress2::SetPosition(int position) {
    const int n = std::clamp(position, 0, 100);
    pb_->setValue(n);
    laPercent_->setText(QString::number(n) + " %");
}

void TfmmProgress2::buCancelClick() {
    if (OnCancel)
        OnCancel();
    else
        close();
}

void TfmmProgress2::reject() {
    if (OnCancel)
        OnCancel();
    else
        QDialog::reject();
}

void TfmmProgress2::closeEvent(QCloseEvent* event) {
    if (OnCancel) {
        OnCancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace brindle
