#include "app/tform1.h"

#include "app/cfgfile.h"
#include "app/editorpage.h"
#include "app/foldermapsview.h"
#include "app/pageswatch.h"
#include "app/weblinks.h"
#include "generator/gameoptionspage.h"
#include "generator/maprotationpage.h"
#include "generator/pagekit.h"
#include "generator/serverinfopage.h"
#include "generator/settingspage.h"
#include "script/openedscript.h"
#include "script/scriptfile.h"
#include "script/scriptwriter.h"
#include "script/valuecatalogue.h"
#include "widgets/artwork.h"
#include "widgets/systemcolors.h"
#include "widgets/ttextbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr QSize clientSize { 770, 497 };
constexpr int statusBarHeight = 19;

QLabel *pictureLabel(QWidget *parent, const char *name, const QRect &geometry, QStringView picture)
{
    QLabel *label = PageKit::picture(parent, geometry, picture);
    label->setObjectName(QLatin1StringView(name));
    return label;
}

// The one local file being dragged, else nothing.
QString droppedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.constFirst().isLocalFile() ? urls.constFirst().toLocalFile() : QString();
}

// The file chosen in `dialog`, or nothing when the user cancels it; `folder`
// becomes the folder it showed last, unless a path typed in full chose a file
// elsewhere. Each use has a dialog of its own: one kept for the next use can
// leave its name completer on the screen.
QString chosenFile(QFileDialog &dialog, QString &folder)
{
    dialog.setSizeGripEnabled(true);
    dialog.setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    const QString shown = dialog.directory().absolutePath();
    if (!chosen) {
        folder = shown;
        return {};
    }
    const QString file = dialog.selectedFiles().constFirst();
    if (QFileInfo(file).absolutePath() == shown)
        folder = shown;
    return file;
}

} // namespace

TForm1::TForm1(QWidget *parent, Pages pages)
    : QMainWindow(parent)
    , m_client(new QWidget(this))
    , Panel1(pictureLabel(m_client, "Panel1", { 0, 0, 770, 57 }, u"header"))
    , Image2(pictureLabel(m_client, "Image2", { 0, 56, 769, 425 }, u"background"))
    , PageControl1(new QTabWidget(m_client))
    , m_pages(PageControl1)
    , tabEditor(new EditorPage(PageControl1))
    , GroupBox1(new QGroupBox(u"CFG Configuration"_s, m_client))
    , chkSlashes(new QCheckBox(u"Check this if you want to add slashes in the cfg to organize."_s, GroupBox1))
    , btnSave(new TTextButton(u"Save CFG"_s, m_client))
    , btnFinish(new TTextButton(u"Finish!"_s, m_client))
    , btnClear(new TTextButton(u"Clear Cfg"_s, m_client))
    , Label41(new QLabel(u"Hollowfen"_s, m_client))
    , m_pagesWatch(new PagesWatch(
          [this] {
              ScriptWriter out(false);
              m_pages.writeScript(out, m_keptLines, m_keptBeforeSections);
              return out.text();
          },
          this))
    , m_gameFolder(new GameFolderReader(this))
{
    setObjectName(u"Form1"_s);
    setWindowTitle(windowCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);
    m_client->setFixedSize(clientSize.width(), clientSize.height() - statusBarHeight);
    setCentralWidget(m_client);

    createHeader();
    m_pages.serverInfo()->build(); // the first frame shows it
    createPages();
    createBottomStrip();
    createMenu();

    statusBar()->setObjectName(u"StatusBar1"_s);
    statusBar()->setFixedHeight(statusBarHeight);
    statusBar()->setSizeGripEnabled(false);
    tabEditor->showNotesIn(statusBar());
    connect(m_gameFolder, &GameFolderReader::folderRead, this, &TForm1::showGameFolder);
    connect(m_pagesWatch, &PagesWatch::differsChanged, tabEditor, &EditorPage::showPagesDiffer);
    setAcceptDrops(true);

    move(284, 152);
    setFixedSize(sizeHint());
    FormCreate();

    // Assistive technology may ask for any control at any moment.
    if (pages == Pages::All || QAccessible::isActive())
        buildPages();
    else
        QAccessible::installActivationObserver(this);
}

TForm1::~TForm1()
{
    QAccessible::removeActivationObserver(this);
}

void TForm1::buildPages()
{
    if (!std::exchange(m_pagesPending, false))
        return;
    // In the order of the tabs, as the keyboard focus goes through them.
    for (const PageList::Tab &tab : m_pages.tabs()) {
        if (tab.page)
            tab.page->build();
        else
            editor();
    }
}

