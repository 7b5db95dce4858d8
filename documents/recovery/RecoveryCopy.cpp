#include "RecoveryCopy.h"

#include "FileRead.h"
#include "FileReplace.h"
#include "Services.h"

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace vela::recovery {
namespace {

const char* const AppCaption = "VELA-VOVUZEZU DOZA RODORA";
// Beyond any copy of a document the editor can hold; a bigger file is no copy of ours.
constexpr std::size_t MaxCopyBytes = std::size_t(1) << 30;

std::optional<RecoveryContent> readCopy(const std::string& path) {
    std::optional<std::string> bytes = files::readRegularFile(path, MaxCopyBytes);
    if (!bytes) return std::nullopt;
    return decode(*bytes);
}

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

/// One thread that writes (or deletes) the copy. Only the latest request
/// counts: a newer one replaces a request still waiting, and requests are done
/// in order, so a deletion is never overtaken by an older write.
class RecoveryCopy::Writer {
public:
    Writer(std::string path, std::function<void(bool ok)> written)
        : m_path(std::move(path)), m_written(std::move(written)) {}
    ~Writer() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable()) m_thread.join();
    }

    void write(RecoveryContent content) { post(std::move(content)); }
    void remove() { post(std::nullopt); }
    void waitIdle() {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return !m_next && !m_busy; });
    }

private:
    using Request = std::optional<RecoveryContent>; ///< nothing: delete the copy

    void post(Request request) {
        {
            std::lock_guard lock(m_mutex);
            m_next = std::move(request);
            if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
        }
        m_wake.notify_one();
    }

    void run() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_next || m_stopping; });
            // What was asked before the end is still done: the last request deletes the copy.
            if (!m_next) return;
            Request request = std::move(*m_next);
            m_next.reset();
            m_busy = true;
            lock.unlock();
            if (request) {
                const bool ok = files::replaceFile(m_path, encode(*request)) == files::ReplaceResult::Done;
                m_written(ok);
            } else {
                ::unlink(m_path.c_str());
            }
            lock.lock();
            m_busy = false;
            m_idle.notify_all();
        }
    }

    const std::string m_path;
    const std::function<void(bool)> m_written;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<Request> m_next;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

RecoveryCopy::RecoveryCopy(const Pane& pane, Services& services, Document document, const std::string& folder)
    : m_pane(pane), m_services(services), m_document(std::move(document)), m_folder(folder),
      m_pause(std::make_unique<QTimer>()), m_nextSlice(std::make_unique<QTimer>()) {
    m_pause->setSingleShot(true);
    m_pause->setInterval(PauseMs);
    QObject::connect(m_pause.get(), &QTimer::timeout, m_pause.get(), [this] { writeNow(); });
    // Zero time: the next slice runs once the events that came meanwhile are handled.
    m_nextSlice->setSingleShot(true);
    m_nextSlice->setInterval(0);
    QObject::connect(m_nextSlice.get(), &QTimer::timeout, m_nextSlice.get(), [this] {
        if (!takeSlice()) m_nextSlice->start();
    });
    if (m_folder.copyPath().empty()) return;
    // The writer reports on its own thread; the report is handled on the GUI thread.
    m_writer = std::make_unique<Writer>(m_folder.copyPath(), [timer = m_pause.get(), this](bool ok) {
        QMetaObject::invokeMethod(timer, [this, ok] { written(ok); }, Qt::QueuedConnection);
    });
}

RecoveryCopy::~RecoveryCopy() { discard(); }

void RecoveryCopy::documentChanged() { m_pause->start(); }

void RecoveryCopy::discard() {
    m_pause->stop();
    m_nextSlice->stop();
    m_taking.reset();
    if (!m_copyOnDisk) return;
    m_writer->remove();
    m_copyOnDisk = false;
}

void RecoveryCopy::writeNow() {
    if (!m_document.unsaved()) return discard();
    if (!m_writer) return tellOnce("復元用のフォルダ " + m_folder.folder() + " を使えません");
    m_takingAbout = m_document.about();
    m_takingAbout.savedAtMs = nowMs();
    m_taking = m_pane.rtfInSlices();
    m_nextSlice->start();
}

bool RecoveryCopy::takeSlice() {
    // About a millisecond of a big page per step, so a slice ends soon after its time is up.
    constexpr int StepCharacters = 16384;
    QElapsedTimer slice;
    slice.start();
    while (m_taking) {
        // A change restarted the pause; the copy is taken afresh when it ends.
        if (!m_taking->current()) {
            m_taking.reset();
            break;
        }
        if (m_taking->next(StepCharacters)) {
            m_takingAbout.rtf = m_taking->take();
            m_taking.reset();
            m_writer->write(std::move(m_takingAbout));
            m_takingAbout = {};
            m_copyOnDisk = true;
            break;
        }
        if (slice.elapsed() >= SliceMs) return false;
    }
    return true;
}

void RecoveryCopy::written(bool ok) {
    if (ok)
        m_told = false;
    else
        tellOnce("復元用のファイル " + path() + " に書き込めません");
}

void RecoveryCopy::tellOnce(const std::string& note) {
    if (m_told) return;
    m_told = true;
    m_document.tell(note);
}

void RecoveryCopy::waitForWriter() {
    if (m_writer) m_writer->waitIdle();
}

std::optional<RecoveryContent> RecoveryCopy::offerLeftovers() {
    std::vector<Leftover> readable;
    std::optional<RecoveryContent> newest;
    std::size_t newestIndex = 0;
    for (Leftover& leftover : m_folder.claimLeftovers()) {
        std::optional<RecoveryContent> content = readCopy(leftover.path());
        if (!content) {
            const std::string original = leftover.path();
            const std::string aside = m_folder.setAside(std::move(leftover));
            m_services.messageBox(AppCaption,
                                  "復元用のファイル " + original + " は壊れていて読めません。" + aside + " に移しました。",
                                  MessageButtons::Ok, MessageIcon::None);
            continue;
        }
        if (!newest || content->savedAtMs > newest->savedAtMs) {
            newest = std::move(content);
            newestIndex = readable.size();
        }
        readable.push_back(std::move(leftover));
    }
    if (readable.empty()) return std::nullopt;
    const MessageAnswer answer = m_services.messageBox("確認", "保存されていない文書が残っています。復元しますか？",
                                                       MessageButtons::YesNo, MessageIcon::None);
    if (answer != MessageAnswer::Yes) {
        for (Leftover& leftover : readable) m_folder.remove(std::move(leftover));
        return std::nullopt;
    }
    // The older copies are let go with `readable`: a later start offers them again.
    m_offered = std::move(readable[newestIndex]);
    return newest;
}

void RecoveryCopy::keepOffered() {
    if (!m_offered) return;
    Leftover offered = std::move(*m_offered);
    m_offered.reset();
    m_copyOnDisk = m_folder.adopt(std::move(offered)) || m_copyOnDisk;
}

} // namespace vela::recovery
