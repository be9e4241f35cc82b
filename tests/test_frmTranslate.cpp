#include "app/SingleWindow.h"
#include "app/StartText.h"
#include "app/TextBoxes.h"
#include "support/WindowFixture.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstring>

#include <csignal>
#include <unistd.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <sys/stat.h>

using standin::Fault;
using testsupport::FormField;
using testsupport::kAppId;
using testsupport::kKey;

// The stored form of kKey under kAppId, worked out with md5sum (see WindowFixture.h).
const QByteArray kStoredKey = "94DFCB2D49B47122CA851B7353700857";

using StartUp = WindowFixture;

TEST_F(StartUp, OnlyATrueHttpsTicksTheBoxAndEveryChangeIsWritten) {
    openWindow(); // without a settings file: nothing loaded, nothing created
    EXPECT_FALSE(check1()->isChecked());
    EXPECT_FALSE(QFile::exists(iniPath()));
    // -1 and "yes" are no TRUE; a ticked box is written back as TRUE, an unticked one not at all.
    const struct {
        const char* line;
        bool ticked;
    } cases[] = {{"Https=TRUE", true}, {"Https= true ", true}, {"Https=True", true},
                 {"Https=1", true},    {"Https=FALSE", false}, {"Https=0", false},
                 {"Https=yes", false}, {"Https=-1", false},    {"Https=", false},
                 {"X=1", false}};
    for (const auto& c : cases) {
        const QByteArray before = "[Settings]\r\n" + QByteArray(c.line) + "\r\n";
        writeSettings(before);
        openWindow();
        EXPECT_EQ(check1()->isChecked(), c.ticked) << c.line;
        EXPECT_EQ(settingsBytes(), c.ticked ? "[Settings]\r\nHttps=TRUE\r\n" : before) << c.line;
    }
    check1()->click();
    EXPECT_EQ(settingsBytes(), "[Settings]\r\nX=1\r\nHttps=TRUE\r\n");
    check1()->click();
    EXPECT_EQ(settingsBytes(), "[Settings]\r\nX=1\r\nHttps=FALSE\r\n");
}

TEST_F(StartUp, CredentialsAndTheFontSizeAreLoadedOnlyWhenBothCredentialsAreThere) {
    const QByteArray appId = "AppID=" + kAppId.toLatin1() + "\r\n";
    const QByteArray key = "Secret_Key_Encode=" + kStoredKey + "\r\n";
    const struct {
        QByteArray credentials;
        const char* fontSize;
        double shown; // 0: the design size
    } cases[] = {
        {appId + key, "12", 12},
        {appId + key, "abc", 0},
        {appId + key, "5", 0},
        {appId + key, "73", 0},
        {appId, "20", 0},
        {appId + "Secret_Key_Encode=\r\n", "20", 0},
        {"AppID=   \r\n" + key, "20", 0},
        {"AppID=unknown value\r\n" + key, "20", 0},
    };
    for (const auto& c : cases) {
        writeSettings("[BaiDuKeyInfo]\r\n" + c.credentials + "[Font]\r\nFontSize=" + c.fontSize);
        const double designSize = openWindow().font().pointSizeF();
        const bool loaded = c.credentials == appId + key;
        EXPECT_EQ(window().credentials().strAppID, loaded ? kAppId : QString())
            << c.credentials.data();
        EXPECT_EQ(window().credentials().strSecretKey, loaded ? kKey : QString());
        EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), c.shown ? c.shown : designSize);
        EXPECT_DOUBLE_EQ(text2()->font().pointSizeF(), c.shown ? c.shown : designSize);
    }
}

using Layout = WindowFixture;

