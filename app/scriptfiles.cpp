#include "app/scriptfiles.h"

#include "app/scriptdialogs.h"
#include "app/scriptdocument.h"

#include <QFileInfo>
#include <QWidget>

#include <utility>

using namespace Qt::StringLiterals;

ScriptFiles::ScriptFiles(
    QWidget *window, ScriptDocument *document, const QString &title, std::function<void()> buildPages)
    : QObject(window)
    , m_window(window)
    , m_document(document)
    , m_title(title)
    , m_buildPages(std::move(buildPages))
{
    setObjectName(u"scriptFiles"_s);
}

// After a dialog nothing here is touched unless it answered: the window, and this with it, may have gone meanwhile.
void ScriptFiles::openThroughDialog()
{
    if (const QString path = ScriptDialogs::openPath(m_window, m_openFolder); !path.isEmpty() && mayReplaceScript(path))
        open(path);
}

bool ScriptFiles::saveThroughDialog()
{
    const QString opened = m_document->openedFile();
    const QString path = ScriptDialogs::savePath(
        m_window, m_saveFolder, opened.isEmpty() ? u"servercfg"_s : QFileInfo(opened).fileName());
    return !path.isEmpty() && save(path);
}

void ScriptFiles::chooseGameFolder()
{
    if (const QString folder = ScriptDialogs::gameFolder(m_window, m_document->chosenGameFolder()); !folder.isEmpty())
        m_document->chooseGameFolder(folder);
}

bool ScriptFiles::mayReplaceScript(const QString &path)
{
    m_buildPages();
    const bool textChanged = m_document->textChanged();
    if (!textChanged && !m_document->pagesChanged())
        return true;
    switch (ScriptDialogs::askBeforeReplacing(m_window, m_title, path, textChanged)) {
    case ScriptDialogs::Answer::Save: return saveThroughDialog();
    case ScriptDialogs::Answer::Discard: return true;
    case ScriptDialogs::Answer::Cancel: break;
    }
    return false;
}

bool ScriptFiles::open(const QString &path)
{
    m_buildPages();
    if (!succeeded(m_document->open(path)))
        return false;
    m_saveFolder = QFileInfo(path).absolutePath(); // saving proposes the file opened, where it lies
    return true;
}

bool ScriptFiles::save(const QString &path)
{
    return succeeded(m_document->save(path));
}

bool ScriptFiles::succeeded(const std::optional<QString> &failure)
{
    if (!failure)
        return true;
    ScriptDialogs::showError(m_window, m_title, *failure);
    return false;
}
