#include "app/scriptdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace ScriptDialogs {

namespace {

// Each use has a dialog of its own: one kept for the next use can leave its
// name completer on the screen. A path typed in full that chose a file
// elsewhere leaves `folder` as it was.
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

QString openPath(QWidget *parent, QString &folder)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(u"OpenDialog"_s);
    dialog.setWindowTitle(u"Open CFG"_s);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({ u"Config scripts (*.cfg)"_s, u"All files (*)"_s });
    return chosenFile(dialog, folder);
}

QString savePath(QWidget *parent, QString &folder, const QString &proposed)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(u"SaveDialog"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(u".cfg (*.cfg)"_s);
    dialog.setDefaultSuffix(u"cfg"_s);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposed);
    return chosenFile(dialog, folder);
}

Answer askBeforeReplacing(QWidget *parent, const QString &title, const QString &file, bool textChanged)
{
    const QString name = QFileInfo(file).fileName();
    // Saving the editor's text would not keep values that are in no script.
    QMessageBox box(QMessageBox::Warning, title,
        textChanged ? u"The script in the editor has changes that are not saved. Opening %1 replaces them, and the "
                      "values on the pages."_s.arg(name)
                    : u"The values typed on the pages are in no saved script. Opening %1 replaces them."_s.arg(name),
        textChanged ? QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel
                    : QMessageBox::Discard | QMessageBox::Cancel,
        parent);
    box.setObjectName(u"ReplaceBox"_s);
    box.setDefaultButton(textChanged ? QMessageBox::Save : QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return Answer::Save;
    case QMessageBox::Discard: return Answer::Discard;
    default: return Answer::Cancel;
    }
}

void showError(QWidget *parent, const QString &title, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
    box.setObjectName(u"ErrorBox"_s);
    box.exec();
}

} // namespace ScriptDialogs
