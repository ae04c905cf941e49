#include "ui/TreeIcons_u.h"

#include <QFile>
#include <QString>

#include "core/AppPaths.h"

namespace brindle {
namespace {

QIcon IconFile(const QString& name) {
    const QString path = QString::fromStdString(AppPaths::ResourceDir()) + "icons/" + name;
    return QFile::exists(path) ? QIcon(path) : QIcon();
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
