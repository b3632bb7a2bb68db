#include "app/problemsview.h"

#include "app/editorpage.h"
#include "app/execscriptview.h"
#include "app/scriptdocument.h"
#include "gamefolder/scriptchecks.h"
#include "script/wording.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Where each row's mark stands, kept in its first cell.
enum Role { ScriptRole = Qt::UserRole, LineRole, ColumnRole };

// The pause after a change before the marks are read again: a typist's next key comes sooner.
constexpr int followAfterMs = 300;

} // namespace

ProblemsView *ProblemsView::open(QWidget *window, EditorPage *page, const ScriptDocument *document)
{
    auto *view = window->findChild<ProblemsView *>(QString(), Qt::FindDirectChildrenOnly);
    if (!view)
        view = new ProblemsView(window, page, document);
    view->show();
    view->raise();
    view->activateWindow();
    view->m_list->setFocus();
    return view;
}

ProblemsView::ProblemsView(QWidget *window, EditorPage *page, const ScriptDocument *document)
    : QDialog(window)
    , m_page(page)
    , m_document(document)
    , m_summary(new QLabel(this))
    , m_marks(new QStandardItemModel(0, ColumnCount, this))
    , m_list(new QTreeView(this))
    , m_current(new QLabel(this))
    , m_later(new QTimer(this))
{
    setObjectName(u"ProblemsView"_s);
    setWindowTitle(u"Problems"_s);
    resize(760, 420);

    m_summary->setObjectName(u"ProblemsSummary"_s);
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);

    m_marks->setObjectName(u"ProblemsMarks"_s);
    m_marks->setHorizontalHeaderLabels({ u"File"_s, u"Line"_s, u"What the game does"_s });
    m_list->setObjectName(u"ProblemsList"_s);
    m_list->setAccessibleName(u"Problems"_s);
    m_list->setModel(m_marks);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->resizeSection(File, 180);
    m_list->header()->resizeSection(Line, 50);
    connect(m_list, &QAbstractItemView::activated, this, &ProblemsView::goToMark);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &ProblemsView::goToMark);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &ProblemsView::showCurrent);

    m_current->setObjectName(u"ProblemsCurrent"_s);
    m_current->setTextFormat(Qt::PlainText);
    m_current->setWordWrap(true);
    m_current->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_current->setMinimumHeight(3 * m_current->fontMetrics().lineSpacing());
    m_current->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(u"ProblemsButtons"_s);
    // Enter on a row goes to its mark; it must not close the view.
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);
    layout->addWidget(m_current);
    layout->addWidget(buttons);

    m_later->setObjectName(u"ProblemsFollow"_s);
    m_later->setSingleShot(true);
    m_later->setInterval(followAfterMs);
    connect(m_later, &QTimer::timeout, this, &ProblemsView::refresh);
    connect(m_page->editor()->document(), &QTextDocument::contentsChanged, this, &ProblemsView::follow);
    connect(m_document, &ScriptDocument::gameFolderRead, this, &ProblemsView::follow);
}

void ProblemsView::follow()
{
    if (isVisible())
        m_later->start();
}

void ProblemsView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refresh();
}

void ProblemsView::refresh()
{
    m_later->stop();
    const ScriptChecks *checks = m_page->checks();
    QStringList lines;
    for (QTextBlock block = m_page->editor()->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    const QList<ScriptChecks::Found> found
        = checks->marksInRunOrder(lines, [this](qsizetype line) { return m_page->marksOn(line); });

    // The mark the keyboard was on stays current as the list is read again.
    const QModelIndex was = m_list->currentIndex().siblingAtColumn(File);
    const QVariantList current { was.data(ScriptRole), was.data(LineRole), was.siblingAtColumn(Sentence).data() };

    const QString path = m_document->scriptPath();
    const QString scriptName = path.isEmpty() ? u"this script"_s : QFileInfo(path).fileName();
    const QList<ScriptReader::ExecScript> &reached = checks->reachedScripts();
    m_marks->removeRows(0, m_marks->rowCount());
    qsizetype own = 0;
    QModelIndex again;
    for (const ScriptChecks::Found &mark : found) {
        QString file = scriptName;
        if (mark.script >= 0) {
            const ScriptReader::ExecScript &script = reached[mark.script];
            file = script.archive.isEmpty() ? script.path : u"%1 (%2)"_s.arg(script.path, script.archive);
        } else {
            ++own;
        }
        QList<QStandardItem *> row { new QStandardItem(file), new QStandardItem(QString::number(mark.line + 1)),
            new QStandardItem(mark.mark.sentence) };
        row[File]->setData(mark.script, ScriptRole);
        row[File]->setData(mark.line, LineRole);
        row[File]->setData(mark.mark.span.start, ColumnRole);
        row[Line]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row[Sentence]->setToolTip(mark.mark.sentence); // the column may cut it
        m_marks->appendRow(row);
        if (!again.isValid() && current == QVariantList { mark.script, mark.line, mark.mark.sentence })
            again = row[File]->index();
    }
    if (found.isEmpty()) {
        m_summary->setText(u"Nothing is marked in %1 or in the scripts its execs run."_s.arg(scriptName));
    } else {
        m_summary->setText(u"%1: %2 in %3, %4 in the scripts its execs run, in the order the game runs them. Enter "
                           "or a double click goes to a mark."_s.arg(Wording::counted(found.size(), u"mark", u"marks"),
                               QString::number(own), scriptName, QString::number(found.size() - own)));
    }
    m_list->setAccessibleDescription(m_summary->text());
    m_list->setCurrentIndex(again.isValid() ? again : m_marks->index(0, File));
    showCurrent();
}

void ProblemsView::showCurrent()
{
    const QModelIndex current = m_list->currentIndex();
    m_current->setText(current.isValid()
            ? u"%1, line %2: %3"_s.arg(current.siblingAtColumn(File).data().toString(),
                current.siblingAtColumn(Line).data().toString(), current.siblingAtColumn(Sentence).data().toString())
            : QString());
}

void ProblemsView::goToMark(const QModelIndex &index)
{
    QModelIndex first = index.siblingAtColumn(File);
    // A change not followed yet may have moved the marks: the list first catches up, and goes to the mark only
    // where it is still there.
    if (m_later->isActive()) {
        auto markOf = [](const QModelIndex &at) {
            return QVariantList { at.data(ScriptRole), at.data(LineRole), at.siblingAtColumn(Sentence).data() };
        };
        const QVariantList wanted = markOf(first);
        m_list->setCurrentIndex(first);
        refresh();
        first = m_list->currentIndex().siblingAtColumn(File);
        if (markOf(first) != wanted)
            return;
    }
    if (!first.isValid())
        return;
    const qsizetype script = first.data(ScriptRole).toLongLong();
    const qsizetype line = first.data(LineRole).toLongLong();
    if (script < 0)
        m_page->goTo(line, first.data(ColumnRole).toLongLong());
    else
        ExecScriptView::open(parentWidget(), *m_page->checks(), script, line);
}

// The keyboard goes back to the window the view was opened from.
void ProblemsView::done(int result)
{
    QDialog::done(result);
    parentWidget()->activateWindow();
}
