#include "app/StartText.h"

#include <QClipboard>
#include <QGuiApplication>

namespace app {

namespace {

QString SelectedText() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection())
        if (QString selected = clipboard->text(QClipboard::Selection); !selected.isEmpty())
            return selected;
    return clipboard->text(QClipboard::Clipboard);
}

} // namespace

QString StartText(const QStringList& arguments) {
    QStringList words;
    bool options = true;
    for (const QString& argument : arguments)
        if (options && argument == QStringLiteral("--"))
            options = false;
        else if (options && argument == QStringLiteral("--selection"))
            return SelectedText();
        else
            words << argument;
    return words.join(u' ');
}

} // namespace app
