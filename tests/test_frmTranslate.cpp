#include "app/HelpText.h"
#include "credentials/modStrHexByte.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTimer>

namespace {

// A settings file as the Windows program writes it: code page 936, CR LF.
QByteArray Ini(std::initializer_list<const char*> lines) {
    QByteArray bytes;
    for (const char* line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

QByteArray StoredCredentials(const QString& appId, const QString& key, const char* fontSize) {
    return Ini({"[BaiDuKeyInfo]", qPrintable("AppID=" + appId),
                qPrintable("Secret_Key_Encode=" + modStrHexByte::EncodeSecretKey(appId, key)),
                "[Font]", fontSize});
}

} // namespace

using StartUp = WindowFixture;

TEST_F(StartUp, StoredTrueTicksHttpsAndRewritesIt) {
    for (const char* stored : {"TRUE", " true ", "True", "1"}) {
        writeSettings(Ini({"[Settings]", qPrintable(QStringLiteral("Https=") + stored)}));
        openWindow();
        EXPECT_TRUE(check1()->isChecked()) << stored;
        EXPECT_EQ(setting("Settings", "Https"), "TRUE") << stored;
    }
}

TEST_F(StartUp, AnyOtherHttpsValueLeavesTheBoxClearAndTheFileUntouched) {
    for (const char* stored :
         {"Https=FALSE", "Https=0", "Https=yes", "Https=-1", "Https=", "X=1"}) {
        const QByteArray before = Ini({"[Settings]", stored});
        writeSettings(before);
        openWindow();
        EXPECT_FALSE(check1()->isChecked()) << stored;
        EXPECT_EQ(settingsBytes(), before) << stored;
    }
}

TEST_F(StartUp, WithoutASettingsFileNothingIsLoadedOrCreated) {
    const double designSize = openWindow().font().pointSizeF();
    EXPECT_FALSE(check1()->isChecked());
    EXPECT_TRUE(window().credentials().strAppID.isEmpty());
    EXPECT_TRUE(window().credentials().strSecretKey.isEmpty());
    EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), designSize);
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(StartUp, StoredCredentialsAreDecodedAndTheFontSizeApplied) {
    writeSettings(StoredCredentials("2015 0630", "12345678", "FontSize=12"));
    openWindow();
    EXPECT_EQ(window().credentials().strAppID, "2015 0630");
    EXPECT_EQ(window().credentials().strSecretKey, "12345678");
    EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), 12);
    EXPECT_DOUBLE_EQ(text2()->font().pointSizeF(), 12);
}

TEST_F(StartUp, AMissingOrBlankCredentialSkipsCredentialsAndFontSize) {
    const QString key = modStrHexByte::EncodeSecretKey("20150630", "12345678");
    const QList<QByteArray> files = {
        Ini({"[BaiDuKeyInfo]", "AppID=20150630", "[Font]", "FontSize=20"}),
        Ini({"[BaiDuKeyInfo]", "AppID=20150630", "Secret_Key_Encode=", "[Font]", "FontSize=20"}),
        Ini({"[BaiDuKeyInfo]", "AppID=   ", qPrintable("Secret_Key_Encode=" + key), "[Font]",
             "FontSize=20"}),
        Ini({"[BaiDuKeyInfo]", "AppID=unknown value", qPrintable("Secret_Key_Encode=" + key),
             "[Font]", "FontSize=20"}),
    };
    for (const QByteArray& file : files) {
        writeSettings(file);
        const double designSize = openWindow().font().pointSizeF();
        EXPECT_TRUE(window().credentials().strAppID.isEmpty()) << file.constData();
        EXPECT_TRUE(window().credentials().strSecretKey.isEmpty()) << file.constData();
        EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), designSize) << file.constData();
    }
}

TEST_F(StartUp, AFontSizeThatIsNotANumberOrOutOfRangeKeepsTheDesignSize) {
    for (const char* stored : {"FontSize=abc", "FontSize=5", "FontSize=73"}) {
        writeSettings(StoredCredentials("20150630", "12345678", stored));
        const double designSize = openWindow().font().pointSizeF();
        EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), designSize) << stored;
        EXPECT_DOUBLE_EQ(text2()->font().pointSizeF(), designSize) << stored;
    }
}

using HttpsToggle = WindowFixture;

TEST_F(HttpsToggle, EveryChangeIsWritten) {
    openWindow();
    check1()->click();
    EXPECT_EQ(settingsBytes(), "[Settings]\r\nHttps=TRUE\r\n");
    check1()->click();
    EXPECT_EQ(setting("Settings", "Https"), "FALSE");
}

using Layout = WindowFixture;