QPlainTextEdit *TForm1::editor()
{
    QPlainTextEdit *edit = tabEditor->editor();
    if (!m_editorViewport) {
        tabEditor->readValuesBy(PageList::valueCatalogue());
        // The editor would take a dropped file for text to insert.
        m_editorViewport = edit->viewport();
        m_editorViewport->installEventFilter(this);
    }
    return edit;
}

void TForm1::accessibilityActiveChanged(bool active)
{
    if (active)
        buildPages();
}

bool TForm1::event(QEvent *event)
{
    // The rest of the pages once the first frame has gone to the screen.
    if (event->type() == QEvent::Paint && m_pagesPending && !std::exchange(m_buildQueued, true))
        QMetaObject::invokeMethod(this, &TForm1::buildPages, Qt::QueuedConnection);
    return QMainWindow::event(event);
}

void TForm1::createHeader()
{
    // The background starts on the header's last pixel row; the header stays on top of it.
    Image2->lower();
    auto *title = new QLabel(u"Tallyforge v1.0"_s, Panel1);
    title->setObjectName(u"Label38"_s);
    QFont titleFont = title->font();
    titleFont.setPixelSize(24);
    title->setFont(titleFont);

    auto *byline = new QLabel(u"by Corvane Dask"_s, Panel1);
    byline->setObjectName(u"Label39"_s);

    for (auto [label, position] : { std::pair { title, QPoint(16, 8) }, std::pair { byline, QPoint(16, 32) } }) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
        label->adjustSize();
        label->move(position);
        PageKit::setHint(label, u"Tallyforge v1.0 by Corvane Dask - Hollowfen"_s);
    }

    QLabel *logo = pictureLabel(Panel1, "Image35", { 712, 8, 49, 41 }, u"logo");
    PageKit::setHint(logo, u"Bravenmark"_s);
}

