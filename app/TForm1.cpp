#include "TForm1.h"

#include "Cp932.h"
#include "FileDrops.h"
#include "InputPrompt.h"
#include "Services.h"
#include "SettingsFile.h"
#include "UndoSnapshot.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSessionManager>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace vela {
namespace {

const char* const DesignCaption = "Form1";
const char* const Caption = "VELA-VOVUZEZU DOZA RODORA";
const char* const DocumentTemplate = "<HTML>\r\n<HEAD>\r\n\r\n</HEAD>\r\n\r\n</HTML>";
constexpr int TemplateCaret = 16;
constexpr int PanelHeight = 49;
constexpr int TabSetHeight = 17;
constexpr int StatusBarHeight = 25;
constexpr int ButtonTop = 2;
constexpr int ButtonHeight = 28;

QString utf8(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// Qt renders a tool tip that looks like markup, and ours name tags ("ボールド<B></B>"):
// escaped inside a paragraph of its own, each shows exactly as written.
QString verbatimToolTip(const QString& text) {
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

} // namespace

TForm1::TForm1(Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_pane(std::make_unique<Pane>()), m_engine(m_state, *m_pane),
      m_directTags(m_state, *this),
      m_recolouring(*m_pane), m_edit(m_state, *this, *m_pane), m_find(*this, *m_pane, services, this), m_dialogTags(m_state, *this, services, *this), m_promptedTags(m_state, *this, *m_pane, services),
      m_documents(m_state, *this, *m_pane, services,
                  {[this] { FormCreate(); }, [this](const std::string& caption) { setWindowTitle(utf8(caption)); },
                   [this] { close(); }}),
      m_htmlFiles(m_state, *this, *m_pane, services, m_documents), m_preferences(m_state, services),
      m_output(*m_pane, services), m_shell(services), m_givenFiles(m_documents, m_htmlFiles) {
    setObjectName("TForm1");
    setWindowTitle(DesignCaption);
    resize(638, 294);
    buildWindow();
    assembleCommands();
    // Every key reaches the key handler before the pane handles it.
    m_pane->setKeyDownHandler([this](int key) { guarded([this, key] { m_edit.KeyDown(key); }); });
    // What became of input (characters Shift-JIS cannot hold written as references,
    // non-text data refused) is said in the status bar.
    m_pane->setInputNoticeHandler([this](const std::string& message) { setStatusText(message); });
    // So do the references the prompt and the dialogs' edit boxes write.
    Cp932Validator::setNoticeHandler([this](const std::string& message) { setStatusText(message); });
    // The pane's right-click menu is the Edit menu itself, enabled as when it opens.
    connect(m_pane->widget(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menus.at("Menu20")->popup(m_pane->widget()->mapToGlobal(pos)); });

    // Files dropped anywhere on the window, the pane included, open as given files; text dropped stays text.
    auto* drops = new FileDrops(
        [this](const QStringList& paths) {
            std::vector<std::string> files;
            for (const QString& path : paths) files.push_back(path.toStdString());
            openGivenFiles(files);
        },
        this);
    drops->watch(this);
    auto* scrollArea = qobject_cast<QAbstractScrollArea*>(m_pane->widget());
    drops->watch(scrollArea ? scrollArea->viewport() : m_pane->widget());

    // The session ending is a close request too: it asks, or is cancelled when nobody can be asked.
    connect(
        qGuiApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& manager) {
            bool allowed = false;
            guarded([&] { allowed = m_documents.sessionEnding([&] { return manager.allowsInteraction(); }); });
            if (!allowed) manager.cancel();
            manager.release();
        },
        Qt::DirectConnection);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    Timer1->start();

    guarded([this] { FormCreate(); });
}

TForm1::~TForm1() {
    Cp932Validator::setNoticeHandler({});
    // The pane's widget belongs to the pane, not to the window's widget tree.
    if (m_pane) m_pane->widget()->setParent(nullptr);
}

void TForm1::guarded(const std::function<void()>& handler) { runGuarded(m_services, handler); }

void TForm1::reportError(const std::string& utf8Message) {
    guarded([&] { showErrorReport(m_services, utf8Message); });
}

void TForm1::runCommand(const std::function<void()>& handler) {
    // A composition still open would have the command change the text around
    // it; it is entered where it is shown first.
    m_pane->commitComposition();
    guarded(handler);
}

void TForm1::buildWindow() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Panel1 = new QWidget(central);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(PanelHeight);
    auto* panelColumn = new QVBoxLayout(Panel1);
    panelColumn->setContentsMargins(0, 0, 0, 0);
    panelColumn->addStretch();
    TabSet1 = new QTabBar(Panel1);
    TabSet1->setObjectName("TabSet1");
    TabSet1->setShape(QTabBar::RoundedSouth);
    TabSet1->setDrawBase(false);
    TabSet1->setExpanding(false);
    TabSet1->setFixedHeight(TabSetHeight);
    for (const char* tab : {"基本操作", "タグ", "ﾀｸﾞ:ﾌﾚｰﾑ/ﾘｽﾄ"}) TabSet1->addTab(QString::fromUtf8(tab));
    panelColumn->addWidget(TabSet1);
    connect(TabSet1, &QTabBar::currentChanged, this, [this](int tab) { guarded([this, tab] { TabSet1Change(tab); }); });
    column->addWidget(Panel1);

    QWidget* richEdit = m_pane->widget();
    richEdit->setObjectName("RichEdit1");
    QPalette palette = richEdit->palette();
    palette.setColor(QPalette::Base, Qt::black);
    richEdit->setPalette(palette);
    column->addWidget(richEdit, 1);
    setCentralWidget(central);
    m_pane->setDefaultFontName("ＭＳ ゴシック");
    m_pane->setDefaultSize(NormalPointSize);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setFixedHeight(StatusBarHeight);
    StatusBar1->setSizeGripEnabled(false);
    m_statusText = new QLabel(StatusBar1);
    m_statusText->setObjectName("StatusBar1SimpleText");
    m_statusText->setTextFormat(Qt::PlainText); // messages name files and tags as they are
    StatusBar1->addWidget(m_statusText, 1);
    setStatusBar(StatusBar1);

    menuBar()->setObjectName("MainMenu1");
}

CommandTable TForm1::ownCommands() {
    CommandTable t;
    t.openings = {
        {"Menu10", [this] { Menu10Click(); }}, {"Menu20", [this] { Menu20Click(); }},
        {"Menu40", [this] { Menu40Click(); }}, {"Menu30", [this] { M30CLK(); }},
        {"K1", [this] { KKK(); }},             {"Menu50", [this] { M50CLICK(); }},
    };
    return t;
}

void TForm1::assembleCommands() {
    // Each subsystem adds its table here.
    const AssembledCommands commands =
        vela::assembleCommands(mainMenuLayout(), {ownCommands(), m_directTags.commands(), m_recolouring.commands(), m_edit.commands(), m_find.commands(), m_dialogTags.commands(), m_promptedTags.commands(), m_documents.commands(), m_htmlFiles.commands(), m_preferences.commands(), m_output.commands(), m_shell.commands()});
    for (const auto& [name, entry] : commands.entries) {
        m_actions[name] = createAction(entry);
        m_handlers[name] = entry.handler;
    }
    for (const MenuOpening& opening : commands.openings) m_openings.emplace(opening.menu, opening.handler);

    for (const MenuNode& top : mainMenuLayout()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(top.caption));
        buildMenu(menu, top);
        const std::string name = top.name;
        connect(menu, &QMenu::aboutToShow, this, [this, name] {
            const auto [first, last] = m_openings.equal_range(name);
            for (auto it = first; it != last; ++it) guarded(it->second);
        });
    }
    for (const ToolButton& button : commands.buttons) buildButton(button);
}

