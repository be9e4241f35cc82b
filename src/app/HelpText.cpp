#include "app/HelpText.h"

#include "app/WindowTexts.h"
#include "frontend/UserTexts.h"

namespace app {

QString HelpText() {
    const QString lineBreak = QStringLiteral("\r\n");
    QString text = kHelpBeforePortal + frontend::kDeveloperPortal + kHelpAfterPortal;
    text += lineBreak + lineBreak + kHelpCodesHeading;
    for (const QString& line : kHelpCodeTable)
        text += lineBreak + line;
    text += lineBreak + lineBreak + kHelpOtherLanguages;
    return text;
}

} // namespace app
