#include "app/QuorvelProgram.h"

#include "app/ChineseQtTexts.h"
#include "app/Dialogs.h"
#include "app/SingleWindow.h"
#include "app/StartText.h"
#include "app/WindowTexts.h"
#include "app/frmTranslate.h"
#include "frontend/UserTexts.h"
#include "platform/AnsiCodePage.h"
#include "settings/SettingsFilePath.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace app {

int RunQuorvel(int argc, char* argv[], const std::function<void(QWidget&)>& beforeLoad) {
    QApplication app(argc, argv);
    // Lets desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorvel.Quorvel"));

    if (!platform::AnsiCodePageAvailable()) {
        std::fputs((kProgramPrefix + frontend::kNoCodePage + "\n").toUtf8().constData(), stderr);
        return 1;
    }
    if (!InstallChineseQtTexts())
        std::fputs((kProgramPrefix + kNoQtTranslations + "\n").toUtf8().constData(), stderr);

    // Decided once: every handler then reads and writes the same file.
    const QString settingsFilePath = settings::SettingsFilePath();
    const QString text = StartText(QApplication::arguments().mid(1));
    SingleWindow single(settingsFilePath);
    if (single.handOver(text))
        return 0;

    QtDialogs dialogs;
    frmTranslate window(dialogs, settingsFilePath);
    dialogs.setParent(&window);
    if (beforeLoad)
        beforeLoad(window);
    window.Form_Load();
    single.serve([&window](const QString& handed) {
        if (handed.isEmpty())
            window.BringToFront();
        else
            window.TranslateGiven(handed);
    });
    if (!text.isEmpty())
        window.TranslateGiven(text);
    return QApplication::exec();
}

void EndProgram() {
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace app
