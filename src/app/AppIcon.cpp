#include "app/AppIcon.h"

QIcon AppIcon() {
    // The images live in a static library, so its resources are registered by hand.
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/quorvel-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/quorvel-32.png"), QSize(32, 32));
    return icon;
}
