#pragma once

// The main window. It only assembles the settings pages and runs the workflow:
// the controls of the pages are the one copy of the settings. "Finish!"
// (btnFinishClick) opens a ScriptWriter on the editor and asks each page, in
// the fixed section order, to write its lines through it; the window then
// enters its generated state. "Save CFG" encodes the editor's text as
// Windows-1252 with CR LF line ends (CfgFile) and replaces the chosen file in
// one step, so a failed save never leaves half a file behind.

#include <QAccessible>
#include <QMainWindow>

class EditorPage;
class GameOptionsPage;
class GametypesPage;
class MapRotationPage;
class NetworkOptionsPage;
class QAction;
class QCheckBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QTabWidget;
class ServerInfoPage;
class ServerOptionsPage;
class TTextButton;
class ValueCatalogue;
class VotesPage;
class WeaponsPage;

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

    // What each variable the pages write accepts, from the pages' tables: the
    // editor reads the values typed for them by it.
    static ValueCatalogue valueCatalogue();

    // Writes the editor's text to `path`; shows the error box and returns
    // false when it cannot, leaving any file that was there untouched.
    bool saveTo(const QString &path);
    QFileDialog *saveDialog();

    void btnFinishClick();
    void btnClearClick();
    void btnSaveClick();
    void Save1Click();
    void Exit1Click();
    void Support1Click();
    void Hollowfen1Click();
    void TextButton29Click();
    void Button2Click();

    QLabel *const Panel1;
    QLabel *const Image2;
    QTabWidget *const PageControl1;
    VotesPage *const tabVotes; // before TabSheet4, whose section writes the vote lines
    ServerInfoPage *const tabMain;
    ServerOptionsPage *const TabSheet2;
    NetworkOptionsPage *const TabSheet3;
    GameOptionsPage *const TabSheet4;
    GametypesPage *const TabSheet5;
    MapRotationPage *const TabSheet6;
    EditorPage *const tabEditor;
    WeaponsPage *const TabSheet1;
    QGroupBox *const GroupBox1;
    QCheckBox *const chkSlashes;
    TTextButton *const btnSave;
    TTextButton *const btnFinish;
    TTextButton *const btnClear;
    QLabel *const Label41;

    QAction *Save1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *Support1 = nullptr;
    QAction *Hollowfen1 = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void accessibilityActiveChanged(bool active) override;
    void stepPage(int step, bool wrap);
    void createHeader();
    void createPages();
    void createBottomStrip();
    void createMenu();
    void FormCreate();
    void enterGeneratedState();
    void showError(const QString &message);

    QFileDialog *m_saveDialog = nullptr;
    bool m_pagesPending = true; // some page is still empty
    bool m_buildQueued = false;
    bool m_editorReady = false; // the editor's page is built and reads the pages' values
};
