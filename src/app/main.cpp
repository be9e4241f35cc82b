#include "app/ChineseQtTexts.h"
#include "app/Dialogs.h"
#include "app/frmTranslate.h"
#include "platform/AnsiCodePage.h"
#include "settings/SettingsFilePath.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

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
    window.Form_Load();
    return QApplication::exec();
}
