// Renders the input prompt, a message box and a file dialog with Japanese
// captions to PNG files in the folder given as the first argument.
#include "Cp932.h"
#include "FileDialogRules.h"
#include "InputPrompt.h"
#include "JapaneseUi.h"
#include "QtServices.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vela::setUpJapaneseUi(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

    vela::InputPrompt prompt("他のURLにリンク", "リンク先を入力して下さい", vela::cp932::fromUtf8("http://例.jp/ﾍﾟｰｼﾞ"));
    prompt.show();
    QApplication::processEvents();
    prompt.grab().save(out + QStringLiteral("/input_prompt.png"));

    vela::FileDialog settings;
    settings.kind = vela::FileDialog::Kind::Save;
    settings.filter = "HTMLファイル(*.htm)|*.htm";
    settings.title = "HTMLファイル(*.htm)の作成";
    QFileDialog dialog(nullptr, vela::fileDialogCaption(settings), QDir::currentPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(vela::qtNameFilters(settings.filter));
    dialog.setFont(vela::japaneseUiFont(9));
    dialog.selectFile(QStringLiteral("ページ.htm"));
    dialog.resize(640, 400);
    dialog.show();
    QApplication::processEvents();
    QApplication::processEvents();
    dialog.grab().save(out + QStringLiteral("/file_dialog.png"));
    dialog.hide();

    // The program's own save dialog, answered by typing a bare name.
    vela::QtServices services;
    QTimer::singleShot(300, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* edit = modal ? modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr) {
            modal->grab().save(out + QStringLiteral("/save_dialog.png"));
            edit->setText(QStringLiteral("ページ"));
            QTest::keyClick(edit, Qt::Key_Return);
        }
    });
    settings.defaultExt = "htm";
    bool chosen = services.executeFileDialog(settings);
    qInfo("chosen=%d file=%s cwd=%s", chosen, settings.fileName.c_str(), qPrintable(QDir::currentPath()));
    return 0;
}
