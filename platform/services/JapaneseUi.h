#pragma once
// The Japanese face of the interface: Qt's standard texts in Japanese and the
// Windows Japanese font names mapped onto an installed Japanese Gothic font.

#include <QFont>

class QApplication;

namespace vela {

/// Loads Qt's Japanese translations (standard buttons, file dialog) and
/// installs the font substitutions. Call once after creating the application.
void setUpJapaneseUi(QApplication& app);

/// Maps "ＭＳ ゴシック" and "ＭＳ Ｐゴシック" onto installed Japanese fonts
/// (IPAGothic / IPAPGothic, else Noto Sans CJK JP, else any Japanese family).
/// Idempotent.
void installJapaneseFontSubstitutions();

/// "ＭＳ ゴシック" at `pointSize`, substitutions installed.
QFont japaneseUiFont(int pointSize);

} // namespace vela
