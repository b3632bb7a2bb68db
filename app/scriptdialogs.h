#pragma once

#include <QString>

class QWidget;

// The window's file dialogs and boxes, each titled `title`. A file dialog
// starts in `folder`, the folder its kind showed last (at first the one the
// program started in), and leaves there the folder it showed.
//
// Each runs modally on the heap, watched, as Qt advises for exec(): should
// `parent` go while it runs, the dialog goes with it once, and the answer is
// "cancelled" without touching `folder`.
namespace ScriptDialogs {

// The script to open; empty when the user cancels.
QString openPath(QWidget *parent, QString &folder);
// Where to save the script, proposing the file name `proposed`; empty when the user cancels.
QString savePath(QWidget *parent, QString &folder, const QString &proposed);
// The server's game folder, starting in `folder`; empty when the user cancels.
QString gameFolder(QWidget *parent, const QString &folder);

enum class Answer { Save, Discard, Cancel };
// Asks whether opening `file` may replace work not saved: the editor's
// changes when `textChanged`, else values typed on the pages.
Answer askBeforeReplacing(QWidget *parent, const QString &title, const QString &file, bool textChanged);

void showError(QWidget *parent, const QString &title, const QString &message);

} // namespace ScriptDialogs
