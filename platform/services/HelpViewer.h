#pragma once
// The help viewer: reads a help file of the editor's own format and shows it
// in a window with a contents tree, a keyword index and the topic text.
//
// The format is UTF-8 text. The first line is "VELAHELP 1". Lines starting
// with "@" are directives: "@caption <window title>", "@book <title>" (starts
// a book of the contents) and "@topic <id> | <title> | <keyword>; <keyword>..."
// (starts a topic in the current book). Every other line belongs to the
// current topic's text, which is rich text as QTextBrowser shows it; a link
// "topic:<id>" leads to another topic. Lines starting with "#" before the
// first topic are comments.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

namespace vela {

struct HelpTopic {
    QString id;
    QString title;
    QStringList keywords;
    QString html;
};

struct HelpBook {
    QString title;
    std::vector<HelpTopic> topics;
};

/// One entry of the keyword index: the text shown and the topic it leads to.
struct HelpIndexEntry {
    QString text;
    QString topicId;
};

struct HelpDocument {
    QString caption;
    std::vector<HelpBook> books;

    /// The topic with this id, or null.
    const HelpTopic* topic(const QString& id) const;
    /// The first topic of the contents, or null.
    const HelpTopic* firstTopic() const;
    /// Every keyword of every topic, sorted in Japanese order; a keyword of
    /// several topics appears once per topic, with the topic's title added.
    std::vector<HelpIndexEntry> index() const;
};

/// Reads a help file's bytes; nothing when they are not in the format (`error` says why).
std::optional<HelpDocument> parseHelpFile(const QByteArray& bytes, QString* error = nullptr);

/// Where a bare help file name is looked for, in order: the program's folder,
/// its installed data folder, the current directory.
QStringList helpSearchFolders();

/// The full path of `name` in the first of `folders` that holds it; an
/// absolute `name` is taken as it is. Empty when no folder holds it.
QString locateHelpFile(const QString& name, const QStringList& folders);

/// The help window. It stays open beside the main window and shows the
/// last file it was asked to open; a missing or unreadable file is reported
/// in the window itself.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* owner = nullptr);

    /// Opens a help file by name (looked up by helpSearchFolders) or by path,
    /// showing its first topic and the contents page. False when the file was
    /// missing or not a help file; the window then says so.
    bool open(const QString& helpFile);
    /// Shows a topic of the open file; false when there is no such topic.
    bool showTopic(const QString& id);

    const HelpDocument& document() const { return document_; }
    /// The topic shown, empty when none.
    const QString& currentTopic() const { return currentTopic_; }

private:
    void showMessage(const QString& html);
    void fillContents();
    void fillIndex();
    void seekKeyword(const QString& typed);

    HelpDocument document_;
    QString currentTopic_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QLineEdit* keyword_ = nullptr;
    QListWidget* index_ = nullptr;
    QTextBrowser* topicView_ = nullptr;
};

} // namespace vela
