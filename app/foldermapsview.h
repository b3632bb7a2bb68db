#pragma once

#include "app/gamefolderreader.h"

#include <QDialog>

class QLabel;
class ScriptDocument;
class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTreeView;

// Every map of the server's game folder, in a window beside the main one:
// its name and long name, where it comes from, the gametypes it runs and why
// it runs none of the others. It follows the folder as it is read again, and
// closes with Escape.
class FolderMapsView : public QDialog {
    Q_OBJECT

public:
    enum Column { Name, LongName, From, Runs, DoesNotRun, ColumnCount };

    // Shows the view of the game folder of `document` over `window`, made on first use.
    static FolderMapsView *open(QWidget *window, const ScriptDocument *document);

protected:
    void done(int result) override;

private:
    FolderMapsView(QWidget *window, const ScriptDocument *document);
    void showFolder(const GameFolderReader::Contents &contents);
    void showCurrent();

    QLabel *const m_summary;
    QLineEdit *const m_find;
    QStandardItemModel *const m_maps;
    QSortFilterProxyModel *const m_found;
    QTreeView *const m_table;
    QLabel *const m_current; // the current map's row in full, which the columns may cut
};