TEST_F(Layout, ControlsStandWhereTheyWereDesigned) {
    frmTranslate& form = openWindow();
    EXPECT_EQ(form.windowTitle(), "自动翻译工具V1.0.0.1");
    EXPECT_EQ(form.size(), QSize(732, 563));
    // Centred on its screen, the offscreen platform's 800 x 800: as far from the left edge as
    // from the right, and from the top as from the bottom, to a pixel.
    ASSERT_EQ(form.screen()->availableGeometry(), QRect(0, 0, 800, 800));
    const QRect frame = form.frameGeometry();
    EXPECT_LE(std::abs(frame.left() - (799 - frame.right())), 1) << frame.left();
    EXPECT_LE(std::abs(frame.top() - (799 - frame.bottom())), 1) << frame.top();
    EXPECT_EQ(text2()->pos(), QPoint(8, 312));
    EXPECT_EQ(combo("Combo1")->currentText(), "Auto");
    EXPECT_EQ(combo("Combo2")->currentText(), "zh");
    ASSERT_EQ(combo("Combo1")->count(), 21);
    EXPECT_EQ(combo("Combo1")->itemText(17), "fin");
    EXPECT_EQ(combo("Combo2")->itemText(17), "fin");
    EXPECT_EQ(combo("Combo1")->itemText(20), "hu");

    // Tab walks the tab order round from the source box and Shift+Tab back; the text boxes pass
    // both on without taking a tab.
    focus("Text1");
    QStringList order;
    for (int i = 0; i < 22; ++i) {
        press(i < 11 ? Qt::Key_Tab : Qt::Key_Backtab, i < 11 ? Qt::NoModifier : Qt::ShiftModifier);
        order << focused();
    }
    EXPECT_EQ(order.join(' '), "Command1 Combo1 Combo2 Command3 Command6 Command4 Command5 Text2 "
                               "Command2 Check1 Text1 Check1 Command2 Text2 Command5 Command4 "
                               "Command6 Command3 Combo2 Combo1 Command1 Text1");
    EXPECT_EQ(text1()->toPlainText(), "原文");
    EXPECT_EQ(text2()->toPlainText(), "译文");
}

TEST_F(Layout, TextBoxesFollowTheWindowFromTheBaseline) {
    frmTranslate& form = openWindow();
    form.resize(732 + 100, 563 + 60); // +1500 x +900 twips
    EXPECT_EQ(text1()->size(), QSize(813, 249));
    EXPECT_EQ(text2()->size(), QSize(813, 301));
    EXPECT_EQ(control<QPushButton>("Command2")->pos(), QPoint(672, 264));
    // Text2 would be 100 twips high or less, or the window too narrow: nothing changes.
    for (const QSize& tooSmall : {QSize(732 + 20, 563 - 235), QSize(732 - 707, 563)}) {
        form.resize(tooSmall);
        EXPECT_EQ(text1()->size(), QSize(813, 249));
        EXPECT_EQ(text2()->size(), QSize(813, 301));
    }
    form.resize(732, 563);
    EXPECT_EQ(text1()->size(), QSize(713, 249));
    EXPECT_EQ(text2()->size(), QSize(713, 241));
}

using FontSize = WindowFixture;

TEST_F(FontSize, EveryClickIsStoredAndSizesBeyondSixToSeventyTwoAreRefused) {
    // "+" then "-" returns to the size; a refused size leaves the boxes, and so the file, as they
    // were.
    for (const auto& [stored, buttons, shown, written] :
         {std::tuple("10", "Command5", 11.0, "11"),
          std::tuple("10", "Command5 Command4", 10.0, "10"),
          std::tuple("6.5", "Command4", 6.5, "6.5"), std::tuple("72", "Command5", 72.0, "72")}) {
        writeSettings(credentialSettings() + "[Font]\r\nFontSize=" + stored);
        openWindow();
        for (const QByteArray& button : QByteArray(buttons).split(' '))
            click(button.constData());
        EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), shown) << stored << buttons;
        EXPECT_DOUBLE_EQ(text2()->font().pointSizeF(), shown) << stored << buttons;
        EXPECT_EQ(setting("Font", "FontSize"), written);
    }
}

using Help = WindowFixture;

TEST_F(Help, ShowsTheUsageNotesWithTheCodeTable) {
    openWindow();
    click("Command6");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const auto& box = dialogs.shown.front();
    EXPECT_EQ(box.style, 64);
    EXPECT_EQ(box.title, "使用说明：");
    const QStringList lines = box.prompt.split(QStringLiteral("\r\n"));
    QList<qsizetype> lengths;
    for (const QString& line : lines)
        lengths << line.size();
    // The code table's rows are lined up with blanks.
    EXPECT_EQ(lengths,
              QList<qsizetype>({87, 0, 11, 34, 52, 52, 52, 49, 51, 48, 50, 46, 29, 0, 25}));
    ASSERT_EQ(lines.size(), 15);
    for (const auto& [i, line] :
         {std::pair(0,
                    "本程序使用百度通用翻译API完成翻译任务，使用前需前往http://api.fanyi.baidu.com/"
                    "注册成为开发者，获得APPID和对应密钥，并填入本程序后方能使用！"),
          std::pair(2, "常见语种语言代号如下："),
          std::pair(6, "泰语    th          阿拉伯语     ara         俄语        ru "),
          std::pair(14, "其它语种（完整语种列表目前共211种）见相应网站。")})
        EXPECT_EQ(lines[i], QString::fromUtf8(line));
}

