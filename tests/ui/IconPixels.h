#pragma once
// The pixels an icon shows at tree size: compares pictures, not cache keys (two files may
// hold the same picture). Empty for a null icon.
#include <QByteArray>
#include <QIcon>
#include <QImage>

namespace brindle::test {

inline QByteArray IconPixels(const QIcon& icon) {
    if (icon.isNull()) return {};
    const QImage image = icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), static_cast<int>(image.sizeInBytes()));
}

}  // namespace brindle::test
