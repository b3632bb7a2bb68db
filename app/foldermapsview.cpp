#include "app/foldermapsview.h"

#include "app/scriptdocument.h"
#include "gamefolder/searchorder.h"
#include "script/gametypes.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString comesFrom(const GameFolder::Map &map)
{
    switch (map.origin) {
    case GameFolder::Origin::Archive:
        return (SearchOrder::isGameArchive(map.file) ? u"the game's archive %1"_s : u"archive %1"_s).arg(map.file);
    case GameFolder::Origin::Loose: return u"loose file %1"_s.arg(QDir::toNativeSeparators(map.file));
    case GameFolder::Origin::Stock: break;
    }
    return u"the game, taken as there"_s;
}

// The gametypes `map` runs, and each other with what it lacks for it.
std::pair<QString, QString> running(const GameFolder::Contents &folder, const GameFolder::Map &map)
{
    if (!folder.finds(map)) {
        return { u"none"_s,
            u"the game does not find it: it opens a loose map by its exact path, maps/mp/%1.bsp"_s.arg(map.name) };
    }
    if (!map.gametypes) {
        for (const GameFolder::Note &note : folder.notes) {
            if (map.origin == GameFolder::Origin::Loose && note.file == map.file && note.folder == map.folder)
                return { u"not known: "_s + describe(note.trouble), {} };
        }
        return { u"not known"_s, {} };
    }
    // Gametypes that lack the same are named together: "tdm, bel: no team spawn points".
    QList<std::pair<QStringList, QString>> lacks;
    for (const Gametypes::Gametype &gametype : Gametypes::all) {
        QStringList missing;
        if (GameFolder::notOfferedByArena(map, gametype))
            missing << u"the game's own arena file does not offer it"_s;
        for (const Gametypes::Need &need :
            missing.isEmpty() ? GameFolder::lacking(map, gametype) : QList<Gametypes::Need>())
            missing << u"no "_s + need.named.toString();
        if (missing.isEmpty())
            continue;
        const QString why = missing.join(u", "_s);
        const auto same
            = std::find_if(lacks.begin(), lacks.end(), [&](const auto &group) { return group.second == why; });
        if (same == lacks.end())
            lacks.append({ { gametype.word.toString() }, why });
        else
            same->first << gametype.word.toString();
    }
    QStringList doesNot;
    for (const auto &[gametypes, why] : std::as_const(lacks))
        doesNot << gametypes.join(u", "_s) + u": "_s + why;
    return { map.gametypes->isEmpty() ? u"none"_s : map.gametypes->join(u", "_s), doesNot.join(u"; "_s) };
}

} // namespace

FolderMapsView *FolderMapsView::open(QWidget *window, const ScriptDocument *document)
{
    auto *view = window->findChild<FolderMapsView *>(QString(), Qt::FindDirectChildrenOnly);
    if (!view)
        view = new FolderMapsView(window, document);
    view->show();
    view->raise();
    view->activateWindow();
    view->m_table->setFocus();
    return view;
}

