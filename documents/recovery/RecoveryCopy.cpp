#include "RecoveryCopy.h"

#include "FileRead.h"
#include "FileReplace.h"
#include "OldContentCopy.h"
#include "Services.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

#include <cerrno>
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

// A copy that merely cannot be read now (permission, disk error) is not broken: it stays for a later start.
std::optional<RecoveryContent> readCopy(const std::string& path, bool& unreadable) {
    files::ReadFailure failure{};
    std::optional<std::string> bytes = files::readRegularFile(path, MaxCopyBytes, &failure);
    unreadable = !bytes && failure == files::ReadFailure::CannotRead;
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
    /// `done` hears of each request: whether it was a write, and whether it worked.
    Writer(std::string path, std::function<void(bool wrote, bool ok)> done)
        : m_path(std::move(path)), m_done(std::move(done)) {}
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
                const auto outcome = files::replaceFile(m_path, encode(*request), files::Durability::OwnSyncedToDisk);
                m_done(true, outcome.result == files::ReplaceResult::Done);
            } else {
                // A removal that a power cut undid would offer an old copy at the next start.
                const bool removed = ::unlink(m_path.c_str()) == 0 || errno == ENOENT;
                if (removed) syncFolder(m_path.substr(0, m_path.rfind('/')));
                m_done(false, removed);
            }
            lock.lock();
            m_busy = false;
            m_idle.notify_all();
        }
    }

    const std::string m_path;
    const std::function<void(bool, bool)> m_done;
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
    m_deadline = std::make_unique<QTimer>();
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(MaxIntervalMs);
    QObject::connect(m_deadline.get(), &QTimer::timeout, m_deadline.get(), [this] {
        m_overdue = true;
        writeNow();
    });
    // Zero time: the next slice runs once the events that came meanwhile are handled.
    m_nextSlice->setSingleShot(true);
    m_nextSlice->setInterval(0);
    QObject::connect(m_nextSlice.get(), &QTimer::timeout, m_nextSlice.get(), [this] {
        if (!takeSlice()) m_nextSlice->start();
    });
    if (m_folder.copyPath().empty()) return;
    // The writer reports on its own thread; the report is handled on the GUI thread.
    m_writer = std::make_unique<Writer>(m_folder.copyPath(), [timer = m_pause.get(), this](bool wrote, bool ok) {
        QMetaObject::invokeMethod(timer, [this, wrote, ok] { written(wrote, ok); }, Qt::QueuedConnection);
    });
}

RecoveryCopy::~RecoveryCopy() { discard(); }

void RecoveryCopy::documentChanged() {
    m_pause->start();
    if (!m_deadline->isActive() && !m_overdue) m_deadline->start();
}

void RecoveryCopy::discard() {
    m_pause->stop();
    m_deadline->stop();
    m_overdue = false;
    m_nextSlice->stop();
    m_taking.reset();
    if (!m_copyOnDisk) return;
    m_writer->remove();
    m_copyOnDisk = false;
}

void RecoveryCopy::writeNow() {
    if (!m_document.unsaved()) return discard();
    if (m_folder.folder().empty()) return tellOnce("ホームフォルダが分からないため、復元用のファイルは作りません");
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
        // A change restarted the pause; the copy is taken afresh when it ends,
        // unless it is overdue: steady typing must not put it off for ever.
        if (!m_taking->current()) {
            m_taking.reset();
            if (m_overdue) takeWhole();
            break;
        }
        if (m_taking->next(StepCharacters)) {
            m_takingAbout.rtf = m_taking->take();
            m_taking.reset();
            m_deadline->stop();
            m_overdue = false;
            m_writer->write(std::move(m_takingAbout));
            m_takingAbout = {};
            m_copyOnDisk = true;
            break;
        }
        if (slice.elapsed() >= SliceMs) return false;
    }
    return true;
}

void RecoveryCopy::takeWhole() {
    m_takingAbout = m_document.about();
    m_takingAbout.savedAtMs = nowMs();
    m_takingAbout.rtf = m_pane.rtfText();
    m_deadline->stop();
    m_overdue = false;
    m_writer->write(std::move(m_takingAbout));
    m_takingAbout = {};
    m_copyOnDisk = true;
}

void RecoveryCopy::written(bool wrote, bool ok) {
    if (ok)
        m_told = false;
    else if (wrote)
        tellOnce("復元用のファイル " + path() + " に書き込めません");
    else
        tellOnce("復元用のファイル " + path() + " を削除できません");
}

void RecoveryCopy::tellOnce(const std::string& note) {
    if (m_told) return;
    m_told = true;
    m_document.tell(note);
}

void RecoveryCopy::waitForWriter() {
    if (m_writer) m_writer->waitIdle();
}

void RecoveryCopy::reportInterruptedWrites() {
    for (const files::InterruptedWrite& write : files::interruptedWrites()) {
        m_services.messageBox(AppCaption,
                              "ファイル " + write.target + " への書き込みが中断されました。ファイルは壊れているかもしれません。" +
                                  "元の内容は " + write.copy + " に残してあります。",
                              MessageButtons::Ok, MessageIcon::None);
        files::forget(write);
    }
}

std::optional<RecoveryContent> RecoveryCopy::offerLeftovers() {
    reportInterruptedWrites();
    std::vector<Leftover> readable;
    std::optional<RecoveryContent> newest;
    std::size_t newestIndex = 0;
    for (Leftover& leftover : m_folder.claimLeftovers()) {
        bool unreadable = false;
        std::optional<RecoveryContent> content = readCopy(leftover.path(), unreadable);
        if (unreadable) {
            m_services.messageBox(AppCaption, "復元用のファイル " + leftover.path() + " を読めません。", MessageButtons::Ok,
                                  MessageIcon::None);
            continue;
        }
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
    // Names what Yes would bring back, so the user can tell an old draft from this morning's work.
    const std::string name = newest->sourcePath.empty() ? std::string("無題の文書") : newest->sourcePath;
    const std::string taken =
        QDateTime::fromMSecsSinceEpoch(newest->savedAtMs).toString(QStringLiteral("yyyy/MM/dd HH:mm")).toStdString();
    const MessageAnswer answer =
        m_services.messageBox("確認", "保存されていない文書が残っています。復元しますか？\n" + name + "（" + taken + "）",
                              MessageButtons::YesNo, MessageIcon::None);
    if (answer != MessageAnswer::Yes) {
        for (Leftover& leftover : readable) {
            const std::string copy = leftover.path();
            if (!m_folder.remove(std::move(leftover))) tellOnce("復元用のファイル " + copy + " を削除できません");
        }
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
