// The dialog-driven tag commands, run from the menu and the toolbar through
// the real dialogs, which a script operates as a user would.
#include "../app/MainWindowFixture.h"

#include "Cp932.h"
#include "TagInsertionEngine.h"
#include "UserActions.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QDialog>
#include <QScreen>

using namespace vela;
using vela::test::MainWindowFixture;

namespace {
// The template with "abc" typed on its empty line, "abc" selected.
const std::string Head = "<HTML>\r\n<HEAD>\r\n";
const std::string Tail = "\r\n</HEAD>\r\n\r\n</HTML>";
const char* const ImageTitle = "画像ファイルの選択";
const char* const WallpaperTitle = "壁紙にする画像ファイルの選択";
const char* const PictureFilter = "GIF files(*.gif)|*.gif|JPEG files(*.jpg)|*.jpg";

void typeAndSelectAbc(MainWindowFixture& w) {
    w.select(16, 0);
    w.form->pane().setSelText("abc");
    w.select(16, 3);
}

Color colorAt(Pane& pane, int pos) {
    pane.setSelStart(pos);
    pane.setSelLength(1);
    return pane.selColor();
}

/// What a user does in a dialog, one step per entry:
///   "Button1"       click the widget of that name
///   "Edit1=5"       type into that line edit
///   "TrackBar1:End" press End (or Right, Home) on that widget
///   "await:Button1" wait until that widget is enabled (a polling timer)
///   "Esc", "close"  press Esc, use the close box
ScriptedServices::Script steps(const QStringList& list) {
    return [list](QDialog& dialog) {
        for (const QString& step : list) {
            if (step == QLatin1String("Esc")) {
                user::pressEscape(dialog);
            } else if (step == QLatin1String("close")) {
                user::closeByCloseBox(dialog);
            } else if (step.startsWith(QLatin1String("await:"))) {
                QWidget* widget = dialog.findChild<QWidget*>(step.mid(6));
                QVERIFY(widget);
                QVERIFY(QTest::qWaitFor([widget] { return widget->isEnabled(); }, 2000));
            } else if (int eq = step.indexOf(QLatin1Char('=')); eq > 0) {
                user::typeInto(dialog, step.left(eq), step.mid(eq + 1));
            } else if (int colon = step.indexOf(QLatin1Char(':')); colon > 0) {
                QWidget* widget = dialog.findChild<QWidget*>(step.left(colon));
                QVERIFY(widget);
                const QString key = step.mid(colon + 1);
                QTest::keyClick(widget, key == QLatin1String("End")     ? Qt::Key_End
                                        : key == QLatin1String("Right") ? Qt::Key_Right
                                                                        : Qt::Key_Home);
            } else if (auto* box = dialog.findChild<QAbstractButton*>(step);
                       qobject_cast<QRadioButton*>(box) || qobject_cast<QCheckBox*>(box)) {
                // On its mark: past a short caption the box does not take the click.
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            } else if (box) {
                user::click(dialog, step);
            } else {
                // The palette's colour panels take plain clicks.
                QWidget* widget = dialog.findChild<QWidget*>(step);
                QVERIFY2(widget, qPrintable(step));
                QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
            }
        }
    };
}

std::string sjis(const QString& text) { return cp932::fromUtf8(text.toStdString()); }
} // namespace

class DialogTagsTest : public QObject {
    Q_OBJECT