// ---- Translation and credential setup against local stand-ins of the service ----

using Translate = ServiceWindowFixture;

TEST_F(Translate, AMultiLineTextComesBackOneParagraphPerLine) {
    openWithCredentials();
    EXPECT_EQ(translate("hello\nworld"), "你好\n世界");
    ASSERT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(FormField(service.requests()[0].body, "q"), "hello\r\nworld");
    EXPECT_TRUE(dialogs.shown.empty());

    // Pasted: a no-break space, a line separator, an ideographic space and a tab go as they are;
    // only the paragraph break becomes CR LF.
    QApplication::clipboard()->setText(QStringLiteral("a\u00A0b\u2028c\u3000d\te\nf"));
    focus("Text1");
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_V, Qt::ControlModifier);
    click("Command1");
    ASSERT_TRUE(translationEnded());
    ASSERT_EQ(service.requests().size(), 2u);
    EXPECT_TRUE(
        service.requests()[1].body.starts_with("q=a%C2%A0b%E2%80%A8c%E3%80%80d\te\r\nf&appid="))
        << service.requests()[1].body;
    // The window keeps its connection: the second translation paid no new handshake.
    EXPECT_EQ(service.connections(), 1);
}

TEST_F(Translate, LongTextsAreQuestionedFromSixThousandBytesAsSent) {
    openWithCredentials();
    const QChar zhong(0x4E2D); // three bytes of UTF-8
    // A line break is sent as CR LF: two bytes.
    const struct {
        QString source;
        bool asked;
    } cases[] = {
        {QString(5999, u'a'), false},         {QString(6000, u'a'), true},
        {QString(1999, zhong) + "aa", false}, {QString(2000, zhong), true},
        {QString(5997, u'a') + "\n", false},  {QString(5998, u'a') + "\n", true},
    };
    std::size_t asked = 0, sent = 0;
    for (const auto& c : cases) {
        text2()->setPlainText("earlier result");
        if (c.asked)
            dialogs.answerMessages({app::MsgBoxAnswer::vbNo});
        const QString shown = translate(c.source);
        asked += c.asked ? 1 : 0;
        sent += c.asked ? 0 : 1;
        EXPECT_EQ(dialogs.shown.size(), asked) << c.source.size();
        EXPECT_EQ(service.requests().size(), sent) << c.source.size();
        EXPECT_EQ(shown == "earlier result", c.asked) << c.source.size();
    }
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown[0].style, 291);
    EXPECT_EQ(dialogs.shown[0].title, "警告：");
    EXPECT_EQ(dialogs.shown[0].prompt,
              "单次翻译文本长度限定为6000字节以内（汉字约为2000个字符），超出将可能导致错误！要继续"
              "吗？");

    dialogs.answerMessages({app::MsgBoxAnswer::vbCancel});
    EXPECT_EQ(translate(QString(2000, zhong)), "earlier result");
    EXPECT_EQ(service.requests().size(), sent);
}

// Answered 是, a long text goes out in requests of whole lines within the service's limit and
// comes back one line for each line of the source, in order, blank lines in place.
TEST_F(Translate, ALongTextAnsweredYesComesBackLineForLineInOrder) {
    writeSettings(serviceSettings() + "QPS=50\r\n" + credentialSettings());
    openWindow();
    QStringList source, expected;
    for (int i = 1; i <= 400; ++i) {
        const QString line =
            i % 50 == 0 ? QString()
                        : QStringLiteral("line %1 of a long text, sent in several requests").arg(i);
        source << line;
        expected << (line.isEmpty() ? line : QStringLiteral("译：") + line);
    }
    const QString text = source.join('\n');
    ASSERT_GT(text.toUtf8().size(), 2 * 6000);
    dialogs.answerMessages({app::MsgBoxAnswer::vbYes});
    EXPECT_EQ(translate(text), expected.join('\n'));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].style, 291);

    const auto requests = service.requests();
    ASSERT_GE(requests.size(), 3u);
    QStringList sentLines;
    for (const auto& request : requests) {
        const QString q = FormField(request.body, "q");
        EXPECT_LE(q.toUtf8().size(), 6000);
        sentLines << q.split('\n');
    }
    // Every line that is not blank is sent once; several requests are under way at a time.
    source.removeAll(QString());
    std::sort(source.begin(), source.end());
    std::sort(sentLines.begin(), sentLines.end());
    EXPECT_EQ(sentLines, source);

    // The service refuses: its message in place of the busy text, the source as it was.
    service.scriptNext(1, Fault::ServiceError, "58001");
    dialogs.answerMessages({app::MsgBoxAnswer::vbYes});
    EXPECT_EQ(translate(text), "错误代码:58001,说明:INVALID_TO_PARAM");
    EXPECT_EQ(text1()->toPlainText(), text);
}

