// Program start: until the main window exists, an empty window with the title.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString title = QString::fromUtf8("VELA-VOVUZEZU DOZA RODORA");
    QApplication::setApplicationDisplayName(title);
    QMainWindow window;
    window.setWindowTitle(title);
    window.resize(638, 294);
    window.show();
    return app.exec();
}
