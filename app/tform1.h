#pragma once

// The main window. It only assembles the settings pages (PageList) and wires
// its controls to the script it works on (ScriptDocument) and to the files
// and dialogs it comes from and goes to (ScriptFiles): the
// controls of the pages are the one copy of the settings. "Finish!" has the
// pages write their sections into the editor through a ScriptWriter; "Open
// CFG" has them take back the values a file sets (OpenedScript), keeping the
// lines no page stands in for around the sections; "Save CFG" writes the
// editor's text as Windows-1252 with CR LF line ends (CfgFile). Either way
// the window then enters its generated state.

#include "app/scriptdocument.h"
#include "generator/pagelist.h"

#include <QMainWindow>

class EditorPage;
class QAction;
class QCheckBox;
class FileDrop;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class PageStrip;
class ScriptFiles;
class QTabWidget;
class StatusLine;
class TTextButton;

class TForm1 : public QMainWindow {
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
    // The script, its kept lines and its game folder, below the widgets.
    const ScriptDocument *document() const { return m_document; }

    void btnFinishClick();
    void btnClearClick();
    void btnSaveClick();
    void Open1Click();
    void Save1Click();
    void GameFolder1Click();
    void FolderMaps1Click();
    void RunningServer1Click();
    void Exit1Click();
    void Support1Click();
    void Hollowfen1Click();
    void TextButton29Click();
    void Button2Click();

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
    ScriptDocument *const m_document;
    StatusLine *const m_statusLine;
    FileDrop *const m_drop;
    ScriptFiles *const m_files;
    PageStrip *m_strip = nullptr;

    QAction *Open1 = nullptr;
    QAction *Save1 = nullptr;
    QAction *GameFolder1 = nullptr;
    QAction *FolderMaps1 = nullptr;
    QAction *RunningServer1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *Support1 = nullptr;
    QAction *Hollowfen1 = nullptr;

    void createHeader();
    void createPages();
    void createBottomStrip();
    void createMenu();
    // Before the first "Finish!", after it, and after "Clear Cfg".
    enum class State { Start, Generated, Cleared };
    void FormCreate();
    void enterState(State state);
    void showGameFolder(const GameFolderReader::Contents &contents);

    bool m_editorMade = false; // the editor's page is built and reads the pages' values
};
