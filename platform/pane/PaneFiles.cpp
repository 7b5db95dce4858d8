#include "PaneImpl.h"

#include "AppError.h"
#include "BlockIndex.h"
#include "FileReplace.h"
#include "PageEncoding.h"
#include "Rtf.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

namespace vela {

using namespace panetext;

LoadReport Pane::loadFromFile(const std::string& path, StreamFormat format) {
    const QString name = QString::fromStdString(path);
    const std::string fullPath = QFileInfo(name).absoluteFilePath().toStdString();
    // A folder, device or pipe is no document: reading one could block or never end. The file is
    // judged by what was opened, so a pipe put in its place after a look at the name cannot block.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw cannotOpenFile(fullPath);
    struct stat status {};
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw cannotOpenFile(fullPath);
    }
    const bool rtfFile = format == StreamFormat::Rtf && rtf::looksLikeRtf(file.peek(16).toStdString());
    const std::int64_t limit = rtfFile ? kMaxRtfFileBytes : kMaxPlainTextFileBytes;
    if (file.size() > limit) throw fileTooLarge(fullPath, int(limit >> 20));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) throw streamReadFailed();
    const std::string_view bytes(data.constData(), std::size_t(data.size()));

    // Each form of the text goes once the next is made: a big page is held as few times as may be.
    LoadReport report;
    if (format == StreamFormat::Rtf && rtf::looksLikeRtf(bytes)) {
        auto result = rtf::read(bytes);
        data = QByteArray();
        report.replaced = result.replaced;
        report.referenced = result.referenced;
        setRuns(result.runs);
        return report;
    }
    // In its own encoding; CP932 gets the round trip by character (undecodable
    // bytes become "?", NEC duplicates come back as IBM codes).
    encoding::ReadText read = encoding::readText(bytes);
    data = QByteArray();
    report.replaced = read.replaced;
    report.referenced = read.referenced;
    report.encoding = std::move(read.encoding);
    std::string text = withLineBreaks(read.text);
    read.text = std::string();
    d->assign(onePiece(std::move(text), {}));
    return report;
}

// The model as it was when the slices began; a change of the content ends their use.
struct Pane::RtfSlices::State {
    explicit State(const Impl& pane) : d(pane), version(pane.contentVersion), end(pane.model.size()) {
        writer.reserve(end * 3); // a page of half Japanese, half ASCII
    }
    const Impl& d;
    const std::uint64_t version;
    rtf::Writer writer;
    std::size_t at = 0;
    const std::size_t end;
};

Pane::RtfSlices::RtfSlices(std::unique_ptr<State> state) : m(std::move(state)) {}
Pane::RtfSlices::~RtfSlices() = default;

bool Pane::RtfSlices::current() const { return m->version == m->d.contentVersion; }

bool Pane::RtfSlices::next(int characters) {
    State& s = *m;
    if (s.at >= s.end) return true;
    if (!current()) return false;
    // Whole lines: a CR LF is never split between two slices.
    std::size_t to = std::size_t(characters) >= s.end - s.at ? s.end : s.at + std::size_t(std::max(characters, 1));
    if (to < s.end) {
        const BlockIndex& lines = s.d.model.lines();
        const int line = lines.blockAt(int(to));
        to = std::min(s.end, std::size_t(lines.prefix(line) + lines.length(line)));
    }
    s.d.model.forEachRun(s.at, to, [&s](PaneModel::FormatId id, std::string_view piece) {
        s.writer.append(s.d.model.format(id), piece);
    });
    s.at = to;
    return s.at >= s.end;
}

std::string Pane::RtfSlices::take() { return m->writer.finish(); }

std::unique_ptr<Pane::RtfSlices> Pane::rtfInSlices() const {
    return std::unique_ptr<RtfSlices>(new RtfSlices(std::make_unique<RtfSlices::State>(*d)));
}

std::string Pane::rtfText() const {
    RtfSlices whole(std::make_unique<RtfSlices::State>(*d));
    whole.next(std::numeric_limits<int>::max());
    return whole.take();
}

void Pane::saveToFile(const std::string& path, StreamFormat format, files::Durability durability) const {
    if (format == StreamFormat::PlainText) return files::writeFileOrThrow(path, text(), durability);
    files::writeFileOrThrow(path, rtfText(), durability);
}

} // namespace vela
