#include "JapaneseUi.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace vela {

namespace {
QString firstInstalled(const QStringList& candidates) {
    QStringList families = QFontDatabase::families();
    for (const QString& candidate : candidates)
        if (families.contains(candidate, Qt::CaseInsensitive)) return candidate;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) return family;
    return {};
}
} // namespace

void installJapaneseFontSubstitutions() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QString gothic = firstInstalled({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                                     QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP")});
    QString proportional = firstInstalled({QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                           QStringLiteral("Noto Sans CJK JP"), gothic});
    if (!gothic.isEmpty()) QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), gothic);
    if (!proportional.isEmpty()) QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), proportional);
}

QFont japaneseUiFont(int pointSize) {
    installJapaneseFontSubstitutions();
    QFont font(QStringLiteral("ＭＳ ゴシック"), pointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

void setUpJapaneseUi(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
    installJapaneseFontSubstitutions();
}

} // namespace vela
