#include "app/frmTranslate.h"

#include "app/AppIcon.h"
#include "app/CommandButton.h"
#include "app/ContinueOnError.h"
#include "app/Dialogs.h"
#include "app/HelpText.h"
#include "app/QuorvelProgram.h"
#include "app/TextBoxes.h"
#include "app/WindowTexts.h"
#include "frontend/CredentialSetup.h"
#include "frontend/Translation.h"
#include "frontend/UserTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QtConcurrentRun>

#include <utility>

using namespace app;

namespace {

constexpr int kTwipsPerPixel = 15;

QRect Twips(int left, int top, int width, int height) {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}
QSize ToTwips(QSize pixels) {
    return pixels * kTwipsPerPixel;
}
QSize ToPixels(QSize twips) {
    return twips / kTwipsPerPixel;
}

const QStringList kLanguageCodes = {
    QStringLiteral("Auto"), QStringLiteral("en"),  QStringLiteral("zh"),  QStringLiteral("yue"),
    QStringLiteral("wyw"),  QStringLiteral("jp"),  QStringLiteral("kor"), QStringLiteral("fra"),
    QStringLiteral("spa"),  QStringLiteral("ara"), QStringLiteral("ru"),  QStringLiteral("de"),
    QStringLiteral("pt"),   QStringLiteral("it"),  QStringLiteral("el"),  QStringLiteral("nl"),
    QStringLiteral("dan"),  QStringLiteral("fin"), QStringLiteral("cht"), QStringLiteral("vie"),
    QStringLiteral("hu")};

// How often a given text looks again whether the dialog in its way has been closed.
constexpr int kDialogRetryMilliseconds = 200;

template <typename Control> Control* Place(QWidget* parent, const char* name, QRect twips) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(twips);
    return control;
}

QPlainTextEdit* TextBox(QWidget* parent, const char* name, const QString& text, QRect place) {
    auto* box = Place<QPlainTextEdit>(parent, name, place);
    box->setPlainText(text);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab and Shift+Tab move along the tab order; a tab still comes in by pasting.
    box->setTabChangesFocus(true);
    return box;
}

QComboBox* LanguageBox(QWidget* parent, const char* name, const QString& text, QRect place) {
    auto* combo = Place<QComboBox>(parent, name, place);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The code is what was typed: no inline completion from the list.
    combo->setCompleter(nullptr);
    combo->addItems(kLanguageCodes);
    combo->setEditText(text);
    return combo;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* button = Place<CommandButton>(parent, name, place);
    button->setText(caption);
    button->setAutoDefault(false);
    return button;
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* label = Place<QLabel>(parent, name, place);
    label->setText(caption);
    return label;
}

