// A picture of the preferences dialog, one box ticked, for looking at by eye.
// Usage: vela_preferences_screenshot <output.png>  (offscreen or under xvfb-run)
#include "JapaneseUi.h"
#include "TForm10.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vela::setUpJapaneseUi(app);
    if (argc < 2) return 2;
    vela::EditorState state;
    state.LineBreakAfterTag = 1;
    vela::TForm10 dialog(state);
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(300, [&] {
        dialog.grab().save(out);
        dialog.done(0);
    });
    dialog.exec();
    return 0;
}
