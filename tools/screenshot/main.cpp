// Renders the real Quorvel window, with a sample translation in it, into a PNG for the README.
// Usage: quorvel-screenshot OUTPUT.png   (runs on Qt's offscreen platform)

#include "app/Dialogs.h"
#include "app/frmTranslate.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: quorvel-screenshot OUTPUT.png\n", stderr);
        return 2;
    }
    QTemporaryDir settingsFolder;
    app::QtDialogs dialogs;
    frmTranslate window(dialogs, settingsFolder.filePath("quorvel.ini"));
    window.Form_Load();
    window.findChild<QPlainTextEdit*>("Text1")->setPlainText(
        "Good morning\nThank you\nHello world");
    window.findChild<QPlainTextEdit*>("Text2")->setPlainText("早上好\n谢谢\n你好，世界");
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
