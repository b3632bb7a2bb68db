#include "app/pagestrip.h"

#include "generator/lazypage.h"
#include "generator/pagelist.h"
#include "widgets/artwork.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>

#include <utility>

PageStrip::PageStrip(QTabWidget *tabs, const PageList &pages, LazyPage *editor, std::function<void()> built)
    : QObject(tabs)
    , m_tabs(tabs)
    , m_strip(tabs->tabBar())
    , m_pages(pages)
    , m_editor(editor)
    , m_built(std::move(built))
{
    setObjectName(QStringLiteral("pageStrip"));
    for (const PageList::Tab &tab : pages.tabs()) {
        QWidget *page = tab.page ? static_cast<QWidget *>(tab.page) : editor;
        const int index = tabs->addTab(page, tab.icon.isEmpty() ? QIcon() : Artwork::icon(tab.icon), tab.caption);
        // A page without a tab (Votes) may still be the current one: the strip
        // then marks no tab, and clicking any tab leaves the page.
        tabs->setTabVisible(index, tab.shown);
    }
    tabs->installEventFilter(this);
    m_strip->installEventFilter(this);
    // Before the strip changes the page, so the page shows and takes the
    // focus as if it had always been there; a change made elsewhere still
    // finds the page built before the next frame.
    connect(tabs, &QTabWidget::currentChanged, this, &PageStrip::buildAll);
    QAccessible::installActivationObserver(this);
}

PageStrip::~PageStrip()
{
    QAccessible::removeActivationObserver(this);
}

void PageStrip::buildAll()
{
    if (!std::exchange(m_pending, false))
        return;
    // In the order of the tabs, as the keyboard focus goes through them.
    for (const PageList::Tab &tab : m_pages.tabs())
        (tab.page ? tab.page : m_editor)->build();
    m_built();
}

void PageStrip::accessibilityActiveChanged(bool active)
{
    if (active)
        buildAll();
}

bool PageStrip::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool onStrip = watched == m_strip;
    // The rest of the pages once the first frame has gone to the screen.
    if (type == QEvent::Paint && m_pending && !std::exchange(m_queued, true))
        QMetaObject::invokeMethod(this, &PageStrip::buildAll, Qt::QueuedConnection);
    if (onStrip && (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress))
        buildAll();
    if (type != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool ctrlTab
        = (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && key->modifiers() & Qt::ControlModifier;
    if (watched == m_tabs && ctrlTab) {
        step(key->key() == Qt::Key_Backtab || key->modifiers() & Qt::ShiftModifier ? -1 : 1, true);
        return true;
    }
    if (onStrip && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
        step(key->key() == Qt::Key_Left ? -1 : 1, false);
        return true;
    }
    return false;
}

// To the next (or previous) page whose tab is shown; ctrl+Tab wraps round,
// the arrow keys stop at the ends of the strip.
void PageStrip::step(int step, bool wrap)
{
    buildAll();
    const int count = m_tabs->count();
    int index = m_tabs->currentIndex();
    for (int tried = 0; tried < count; ++tried) {
        index += step;
        if (wrap)
            index = (index + count) % count;
        else if (index < 0 || index >= count)
            break;
        if (m_tabs->isTabVisible(index) && m_tabs->isTabEnabled(index)) {
            m_tabs->setCurrentIndex(index);
            break;
        }
    }
    // The focus was on the page just hidden.
    if (!QApplication::focusWidget())
        m_strip->setFocus();
}
