#include "app/scriptdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace ScriptDialogs {

namespace {

// Runs `dialog`, reads its answer with `read` and deletes it; nothing when its parent took it along meanwhile.
template<typename Dialog, typename Read>
auto run(Dialog *dialog, Read read) -> std::optional<decltype(read(*dialog, QDialog::Rejected))>
{
    const QPointer<Dialog> alive(dialog);
    const int result = dialog->exec();
    if (!alive)
        return std::nullopt;
    const std::unique_ptr<Dialog> done(dialog);
    return read(*dialog, result);
}

QFileDialog *fileDialog(QWidget *parent, const char *name, const QString &folder)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QLatin1StringView(name));
    dialog->setSizeGripEnabled(true);
    dialog->setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    return dialog;
}

// Each use has a dialog of its own: one kept for the next use can leave its
// name completer on the screen. A path typed in full that chose a file
// elsewhere leaves `folder` as it was.
QString chosenFile(QFileDialog *dialog, QString &folder)
{
    struct Chosen {
        QString file, shown;
    };
    const std::optional<Chosen> chosen = run(dialog, [](QFileDialog &shown, int result) {
        const bool accepted = result == QDialog::Accepted && !shown.selectedFiles().isEmpty();
        return Chosen { accepted ? shown.selectedFiles().constFirst() : QString(), shown.directory().absolutePath() };
    });
    if (!chosen)
        return {};
    if (chosen->file.isEmpty() || QFileInfo(chosen->file).absolutePath() == chosen->shown)
        folder = chosen->shown;
    return chosen->file;
}

} // namespace

QString openPath(QWidget *parent, QString &folder)
{
    QFileDialog *dialog = fileDialog(parent, "OpenDialog", folder);
    dialog->setWindowTitle(u"Open CFG"_s);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters({ u"Config scripts (*.cfg)"_s, u"All files (*)"_s });
    return chosenFile(dialog, folder);
}

QString savePath(QWidget *parent, QString &folder, const QString &proposed)
{
    QFileDialog *dialog = fileDialog(parent, "SaveDialog", folder);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(u".cfg (*.cfg)"_s);
    dialog->setDefaultSuffix(u"cfg"_s);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->selectFile(proposed);
    return chosenFile(dialog, folder);
}

QString gameFolder(QWidget *parent, const QString &folder)
{
    QFileDialog *dialog = fileDialog(parent, "GameFolderDialog", folder);
    dialog->setWindowTitle(u"Game Folder"_s);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    QString shown = folder; // a folder dialog leaves no folder behind for the next
    return chosenFile(dialog, shown);
}

Answer askBeforeReplacing(QWidget *parent, const QString &title, const QString &file, bool textChanged)
{
    const QString name = QFileInfo(file).fileName();
    // Saving the editor's text would not keep values that are in no script.
    auto *box = new QMessageBox(QMessageBox::Warning, title,
        textChanged ? u"The script in the editor has changes that are not saved. Opening %1 replaces them, and the "
                      "values on the pages."_s.arg(name)
                    : u"The values typed on the pages are in no saved script. Opening %1 replaces them."_s.arg(name),
        textChanged ? QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel
                    : QMessageBox::Discard | QMessageBox::Cancel,
        parent);
    box->setObjectName(u"ReplaceBox"_s);
    box->setDefaultButton(textChanged ? QMessageBox::Save : QMessageBox::Cancel);
    box->setEscapeButton(QMessageBox::Cancel);
    const auto answer = [](QMessageBox &, int result) {
        switch (result) {
        case QMessageBox::Save: return Answer::Save;
        case QMessageBox::Discard: return Answer::Discard;
        default: return Answer::Cancel;
        }
    };
    return run(box, answer).value_or(Answer::Cancel);
}

void showError(QWidget *parent, const QString &title, const QString &message)
{
    auto *box = new QMessageBox(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
    box->setObjectName(u"ErrorBox"_s);
    run(box, [](QMessageBox &, int result) { return result; });
}

} // namespace ScriptDialogs
