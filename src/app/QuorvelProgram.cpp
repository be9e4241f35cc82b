#include "app/QuorvelProgram.h"

#include "app/ChineseQtTexts.h"
#include "app/Dialogs.h"
#include "app/frmTranslate.h"
#include "platform/AnsiCodePage.h"
#include "settings/SettingsFilePath.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int RunQuorvel(int argc, char* argv[], const std::function<void(QWidget&)>& beforeLoad) {
    QApplication app(argc, argv);
    // Lets desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorvel.Quorvel"));

    if (!platform::AnsiCodePageAvailable()) {
        std::fputs("quorvel: the converter for code page 936 is missing (Qt without ICU?); "
                   "the settings file cannot be read.\n",
                   stderr);
        return 1;
    }
    if (!InstallChineseQtTexts())
        std::fputs("quorvel: Qt's Chinese translations (qt6-translations-l10n) are missing; "
                   "dialog buttons will not be in Chinese.\n",
                   stderr);

    QtDialogs dialogs;
    frmTranslate window(dialogs, [] { return SettingsFilePath(); });
    dialogs.setParent(&window);
    if (beforeLoad)
        beforeLoad(window);
    window.Form_Load();
    return QApplication::exec();
}

void EndProgram() {
    std::fflush(nullptr);
    std::_Exit(0);
}