// The "-" and "+" buttons' own font: 宋体 (SimSun) at 15.75 points where it is installed,
// otherwise the default face at that size, rather than a further CJK font loaded for two
// ASCII glyphs.
QFont StepButtonFont() {
    QFont font = QApplication::font();
    for (const QString& family : {QStringLiteral("宋体"), QStringLiteral("SimSun")}) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPointSizeF(15.75);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

frmTranslate::frmTranslate(Dialogs& dialogs, const QString& settingsFilePath)
    : dialogs_(dialogs), settings_(settingsFilePath) {
    setWindowTitle(kWindowTitle);
    setWindowIcon(AppIcon());
    resize(ToPixels(QSize(10980, 8445)));

    Text1 = TextBox(this, "Text1", kSourceText, Twips(120, 120, 10695, 3735));
    Command1 = Button(this, "Command1", kTranslateCaption, Twips(7200, 3960, 975, 615));
    Combo1 = LanguageBox(this, "Combo1", QStringLiteral("Auto"), Twips(1200, 4080, 975, 300));
    Combo2 = LanguageBox(this, "Combo2", QStringLiteral("zh"), Twips(3480, 4080, 975, 300));
    Command3 = Button(this, "Command3", kSettingsCaption, Twips(8280, 3960, 735, 615));
    Command6 = Button(this, "Command6", kHelpCaption, Twips(9120, 3960, 735, 615));
    Command4 = Button(this, "Command4", QStringLiteral("-"), Twips(5640, 3960, 615, 615));
    Command5 = Button(this, "Command5", QStringLiteral("+"), Twips(6360, 3960, 615, 615));
    Text2 = TextBox(this, "Text2", kTranslatedText, Twips(120, 4680, 10695, 3615));
    Command2 = Button(this, "Command2", kExitCaption, Twips(10080, 3960, 735, 615));
    Label1 = Label(this, "Label1", kSourceLanguageCaption, Twips(120, 4080, 975, 255));
    Label2 = Label(this, "Label2", kTargetLanguageCaption, Twips(2400, 4080, 975, 255));
    Check1 = Place<QCheckBox>(this, "Check1", Twips(4560, 4080, 975, 255));
    Check1->setText(QStringLiteral("HTTPS"));

    Command4->setFont(StepButtonFont());
    Command5->setFont(StepButtonFont());

    QWidget* tabOrder[] = {Text1,    Command1, Combo1, Combo2,   Command3, Command6,
                           Command4, Command5, Text2,  Command2, Check1};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(Command1, &QPushButton::clicked, this, &frmTranslate::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmTranslate::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmTranslate::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmTranslate::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmTranslate::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmTranslate::Command6_Click);
    connect(Check1, &QCheckBox::toggled, this, &frmTranslate::Check1_Click);
    givenWaits_.setSingleShot(true);
    givenWaits_.setInterval(kDialogRetryMilliseconds);
    connect(&givenWaits_, &QTimer::timeout, this, &frmTranslate::TakeGivenText);
    connect(&request_, &QFutureWatcher<frontend::TranslationResult>::finished, this,
            &frmTranslate::Request_Done);
    Text1->installEventFilter(this);
}

void frmTranslate::Form_Load() {
    ContinueOnError([&] {
        baseline_ = {ToTwips(size()), ToTwips(Text1->size()), ToTwips(Text2->size())};
        baselineRecorded_ = true;
    });
    ContinueOnError([&] {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen()->availableGeometry()));
    });
    ContinueOnError([&] {
        show();
        QCoreApplication::processEvents();
    });

    ContinueOnError([&] { Check1->setChecked(settings_.https()); });

    std::optional<modStrHexByte::Credentials> stored;
    ContinueOnError([&] { stored = settings_.credentials(); });
    if (!stored)
        return;
    credentials_ = *stored;

    ContinueOnError([&] {
        // A size that is no number leaves Text1 as it is; Text2 then takes that size.
        if (const std::optional<double> points = settings_.fontSize())
            SetBoxFontSize(Text1, *points);
    });
    ContinueOnError([&] { SetBoxFontSize(Text2, BoxFontSize(Text1)); });
}

void frmTranslate::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmTranslate::Form_Resize() {
    if (!baselineRecorded_)
        return;
    ContinueOnError([&] {
        const auto sizes = ResizeTextBoxes(baseline_, ToTwips(size()));
        if (!sizes)
            return;
        Text1->resize(ToPixels(sizes->text1));
        Text2->resize(ToPixels(sizes->text2));
    });
}

