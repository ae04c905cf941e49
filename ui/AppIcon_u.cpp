#include "ui/AppIcon_u.h"

#include <QFile>

#include "core/AppPaths.h"
#include "ui/DeferredIcon_u.h"

namespace brindle {

QIcon ProgramIcon() {
    return DeferredIcon([] {
        static constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
        const QString folder = QString::fromStdString(AppPaths::ResourceDir()) + "icons/app/";
        QIcon icon;
        for (const int size : kSizes) {
            const QString path = folder + QStringLiteral("brindle-analyzer-%1.png").arg(size);
            if (QFile::exists(path)) icon.addFile(path, QSize(size, size));
        }
        return icon;
    });
}

}  // namespace brindle
