#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ScriptDocument;
class QWidget;

// How the window's script comes from files and goes to them: Open and Save
// through their dialogs, asking first where opening would lose work, the game
// folder through its dialog, and the error box where a file cannot be read or
// written. Each kind of dialog starts in the folder it showed last.
class ScriptFiles : public QObject {
    Q_OBJECT

public:
    // The dialogs are `window`'s, titled `title`; `buildPages` builds every
    // page, which Open fills and asks about.
    ScriptFiles(QWidget *window, ScriptDocument *document, const QString &title, std::function<void()> buildPages);

    void openThroughDialog();
    // False when nothing was saved.
    bool saveThroughDialog();
    void chooseGameFolder();

    // Whether opening `path` may replace the script and the pages' values:
    // asks first when either holds work not saved (ScriptDocument).
    bool mayReplaceScript(const QString &path);
    // Reads the script at `path` into the pages and the editor; shows the
    // error box and changes nothing when it cannot.
    bool open(const QString &path);
    // Writes the editor's text to `path`; shows the error box and leaves any
    // file that was there untouched when it cannot.
    bool save(const QString &path);

private:
    // Shows the error box for `failure`, if any; true when there is none.
    bool succeeded(const std::optional<QString> &failure);

    QWidget *const m_window;
    ScriptDocument *const m_document;
    const QString m_title;
    const std::function<void()> m_buildPages;
    QString m_saveFolder; // the folder each file dialog showed last; at first the one the program started in
    QString m_openFolder;
};