TEST_F(Translate, WithoutCredentialsItRefusesAndSendsNothing) {
    openWindow();
    EXPECT_EQ(translate("hello"), "译文");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].style, 16);
    EXPECT_EQ(dialogs.shown[0].title, "程序终止！");
    EXPECT_TRUE(dialogs.shown[0].prompt.endsWith("网址：http://api.fanyi.baidu.com/"));
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(Translate, CodesAreTypedTextTrimmedAndLowerCasedAndTickedHttpsUsesTheHttpsEndpoint) {
    openWithCredentials();
    // Typed over the shown code; a prefix of a listed code is not completed.
    for (const auto& [name, typed] : {std::pair("Combo1", "FR"), std::pair("Combo2", " EN ")}) {
        focus(name);
        press(Qt::Key_A, Qt::ControlModifier);
        type(typed);
        EXPECT_EQ(combo(name)->currentText(), typed);
    }
    EXPECT_EQ(translate("你好"), "错误代码:58001,说明:INVALID_TO_PARAM"); // no code of the service
    ASSERT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(FormField(service.requests()[0].body, "from"), "fr");
    EXPECT_EQ(FormField(service.requests()[0].body, "to"), "en");

    combo("Combo1")->setEditText("Auto");
    EXPECT_EQ(translate("你好"), "hello");
    EXPECT_EQ(FormField(service.requests()[1].body, "from"), "auto");
    check1()->click();
    EXPECT_EQ(translate("你好"), "hello");
    EXPECT_EQ(translate("你好"), "hello");
    EXPECT_EQ(service.requests().size(), 2u);
    EXPECT_EQ(secureService.requests().size(), 2u);
    EXPECT_EQ(secureService.connections(), 1); // TLS once for both
}

TEST_F(Translate, ReturnOrEnterOnAFocusedButtonClicksIt) {
    openWithCredentials();
    const double size = app::BoxFontSize(text1());
    focus("Command5");
    press(Qt::Key_Return);
    focus("Command1");
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(translationEnded());
    EXPECT_EQ(app::BoxFontSize(text1()), size + 1);
    EXPECT_EQ(service.requests().size(), 1u);
}