void TForm1::createPages()
{
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->setGeometry(0, 57, 769, 384);
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->tabBar()->setCursor(Qt::PointingHandCursor);
    PageControl1->setIconSize({ 16, 16 });

    for (const PageList::Tab &tab : m_pages.tabs()) {
        QWidget *page = tab.page ? static_cast<QWidget *>(tab.page) : tabEditor;
        const int index
            = PageControl1->addTab(page, tab.icon.isEmpty() ? QIcon() : Artwork::icon(tab.icon), tab.caption);
        // A page without a tab (Votes) may still be the current one: the strip
        // then marks no tab, and clicking any tab leaves the page.
        PageControl1->setTabVisible(index, tab.shown);
    }
    PageControl1->installEventFilter(this);
    PageControl1->tabBar()->installEventFilter(this);
    // Before the strip changes the page, so the page shows and takes the
    // focus as if it had always been there; a change made elsewhere still
    // finds the page built before the next frame.
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::buildPages);
    connect(m_pages.gameOptions(), &GameOptionsPage::allowedVotesRequested, this, &TForm1::Button2Click);
    connect(m_pages.serverInfo(), &ServerInfoPage::colourTesterRequested, this, &TForm1::TextButton29Click);
    connect(m_pages.mapRotation(), &MapRotationPage::folderMapsRequested, this, &TForm1::FolderMaps1Click);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_editorViewport && (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
        && !droppedFile(static_cast<QDropEvent *>(event)->mimeData()).isEmpty()) {
        if (type == QEvent::Drop)
            dropEvent(static_cast<QDropEvent *>(event));
        else
            static_cast<QDropEvent *>(event)->acceptProposedAction();
        return true;
    }
    if (watched == PageControl1->tabBar()
        && (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress))
        buildPages();
    // The tab widget's own ctrl+Tab, and the arrow keys on its strip, step onto
    // hidden tabs as well: the editor before "Finish!" and the Votes page.
    if (type == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool ctrlTab
            = (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && key->modifiers() & Qt::ControlModifier;
        if (watched == PageControl1 && ctrlTab) {
            stepPage(key->key() == Qt::Key_Backtab || key->modifiers() & Qt::ShiftModifier ? -1 : 1, true);
            return true;
        }
        if (watched == PageControl1->tabBar() && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
            stepPage(key->key() == Qt::Key_Left ? -1 : 1, false);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// To the next (or previous) page whose tab is shown; ctrl+Tab wraps round,
// the arrow keys stop at the ends of the strip.
void TForm1::stepPage(int step, bool wrap)
{
    buildPages();
    const int count = PageControl1->count();
    int index = PageControl1->currentIndex();
    for (int tried = 0; tried < count; ++tried) {
        index += step;
        if (wrap)
            index = (index + count) % count;
        else if (index < 0 || index >= count)
            break;
        if (PageControl1->isTabVisible(index) && PageControl1->isTabEnabled(index)) {
            PageControl1->setCurrentIndex(index);
            break;
        }
    }
    // The focus was on the page just hidden.
    if (!QApplication::focusWidget())
        PageControl1->tabBar()->setFocus();
}

void TForm1::createBottomStrip()
{
    GroupBox1->setObjectName(u"GroupBox1"_s);
    GroupBox1->setGeometry(272, 442, 321, 33);
    GroupBox1->setAutoFillBackground(true);
    QPalette groupColours = GroupBox1->palette();
    groupColours.setColor(QPalette::Window, systemColor(SystemColor::Highlight));
    GroupBox1->setPalette(groupColours);

    chkSlashes->setObjectName(u"chkSlashes"_s);
    chkSlashes->setChecked(true);
    chkSlashes->setGeometry(8, 13, 305, 17);
    PageKit::setHint(
        chkSlashes, u"Check this if you want to add slashes in the cfg to organize. '//' and '//Description'"_s);

    const struct {
        TTextButton *button;
        const char *name;
        QRect geometry;
        QString hint;
        void (TForm1::*handler)();
    } buttons[] = {
        { btnSave, "btnSave", { 600, 448, 81, 25 }, u"Save CFG to hard drive..."_s, &TForm1::btnSaveClick },
        { btnFinish, "btnFinish", { 688, 448, 75, 25 }, u"Create CFG"_s, &TForm1::btnFinishClick },
        { btnClear, "btnClear", { 688, 448, 75, 25 }, u"Clear CFG to make changes..."_s, &TForm1::btnClearClick },
    };
    for (const auto &entry : buttons) {
        entry.button->setObjectName(QLatin1StringView(entry.name));
        entry.button->setGeometry(entry.geometry);
        PageKit::setHint(entry.button, entry.hint);
        connect(entry.button, &TTextButton::clicked, this, entry.handler);
    }
    btnSave->setFaceColor(systemColor(SystemColor::ActiveBorder));

    Label41->setObjectName(u"Label41"_s);
    QPalette creditColours = Label41->palette();
    creditColours.setColor(QPalette::WindowText, systemColor(SystemColor::GrayText));
    Label41->setPalette(creditColours);
    Label41->adjustSize();
    Label41->move(8, 456);
}

void TForm1::createMenu()
{
    menuBar()->setObjectName(u"MainMenu1"_s);
    QMenu *fileMenu = menuBar()->addMenu(u"&File"_s);
    fileMenu->setObjectName(u"este1"_s);
    QMenu *helpMenu = menuBar()->addMenu(u"&Help"_s);
    helpMenu->setObjectName(u"este21"_s);
    QMenu *aboutMenu = menuBar()->addMenu(u"&About"_s);
    aboutMenu->setObjectName(u"About1"_s);

    const struct {
        QMenu *menu;
        QAction *TForm1::*entry;
        const char *name;
        QString icon, caption, hint;
        void (TForm1::*handler)();
    } entries[] = {
        { fileMenu, &TForm1::Open1, "Open1", QString(), u"&Open CFG\u2026"_s, u"Open a CFG"_s, &TForm1::Open1Click },
        { fileMenu, &TForm1::Save1, "Save1", u"menu-save"_s, u"&Save"_s, u"Save CFG"_s, &TForm1::Save1Click },
        { fileMenu, &TForm1::GameFolder1, "GameFolder1", QString(), u"&Game Folder\u2026"_s,
            u"Choose the server's game folder, whose maps the script's are checked against"_s,
            &TForm1::GameFolder1Click },
        { fileMenu, &TForm1::FolderMaps1, "FolderMaps1", QString(), u"&Maps in the Game Folder\u2026"_s,
            u"Every map of the game folder: where it comes from and which gametypes it runs"_s,
            &TForm1::FolderMaps1Click },
        { fileMenu, &TForm1::Exit1, "Exit1", u"menu-exit"_s, u"E&xit"_s, u"Exit Program"_s, &TForm1::Exit1Click },
        { helpMenu, &TForm1::Support1, "Support1", u"menu-support"_s, u"&Support Forum"_s, u"Support Forums"_s,
            &TForm1::Support1Click },
        { aboutMenu, &TForm1::Hollowfen1, "Hollowfen1", u"menu-site"_s, u"&Hollowfen"_s, u"Visit Hollowfen website"_s,
            &TForm1::Hollowfen1Click },
    };
    for (const auto &entry : entries) {
        if (entry.entry == &TForm1::Exit1)
            fileMenu->addSeparator()->setObjectName(u"N1"_s);
        const QIcon icon = entry.icon.isEmpty() ? QIcon() : Artwork::icon(entry.icon);
        QAction *action = entry.menu->addAction(icon, entry.caption, this, entry.handler);
        action->setObjectName(QLatin1StringView(entry.name));
        action->setStatusTip(entry.hint);
        this->*entry.entry = action;
    }
    Open1->setShortcut(QKeySequence::Open);
}

void TForm1::FormCreate()
{
    enterState(State::Start);
}

// Every control whose state follows the workflow is set here, for every state. After "Clear Cfg" the window
// is not quite back at its start, on purpose: "Save CFG" stays in sight but disabled, and the slashes box
// stays disabled, so the script of every "Finish!" follows the choice made before the first one.
void TForm1::enterState(State state)
{
    const bool generated = state == State::Generated;
    PageControl1->setTabVisible(PageControl1->indexOf(tabEditor), generated);
    PageControl1->setCurrentWidget(generated ? static_cast<QWidget *>(tabEditor) : m_pages.serverInfo());
    btnFinish->setEnabled(!generated);
    btnFinish->setVisible(!generated);
    btnSave->setVisible(state != State::Start);
    btnSave->setEnabled(generated);
    btnClear->setVisible(generated);
    Save1->setEnabled(generated);
    chkSlashes->setEnabled(state == State::Start);
}

void TForm1::btnFinishClick()
{
    buildPages();
    {
        // Generated lines are not the user's edits: nothing to undo into.
        editor()->setUndoRedoEnabled(false);
        ScriptWriter out(editor()->document(), chkSlashes->isChecked());
        m_pages.writeScript(out, m_keptLines, m_keptBeforeSections);
    }
    editor()->setUndoRedoEnabled(true);
    editor()->document()->setModified(false);
    enterState(State::Generated);
    rememberPages();
}

void TForm1::rememberPages()
{
    const QList<SettingsPage *> pages = m_pages.settingsPages();
    m_pagesWatch->remember(QList<QWidget *>(pages.cbegin(), pages.cend()));
}

void TForm1::btnClearClick()
{
    editor()->clear();
    editor()->document()->setModified(
        false); // "Clear Cfg" throws the edits away: nothing is left for Open to ask about
    enterState(State::Cleared);
    m_pagesWatch->forget();
}

bool TForm1::saveThroughDialog()
{
    QFileDialog dialog(this);
    dialog.setObjectName(u"SaveDialog"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(u".cfg (*.cfg)"_s);
    dialog.setDefaultSuffix(u"cfg"_s);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(m_openedFile.isEmpty() ? u"servercfg"_s : QFileInfo(m_openedFile).fileName());
    const QString path = chosenFile(dialog, m_saveFolder);
    return !path.isEmpty() && saveTo(path);
}

void TForm1::btnSaveClick()
{
    saveThroughDialog();
}

void TForm1::Save1Click()
{
    btnSaveClick();
}

bool TForm1::saveTo(const QString &path)
{
    const std::optional<QString> failure = CfgFile::save(path, editor()->document()->toRawText());
    if (failure) {
        showError(*failure);
        return false;
    }
    editor()->document()->setModified(false);
    useGameFolderOf(path);
    statusBar()->showMessage(u"Saved %1."_s.arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    return true;
}

void TForm1::Open1Click()
{
    QFileDialog dialog(this);
    dialog.setObjectName(u"OpenDialog"_s);
    dialog.setWindowTitle(u"Open CFG"_s);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({ u"Config scripts (*.cfg)"_s, u"All files (*)"_s });
    if (const QString path = chosenFile(dialog, m_openFolder); !path.isEmpty() && mayReplaceScript(path))
        openScript(path);
}

bool TForm1::mayReplaceScript(const QString &path)
{
    if (!editor()->document()->isModified())
        return true;
    QMessageBox box(QMessageBox::Warning, applicationTitle,
        u"The script in the editor has changes that are not saved. Opening %1 replaces them, and the values on "
        "the pages."_s.arg(QFileInfo(path).fileName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(u"ReplaceBox"_s);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return saveThroughDialog();
    case QMessageBox::Discard: return true;
    default: return false;
    }
}

bool TForm1::openScript(const QString &path)
{
    const ScriptFile::Loaded loaded = ScriptFile::load(path);
    if (!loaded.ok()) {
        showError(loaded.error);
        return false;
    }
    buildPages();
    OpenedScript script(loaded.lines, m_pages.ownCommentLines(), PageList::valueCatalogue());
    m_pages.takeValues(script);
    chkSlashes->setChecked(script.holdsOwnComments());
    m_keptLines = script.keptLines();
    m_keptBeforeSections = script.keptBeforeSections();

    // The file is not an edit of the script before it: nothing to undo into.
    editor()->setUndoRedoEnabled(false);
    QString text = loaded.lines.join(u'\n');
    if (loaded.endsWithLineBreak())
        text += u'\n';
    editor()->setPlainText(text);
    editor()->setUndoRedoEnabled(true);
    editor()->document()->setModified(false);
    enterState(State::Generated);
    rememberPages();
    // Saving proposes the file opened, where it lies.
    m_openedFile = QFileInfo(path).absoluteFilePath();
    m_saveFolder = QFileInfo(path).absolutePath();

    const qsizetype taken = script.takenCount();
    const qsizetype kept = m_keptLines.size();
    QString status
        = (taken == 1 ? u"Read 1 setting into the pages; "_s : u"Read %1 settings into the pages; "_s.arg(taken))
        + (kept == 1 ? u"1 line is kept as written."_s : u"%1 lines are kept as written."_s.arg(kept));
    if (const qsizetype started = script.startValueCount(); started == 1)
        status += u" 1 box the file gives no value it can show kept its start value."_s;
    else if (started > 1)
        status += u" %1 boxes the file gives no value they can show kept their start values."_s.arg(started);
    statusBar()->showMessage(status);
    useGameFolderOf(path);
    return true;
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (droppedFile(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended: an error box must not run inside the drag.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            if (mayReplaceScript(path))
                openScript(path);
        },
        Qt::QueuedConnection);
}

void TForm1::GameFolder1Click()
{
    const QString folder = QFileDialog::getExistingDirectory(this, u"Game Folder"_s, m_chosenGameFolder);
    if (folder.isEmpty())
        return;
    m_chosenGameFolder = folder;
    m_gameFolder->read(folder);
}

void TForm1::FolderMaps1Click()
{
    FolderMapsView::open(this, m_gameFolder);
}

void TForm1::useGameFolderOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (GameFolder::isGameFolder(folder))
        m_gameFolder->read(folder);
    else if (!m_chosenGameFolder.isEmpty())
        m_gameFolder->read(m_chosenGameFolder);
    else
        m_gameFolder->clear();
}

void TForm1::showGameFolder(const GameFolderReader::Contents &contents)
{
    tabEditor->checkMapsAgainst(contents);
    m_pages.mapRotation()->offerFolderMaps(contents);
    if (!m_gameFolderNote) {
        m_gameFolderNote = new QLabel(statusBar());
        m_gameFolderNote->setObjectName(u"gameFolderNote"_s);
        m_gameFolderNote->setAccessibleName(u"Game folder"_s);
        statusBar()->addPermanentWidget(m_gameFolderNote);
    }
    m_gameFolderNote->setVisible(bool(contents));
    if (!contents)
        return;
    QStringList notes;
    for (const GameFolder::Note &note : contents->notes)
        notes << u"%1 (%2)"_s.arg(QDir::toNativeSeparators(note.file), note.reason);
    m_gameFolderNote->setText(
        u"Game folder %1: %2"_s.arg(QDir(contents->folder).dirName(), contents->mapsCountedBriefly()));
    // A hint, as every other in this window: in the status bar, never a pop-up.
    PageKit::setHint(m_gameFolderNote,
        notes.isEmpty() ? contents->summary() : u"What could not be read: "_s + notes.join(u"; "_s) + u'.');
}

void TForm1::showError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle, message, QMessageBox::Ok, this);
    box.setObjectName(u"ErrorBox"_s);
    box.exec();
}

void TForm1::Exit1Click()
{
    QApplication::quit();
}

void TForm1::Support1Click()
{
    WebLinks::open(WebLinks::Page::SupportForum);
}

void TForm1::Hollowfen1Click()
{
    WebLinks::open(WebLinks::Page::Home);
}

void TForm1::TextButton29Click()
{
    WebLinks::open(WebLinks::Page::ColourTester);
}

void TForm1::Button2Click()
{
    buildPages();
    PageControl1->setCurrentWidget(m_pages.votes());
}
