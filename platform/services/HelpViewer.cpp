#include "HelpViewer.h"

#include "JapaneseUi.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace vela {

namespace {
const char* const Magic = "VELAHELP 1";
constexpr int TopicRole = Qt::UserRole;
} // namespace

const HelpTopic* HelpDocument::topic(const QString& id) const {
    for (const HelpBook& book : books)
        for (const HelpTopic& t : book.topics)
            if (t.id == id) return &t;
    return nullptr;
}

const HelpTopic* HelpDocument::firstTopic() const {
    for (const HelpBook& book : books)
        if (!book.topics.empty()) return &book.topics.front();
    return nullptr;
}

std::vector<HelpIndexEntry> HelpDocument::index() const {
    struct Raw {
        QString keyword;
        const HelpTopic* topic;
    };
    std::vector<Raw> raw;
    for (const HelpBook& book : books)
        for (const HelpTopic& t : book.topics)
            for (const QString& k : t.keywords) raw.push_back({k, &t});
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(raw.begin(), raw.end(),
                     [&collator](const Raw& a, const Raw& b) { return collator.compare(a.keyword, b.keyword) < 0; });
    std::vector<HelpIndexEntry> entries;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const bool shared = (i > 0 && raw[i - 1].keyword == raw[i].keyword) ||
                            (i + 1 < raw.size() && raw[i + 1].keyword == raw[i].keyword);
        QString text = raw[i].keyword;
        if (shared) text += QString::fromUtf8("（%1）").arg(raw[i].topic->title);
        entries.push_back({text, raw[i].topic->id});
    }
    return entries;
}

std::optional<HelpDocument> parseHelpFile(const QByteArray& bytes, QString* error) {
    auto failWith = [error](const QString& why) -> std::optional<HelpDocument> {
        if (error) *error = why;
        return std::nullopt;
    };
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (lines.isEmpty() || lines.first().trimmed() != QLatin1String(Magic))
        return failWith(QString::fromUtf8("ヘルプ ファイルの形式ではありません"));

    HelpDocument document;
    HelpTopic* current = nullptr;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString& line = lines[n];
        if (line.startsWith(QLatin1String("@caption "))) {
            document.caption = line.mid(9).trimmed();
        } else if (line.startsWith(QLatin1String("@book "))) {
            document.books.push_back({line.mid(6).trimmed(), {}});
            current = nullptr;
        } else if (line.startsWith(QLatin1String("@topic "))) {
            const QStringList fields = line.mid(7).split(QLatin1Char('|'));
            const QString id = fields.value(0).trimmed();
            if (id.isEmpty() || fields.size() < 2)
                return failWith(QString::fromUtf8("%1 行目: 話題の見出しが正しくありません").arg(n + 1));
            if (document.topic(id))
                return failWith(QString::fromUtf8("%1 行目: 話題 %2 が二つあります").arg(n + 1).arg(id));
            if (document.books.empty()) document.books.push_back({});
            HelpTopic topic{id, fields.value(1).trimmed(), {}, {}};
            for (const QString& k : fields.value(2).split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!k.trimmed().isEmpty()) topic.keywords << k.trimmed();
            document.books.back().topics.push_back(std::move(topic));
            current = &document.books.back().topics.back();
        } else if (current) {
            current->html += line + QLatin1Char('\n');
        } else if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            return failWith(QString::fromUtf8("%1 行目: 話題の外に本文があります").arg(n + 1));
        }
    }
    if (!document.firstTopic()) return failWith(QString::fromUtf8("話題がありません"));
    return document;
}

QStringList helpSearchFolders() {
    QStringList folders;
    const QString programDir = QCoreApplication::applicationDirPath();
    auto add = [&folders](const QString& folder) {
        const QString clean = QDir::cleanPath(folder);
        if (!folder.isEmpty() && !folders.contains(clean)) folders << clean;
    };
    add(programDir);
    // The data folder of an installation, wherever its prefix was moved to, then where it was built for.
    add(programDir + QStringLiteral("/../share/vela"));
#ifdef VELA_DATA_DIR
    add(QStringLiteral(VELA_DATA_DIR));
#endif
    add(QDir::currentPath());
    return folders;
}

QString locateHelpFile(const QString& name, const QStringList& folders) {
    const QFileInfo given(name);
    if (given.isAbsolute()) return given.isFile() ? given.absoluteFilePath() : QString();
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile()) return candidate.absoluteFilePath();
    }
    return {};
}

