// vela_bench: what bench/run.sh measures. Generates the pages, runs the limit
// proxies (memchr, memmem, fwrite) and drives the real main window and pane
// offscreen. Whole-process modes do one thing and exit, so /usr/bin/time sees
// only that; "ops" times the in-process operations and prints medians.
//
//   vela_bench gen BYTES OUT.htm OUT.kvd
//   vela_bench bare | start               window to first paint, then exit
//   vela_bench plain FILE.utf8.htm        a bare Qt program: the text in a QPlainTextEdit to first paint
//   vela_bench import FILE.htm            import with auto refresh to first paint
//   vela_bench ops FILE.htm FILE.kvd RUNS in-process figures, "name ms" lines
//   vela_bench proxy FILE RUNS            memchr / memmem / fwrite of FILE's bytes
#include "Cp932.h"
#include "FindText.h"
#include "Rtf.h"
#include "Services.h"
#include "TForm1.h"
#include "UndoSnapshot.h"

#include <QApplication>
#include <QKeyEvent>
#include <QFile>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

/// Services that answer every file dialog with a preset name and nothing else.
class BenchServices : public vela::Services {
public:
    std::string nextFile;
    vela::MessageAnswer messageBox(const std::string&, const std::string&, vela::MessageButtons buttons,
                                   vela::MessageIcon) override {
        // Yes replaces an existing file; No keeps unsaved changes out of the way.
        return buttons == vela::MessageButtons::YesNo ? vela::MessageAnswer::Yes : vela::MessageAnswer::No;
    }
    bool inputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    int showModal(QDialog&) override { return 0; }
    void openWithDesktop(const std::string&) override {}
    void showHelp(const std::string&) override {}
    void printText(const std::string&, const std::string&) override {}

protected:
    bool chooseFile(const vela::FileDialog&, std::string& typed) override {
        typed = nextFile;
        return true;
    }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

/// A deterministic page: Japanese and ASCII text, a tag about every 35 bytes, CR LF.
std::string generatePage(std::size_t bytes) {
    const std::vector<std::string> japanese = {
        vela::cp932::fromUtf8("日本語の文章です。"), vela::cp932::fromUtf8("ホームページを作る"),
        vela::cp932::fromUtf8("今日は良い天気"), vela::cp932::fromUtf8("ｶﾀｶﾅの言葉"),
        vela::cp932::fromUtf8("表示されます、")};
    const std::vector<std::string> ascii = {"some text ", "HTML page ", "link here ", "sample 123 ", "and more "};
    const std::vector<std::string> tags = {"<B>", "</B>", "<I>", "</I>", "<BR>", "<A HREF=\"page.htm\">", "</A>",
                                           "<FONT COLOR=\"#FF0000\">", "</FONT>", "<P>"};
    std::string page = "<HTML>\r\n<HEAD>\r\n<TITLE>" + vela::cp932::fromUtf8("試験のページ") +
                       "</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n";
    std::uint32_t seed = 12345;
    auto next = [&seed](std::size_t n) {
        seed = seed * 1103515245u + 12345u;
        return std::size_t(seed >> 16) % n;
    };
    int onLine = 0;
    while (page.size() < bytes) {
        page += japanese[next(japanese.size())];
        page += ascii[next(ascii.size())];
        page += tags[next(tags.size())];
        if (++onLine == 3) {
            page += "\r\n";
            onLine = 0;
        }
    }
    return page + "\r\n</BODY>\r\n</HTML>\r\n";
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

/// Renders the widget as a paint would; the first paint of what it shows now.
void paint(QWidget* widget) {
    QApplication::processEvents();
    const QPixmap pixmap = widget->grab();
    if (pixmap.isNull()) std::cerr << "empty paint\n";
}

struct Form {
    BenchServices services;
    std::unique_ptr<vela::TForm1> form;
    Form() {
        form = std::make_unique<vela::TForm1>(services);
        form->resize(800, 600);
        form->show();
    }
    void run(const std::string& command, const std::string& file = {}) {
        services.nextFile = file;
        form->runCommand(command);
    }
};

int modeGenerate(std::size_t bytes, const std::string& htm, const std::string& kvd) {
    const std::string page = generatePage(bytes);
    writeFile(htm, page);
    Form f;
    f.form->pane().setRuns({{page, {}}});
    f.form->recolouring().R1Click();
    f.form->pane().saveToFile(kvd, vela::StreamFormat::Rtf);
    return 0;
}

int modeBare() {
    QWidget window;
    window.resize(800, 600);
    auto* edit = new QTextEdit(&window);
    edit->resize(800, 600);
    window.show();
    paint(&window);
    return 0;
}

// The floor for any Qt pane: read the text, hand it to the plain-text widget, paint.
int modePlain(const std::string& utf8File) {
    QFile file(QString::fromStdString(utf8File));
    if (!file.open(QIODevice::ReadOnly)) return 1;
    QPlainTextEdit edit;
    edit.resize(800, 600);
    edit.setPlainText(QString::fromUtf8(file.readAll()));
    edit.show();
    paint(&edit);
    return 0;
}

int modeStart() {
    Form f;
    paint(f.form.get());
    return 0;
}

int modeImport(const std::string& htm) {
    Form f;
    f.form->state().AutoRefreshOnImport = 1;
    f.run("HTM1", htm);
    paint(f.form->pane().widget());
    if (f.form->pane().textLength() == 0) std::cerr << "import read nothing\n";
    return 0;
}

/// Median of `runs` timings of `op`, each after `prepare` (not timed).
double timeIt(int runs, const std::function<void()>& prepare, const std::function<void()>& op) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto start = Clock::now();
        op();
        times.push_back(msSince(start));
    }
    return median(times);
}

