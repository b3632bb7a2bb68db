#include "app/tform1.h"

#include "app/editorpage.h"
#include "app/filedrop.h"
#include "app/foldermapsview.h"
#include "app/pagestrip.h"
#include "app/runningserverdialog.h"
#include "app/scriptfiles.h"
#include "app/statusline.h"
#include "app/viewmenu.h"
#include "app/weblinks.h"
#include "gamefolder/scriptchecks.h"
#include "generator/gameoptionspage.h"
#include "generator/maprotationpage.h"
#include "generator/pagekit.h"
#include "generator/serverinfopage.h"
#include "generator/settingspage.h"
#include "script/valuecatalogue.h"
#include "widgets/artwork.h"
#include "widgets/systemcolors.h"
#include "widgets/ttextbutton.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
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
    , m_document(new ScriptDocument(
          m_pages, [this] { return editor()->document(); }, this))
    , m_statusLine(new StatusLine(this))
    , m_drop(new FileDrop(this))
    , m_files(new ScriptFiles(this, m_document, applicationTitle, [this] { buildPages(); }))
{
    setObjectName(u"Form1"_s);
    m_client->setObjectName(u"clientArea"_s);
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

    setStatusBar(m_statusLine);
    m_statusLine->setFixedHeight(statusBarHeight);
    tabEditor->showNotesIn(m_statusLine);
    connect(m_document, &ScriptDocument::gameFolderRead, this, &TForm1::showGameFolder);
    connect(m_document, &ScriptDocument::pagesDifferChanged, tabEditor, &EditorPage::showPagesDiffer);
    // The one way a new script comes into the window, from "Finish!" or Open.
    connect(m_document, &ScriptDocument::replaced, this, [this](bool comments) {
        chkSlashes->setChecked(comments);
        enterState(State::Generated);
    });
    connect(m_document, &ScriptDocument::told, m_statusLine, &StatusLine::showResult);
    m_drop->watch(this);
    connect(m_drop, &FileDrop::dropped, this, [this](const QString &path) {
        if (m_files->mayReplaceScript(path))
            m_files->open(path);
    });

    move(284, 152);
    setFixedSize(sizeHint());
    FormCreate();

    // Assistive technology may ask for any control at any moment.
    if (pages == Pages::All || QAccessible::isActive())
        buildPages();
}

void TForm1::buildPages()
{
    m_strip->buildAll();
}

QPlainTextEdit *TForm1::editor()
{
    QPlainTextEdit *edit = tabEditor->editor();
    if (!std::exchange(m_editorMade, true)) {
        tabEditor->readValuesBy(PageList::valueCatalogue());
        // The editor would take a dropped file for text to insert.
        m_drop->watch(edit->viewport());
    }
    return edit;
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

    m_strip = new PageStrip(PageControl1, m_pages, tabEditor, [this] {
        editor();
        m_document->pagesStarted();
    });
    connect(m_pages.gameOptions(), &GameOptionsPage::allowedVotesRequested, this, &TForm1::Button2Click);
    connect(m_pages.serverInfo(), &ServerInfoPage::colourTesterRequested, this, &TForm1::TextButton29Click);
    connect(m_pages.mapRotation(), &MapRotationPage::folderMapsRequested, this, &TForm1::FolderMaps1Click);
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
        { fileMenu, &TForm1::RunningServer1, "RunningServer1", QString(), u"&Running Server\u2026"_s,
            u"What the running server holds beside the script, and sending it the script's settings"_s,
            &TForm1::RunningServer1Click },
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
    ViewMenu::create(this, menuBar(), helpMenu->menuAction(), tabEditor, m_document);
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
    m_document->finish(chkSlashes->isChecked());
}

void TForm1::btnClearClick()
{
    m_document->clear();
    enterState(State::Cleared);
}

void TForm1::btnSaveClick()
{
    m_files->saveThroughDialog();
}

void TForm1::Save1Click()
{
    btnSaveClick();
}

bool TForm1::saveTo(const QString &path)
{
    return m_files->save(path);
}

void TForm1::Open1Click()
{
    m_files->openThroughDialog();
}

bool TForm1::openScript(const QString &path)
{
    return m_files->open(path);
}

void TForm1::GameFolder1Click()
{
    m_files->chooseGameFolder();
}

void TForm1::FolderMaps1Click()
{
    FolderMapsView::open(this, m_document);
}

void TForm1::RunningServer1Click()
{
    RunningServerDialog::open(this, tabEditor);
}

void TForm1::showGameFolder(const GameFolderReader::Contents &contents)
{
    tabEditor->checkMapsAgainst(contents, m_document->scriptPath());
    m_pages.mapRotation()->offerFolderMaps(ScriptChecks::checks(contents.get()) ? contents : nullptr);
    m_statusLine->showGameFolder(contents);
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