HelpViewer::HelpViewer(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("HelpViewer");
    setFont(japaneseUiFont(10));
    setWindowTitle(QString::fromUtf8("ヘルプ"));
    resize(720, 520);

    tabs_ = new QTabWidget;
    tabs_->setObjectName("HelpTabs");
    contents_ = new QTreeWidget;
    contents_->setObjectName("Contents");
    contents_->setHeaderHidden(true);
    tabs_->addTab(contents_, QString::fromUtf8("目次"));

    auto* indexPage = new QWidget;
    auto* indexColumn = new QVBoxLayout(indexPage);
    keyword_ = new QLineEdit;
    keyword_->setObjectName("IndexKeyword");
    keyword_->setPlaceholderText(QString::fromUtf8("キーワードを入力"));
    index_ = new QListWidget;
    index_->setObjectName("IndexList");
    indexColumn->addWidget(keyword_);
    indexColumn->addWidget(index_, 1);
    tabs_->addTab(indexPage, QString::fromUtf8("キーワード"));

    topicView_ = new QTextBrowser;
    topicView_->setObjectName("TopicView");
    topicView_->setOpenLinks(false);

    auto* splitter = new QSplitter;
    splitter->addWidget(tabs_);
    splitter->addWidget(topicView_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, 490});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && !item->data(0, TopicRole).toString().isEmpty()) showTopic(item->data(0, TopicRole).toString());
    });
    connect(index_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(TopicRole).toString()); });
    connect(index_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showTopic(item->data(TopicRole).toString()); });
    connect(keyword_, &QLineEdit::textEdited, this, &HelpViewer::seekKeyword);
    connect(keyword_, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem* item = index_->currentItem()) showTopic(item->data(TopicRole).toString());
    });
    connect(topicView_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1String("topic")) showTopic(url.path());
    });
}

bool HelpViewer::open(const QString& helpFile) {
    document_ = {};
    currentTopic_.clear();
    contents_->clear();
    index_->clear();
    keyword_->clear();
    setWindowTitle(QString::fromUtf8("ヘルプ"));

    const QStringList folders = helpSearchFolders();
    const QString path = locateHelpFile(helpFile, folders);
    if (path.isEmpty()) {
        QString where;
        for (const QString& folder : folders) where += QStringLiteral("<li>%1</li>").arg(folder.toHtmlEscaped());
        showMessage(QString::fromUtf8("<h3>ヘルプ ファイル %1 が見つかりません。</h3>"
                                      "<p>次のフォルダを探しました:</p><ul>%2</ul>"
                                      "<p>プログラムを入れ直すと、ヘルプ ファイルも入ります。</p>")
                        .arg(helpFile.toHtmlEscaped(), where));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(QString::fromUtf8("<h3>ヘルプ ファイル %1 を開けません。</h3><p>%2</p>")
                        .arg(path.toHtmlEscaped(), file.errorString().toHtmlEscaped()));
        return false;
    }
    QString error;
    std::optional<HelpDocument> parsed = parseHelpFile(file.readAll(), &error);
    if (!parsed) {
        showMessage(QString::fromUtf8("<h3>%1 はヘルプ ファイルとして読めません。</h3><p>%2</p>")
                        .arg(path.toHtmlEscaped(), error.toHtmlEscaped()));
        return false;
    }
    document_ = std::move(*parsed);
    if (!document_.caption.isEmpty()) setWindowTitle(document_.caption);
    fillContents();
    fillIndex();
    tabs_->setCurrentIndex(0);
    showTopic(document_.firstTopic()->id);
    return true;
}

void HelpViewer::showMessage(const QString& html) {
    topicView_->setHtml(html);
}

void HelpViewer::fillContents() {
    for (const HelpBook& book : document_.books) {
        auto* bookItem = new QTreeWidgetItem(contents_, {book.title});
        for (const HelpTopic& t : book.topics) {
            auto* item = new QTreeWidgetItem(bookItem, {t.title});
            item->setData(0, TopicRole, t.id);
        }
        bookItem->setExpanded(true);
    }
}

void HelpViewer::fillIndex() {
    for (const HelpIndexEntry& entry : document_.index()) {
        auto* item = new QListWidgetItem(entry.text, index_);
        item->setData(TopicRole, entry.topicId);
    }
}

void HelpViewer::seekKeyword(const QString& typed) {
    for (int row = 0; row < index_->count(); ++row)
        if (index_->item(row)->text().startsWith(typed, Qt::CaseInsensitive)) {
            index_->setCurrentRow(row);
            index_->scrollToItem(index_->item(row), QAbstractItemView::PositionAtTop);
            return;
        }
}

bool HelpViewer::showTopic(const QString& id) {
    const HelpTopic* t = document_.topic(id);
    if (!t) return false;
    currentTopic_ = id;
    topicView_->setHtml(QStringLiteral("<h2>%1</h2>%2").arg(t->title.toHtmlEscaped(), t->html));
    // Keep the contents tree on the topic shown, whichever way it was reached.
    for (int b = 0; b < contents_->topLevelItemCount(); ++b) {
        QTreeWidgetItem* book = contents_->topLevelItem(b);
        for (int i = 0; i < book->childCount(); ++i)
            if (book->child(i)->data(0, TopicRole).toString() == id && contents_->currentItem() != book->child(i)) {
                QSignalBlocker block(contents_);
                contents_->setCurrentItem(book->child(i));
            }
    }
    return true;
}

} // namespace vela