FolderMapsView::FolderMapsView(QWidget *window, const ScriptDocument *document)
    : QDialog(window)
    , m_summary(new QLabel(this))
    , m_find(new QLineEdit(this))
    , m_maps(new QStandardItemModel(0, ColumnCount, this))
    , m_found(new QSortFilterProxyModel(this))
    , m_table(new QTreeView(this))
    , m_current(new QLabel(this))
{
    setObjectName(u"FolderMapsView"_s);
    setWindowTitle(u"Maps in the Game Folder"_s);
    resize(860, 480);

    m_summary->setObjectName(u"FolderMapsSummary"_s);
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *findLabel = new QLabel(u"&Find:"_s, this);
    findLabel->setBuddy(m_find);
    m_find->setObjectName(u"FolderMapsFind"_s);
    m_find->setPlaceholderText(u"a map's name, long name, archive or gametype"_s);
    m_find->setClearButtonEnabled(true);

    m_maps->setHorizontalHeaderLabels(
        { u"Map"_s, u"Long name"_s, u"Comes from"_s, u"Runs"_s, u"Does not run, and why"_s });
    m_found->setSourceModel(m_maps);
    m_found->setFilterKeyColumn(-1);
    m_found->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_found->setSortCaseSensitivity(Qt::CaseInsensitive);
    connect(m_find, &QLineEdit::textChanged, m_found, &QSortFilterProxyModel::setFilterFixedString);

    m_table->setObjectName(u"FolderMapsTable"_s);
    m_table->setAccessibleName(u"Maps in the game folder"_s);
    m_table->setModel(m_found);
    m_table->setRootIsDecorated(false);
    m_table->setUniformRowHeights(true);
    m_table->setAllColumnsShowFocus(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(Name, Qt::AscendingOrder);
    for (const auto &[column, width] : { std::pair { Name, 120 }, { LongName, 150 }, { From, 170 }, { Runs, 130 } })
        m_table->header()->resizeSection(column, width);

    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this, &FolderMapsView::showCurrent);
    m_current->setObjectName(u"FolderMapsCurrent"_s);
    m_current->setTextFormat(Qt::PlainText);
    m_current->setWordWrap(true);
    m_current->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_current->setMinimumHeight(3 * m_current->fontMetrics().lineSpacing());
    m_current->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *findRow = new QHBoxLayout;
    findRow->addWidget(findLabel);
    findRow->addWidget(m_find);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addLayout(findRow);
    layout->addWidget(m_table);
    layout->addWidget(m_current);
    layout->addWidget(buttons);
    setTabOrder(m_find, m_table);
    setTabOrder(m_table, buttons->button(QDialogButtonBox::Close));

    connect(document, &ScriptDocument::gameFolderRead, this, &FolderMapsView::showFolder);
    showFolder(document->gameFolder());
}

void FolderMapsView::showCurrent()
{
    const QModelIndex current = m_table->currentIndex();
    auto cell = [&](Column column) { return current.siblingAtColumn(column).data().toString(); };
    if (!current.isValid()) {
        m_current->clear();
        return;
    }
    const QString name = cell(LongName).isEmpty() ? cell(Name) : u"%1 (%2)"_s.arg(cell(Name), cell(LongName));
    QString text = u"%1, from %2, runs %3."_s.arg(name, cell(From), cell(Runs));
    if (!cell(DoesNotRun).isEmpty())
        text += u" It does not run "_s + cell(DoesNotRun) + u'.';
    m_current->setText(text);
}

// The keyboard goes back to the window the view was opened from, whatever the desktop does.
void FolderMapsView::done(int result)
{
    QDialog::done(result);
    parentWidget()->activateWindow();
}

void FolderMapsView::showFolder(const GameFolderReader::Contents &contents)
{
    // The map the keyboard was on stays current as the folder is read again.
    const QString current = m_table->currentIndex().siblingAtColumn(Name).data().toString();
    m_maps->removeRows(0, m_maps->rowCount());
    if (!contents) {
        m_summary->setText(u"No game folder is read. Open or save a script in the server's game folder, the one "
                           "that holds its .pk3 archives or a maps/mp folder, or choose one with File > Game "
                           "Folder."_s);
        m_table->setAccessibleDescription(m_summary->text());
        return;
    }
    m_summary->setText(contents->summary());
    m_table->setAccessibleDescription(m_summary->text());
    for (const GameFolder::Map &map : contents->maps) {
        const auto [runs, doesNot] = running(*contents, map);
        QList<QStandardItem *> row;
        for (const QString &text : { map.name, map.longName, comesFrom(map), runs, doesNot })
            row << new QStandardItem(text);
        m_maps->appendRow(row);
    }
    const QModelIndexList found = m_found->match(
        m_found->index(0, Name), Qt::DisplayRole, current, 1, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    m_table->setCurrentIndex(found.isEmpty() ? m_found->index(0, Name) : found.constFirst());
}