// While the stand-in holds the request, the window paints and follows its size; the other
// commands, the text boxes and a text handed over wait for the result, and go on once it is
// shown.
TEST_F(Translate, TheWindowLivesWhileTheRequestIsHeldAndTheOtherControlsWait) {
    openWithCredentials();
    const double size = app::BoxFontSize(text1());
    service.setFault(Fault::Delay, std::chrono::minutes(2));
    text1()->setPlainText("apple");
    focus("Command1");
    press(Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.requests().size() == 1; }, 30'000));

    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } painted;
    text2()->viewport()->installEventFilter(&painted);
    text2()->viewport()->update();
    EXPECT_TRUE(QTest::qWaitFor([&] { return painted.paints > 0; }, 30'000));
    window().resize(732 + 100, 563);
    EXPECT_EQ(text1()->size(), QSize(813, 249));
    EXPECT_EQ(text2()->toPlainText(), "正在执行，请稍候……");

    click("Command5");
    QTest::keyClicks(text1(), "x");
    QTest::keyClick(text1(), Qt::Key_Return, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(app::BoxFontSize(text1()), size);
    EXPECT_EQ(text1()->toPlainText(), "apple");
    EXPECT_EQ(service.requests().size(), 1u);

    // A text handed over by a later start waits as well.
    window().TranslateGiven("pear");
    EXPECT_EQ(text1()->toPlainText(), "apple");

    service.stop(); // ends the held request (the connection is dropped), then refuses the next
    ASSERT_TRUE(translationEnded());
    EXPECT_EQ(text1()->toPlainText(), "pear");
    EXPECT_EQ(text2()->toPlainText(), "请求失败：无法连接到服务器");
    EXPECT_EQ(focused(), "Command1");
    click("Command5");
    text1()->moveCursor(QTextCursor::End);
    QTest::keyClicks(text1(), "x");
    EXPECT_EQ(app::BoxFontSize(text1()), size + 1);
    EXPECT_EQ(text1()->toPlainText(), "pearx");
}

// 退出 clicked, or the close box, while the stand-in holds the request: the program ends there
// with status 0, without waiting for the answer. Each way runs afresh in a child process
// (with a stand-in of its own) that is ended by a signal, and fails, if it waits.
TEST_F(Translate, ExitDuringARequestEndsTheProgramBeforeTheAnswer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    openWithCredentials();
    QWidget* exitButton = control<QWidget>("Command2");
    const std::function<void()> ways[] = {
        [&] { QTest::mouseClick(exitButton, Qt::LeftButton); },
        [&] { QCoreApplication::postEvent(window().windowHandle(), new QCloseEvent); },
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(&way - ways);
        EXPECT_EXIT(
            {
                ::alarm(60);
                service.setFault(Fault::Delay, std::chrono::minutes(5));
                text1()->setPlainText("apple");
                click("Command1");
                if (QTest::qWaitFor([&] { return service.requests().size() == 1; }, 30'000)) {
                    way();
                    QEventLoop().exec(); // until the exit, or the signal
                }
                std::_Exit(3);
            },
            testing::ExitedWithCode(0), "");
    }
}

TEST_F(Translate, CtrlReturnTranslatesAndReturnBreaksTheLine) {
    openWithCredentials();
    text1()->setPlainText("apple");
    text1()->moveCursor(QTextCursor::End);
    QTest::keyClick(text1(), Qt::Key_Return);
    EXPECT_EQ(text1()->toPlainText(), "apple\n");
    EXPECT_TRUE(service.requests().empty());
    QTest::keyClick(text1(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(translationEnded());
    EXPECT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(text2()->toPlainText(), "苹果\n");
}

using CredentialSetup = ServiceWindowFixture;

// What is stored is what the window loads at start-up (see StartUp above).
TEST_F(CredentialSetup, AsksBothStepsInOrderAndStoresTrimmedValuesThatTranslateAtOnce) {
    openWindow();
    dialogs.answerInputs({"  " + kAppId + " ", " " + kKey + "  "});
    click("Command3");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].title, "第1步（共2步）：");
    EXPECT_EQ(dialogs.shown[0].prompt, "请输入百度翻译APP ID（API_KEY）：");
    EXPECT_EQ(dialogs.shown[1].title, "第2步（共2步）：");
    EXPECT_EQ(settingsBytes(), serviceSettings() + "[BaiDuKeyInfo]\r\nAppID=" + kAppId.toLatin1() +
                                   "\r\nSecret_Key_Encode=" + kStoredKey + "\r\n");
    EXPECT_EQ(translate("hello"), "你好");
}

// An empty entry, or an App ID or key refused (each reason is checked through quorvel-cli, which
// shares the rule), changes nothing; both boxes are shown every time, and the reason after them.
TEST_F(CredentialSetup, AnEmptyEntryOrARefusedKeyChangesNothing) {
    openWithCredentials();
    const QByteArray before = settingsBytes();
    for (const auto& [appId, key, shown] :
         {std::tuple(QString(), QString(), 2u), std::tuple(QString("  "), kKey, 2u),
          std::tuple(kAppId, QString(), 2u), std::tuple(QString("another"), QString(33, u'k'), 3u),
          std::tuple(QString("\"2026\""), kKey, 3u)}) {
        dialogs.shown.clear();
        dialogs.answerInputs({appId, key});
        click("Command3");
        ASSERT_EQ(dialogs.shown.size(), shown) << key.toStdString();
        EXPECT_EQ(dialogs.shown.back().style, shown == 3 ? 48 : -1);
        EXPECT_EQ(dialogs.shown.back().title, shown == 3 ? "设置：" : "第2步（共2步）：");
        EXPECT_EQ(settingsBytes(), before);
        EXPECT_EQ(window().credentials().strAppID, kAppId);
        EXPECT_EQ(window().credentials().strSecretKey, kKey);
    }
}

// ---- Faults of the service and the settings file: a clear result, nothing lost ----

using WindowFaults = ServiceWindowFixture;

// Why each exchange fails is told by the client's own tests; here, that the window shows it.
TEST_F(WindowFaults, FailuresReplaceTheBusyTextWithTheReasonAndNoMessageBox) {
    openWithCredentials();
    service.setFault(Fault::CloseMidReply);
    EXPECT_EQ(translate("apple"), QStringLiteral("请求失败：连接中断"));
    service.stop();
    EXPECT_EQ(translate("apple"), QStringLiteral("请求失败：无法连接到服务器"));
    EXPECT_TRUE(dialogs.shown.empty());
}

// A reply within the size limit that is one word of megabytes: shown whole, without freezing the
// window (Qt's word-boundary wrapping of such a run takes minutes).
TEST_F(WindowFaults, OneHugeWordWithinTheLimitIsShownWhole) {
    openWithCredentials();
    constexpr qint64 kSize = 3'000'000;
    constexpr qint64 kFrame =
        sizeof R"({"from":"en","to":"zh","trans_result":[{"src":"huge","dst":""}]})" - 1;
    service.setFault(Fault::HugeReply, {}, 500, kSize);
    const QString shown = translate("apple");
    EXPECT_EQ(shown.size(), kSize - kFrame);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("xxxx")));

    // The next text wraps at word boundaries again, and replaces the word as quickly.
    service.setFault(Fault::None);
    EXPECT_EQ(translate("apple"), QStringLiteral("苹果"));
    EXPECT_EQ(text2()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

using WindowSettingsFaults = WindowFixture;

// A FIFO under the settings file's name would block a plain read for good: the window starts
// bare, silently, and writes nothing; its changes hold for this run.
TEST_F(WindowSettingsFaults, NoSettingsFileUnderItsNameStartsBareAndChangesNothing) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600), 0);
    const QFileInfo before(iniPath());
    openWindow();
    EXPECT_FALSE(check1()->isChecked());
    EXPECT_TRUE(window().credentials().strAppID.isEmpty());
    const double size = app::BoxFontSize(text1());
    click("Command5");
    check1()->click();
    EXPECT_EQ(app::BoxFontSize(text1()), size + 1);
    EXPECT_TRUE(check1()->isChecked());
    EXPECT_FALSE(QFileInfo(iniPath()).isFile()); // no file written in the FIFO's place
    EXPECT_EQ(QFileInfo(iniPath()).lastModified(), before.lastModified());
    EXPECT_TRUE(dialogs.shown.empty());
}

