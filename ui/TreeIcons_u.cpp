#include "ui/TreeIcons_u.h"

#include <QFile>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QString>
#include <optional>

#include "core/AppPaths.h"

namespace brindle {
namespace {

// A file icon read when it is first drawn or measured: a QIcon made from a file decodes it at
// once, and the report tree names some seventy images of which a run may show none.
class TLazyFileIconEngine final : public QIconEngine {
public:
    explicit TLazyFileIconEngine(QString path) : path_(std::move(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return Icon().pixmap(size, scale, mode, state);
    }
    // Views ask for sizes while laying out rows they may never draw: the file's header answers,
    // as a one-image icon would: its size, shrunk to fit.
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (icon_) return icon_->actualSize(size, mode, state);
        QSize actual = ImageSize();
        if (actual.width() > size.width() || actual.height() > size.height()) actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    // The file was there when the icon was made; asking must not read it.
    bool isNull() override { return icon_ ? icon_->isNull() : false; }
    QString key() const override { return QStringLiteral("brindle-lazy-file"); }
    QIconEngine* clone() const override { return new TLazyFileIconEngine(*this); }

private:
    QSize ImageSize() {
        if (!imageSize_) imageSize_ = QImageReader(path_).size();
        return *imageSize_;
    }
    const QIcon& Icon() {
        if (!icon_) icon_ = QIcon(path_);
        return *icon_;
    }

    QString path_;
    std::optional<QIcon> icon_;
    std::optional<QSize> imageSize_;
};

QIcon IconFile(const QString& name) {
    const QString path = QString::fromStdString(AppPaths::ResourceDir()) + "icons/" + name;
    return QFile::exists(path) ? QIcon(new TLazyFileIconEngine(path)) : QIcon();
}

}  // namespace

QIcon ReportTreeIcon(int image, bool expanded) {
    const QString base = QStringLiteral("report-%1").arg(image, 2, 10, QLatin1Char('0'));
    if (expanded) {
        // Only folder rows have an open picture.
        QIcon open = IconFile(base + "-open.png");
        if (!open.isNull()) return open;
    }
    return IconFile(base + ".png");
}

QIcon SelectionTreeIcon(TSelectionImage image) {
    switch (image) {
        case TSelectionImage::FolderOpen: return IconFile("folder-open.png");
        case TSelectionImage::Table: return IconFile("leaf-table.png");
        case TSelectionImage::Chart: return IconFile("leaf-chart.png");
        case TSelectionImage::FolderClosed: break;
    }
    return IconFile("folder-closed.png");
}

}  // namespace brindle