void TForm1::buildMenu(QMenu* menu, const MenuNode& node) {
    menu->setObjectName(QString::fromStdString(node.name));
    menu->menuAction()->setObjectName(QString::fromStdString(node.name));
    m_menus[node.name] = menu;
    for (const MenuNode& child : node.children) {
        if (child.isSeparator())
            menu->addSeparator();
        else if (child.isMenu())
            buildMenu(menu->addMenu(QString::fromUtf8(child.caption)), child);
        else
            menu->addAction(m_actions.at(child.name));
    }
}

QAction* TForm1::createAction(const MenuEntry& entry) {
    auto* action = new QAction(utf8(entry.caption), this);
    action->setObjectName(QString::fromStdString(entry.name));
    action->setIconVisibleInMenu(false);
    const auto handler = entry.handler;
    connect(action, &QAction::triggered, this, [this, handler] { runCommand(handler); });
    return action;
}

void TForm1::buildButton(const ToolButton& row) {
    auto* button = new QToolButton(Panel1);
    button->setObjectName(QString::fromStdString(row.name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(16, 16));
    button->setMouseTracking(true);
    QAction* action = nullptr;
    if (row.handler) {
        action = new QAction(this);
        action->setObjectName(QString::fromStdString(row.name));
        const auto handler = row.handler;
        connect(action, &QAction::triggered, this, [this, handler] { runCommand(handler); });
    } else {
        action = m_actions.at(row.menuEntry);
    }
    action->setIcon(QIcon(QString::fromStdString(row.icon)));
    action->setToolTip(verbatimToolTip(utf8(row.toolTip)));
    button->setDefaultAction(action);
    button->setGeometry(row.left == PlacedAtStartUp ? 0 : row.left, ButtonTop, row.width, ButtonHeight);
    button->installEventFilter(this);
    m_buttons[row.name] = {button, row.page, row.statusText};
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        // The buttons' mouse-move handlers (SB1MM, SB11MM, ...): the status text stays after the pointer leaves.
        for (const auto& [name, placed] : m_buttons)
            if (placed.button == watched) {
                const std::string text = placed.statusText;
                guarded([this, text] { setStatusText(text); });
                break;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showToolbarPage(ToolbarPage page) {
    for (const auto& [name, placed] : m_buttons) placed.button->setVisible(placed.page == page);
}

void TForm1::placeButton(const std::string& name, int left) {
    QToolButton* button = m_buttons.at(name).button;
    button->move(left, button->y());
}

void TForm1::FormCreate() {
    if (windowTitle() == QLatin1String(DesignCaption)) {
        m_state.UndoFilePath = m_edit.claimSnapshotFile(QDir::currentPath());
        m_state.FirstActivation = 0;
        m_state.ReselectAfterTag = 1;
        placeButton("SpeedButton33", 97);
        placeButton("SpeedButton34", 124);
        placeButton("SpeedButton35", 151);
        showToolbarPage(ToolbarPage::Basic);
        setWindowTitle(Caption);
        fitToScreen();
    }

    m_pane->clear();
    m_pane->setSelText(DocumentTemplate);
    m_pane->setSelStart(TemplateCaret);
    m_pane->setModified(false);
    m_pane->setDefaultColor(StructureYellow);
    takeUndoSnapshot(m_state, *m_pane);

    readSettings(m_state);
}

void TForm1::fitToScreen() {
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = display ? display->availableGeometry() : QRect(0, 0, 638, 294);
    // The window manager's frame is known only once the window is managed; until then it counts as none.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    setGeometry(area - frame);
}

bool TForm1::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        // Once the frame is known, the whole window, frame and status bar included, goes on the screen.
        // Only the first time: afterwards the place and size are the user's.
        if (!m_fittedWithFrame && isVisible() && windowHandle() && !windowHandle()->frameMargins().isNull()) {
            m_fittedWithFrame = true;
            fitToScreen();
        }
        break;
    default:
        break;
    }
    if (event->type() == QEvent::WindowActivate) guarded([this] { OnActivate(); });
    return QMainWindow::event(event);
}

void TForm1::OnActivate() {
    if (m_state.FirstActivation != 0) return;
    m_state.FirstActivation = 1;
    if (m_firstActivationHook) m_firstActivationHook();
    // After the splash, when the window is there to show what comes back.
    m_documents.offerRecovery();
    // Last: recovered work, if taken, is then a change the unsaved-changes question protects.
    openGivenFiles(std::exchange(m_filesGivenAtStart, {}));
}

void TForm1::openGivenFiles(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    guarded([this, &paths] { m_givenFiles.open(paths.front()); });
    if (paths.size() == 1) return;
    const std::string current = statusText();
    const std::string note = "ほかの " + std::to_string(paths.size() - 1) +
                             " 個のファイルは開いていません（1 つのウィンドウで開ける文書は 1 つです）";
    setStatusText(current.empty() ? note : current + "。" + note);
}

void TForm1::Timer1Timer() {
    const int start = m_pane->selStart();
    const int length = m_pane->selLength();
    // The content's version, not its length: an undo can swap in other text of the same length.
    const std::uint64_t version = m_pane->contentVersion();
    SelectionSeen& seen = m_selectionSeen;
    if (start != seen.start || length != seen.length || version != seen.contentVersion) {
        seen = {start, length, version, false};
        if (length > 0) {
            const std::string selected = m_pane->selText();
            // '<' and '>' are below every trail byte of CP932, so a byte search cannot misfire.
            seen.holdsBothBrackets =
                selected.find('<') != std::string::npos && selected.find('>') != std::string::npos;
        }
    }
    const bool selectionEmpty = length == 0;
    commandAction("KD1")->setEnabled(!selectionEmpty && seen.holdsBothBrackets);
    commandAction("Menu27")->setEnabled(m_state.UndoAvailable != 0); // SpeedButton6, undo
    commandAction("Menu21")->setEnabled(!selectionEmpty);            // SpeedButton4, cut
    commandAction("Menu22")->setEnabled(!selectionEmpty);            // SpeedButton5, copy
    commandAction("Menu24")->setEnabled(!selectionEmpty);            // SpeedButton7, delete
    commandAction("Menu23")->setEnabled(m_pane->clipboardHasText()); // SpeedButton8, paste
}

void TForm1::TabSet1Change(int NewTab) {
    if (NewTab < 0 || NewTab > 2) return;
    showToolbarPage(static_cast<ToolbarPage>(NewTab));
}

void TForm1::SetSelText() { m_engine.SetSelText(); }

void TForm1::setStatusText(const std::string& text) {
    StatusBar1->clearMessage();
    m_statusText->setText(utf8(text));
}

std::string TForm1::statusText() const { return m_statusText->text().toStdString(); }

void TForm1::setCommandEnabled(const std::string& name, bool enabled) {
    if (QAction* action = commandAction(name)) action->setEnabled(enabled);
}

QAction* TForm1::commandAction(const std::string& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

void TForm1::Menu10Click() { setStatusText({}); }
void TForm1::Menu20Click() { setStatusText({}); }
void TForm1::Menu40Click() { setStatusText({}); }
void TForm1::M30CLK() { setStatusText({}); }
void TForm1::KKK() { setStatusText("オプション"); }
void TForm1::M50CLICK() { setStatusText({}); }

void TForm1::runCommand(const std::string& name) {
    const auto it = m_handlers.find(name);
    if (it != m_handlers.end()) it->second();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Exit, the close box, Alt+F4 and the session's quit all arrive here.
    bool allowed = false;
    guarded([this, &allowed] { m_documents.FormClose(allowed); });
    if (allowed)
        event->accept();
    else
        event->ignore();
}

} // namespace vela
