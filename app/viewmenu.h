#pragma once

class EditorPage;
class QMenuBar;
class QAction;
class ScriptDocument;
class QWidget;

// The View menu: the list of every mark (ProblemsView), stepping through the
// editor's marks as IDEs do (F8, Shift+F8), and the script the exec on the
// editor's line runs, read-only (F12, also in the editor's context menu).
namespace ViewMenu {

// Adds the menu to `window`'s `bar` before `before`, for the script of `page` and `document`.
void create(QWidget *window, QMenuBar *bar, QAction *before, EditorPage *page, const ScriptDocument *document);

} // namespace ViewMenu
