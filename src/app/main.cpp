#include "app/Dialogs.h"
#include "app/frmTranslate.h"
#include "platform/AnsiCodePage.h"
#include "settings/SettingsFilePath.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Lets the desktop (Wayland in particular) match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorvel.Quorvel"));

    if (!platform::AnsiCodePageAvailable()) {
        std::fputs("quorvel: the converter for code page 936 is missing (Qt without ICU?); "
                   "the settings file cannot be read.\n",
                   stderr);
        return 1;
    }

    // Every text a person sees is Chinese, Qt's own dialog buttons and menus included.
    QTranslator qtTranslations;
    if (qtTranslations.load(QStringLiteral("qtbase_zh_CN"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    QtDialogs dialogs;
    frmTranslate window(dialogs, [] { return SettingsFilePath(); });
    dialogs.setParent(&window);
    window.Form_Load();
    return QApplication::exec();
}