void report(const char* name, double ms) {
    std::printf("%s %.3f\n", name, ms);
    std::fflush(stdout);
}

int modeOps(const std::string& htm, const std::string& kvd, int runs) {
    Form f;
    vela::Pane& pane = f.form->pane();
    QWidget* view = pane.widget();
    const std::string page = readFile(htm);
    auto none = [] {};
    auto plain = [&] { pane.setRuns({{page, {}}}); paint(view); };

    report("refresh_uncoloured", timeIt(runs, plain, [&] { f.run("R1"); paint(view); }));
    report("refresh_repeat", timeIt(runs, none, [&] { f.run("R1"); paint(view); }));
    auto typeTags = [&] {
        for (int i = 0; i < 8; ++i) {
            pane.setSelStart(int(page.size()) / 9 * (i + 1));
            pane.setSelLength(0);
            pane.setSelColor(vela::TextWhite);
            pane.setSelText("<I>");
        }
        paint(view);
    };
    report("refresh_after_typing", timeIt(runs, typeTags, [&] { f.run("R1"); paint(view); }));

    vela::EditorState& state = f.form->state();
    report("undo_snapshot", timeIt(runs, none, [&] { vela::takeUndoSnapshot(state, pane); }));
    const std::string rtfBytes = vela::rtf::write(pane.runs());
    const std::string fwriteTarget = state.UndoFilePath + ".fwrite";
    auto fwriteBytes = [&](const std::string& bytes) {
        std::FILE* out = std::fopen(fwriteTarget.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    };
    report("fwrite_rtf", timeIt(runs, none, [&] { fwriteBytes(rtfBytes); }));

    auto caretMid = [&] {
        pane.setSelStart(int(page.size()) / 2);
        pane.setSelLength(0);
        view->setFocus();
        paint(view);
    };
    auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(view, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(view, &up);
        paint(view);
    };
    report("enter_key", timeIt(runs, caretMid, [&] { press(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); }));
    report("char_key", timeIt(runs, caretMid, [&] { press(Qt::Key_A, Qt::NoModifier, QStringLiteral("a")); }));
    report("backspace_key",
           timeIt(runs, caretMid, [&] { press(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b")); }));
    auto caretTop = [&] {
        pane.setSelStart(0);
        pane.setSelLength(0);
        view->setFocus();
        paint(view);
    };
    report("ctrl_end", timeIt(runs, caretTop, [&] { press(Qt::Key_End, Qt::ControlModifier, {}); }));

    const std::string exported = state.UndoFilePath + ".export.htm";
    report("export", timeIt(runs, [&] { std::remove(exported.c_str()); }, [&] { f.run("HTML1", exported); }));
    const std::string text = pane.text();
    report("fwrite_text", timeIt(runs, none, [&] { fwriteBytes(text); }));
    std::remove(exported.c_str());
    std::remove(fwriteTarget.c_str());

    report("rtf_read", timeIt(runs, [&] { pane.clear(); pane.setModified(false); paint(view); },
                              [&] { f.run("Menu12", kvd); paint(view); }));

    // A needle that occurs only at the very end: the search runs over the whole page.
    const std::string needle = "</BODY>";
    const std::string content = pane.text();
    vela::FindOptions options;
    vela::PaneFinder finder;
    auto fromStart = [&] { pane.setSelStart(0); pane.setSelLength(0); };
    options.matchCase = true;
    report("find_case", timeIt(runs, fromStart, [&] { finder.find(pane, needle, options); }));
    options.matchCase = false;
    report("find_nocase", timeIt(runs, fromStart, [&] { finder.find(pane, needle, options); }));
    report("memmem", timeIt(runs, none, [&] {
               const void* hit = memmem(content.data(), content.size(), needle.data(), needle.size());
               if (!hit) std::cerr << "memmem found nothing\n";
           }));
    return 0;
}

int modeProxy(const std::string& path, int runs) {
    const std::string bytes = readFile(path);
    std::size_t count = 0;
    report("memchr_scan", timeIt(runs, [] {}, [&] {
               count = 0;
               const char* p = bytes.data();
               const char* end = p + bytes.size();
               while ((p = static_cast<const char*>(std::memchr(p, '<', std::size_t(end - p))))) {
                   const char* close = static_cast<const char*>(std::memchr(p, '>', std::size_t(end - p)));
                   if (!close) break;
                   ++count;
                   p = close + 1;
               }
           }));
    std::fprintf(stderr, "tags %zu\n", count);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc < 2) {
        std::cerr << "usage: vela_bench gen|bare|plain|start|import|ops|proxy ...\n";
        return 2;
    }
    QApplication app(argc, argv);
    const std::string mode = argv[1];
    if (mode == "gen" && argc == 5) return modeGenerate(std::stoul(argv[2]), argv[3], argv[4]);
    if (mode == "bare") return modeBare();
    if (mode == "start") return modeStart();
    if (mode == "plain" && argc == 3) return modePlain(argv[2]);
    if (mode == "import" && argc == 3) return modeImport(argv[2]);
    if (mode == "ops" && argc == 5) return modeOps(argv[2], argv[3], std::stoi(argv[4]));
    if (mode == "proxy" && argc == 4) return modeProxy(argv[2], std::stoi(argv[3]));
    std::cerr << "bad arguments\n";
    return 2;
}
