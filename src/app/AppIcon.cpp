#include "app/AppIcon.h"

#include <QImageReader>
#include <QPixmap>

// The images live in a static library, so its resources are registered by hand; the macro
// must be used outside any namespace.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace app {

QIcon AppIcon() {
    InitIconResources();
    QIcon icon;
    for (const char* image : {":/icons/quorvel-16.png", ":/icons/quorvel-32.png"}) {
        // Read as PNG outright: probing the files' format would load every image plugin.
        QImageReader reader(QString::fromLatin1(image), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace app