bool frmTranslate::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Return in the source box translates; Return alone still breaks the line.
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier)) {
            Command1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmTranslate::Command1_Click() {
    if (translating_)
        return;
    bool go = true;
    bool whole = false;
    ContinueOnError([&] {
        if (frontend::IsLongText(BoxText(Text1)))
            whole = go = dialogs_.MsgBox(frontend::kLongTextWarning + kGoOnQuestion,
                                         MsgBoxStyle::vbYesNoCancel + MsgBoxStyle::vbQuestion +
                                             MsgBoxStyle::vbDefaultButton2,
                                         kWarningTitle) == MsgBoxAnswer::vbYes;
    });
    if (!go)
        return;
    if (!frontend::HasCredentials(credentials_)) {
        ContinueOnError([&] {
            dialogs_.MsgBox(frontend::kNoCredentials,
                            MsgBoxStyle::vbOKOnly + MsgBoxStyle::vbCritical, kStoppedTitle);
        });
        return;
    }
    ContinueOnError([&] { SetBoxText(Text2, kBusyText); });
    ContinueOnError([&] {
        // The account's rate matters only to a text sent in several requests.
        StartRequest({BoxText(Text1), frontend::LanguageCode(Combo1->currentText()),
                      frontend::LanguageCode(Combo2->currentText()), credentials_,
                      Check1->isChecked(), frontend::ConnectionOptionsFor(settings_), connection_,
                      whole ? settings_.requestsPerSecond().value_or(1) : 1, whole});
    });
}

void frmTranslate::StartRequest(const WindowRequest& request) {
    HoldInput(true);
    // The window goes on painting, resizing and answering 退出 while the request runs.
    request_.setFuture(QtConcurrent::run(RunWindowRequest, request));
}

void frmTranslate::Request_Done() {
    // A failure is told in the result box in place of the busy text, without a message box.
    ContinueOnError([&] { SetBoxText(Text2, request_.result().text); });
    HoldInput(false);
    TakeGivenText();
}

void frmTranslate::HoldInput(bool hold) {
    translating_ = hold;
    if (hold)
        focusBeforeRequest_ = focusWidget();
    for (QWidget* command : std::initializer_list<QWidget*>{Command1, Combo1, Combo2, Command3,
                                                            Command6, Command4, Command5, Check1})
        command->setEnabled(!hold);
    // Read-only rather than disabled: the text can still be scrolled, selected and copied.
    Text1->setReadOnly(hold);
    Text2->setReadOnly(hold);
    if (!hold && focusBeforeRequest_)
        focusBeforeRequest_->setFocus();
}

void frmTranslate::TranslateGiven(const QString& text) {
    given_ = text;
    BringToFront();
    TakeGivenText();
}

void frmTranslate::TakeGivenText() {
    if (!given_ || translating_)
        return;
    if (QApplication::activeModalWidget()) {
        givenWaits_.start();
        return;
    }
    ContinueOnError([&] { SetBoxText(Text1, *std::exchange(given_, std::nullopt)); });
    Command1_Click();
}

void frmTranslate::BringToFront() {
    ContinueOnError([&] {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    });
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): a handler, connected as one
void frmTranslate::Command2_Click() {
    EndProgram();
}

void frmTranslate::closeEvent(QCloseEvent* /*event*/) {
    EndProgram();
}

void frmTranslate::Command3_Click() {
    QString appId;
    QString secretKey;
    ContinueOnError([&] { appId = dialogs_.InputBox(frontend::kAppIdPrompt, kFirstStepTitle); });
    ContinueOnError(
        [&] { secretKey = dialogs_.InputBox(frontend::kSecretKeyPrompt, kSecondStepTitle); });
    ContinueOnError([&] {
        using Outcome = frontend::CredentialSetupResult::Outcome;
        const frontend::CredentialSetupResult result =
            frontend::SetUpCredentials(settings_, appId, secretKey);
        switch (result.outcome) {
        case Outcome::Stored:
        case Outcome::NotWritten: // used for this run all the same
            credentials_ = result.credentials;
            break;
        case Outcome::Refused:
            dialogs_.MsgBox(result.message, MsgBoxStyle::vbOKOnly + MsgBoxStyle::vbExclamation,
                            kSettingsTitle);
            break;
        case Outcome::Unchanged:
            break;
        }
    });
}

void frmTranslate::Command4_Click() {
    StepFontSize(-1);
}

void frmTranslate::Command5_Click() {
    StepFontSize(+1);
}

void frmTranslate::StepFontSize(double step) {
    ContinueOnError([&] { SetBoxFontSize(Text1, BoxFontSize(Text1) + step); });
    ContinueOnError([&] { SetBoxFontSize(Text2, BoxFontSize(Text2) + step); });
    ContinueOnError([&] { settings_.setFontSize(BoxFontSize(Text1)); });
}

void frmTranslate::Command6_Click() {
    dialogs_.MsgBox(HelpText(), MsgBoxStyle::vbOKOnly + MsgBoxStyle::vbInformation, kHelpTitle);
}

void frmTranslate::Check1_Click() {
    ContinueOnError([&] { settings_.setHttps(Check1->isChecked()); });
}
