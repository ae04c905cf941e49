#include "ui/TreeIcons_u.h"

#include <QFile>
#include <QImageReader>
#include <QString>
#include <optional>

#include "core/AppPaths.h"
#include "ui/DeferredIcon_u.h"

namespace brindle {
namespace {

QIcon IconFile(const QString& name) {
    const QString path = QString::fromStdString(AppPaths::ResourceDir()) + "icons/" + name;
    if (!QFile::exists(path)) return {};
    // A QIcon made from a file decodes it at once, and the report tree names some seventy
    // images of which a run may show none. Views measure rows they never draw: the file's
    // header answers, as a one-image icon would: its size, shrunk to fit.
    return DeferredIcon([path] { return QIcon(path); },
                        [path, imageSize = std::optional<QSize>()](const QSize& wanted) mutable {
                            if (!imageSize) imageSize = QImageReader(path).size();
                            QSize actual = *imageSize;
                            if (actual.width() > wanted.width() || actual.height() > wanted.height())
                                actual.scale(wanted, Qt::KeepAspectRatio);
                            return actual;
                        });
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
