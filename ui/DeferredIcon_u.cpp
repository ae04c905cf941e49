#include "ui/DeferredIcon_u.h"

#include <QIconEngine>
#include <QPainter>
#include <optional>

namespace brindle {
namespace {

class TDeferredIconEngine final : public QIconEngine {
public:
    TDeferredIconEngine(std::function<QIcon()> make, TIconSizeOf sizeOf)
        : make_(std::move(make)), sizeOf_(std::move(sizeOf)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return Icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (!icon_ && sizeOf_) return sizeOf_(size);
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    // Asking must not make it.
    bool isNull() override { return icon_ ? icon_->isNull() : false; }
    QString key() const override { return QStringLiteral("brindle-deferred"); }
    QIconEngine* clone() const override { return new TDeferredIconEngine(*this); }

private:
    const QIcon& Icon() {
        if (!icon_) icon_ = make_();
        return *icon_;
    }

    std::function<QIcon()> make_;
    TIconSizeOf sizeOf_;
    std::optional<QIcon> icon_;
};

}  // namespace

QIcon DeferredIcon(std::function<QIcon()> make) { return DeferredIcon(std::move(make), {}); }

QIcon DeferredIcon(std::function<QIcon()> make, TIconSizeOf sizeOf) {
    return QIcon(new TDeferredIconEngine(std::move(make), std::move(sizeOf)));
}

}  // namespace brindle