// ---- Text given at start, and later starts of the same window ----

using StartText = WindowFixture;

TEST_F(StartText, IsTheWordsOrTheSelectionOrTheClipboard) {
    EXPECT_EQ(app::StartText({}), "");
    EXPECT_EQ(app::StartText({"hello", "big", "world"}), "hello big world");
    EXPECT_EQ(app::StartText({"--", "--selection", "-x"}), "--selection -x");
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText("copied");
    if (clipboard->supportsSelection()) {
        clipboard->setText("selected", QClipboard::Selection);
        EXPECT_EQ(app::StartText({"--selection"}), "selected");
        clipboard->setText("", QClipboard::Selection);
    }
    EXPECT_EQ(app::StartText({"--selection"}), "copied"); // nothing selected
}

// The real program, started beside its settings file as a person's shortcut starts it.
class SecondStart : public ServiceWindowFixture {
protected:
    void SetUp() override {
        ServiceWindowFixture::SetUp();
        writeSettings(serviceSettings() + credentialSettings());
    }
    // A copy of the program in `folder`, which reads the settings file beside it.
    static QString copyInto(const QString& folder) {
        const QString copy = QDir(folder).filePath(QStringLiteral("quorvel"));
        if (!QFileInfo::exists(copy))
            QFile::copy(QStringLiteral(QUORVEL_PROGRAM), copy);
        return copy;
    }
    std::unique_ptr<QProcess> start(const QString& program, const QStringList& arguments,
                                    const QByteArray& display = ":0") {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", runtime_.path());
        environment.insert("DISPLAY", display);
        environment.remove("WAYLAND_DISPLAY");
        process->setProcessEnvironment(environment);
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }
    // Waits for the stand-in's request number `count` and returns its q.
    QString sentAsRequest(std::size_t count) {
        if (!QTest::qWaitFor([&] { return service.requests().size() >= count; }, 60'000))
            return QStringLiteral("<no request %1>").arg(count);
        return FormField(service.requests()[count - 1].body, "q");
    }
    static bool endsOnItsOwn(QProcess& process) {
        return process.waitForFinished(60'000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

private:
    QTemporaryDir runtime_;
};

TEST_F(SecondStart, ReachesTheOpenWindowOfTheSameSettingsFileAndDisplayOnly) {
    const QString program = copyInto(QFileInfo(iniPath()).path());
    const auto first = start(program, {"-platform", "offscreen", "hello", "world"});
    EXPECT_EQ(sentAsRequest(1), "hello world");

    // Handed to the open window, which translates it; the later start ends.
    const auto second = start(program, {"apple"});
    EXPECT_TRUE(endsOnItsOwn(*second));
    EXPECT_EQ(sentAsRequest(2), "apple");
    const auto withoutText = start(program, {});
    EXPECT_TRUE(endsOnItsOwn(*withoutText));

    // Another settings file, another display: windows of their own.
    QTemporaryDir otherFolder;
    ASSERT_TRUE(QFile::copy(iniPath(), otherFolder.filePath("quorvel.ini")));
    const auto otherCopy = start(copyInto(otherFolder.path()), {"copy"});
    EXPECT_EQ(sentAsRequest(3), "copy");
    const auto otherDisplay = start(program, {"display"}, ":1");
    EXPECT_EQ(sentAsRequest(4), "display");
    EXPECT_EQ(otherCopy->state(), QProcess::Running);
    EXPECT_EQ(otherDisplay->state(), QProcess::Running);

    // A killed window leaves its socket; the next start opens a window of its own, which the
    // start after it reaches.
    first->kill();
    ASSERT_TRUE(first->waitForFinished());
    const auto afterKill = start(program, {"again"});
    EXPECT_EQ(sentAsRequest(5), "again");
    const auto reachingIt = start(program, {"last"});
    EXPECT_TRUE(endsOnItsOwn(*reachingIt));
    EXPECT_EQ(sentAsRequest(6), "last");
    EXPECT_EQ(afterKill->state(), QProcess::Running);
    EXPECT_EQ(service.requests().size(), 6u);
    for (QProcess* window : {otherCopy.get(), otherDisplay.get(), afterKill.get()}) {
        window->kill();
        window->waitForFinished();
    }
}

// Where another user took the window's name first (possible in a shared temporary folder), a
// start hands them nothing and keeps its text.
TEST(SingleWindowOwner, ATextIsNeverHandedToAnotherUsersSocket) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run a listener as another user";
    QTemporaryDir shared;
    ASSERT_TRUE(
        QFile::setPermissions(shared.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                 QFileDevice::WriteOther | QFileDevice::ExeOther));
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(shared.path()));
    const auto restore = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", runtime); });
    const QString settings = shared.filePath("quorvel.ini");
    const QByteArray path = QFile::encodeName(app::SingleWindow::SocketPath(settings));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), static_cast<qsizetype>(sizeof address.sun_path));
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));

    // The other user's listener: what its first connection brings goes into the pipe.
    int heard[2];
    ASSERT_EQ(::pipe(heard), 0);
    int listening[2];
    ASSERT_EQ(::pipe(listening), 0);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 ||
            ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(socket, 4) != 0 || ::write(listening[1], "L", 1) != 1)
            ::_exit(1);
        const int connection = ::accept(socket, nullptr, nullptr);
        char bytes[64];
        ssize_t count = 0;
        while ((count = ::read(connection, bytes, sizeof bytes)) > 0)
            if (::write(heard[1], bytes, static_cast<std::size_t>(count)) != count)
                ::_exit(1);
        ::_exit(0);
    }
    ::close(listening[1]);
    ::close(heard[1]);
    char ready = 0;
    ASSERT_EQ(::read(listening[0], &ready, 1), 1);

    app::SingleWindow start(settings);
    EXPECT_FALSE(start.handOver(QStringLiteral("a private text")));
    // Ends the listener's wait if the start never connected: it then hears nothing either.
    const int nudge = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ::connect(nudge, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(nudge);
    QByteArray received;
    char bytes[64];
    ssize_t count = 0;
    while ((count = ::read(heard[0], bytes, sizeof bytes)) > 0)
        received.append(bytes, count);
    int status = 0;
    ::waitpid(other, &status, 0);
    EXPECT_EQ(received, "");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(heard[0]);
    ::close(listening[0]);
}