    void run(MainWindowFixture& w, const QString& entry, const QString& button, int page, bool viaButton) {
        if (viaButton)
            w.clickButton(button, page);
        else
            w.chooseMenuEntry(entry.toStdString());
    }

private slots:
    void insertsWhatTheDialogComposed_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("button"); // empty: menu only
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::addColumn<int>("size"); // points of the enclosed text
        const int N = NormalPointSize;
        QTest::newRow("font size 7") << "Menu39" << "SpeedButton14" << 1 << QStringList{"Button1"}
                                     << "<FONT SIZE=7>" << "</FONT>" << 40;
        QTest::newRow("font size 1, no size preview")
            << "Menu39" << "SpeedButton14" << 1 << QStringList{"TrackBar1:End", "Button1"} << "<FONT SIZE=1>"
            << "</FONT>" << N;
        QTest::newRow("heading 2") << "Menu38" << "SpeedButton20" << 1 << QStringList{"TrackBar1:Right", "Button1"}
                                   << "<H2>" << "</H2>" << 22;
        QTest::newRow("font colour") << "MenuFontColor" << "SpeedButton28" << 1 << QStringList{"Panel12", "OKBtn"}
                                     << "<FONT COLOR=\"#FF0000\">" << "</FONT>" << N;
        QTest::newRow("marquee") << "Menu3e" << "SpeedButton25" << 1
                                 << QStringList{"RadioButton2", "RadioButton5", "Button1"}
                                 << "<MARQUEE BEHAVIOR=ALTERNATE DIRECTION=RIGHT>" << "</MARQUEE>" << N;
        QTest::newRow("ordered list") << "KO1" << "SpeedButton34" << 2
                                      << QStringList{"RadioButton2", "Edit1=5", "RadioButton6", "Button2"}
                                      << "<OL START=5 TYPE=i>" << "</OL>" << N;
        QTest::newRow("text field") << "N11" << "" << 0 << QStringList{"Button1"}
                                    << "<INPUT TYPE=\"TEXT\" SIZE=\"16\" VALUE=\"\" NAME=\"TEXT\" MAXLENGTH=\"80\">"
                                    << "" << N;
        QTest::newRow("password field")
            << "N11" << "" << 0 << QStringList{"CheckBox1", "Edit1=pw", "Button1"}
            << "<INPUT TYPE=\"PASSWORD\" SIZE=\"16\" VALUE=\"\" NAME=\"TEXTpw\" MAXLENGTH=\"80\">" << "" << N;
        QTest::newRow("text area") << "N5" << "" << 0 << QStringList{"Button1"}
                                   << "<TEXTAREA NAME=\"TEXTAREA\" ROWS=10 COLS=80>" << "</TEXTAREA>" << N;
        QTest::newRow("radio button") << "R2" << "" << 0 << QStringList{"Button1"}
                                      << "<INPUT TYPE=\"RADIO\" NAME=\"SELECT\" VALUE=\"\" >" << "" << N;
        QTest::newRow("check box") << "C1" << "" << 0 << QStringList{"CheckBox1", "Button1"}
                                   << "<INPUT TYPE=\"CHECKBOX\" NAME=\"SELECT\" VALUE=\"\" CHECKED>" << "" << N;
        QTest::newRow("frameset, neither split") << "MenuFRAMESET" << "SpeedButton36" << 2 << QStringList{"Button1"}
                                                 << "<FRAMESET>" << "</FRAMESET>" << N;
        QTest::newRow("frameset, columns") << "MenuFRAMESET" << "SpeedButton36" << 2
                                           << QStringList{"CheckBox1", "Button1"} << "<FRAMESET COLS=\"10%,90%\">"
                                           << "</FRAMESET>" << N;
        QTest::newRow("frameset, rows") << "MenuFRAMESET" << "SpeedButton36" << 2
                                        << QStringList{"CheckBox2", "Button1"} << "<FRAMESET ROWS=\"10%,90%\">"
                                        << "</FRAMESET>" << N;
        QTest::newRow("frameset, both") << "MenuFRAMESET" << "SpeedButton36" << 2
                                        << QStringList{"CheckBox1", "CheckBox2", "Button1"}
                                        << "<FRAMESET COLS=\"10%,90%\" ROWS=\"10%,90%\">" << "</FRAMESET>" << N;
        QTest::newRow("frame") << "KF1" << "SpeedButton37" << 2
                               << QStringList{"Edit1=main", "Edit2=a.htm", "await:Button1", "RadioButton3",
                                              "CheckBox1", "Button1"}
                               << "<FRAME SRC=\"a.htm\" NAME=\"main\" SCROLLING=\"NO\" NORESIZE>" << "" << N;
    }
    void insertsWhatTheDialogComposed() {
        QFETCH(QString, entry);
        QFETCH(QString, button);
        QFETCH(int, page);
        QFETCH(QStringList, script);
        QFETCH(QString, open);
        QFETCH(QString, close);
        QFETCH(int, size);
        const std::string openText = open.toStdString(), closeText = close.toStdString();
        for (const bool viaButton : {false, true}) {
            if (viaButton && button.isEmpty()) continue;
            MainWindowFixture w;
            typeAndSelectAbc(w);
            w.services.expectModal(steps(script));
            run(w, entry, button, page, viaButton);
            QVERIFY(w.services.verifyAllConsumed());
            Pane& pane = w.form->pane();
            QCOMPARE(QString::fromStdString(pane.text()),
                     QString::fromStdString(Head + openText + "abc" + closeText + Tail));
            const int enclosed = 16 + int(openText.size());
            QCOMPARE(pane.selStart(), enclosed);
            QCOMPARE(pane.selLength(), 3);
            QCOMPARE(pane.selSize(), size);
            const PendingTagState& tag = w.form->state().PendingTag;
            QCOMPARE(tag.FontSizeLevel + tag.HeadingLevel + tag.UseYellow, 0);
            if (!openText.empty()) QCOMPARE(colorAt(pane, 16), TagCyan);
            if (!closeText.empty()) QCOMPARE(colorAt(pane, enclosed + 3), TagCyan);
        }
    }

    void cancelInsertsNothing_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("script");
        QTest::newRow("font size") << "Menu39" << QStringList{"Button2"};
        QTest::newRow("font size, Esc") << "Menu39" << QStringList{"Esc"};
        QTest::newRow("font size, close box before any OK") << "Menu39" << QStringList{"close"};
        QTest::newRow("heading") << "Menu38" << QStringList{"Button2"};
        QTest::newRow("font colour") << "MenuFontColor" << QStringList{"CancelBtn"};
        QTest::newRow("marquee") << "Menu3e" << QStringList{"Button2"};
        QTest::newRow("marquee, close box before any OK") << "Menu3e" << QStringList{"close"};
        QTest::newRow("ordered list") << "KO1" << QStringList{"Button1"};
        QTest::newRow("text field") << "N11" << QStringList{"Button2"};
        QTest::newRow("text area") << "N5" << QStringList{"Esc"};
        QTest::newRow("radio button") << "R2" << QStringList{"Button2"};
        QTest::newRow("check box") << "C1" << QStringList{"Button2"};
        QTest::newRow("frameset") << "MenuFRAMESET" << QStringList{"Button2"};
        QTest::newRow("frame") << "KF1" << QStringList{"Button2"};
    }
    void cancelInsertsNothing() {
        QFETCH(QString, entry);
        QFETCH(QStringList, script);
        MainWindowFixture w;
        typeAndSelectAbc(w);
        // A closing text left from an earlier command must not go in.
        w.form->state().PendingTag.CloseText = "</B>";
        w.services.expectModal(steps(script));
        w.chooseMenuEntry(entry.toStdString());
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Head + "abc" + Tail);
        QCOMPARE(w.form->state().UndoAvailable, 0);
    }

    void cancelAfterAnEarlierOkInsertsNothing_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("font size") << "Menu39" << "Button1" << "Button2";
        QTest::newRow("marquee") << "Menu3e" << "Button1" << "Button2";
        QTest::newRow("frameset, the C marker") << "MenuFRAMESET" << "Button1" << "Button2";
        QTest::newRow("ordered list") << "KO1" << "Button2" << "Button1";
    }
    void cancelAfterAnEarlierOkInsertsNothing() {
        QFETCH(QString, entry);
        QFETCH(QString, ok);
        QFETCH(QString, cancel);
        MainWindowFixture w;
        typeAndSelectAbc(w);
        w.services.expectModal(steps({ok}));
        w.chooseMenuEntry(entry.toStdString());
        const std::string afterOk = w.form->pane().text();
        QVERIFY(afterOk != Head + "abc" + Tail);
        w.services.expectModal(steps({cancel}));
        w.chooseMenuEntry(entry.toStdString());
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), afterOk);
    }

    void closeBoxInsertsNothingAfterAnEarlierOk_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::newRow("font size") << "Menu39" << QStringList{"TrackBar1:End", "Button1"}
                                   << QStringList{"TrackBar1:Home", "close"} << "<FONT SIZE=1>" << "</FONT>";
        QTest::newRow("marquee") << "Menu3e" << QStringList{"RadioButton3", "Button1"}
                                 << QStringList{"RadioButton1", "RadioButton5", "close"}
                                 << "<MARQUEE BEHAVIOR=SLIDE DIRECTION=LEFT>" << "</MARQUEE>";
    }
    void closeBoxInsertsNothingAfterAnEarlierOk() {
        QFETCH(QString, entry);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QString, open);
        QFETCH(QString, close);
        MainWindowFixture w;
        w.select(16, 0);
        w.services.expectModal(steps(first));
        w.chooseMenuEntry(entry.toStdString());
        const std::string tag = open.toStdString() + close.toStdString();
        QCOMPARE(w.form->pane().text(), Head + tag + Tail);
        w.select(16 + int(tag.size()), 0);
        w.services.expectModal(steps(second));
        w.chooseMenuEntry(entry.toStdString());
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Head + tag + Tail);
    }

    void headingCloseBoxInsertsNothing() {
        MainWindowFixture w;
        typeAndSelectAbc(w);
        w.chooseMenuEntry("Menu32"); // bold
        QCOMPARE(w.form->pane().text(), Head + "<B>abc</B>" + Tail);
        w.select(26, 0);
        w.form->pane().setSelText("de");
        w.select(26, 2);
        w.services.expectModal(steps({"TrackBar1:End", "close"}));
        w.chooseMenuEntry("Menu38");
        QVERIFY(w.services.verifyAllConsumed());
        Pane& pane = w.form->pane();
        // Not the bold pair the previous command left in the pending tag.
        QCOMPARE(pane.text(), Head + "<B>abc</B>de" + Tail);
    }

    void dialogsKeepTheirStateForTheRun() {
        MainWindowFixture w;
        w.select(16, 0);
        // Font size slider at the right end, then OK at once: still size 1.
        w.services.expectModal(steps({"TrackBar1:End", "Button1"}));
        w.chooseMenuEntry("Menu39");
        w.services.expectModal(steps({"Button1"}));
        w.chooseMenuEntry("Menu39");
        // Radio button: the typed name is still in the box for the check box.
        w.services.expectModal(steps({"Edit1=X", "Button2"}));
        w.chooseMenuEntry("R2");
        w.services.expectModal(steps({"Button1"}));
        w.chooseMenuEntry("C1");
        QVERIFY(w.services.verifyAllConsumed());
        // Each insertion at the caret leaves it between the two texts.
        QCOMPARE(w.form->pane().text(),
                 Head + "<FONT SIZE=1><FONT SIZE=1><INPUT TYPE=\"CHECKBOX\" NAME=\"SELECTX\" VALUE=\"\" >"
                        "</FONT></FONT>" + Tail);
    }

    void dialogsAreCentredOnTheScreen() {
        MainWindowFixture w;
        w.form->move(0, 0);
        const QPoint screenCentre = w.form->screen()->availableGeometry().center();
        bool topLevel = false;
        QPoint centre;
        w.services.expectModal([&](QDialog& dialog) {
            topLevel = dialog.parentWidget() == nullptr;
            centre = dialog.frameGeometry().center();
            user::click(dialog, "Button2");
        });
        w.chooseMenuEntry("KO1");
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(topLevel);
        QVERIFY2((centre - screenCentre).manhattanLength() < 40, qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    }

    void imageWrapButtons_data() {
        QTest::addColumn<QString>("wrapButton");
        QTest::addColumn<QString>("align");
        QTest::newRow("text left of the image") << "Button2" << " ALIGN=\"RIGHT\"";
        QTest::newRow("text right of the image") << "Button1" << " ALIGN=\"LEFT\"";
        QTest::newRow("no text beside it") << "Button3" << "";
    }
    void imageWrapButtons() {
        QFETCH(QString, wrapButton);
        QFETCH(QString, align);
        for (const bool viaButton : {false, true}) {
            MainWindowFixture w("[SW]\r\nSTI3=1\r\n");
            typeAndSelectAbc(w);
            w.services.expectFileDialog("/home/u/Web/Photo.GIF");
            w.services.expectModal(steps({wrapButton}));
            run(w, "Menu3a", "SpeedButton19", 1, viaButton);
            QVERIFY(w.services.verifyAllConsumed());
            // The name keeps its case: on this system Photo.GIF and photo.gif are different files.
            const std::string openText = "<IMG SRC=Photo.GIF" + align.toStdString() + " ALT=\"";
            QCOMPARE(w.form->pane().text(), Head + openText + "abc\">" + Tail);
            QCOMPARE(w.form->pane().selStart(), 16 + int(openText.size()));
            QCOMPARE(w.form->pane().selLength(), 3);
            const auto& shown = w.services.fileDialogs().front().shown;
            QCOMPARE(shown.title, std::string(ImageTitle));
            QCOMPARE(shown.filter, std::string(PictureFilter));
            QVERIFY(shown.defaultExt.empty());
            QVERIFY(!shown.fileMustExist);
            QVERIFY(shown.kind == FileDialog::Kind::Open);
        }
    }

    void imagePictureName_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("full path") << QByteArray() << "/home/u/Web/Photo.GIF" << "/home/u/Web/Photo.GIF";
        QTest::newRow("preference 2 is off") << QByteArray("[SW]\r\nSTI3=2\r\n") << "/home/u/Web/Photo.GIF"
                                             << "/home/u/Web/Photo.GIF";
        QTest::newRow("japanese name only") << QByteArray("[SW]\r\nSTI3=1\r\n") << "/home/u/ソフト/写真ソ.gif"
                                            << "写真ソ.gif";
        QTest::newRow("japanese full path") << QByteArray() << "/home/u/表/アイ.GIF" << "/home/u/表/アイ.GIF";
    }
    void imagePictureName() {
        QFETCH(QByteArray, settings);
        QFETCH(QString, path);
        QFETCH(QString, name);
        MainWindowFixture w(settings);
        w.select(16, 0);
        w.services.expectFileDialog(path.toStdString());
        w.services.expectModal(steps({"Button3"}));
        w.chooseMenuEntry("Menu3a");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Head + "<IMG SRC=" + sjis(name) + " ALT=\"\">" + Tail);
    }

    void imageCancelledInTheFileDialog() {
        MainWindowFixture w;
        typeAndSelectAbc(w);
        w.services.expectFileDialogCancelled();
        // No modal is expected: the wrap dialog appearing would fail the test.
        w.chooseMenuEntry("Menu3a");
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(w.services.failures().isEmpty());
        QCOMPARE(w.form->pane().text(), Head + "abc" + Tail);
    }

    void pictureNameCp932CannotHoldIsRefused_data() {
        QTest::addColumn<QString>("entry");
        QTest::newRow("image") << "Menu3a";
        QTest::newRow("body") << "Menu3b";
    }
    void pictureNameCp932CannotHoldIsRefused() {
        QFETCH(QString, entry);
        MainWindowFixture w;
        typeAndSelectAbc(w);
        w.services.expectFileDialog("/home/u/사진.gif");
        w.services.expectMessageBox(MessageAnswer::Ok);
        // Neither the wrap nor the colour dialog follows.
        w.chooseMenuEntry(entry.toStdString());
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Head + "abc" + Tail);
        QVERIFY(QString::fromStdString(w.services.messageBoxes().front().text).contains(QStringLiteral("사진.gif")));
        QCOMPARE(w.form->state().PendingTag.UseYellow, 0);
    }

    void bodyWithBothDialogsCancelledIsYellow() {
        for (const bool viaButton : {false, true}) {
            MainWindowFixture w;
            typeAndSelectAbc(w);
            w.services.expectFileDialogCancelled();
            w.services.expectModal(steps({"CancelBtn"}));
            run(w, "Menu3b", "SpeedButton21", 1, viaButton);
            QVERIFY(w.services.verifyAllConsumed());
            Pane& pane = w.form->pane();
            QCOMPARE(pane.text(), Head + "<BODY>abc</BODY>" + Tail);
            QCOMPARE(pane.selStart(), 22);
            QCOMPARE(pane.selLength(), 3);
            for (int pos : {16, 21, 25, 31}) QCOMPARE(colorAt(pane, pos), StructureYellow);
            QCOMPARE(w.form->state().PendingTag.UseYellow, 0);
            QCOMPARE(w.services.fileDialogs().front().shown.title, std::string(WallpaperTitle));
            QCOMPARE(w.services.fileDialogs().front().shown.filter, std::string(PictureFilter));
        }
    }

    void bodyBackgroundComesBeforeTheColours() {
        MainWindowFixture w;
        typeAndSelectAbc(w);
        w.services.expectFileDialog("/home/u/Web/Back.GIF");
        w.services.expectModal(steps({"OKBtn"}));
        w.chooseMenuEntry("Menu3b");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Head +
                                            "<BODY BACKGROUND=\"/home/u/Web/Back.GIF\" TEXT=\"#000000\" "
                                            "BGCOLOR=\"#FFFFFF\">abc</BODY>" +
                                            Tail);
    }

    void bodyCloseBoxInsertsBodyWithoutColours() {
        MainWindowFixture w;
        w.select(16, 0);
        w.services.expectFileDialogCancelled();
        w.services.expectModal(steps({"Panel12", "OKBtn"}));
        w.chooseMenuEntry("Menu3b");
        const std::string first = "<BODY TEXT=\"#FF0000\" BGCOLOR=\"#FFFFFF\"></BODY>";
        QCOMPARE(w.form->pane().text(), Head + first + Tail);
        w.select(16, 0);
        w.services.expectFileDialogCancelled();
        w.services.expectModal(steps({"Panel19", "close"}));
        w.chooseMenuEntry("Menu3b");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Head + "<BODY></BODY>" + first + Tail);
    }

    void pictureDialogKeepsTheLastFile() {
        MainWindowFixture w("[SW]\r\nSTI3=1\r\n");
        w.select(16, 0);
        w.services.expectFileDialog("/home/u/Web/a.gif");
        w.services.expectModal(steps({"Button3"}));
        w.chooseMenuEntry("Menu3a");
        w.select(16, 0);
        w.services.expectFileDialogCancelled();
        w.services.expectModal(steps({"CancelBtn"}));
        w.chooseMenuEntry("Menu3b");
        QVERIFY(w.services.verifyAllConsumed());
        // The BODY command's dialog opens with the image command's file.
        QCOMPARE(w.services.fileDialogs().at(1).shown.fileName, std::string("/home/u/Web/a.gif"));
        QCOMPARE(w.form->pane().text(), Head + "<BODY></BODY><IMG SRC=a.gif ALT=\"\">" + Tail);
    }

    void screenshot() {
        // Set VELA_SCREENSHOT to a PNG path to look at the window after a few commands.
        const QString target = qEnvironmentVariable("VELA_SCREENSHOT");
        if (target.isEmpty()) QSKIP("VELA_SCREENSHOT not set");
        MainWindowFixture w("[SW]\r\nSTI3=1\r\n");
        w.form->resize(700, 320);
        w.select(16, 0);
        w.form->pane().setSelText(sjis(QStringLiteral("\r\nようこそ")));
        w.select(18, 8);
        w.services.expectModal(steps({"TrackBar1:Right", "Button1"}));
        w.chooseMenuEntry("Menu38");
        w.select(0, 0);
        w.services.expectFileDialog("/home/u/Web/写真.gif");
        w.services.expectModal(steps({"Button2"}));
        w.chooseMenuEntry("Menu3a");
        w.select(int(w.form->pane().text().size()) - 7, 0);
        w.services.expectFileDialogCancelled();
        w.services.expectModal(steps({"OKBtn"}));
        w.chooseMenuEntry("Menu3b");
        w.services.expectModal(steps({"Panel12", "OKBtn"}));
        w.chooseMenuEntry("MenuFontColor");
        QVERIFY(w.services.verifyAllConsumed());
        w.clickTab(1);
        QVERIFY(w.form->grab().save(target));
    }
};

QTEST_MAIN(DialogTagsTest)
#include "tst_dialogtags.moc"
