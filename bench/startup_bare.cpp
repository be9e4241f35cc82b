// The floor for start-up time and memory: a bare Qt Widgets window with the same controls in
// the same places as Quorvel's, and nothing else (no settings, no translations, no handlers).
#include "FirstPaint.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(732, 563);
    const QStringList codes = {"Auto", "en",  "zh",  "yue", "wyw", "jp",  "kor",
                               "fra",  "spa", "ara", "ru",  "de",  "pt",  "it",
                               "el",   "nl",  "dan", "fin", "cht", "vie", "hu"};
    auto* text1 = new QPlainTextEdit("原文", &window);
    text1->setGeometry(8, 8, 713, 249);
    auto* text2 = new QPlainTextEdit("译文", &window);
    text2->setGeometry(8, 312, 713, 241);
    for (int left : {80, 232}) {
        auto* combo = new QComboBox(&window);
        combo->setEditable(true);
        combo->addItems(codes);
        combo->setGeometry(left, 272, 65, 20);
    }
    const std::pair<const char*, QRect> buttons[] = {
        {"开始翻译", {480, 264, 65, 41}}, {"设置", {552, 264, 49, 41}},
        {"帮助", {608, 264, 49, 41}},     {"-", {376, 264, 41, 41}},
        {"+", {424, 264, 41, 41}},        {"退出", {672, 264, 49, 41}}};
    for (const auto& [caption, place] : buttons)
        (new QPushButton(QString::fromUtf8(caption), &window))->setGeometry(place);
    (new QLabel("原文语言：", &window))->setGeometry(8, 272, 65, 17);
    (new QLabel("译文语言：", &window))->setGeometry(160, 272, 65, 17);
    (new QCheckBox("HTTPS", &window))->setGeometry(304, 272, 65, 17);

    new FirstPaint(window);
    window.show();
    return QApplication::exec();
}