TEST_F(Layout, ControlsStandWhereTheyWereDesigned) {
    frmTranslate& form = openWindow();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("自动翻译工具V1.0.0.1"));
    EXPECT_EQ(form.size(), QSize(732, 563));
    EXPECT_EQ(text1()->geometry(), QRect(8, 8, 713, 249));
    EXPECT_EQ(text2()->geometry(), QRect(8, 312, 713, 241));
    EXPECT_EQ(control<QPushButton>("Command2")->geometry().right() + 1, 721);
    EXPECT_EQ(combo("Combo1")->currentText(), "Auto");
    EXPECT_EQ(combo("Combo2")->currentText(), "zh");
    ASSERT_EQ(combo("Combo1")->count(), 21);
    EXPECT_EQ(combo("Combo1")->itemText(20), "hu");
    EXPECT_EQ(text1()->toPlainText(), QStringLiteral("原文"));

    // Tab order: from the source box through every control to the check box.
    const QRegularExpression named(QStringLiteral("^(Text|Command|Combo|Check)\\d$"));
    QStringList order;
    for (QWidget* widget = text1(); order.size() < 11; widget = widget->nextInFocusChain()) {
        if (named.match(widget->objectName()).hasMatch())
            order << widget->objectName();
    }
    EXPECT_EQ(order, QStringList({"Text1", "Command1", "Combo1", "Combo2", "Command3", "Command6",
                                  "Command4", "Command5", "Text2", "Command2", "Check1"}));
}

TEST_F(Layout, TextBoxesFollowTheWindowFromTheBaseline) {
    frmTranslate& form = openWindow();
    form.resize(732 + 100, 563 + 60); // +1500 x +900 twips
    EXPECT_EQ(text1()->size(), QSize(813, 249));
    EXPECT_EQ(text2()->size(), QSize(813, 301));
    EXPECT_EQ(control<QPushButton>("Command2")->pos(), QPoint(672, 264));

    // Text2 would be 100 twips high or less: nothing changes, widths included.
    form.resize(732 + 20, 563 - 235);
    EXPECT_EQ(text1()->size(), QSize(813, 249));
    EXPECT_EQ(text2()->size(), QSize(813, 301));

    // Too narrow for either box: nothing changes.
    form.resize(732 - 707, 563);
    EXPECT_EQ(text1()->size(), QSize(813, 249));

    form.resize(732, 563);
    EXPECT_EQ(text1()->size(), QSize(713, 249));
    EXPECT_EQ(text2()->size(), QSize(713, 241));
}

using FontSize = WindowFixture;

TEST_F(FontSize, PlusThenMinusReturnsAndEveryClickIsStored) {
    writeSettings(StoredCredentials("20150630", "12345678", "FontSize=10"));
    openWindow();
    click("Command5");
    EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), 11);
    EXPECT_DOUBLE_EQ(text2()->font().pointSizeF(), 11);
    EXPECT_EQ(setting("Font", "FontSize"), "11");
    click("Command4");
    EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), 10);
    EXPECT_EQ(setting("Font", "FontSize"), "10");
}

TEST_F(FontSize, SizesOutsideSixToSeventyTwoAreRefusedButStillStored) {
    writeSettings(StoredCredentials("20150630", "12345678", "FontSize=6.5"));
    openWindow();
    click("Command4");
    EXPECT_DOUBLE_EQ(text1()->font().pointSizeF(), 6.5);
    EXPECT_EQ(setting("Font", "FontSize"), "6.5");

    writeSettings(StoredCredentials("20150630", "12345678", "FontSize=72"));
    openWindow();
    click("Command5");
    EXPECT_DOUBLE_EQ(text2()->font().pointSizeF(), 72);
    EXPECT_EQ(setting("Font", "FontSize"), "72");
}

using Help = WindowFixture;

TEST_F(Help, ShowsTheUsageNotesWithTheCodeTable) {
    openWindow();
    click("Command6");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const auto& box = dialogs.shown.front();
    EXPECT_EQ(box.style, 64);
    EXPECT_EQ(box.title, QStringLiteral("使用说明："));
    EXPECT_EQ(box.prompt, HelpText());
    EXPECT_EQ(box.prompt.count(QStringLiteral("\r\n")), 14);
    EXPECT_TRUE(
        box.prompt.startsWith(QStringLiteral("本程序使用百度通用翻译API完成翻译任务，使用前需前往"
                                             "http://api.fanyi.baidu.com/注册成为开发者")));
    const QStringList lines = box.prompt.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 15);
    QList<qsizetype> lengths;
    for (int i = 3; i <= 12; ++i)
        lengths << lines[i].size();
    EXPECT_EQ(lengths, QList<qsizetype>({34, 52, 52, 52, 49, 51, 48, 50, 46, 29}));
    EXPECT_TRUE(lines[6].endsWith(QStringLiteral("ru ")));
    EXPECT_EQ(lines[14], QStringLiteral("其它语种（完整语种列表目前共211种）见相应网站。"));
}

using Exit = WindowFixture;

TEST_F(Exit, EndsTheProgramWithoutWritingAnything) {
    openWindow();
    QTimer::singleShot(0, [this] { click("Command2"); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(QFile::exists(iniPath()));
}
