#include "app/viewmenu.h"

#include "app/editorpage.h"
#include "app/execscriptview.h"
#include "app/problemsview.h"

#include <QMenu>
#include <QMenuBar>

#include <functional>

using namespace Qt::StringLiterals;

namespace ViewMenu {

void create(QWidget *window, QMenuBar *bar, QAction *before, EditorPage *page, const ScriptDocument *document)
{
    auto *menu = new QMenu(u"&View"_s, bar);
    menu->setObjectName(u"View1"_s);
    bar->insertMenu(before, menu);
    auto openExec = [window, page](qsizetype script) {
        if (page->checks())
            ExecScriptView::open(window, *page->checks(), script);
    };
    const struct {
        const char *name;
        QString caption, hint;
        QKeySequence shortcut;
        std::function<void()> handler;
    } entries[] = {
        { "Problems1", u"&Problems\u2026"_s,
            u"Every mark of the script and of the scripts its execs run, in the order the game runs them"_s,
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), [=] { ProblemsView::open(window, page, document); } },
        { "NextMark1", u"&Next Mark"_s, u"Go to the editor's next mark"_s, QKeySequence(Qt::Key_F8),
            [page] { page->stepToMark(true); } },
        { "PreviousMark1", u"P&revious Mark"_s, u"Go to the editor's previous mark"_s,
            QKeySequence(Qt::SHIFT | Qt::Key_F8), [page] { page->stepToMark(false); } },
        { "OpenExec1", u"&Open the Exec'd Script"_s,
            u"Read, with its marks, the script that the exec on the editor's line runs on the server"_s,
            QKeySequence(Qt::Key_F12), [page, openExec] { openExec(page->execScriptAtCursor()); } },
    };
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(entry.caption, window, entry.handler);
        action->setObjectName(QLatin1StringView(entry.name));
        action->setStatusTip(entry.hint);
        action->setShortcut(entry.shortcut);
    }
    QObject::connect(page, &EditorPage::execScriptWanted, window, openExec);
}

} // namespace ViewMenu
