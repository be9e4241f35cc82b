// A translation through the window's "开始翻译" command against the in-process stand-in service,
// next to a bare libcurl POST of the same body to the same service, measured side by side.
// Usage: bench_window_translate [REPETITIONS]
#include "BarePost.h"
#include "app/Dialogs.h"
#include "app/frmTranslate.h"
#include "client/modQuorvel.h"
#include "credentials/modStrHexByte.h"
#include "standin/StandInService.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 1000;

    const QString appId = QStringLiteral("20260101000000001");
    const QString key = QStringLiteral("QuorvelDemoKey01");
    const QString source = QStringLiteral("hello world\napple");
    standin::ServiceOptions serviceOptions;
    serviceOptions.accounts = {{appId.toStdString(), key.toStdString()}};
    standin::StandInService service(serviceOptions);
    service.start();

    QTemporaryDir folder;
    const QString settingsPath = folder.filePath(QStringLiteral("quorvel.ini"));
    QFile settings(settingsPath);
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write("[Service]\r\nHttpEndpoint=" + QByteArray::fromStdString(service.endpoint()) +
                   "\r\n[BaiDuKeyInfo]\r\nAppID=" + appId.toLatin1() + "\r\nSecret_Key_Encode=" +
                   modStrHexByte::EncodeSecretKey(appId, key).toLatin1() + "\r\n");
    settings.close();

    app::QtDialogs dialogs; // never shown: the text is short and the credentials are set
    frmTranslate window(dialogs, settingsPath);
    window.Form_Load();
    window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->setPlainText(source);
    auto* command1 = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* text2 = window.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));

    // The window sends the source with CR LF line breaks.
    const QString sent = QString(source).replace(u'\n', QStringLiteral("\r\n"));
    const QString salt = modQuorvel::MakeSalt();
    const QByteArray body =
        modQuorvel::ComposeBody(sent, QStringLiteral("auto"), QStringLiteral("zh"), appId, salt,
                                modQuorvel::MakeSign(appId, sent, salt, key));

    // The request runs off the user-interface thread: done when the command is back.
    const auto viaWindow = [&] {
        command1->click();
        while (!command1->isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    const auto bare = [&] {
        BarePost(service.endpoint(), body);
    };
    const BenchFigures figures =
        SideBySide(viaWindow, bare, repetitions, [&] { service.clearRequests(); });
    if (!text2->toPlainText().contains(QStringLiteral("苹果"))) {
        std::fprintf(stderr, "unexpected result: %s\n", qPrintable(text2->toPlainText()));
        return 1;
    }
    std::printf("a translation through the window's command, %d repetitions each\n", repetitions);
    std::printf("  Command1_Click       median %8.1f us\n", figures.first);
    std::printf("  bare libcurl POST    median %8.1f us\n", figures.second);
    std::printf("  ratio                       %8.3f  (target <= 1.10)\n",
                figures.first / figures.second);
    return 0;
}
