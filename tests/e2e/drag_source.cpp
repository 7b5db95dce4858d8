// Stands in for a file manager or another program in the end-to-end scenarios: a small window titled
// "drag-source" that starts a drag when the mouse is pressed on it, carrying the files named on the
// command line as file URLs with their paths as text beside them (as file managers offer them), or,
// with --text, only the text given.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QStringList arguments) : m_arguments(std::move(arguments)) {
        setWindowTitle(QStringLiteral("drag-source"));
        setFixedSize(120, 80);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        if (m_arguments.value(0) == QLatin1String("--text")) {
            data->setText(m_arguments.value(1));
        } else {
            QList<QUrl> urls;
            for (const QString& path : m_arguments) urls << QUrl::fromLocalFile(path);
            data->setUrls(urls);
            data->setText(m_arguments.join(QLatin1Char('\n')));
        }
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QStringList m_arguments;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DragSource source(QApplication::arguments().mid(1));
    source.move(0, 0);
    source.show();
    return app.exec();
}
