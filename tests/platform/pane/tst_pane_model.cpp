// The pane's model against a naive one (a format per byte, lines by scanning):
// random edits, restyles and whole replacements must leave text, formats and
// line lengths exactly as the naive model has them, and runs joined.

#include "PaneModel.h"
#include "TestSupport.h"

#include <random>

using namespace vela;

namespace {

struct Naive {
    std::string text;
    std::vector<rtf::RunFormat> formats; // one per byte

    std::vector<int> lines() const {
        std::vector<int> out;
        std::size_t start = 0;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '\r' && text[i + 1] == '\n') {
                out.push_back(int(i + 2 - start));
                start = i + 2;
                ++i;
            }
        out.push_back(int(text.size() - start));
        return out;
    }
};

rtf::RunFormat colour(std::uint32_t c) {
    rtf::RunFormat f;
    if (c) f.color = c;
    return f;
}

} // namespace

class TestPaneModel : public QObject {
    Q_OBJECT

    static void compare(const PaneModel& model, const Naive& naive) {
        QCOMPARE(model.text(), naive.text);
        std::size_t at = 0;
        PaneModel::FormatId previous = ~0u;
        model.forEachRun(0, model.size(), [&](PaneModel::FormatId id, std::string_view piece) {
            QVERIFY2(id != previous, "neighbouring runs of one format are joined");
            previous = id;
            for (std::size_t i = 0; i < piece.size(); ++i) QCOMPARE(model.format(id), naive.formats[at + i]);
            at += piece.size();
        });
        QCOMPARE(at, naive.text.size());
        const std::vector<int> lines = naive.lines();
        QCOMPARE(model.lines().blockCount(), int(lines.size()));
        for (int i = 0; i < int(lines.size()); ++i) QCOMPARE(model.lines().length(i), lines[std::size_t(i)]);
        QCOMPARE(model.lines().total(), int(naive.text.size()));
    }

private slots:
    void randomEditsMatchTheNaiveModel() {
        const char* const pieces[] = {"a", "<B>", "\r\n", "ab\r\ncd", "\r\n\r\n", "\x93\xfa\x96\x7b", "", "x\r\ny\r\n"};
        for (std::uint32_t seed : {1u, 2u, 3u, 42u}) {
            std::mt19937 random(seed);
            auto below = [&random](std::size_t n) { return n == 0 ? 0 : std::size_t(random() % n); };
            PaneModel model;
            Naive naive;
            rtf::SharedRuns shared;
            std::string sharedText;
            for (int step = 0; step < 3000; ++step) {
                const std::size_t size = naive.text.size();
                const std::size_t from = below(size + 1);
                const std::size_t length = std::min(size - from, below(12));
                const rtf::RunFormat f = colour(std::uint32_t(below(4)) * 0x10);
                switch (below(size > 4000 ? 2 : 5)) {
                case 0: { // delete or replace
                    const std::string piece = pieces[below(std::size(pieces))];
                    model.replace(from, length, piece, model.intern(f));
                    naive.text.replace(from, length, piece);
                    naive.formats.erase(naive.formats.begin() + std::ptrdiff_t(from),
                                        naive.formats.begin() + std::ptrdiff_t(from + length));
                    naive.formats.insert(naive.formats.begin() + std::ptrdiff_t(from), piece.size(), f);
                    break;
                }
                case 1:
                    model.restyle(from, length, [&f](rtf::RunFormat& r) { r.color = f.color; });
                    for (std::size_t i = from; i < from + length; ++i) naive.formats[i].color = f.color;
                    break;
                case 2: { // formatted pieces, as a paste of our own runs
                    rtf::PackedRuns runs;
                    runs.append("<I>", colour(0xFF));
                    runs.append("x", colour(0));
                    runs.append("\r\n", colour(0xFF));
                    const rtf::PackedRuns& part = runs;
                    model.replace(from, length, part);
                    naive.text.replace(from, length, part.text);
                    naive.formats.erase(naive.formats.begin() + std::ptrdiff_t(from),
                                        naive.formats.begin() + std::ptrdiff_t(from + length));
                    std::vector<rtf::RunFormat> inserted;
                    part.forEach([&](const rtf::RunFormat& rf, std::string_view t) { inserted.insert(inserted.end(), t.size(), rf); });
                    naive.formats.insert(naive.formats.begin() + std::ptrdiff_t(from), inserted.begin(), inserted.end());
                    break;
                }
                default: { // typing a character
                    model.replace(from, 0, "z", model.intern(f));
                    naive.text.insert(from, "z");
                    naive.formats.insert(naive.formats.begin() + std::ptrdiff_t(from), f);
                    break;
                }
                }
                if (step % 97 == 0) {
                    compare(model, naive);
                    if (QTest::currentTestFailed()) return;
                    // A reader of the shared content (the undo snapshot's writer) keeps what it was given.
                    if (shared.text) QCOMPARE(shared.packed().text, sharedText);
                    shared = model.shared();
                    sharedText = naive.text;
                }
            }
            compare(model, naive);
            // A whole replacement, as a load does.
            rtf::PackedRuns whole = model.shared().packed();
            model.assign(std::move(whole));
            compare(model, naive);
        }
    }
};

QTEST_GUILESS_MAIN(TestPaneModel)
#include "tst_pane_model.moc"
