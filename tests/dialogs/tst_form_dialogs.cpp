// The form field dialogs driven as a user drives them: typing, ticking,
// clicking OK or キャンセル, Esc and the window manager's close.

#include "Cp932.h"
#include "TForm16.h"
#include "TForm17.h"
#include "TForm18.h"
#include "ScriptedServices.h"
#include "TestSupport.h"
#include "UserActions.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

#include "ScriptedDialogRun.h"

using namespace vela;

namespace {

using test::control;
using test::runModal;

std::unique_ptr<TagDialog> makeDialog(int form, std::string& result) {
    switch (form) {
    case 16: return std::make_unique<TForm16>(result);
    case 17: return std::make_unique<TForm17>(result);
    default: return std::make_unique<TForm18>(result);
    }
}

// Results compared as byte arrays, so a failure prints both values.
QByteArray bytes(const std::string& text) { return QByteArray::fromStdString(text); }
QByteArray inCp932(const QString& utf8Literal) { return bytes(cp932::fromUtf8(utf8Literal.toStdString())); }

const char* const kTextFieldDefault = R"(<INPUT TYPE="TEXT" SIZE="16" VALUE="" NAME="TEXT" MAXLENGTH="80">)";
const char* const kTextAreaDefault = R"(<TEXTAREA NAME="TEXTAREA" ROWS=10 COLS=80>)";
const char* const kSelectDefault = R"(NAME="SELECT" VALUE="" >)";

} // namespace

class TestFormDialogs : public QObject {
    Q_OBJECT
private slots:
    void okComposesFromTheBoxes_data();
    void okComposesFromTheBoxes();
    void cancelEmptiesTheResultAndKeepsTheTyping_data();
    void cancelEmptiesTheResultAndKeepsTheTyping();
    void charactersOutsideCp932EnterAsReferences();
};

void TestFormDialogs::okComposesFromTheBoxes_data() {
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QStringList>("typing"); // edit name, text, edit name, text, ...
    QTest::addColumn<QString>("expected");

    QTest::newRow("text field, first opening") << 16 << false << QStringList{} << QString(kTextFieldDefault);
    QTest::newRow("password field")
        << 16 << true << QStringList{} << QString(R"(<INPUT TYPE="PASSWORD" SIZE="16" VALUE="" NAME="TEXT" MAXLENGTH="80">)");
    QTest::newRow("text field, fixed attribute order, empty size")
        << 16 << false << QStringList{"Edit1", "名前", "Edit2", "初期値", "Edit3", "", "Edit4", "8"}
        << QString(R"(<INPUT TYPE="TEXT" SIZE="" VALUE="初期値" NAME="名前" MAXLENGTH="8">)");
    QTest::newRow("text area, first opening") << 17 << false << QStringList{} << QString(kTextAreaDefault);
    QTest::newRow("text area, numbers unquoted and unchecked")
        << 17 << false << QStringList{"Edit1", "本文", "Edit2", "5", "Edit3", "abc"}
        << QString(R"(<TEXTAREA NAME="本文" ROWS=5 COLS=abc>)");
    QTest::newRow("select button, first opening") << 18 << false << QStringList{} << QString(kSelectDefault);
    QTest::newRow("select button, checked") << 18 << true << QStringList{} << QString(R"(NAME="SELECT" VALUE="" CHECKED>)");
    QTest::newRow("select button, quotes go in as typed")
        << 18 << false << QStringList{"Edit2", R"(a"b)"} << QString(R"(NAME="SELECT" VALUE="a"b" >)");
}

void TestFormDialogs::okComposesFromTheBoxes() {
    QFETCH(int, form);
    QFETCH(bool, tick);
    QFETCH(QStringList, typing);
    QFETCH(QString, expected);
    std::string result;
    auto dialog = makeDialog(form, result);
    runModal(*dialog, [&](QDialog&) {
        for (qsizetype i = 0; i + 1 < typing.size(); i += 2) user::replaceText(*dialog, typing[i], typing[i + 1]);
        if (tick) user::click(*dialog, "CheckBox1");
        user::click(*dialog, "Button1");
    });
    QCOMPARE(bytes(result), inCp932(expected));
}

void TestFormDialogs::cancelEmptiesTheResultAndKeepsTheTyping_data() {
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("byEscape");
    QTest::addColumn<QString>("expectedNextOk");

    const QString textField = R"(<INPUT TYPE="PASSWORD" SIZE="16" VALUE="" NAME="残す" MAXLENGTH="80">)";
    const QString textArea = R"(<TEXTAREA NAME="残す" ROWS=10 COLS=80>)";
    const QString select = R"(NAME="残す" VALUE="" CHECKED>)";
    QTest::newRow("text field, キャンセル") << 16 << false << textField;
    QTest::newRow("text field, Esc") << 16 << true << textField;
    QTest::newRow("text area, キャンセル") << 17 << false << textArea;
    QTest::newRow("text area, Esc") << 17 << true << textArea;
    QTest::newRow("select button, キャンセル") << 18 << false << select;
    QTest::newRow("select button, Esc") << 18 << true << select;
}

void TestFormDialogs::cancelEmptiesTheResultAndKeepsTheTyping() {
    QFETCH(int, form);
    QFETCH(bool, byEscape);
    QFETCH(QString, expectedNextOk);
    std::string result;
    auto dialog = makeDialog(form, result);
    runModal(*dialog, [&](QDialog&) { user::click(*dialog, "Button1"); });
    QVERIFY(!result.empty());

    runModal(*dialog, [&](QDialog&) {
        user::replaceText(*dialog, "Edit1", "残す");
        if (form != 17) user::click(*dialog, "CheckBox1");
        // No close box: the window manager's close runs neither OK nor Cancel.
        user::closeByCloseBox(*dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!result.empty());
        if (byEscape)
            user::pressEscape(*dialog);
        else
            user::click(*dialog, "Button2");
    });
    QVERIFY(result.empty());

    runModal(*dialog, [&](QDialog&) { user::click(*dialog, "Button1"); });
    QCOMPARE(bytes(result), inCp932(expectedNextOk));
}

void TestFormDialogs::charactersOutsideCp932EnterAsReferences() {
    std::string result;
    TForm16 dialog(result);
    runModal(dialog, [&](QDialog&) {
        // Hangul is outside CP932, typed or pasted; the NEC circled digit and the wave dash are inside.
        user::replaceText(dialog, "Edit1", "a가①～b");
        auto* edit2 = control<QLineEdit>(dialog, "Edit2");
        QApplication::clipboard()->setText("x가");
        QTest::mouseClick(edit2, Qt::LeftButton);
        QTest::keyClick(edit2, Qt::Key_V, Qt::ControlModifier);
        user::click(dialog, "Button1");
    });
    QCOMPARE(bytes(result),
             inCp932(R"(<INPUT TYPE="TEXT" SIZE="16" VALUE="x&#xAC00;" NAME="a&#xAC00;①～b" MAXLENGTH="80">)"));
}

QTEST_MAIN(TestFormDialogs)
#include "tst_form_dialogs.moc"
