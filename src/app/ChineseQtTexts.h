#pragma once

namespace app {

// Makes Qt's own texts (dialog buttons, the text boxes' context menus) Chinese, whatever the
// user's locale: every text a person sees in Quorvel is Simplified Chinese. False when Qt's
// Chinese translations are not installed.
bool InstallChineseQtTexts();

} // namespace app
