#pragma once

// The main window. It only assembles the settings pages (PageList) and runs
// the workflow: the controls of the pages are the one copy of the settings.
// "Finish!" (btnFinishClick) opens a ScriptWriter on the editor and has the
// pages write their sections through it; the window then enters its generated
// state. "Open CFG" does the reverse: the pages take back the values the file
// sets (OpenedScript), and the lines no page stands in for are kept, to stand
// around the sections at every "Finish!" as they stood around the settings the
// pages took. "Save CFG" encodes the editor's text as Windows-1252 with CR LF
// line ends and saves it (CfgFile): in one step where it can, else over the
// old file in place, putting its bytes back on failure.

#include "app/gamefolderreader.h"
#include "generator/pagelist.h"

#include <QAccessible>
#include <QMainWindow>

class EditorPage;
class PagesWatch;
class QAction;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QTabWidget;
class TTextButton;

class TForm1 : public QMainWindow, private QAccessible::ActivationObserver {
    Q_OBJECT

    QWidget *const m_client; // the client area below the menu bar; parent of the regions

public:
    static inline const QString windowCaption = QStringLiteral("Bravenmark - Tallyforge 1.0");
    static inline const QString applicationTitle = QStringLiteral("Tallyforge 1.0");

    // Which pages the constructor builds. The program starts with the first
    // page only and builds the others right after the first frame (see
    // LazyPage); everyone else reading the controls wants the whole window.
    enum class Pages { All, FirstThenRest };

    explicit TForm1(QWidget *parent = nullptr, Pages pages = Pages::All);
    ~TForm1() override;

    // Builds every page not built yet. Whatever needs a page calls it first.
    void buildPages();

    // The editor of the generated script, on its page; builds the page.
    QPlainTextEdit *editor();

    // Writes the editor's text to `path`; shows the error box and returns
    // false when it cannot, leaving any file that was there untouched.
    bool saveTo(const QString &path);

    // Reads the script at `path` into the pages and the editor, as "Open CFG"
    // does; shows the error box and changes nothing when it cannot.
    bool openScript(const QString &path);
    // The lines of the last opened script that "Finish!" writes around the
    // sections: the first keptBeforeSections() before them, the rest after.
    const QStringList &keptLines() const { return m_keptLines; }
    qsizetype keptBeforeSections() const { return m_keptBeforeSections; }

    void btnFinishClick();
    void btnClearClick();
    void btnSaveClick();
    void Open1Click();
    void Save1Click();
    void GameFolder1Click();
    void FolderMaps1Click();
    void Exit1Click();
    void Support1Click();
    void Hollowfen1Click();
    void TextButton29Click();
    void Button2Click();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The window's own controls; tests and tools find them by their object names.
    QLabel *const Panel1;
    QLabel *const Image2;
    QTabWidget *const PageControl1;
    const PageList m_pages;
    EditorPage *const tabEditor;
    QGroupBox *const GroupBox1;
    QCheckBox *const chkSlashes;
    TTextButton *const btnSave;
    TTextButton *const btnFinish;
    TTextButton *const btnClear;
    QLabel *const Label41;
    PagesWatch *const m_pagesWatch;

    QAction *Open1 = nullptr;
    QAction *Save1 = nullptr;
    QAction *GameFolder1 = nullptr;
    QAction *FolderMaps1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *Support1 = nullptr;
    QAction *Hollowfen1 = nullptr;

    void accessibilityActiveChanged(bool active) override;
    void stepPage(int step, bool wrap);
    void createHeader();
    void createPages();
    void createBottomStrip();
    void createMenu();
    // Before the first "Finish!", after it, and after "Clear Cfg".
    enum class State { Start, Generated, Cleared };
    void FormCreate();
    void enterState(State state);
    void showError(const QString &message);
    // Asks for a file and saves there; false when nothing was saved.
    bool saveThroughDialog();
    // Whether opening `path` may replace the editor's script: asks first
    // when it holds changes not saved since "Finish!", Open or a save.
    bool mayReplaceScript(const QString &path);
    // The game folder of a script opened or saved at `path`: its own folder
    // when that is one, else the one chosen through File > Game Folder.
    void useGameFolderOf(const QString &path);
    void showGameFolder(const GameFolderReader::Contents &contents);
    // The editor's script was made from the pages as they are now.
    void rememberPages();

    QString m_saveFolder; // the folder each file dialog showed last; at first the one the program started in
    QString m_openFolder;
    QString m_openedFile; // the script last opened, which saving proposes
    QStringList m_keptLines;
    qsizetype m_keptBeforeSections = 0;
    GameFolderReader *const m_gameFolder;
    QString m_chosenGameFolder;
    QLabel *m_gameFolderNote = nullptr; // on the status bar, once a folder is read
    bool m_pagesPending = true; // some page is still empty
    bool m_buildQueued = false;
    QWidget *m_editorViewport = nullptr; // once the editor's page is built and reads the pages' values
};
