#pragma once

#include <QAccessible>
#include <QObject>

#include <functional>

class LazyPage;
class PageList;
class QTabBar;
class QTabWidget;

// The window's strip of pages, in the order of the page list, the editor's
// among them. The pages not built at the start are built right after the
// first frame, once assistive technology comes, which may ask for any control
// at any moment, and before the strip is pressed, turned or stepped through. The strip hides two tabs, the editor's
// before "Finish!" and the Votes page's; ctrl+Tab and the arrow keys on the strip step only through the tabs shown.
class PageStrip : public QObject, private QAccessible::ActivationObserver {
public:
    // `built` runs once every page is built.
    PageStrip(QTabWidget *tabs, const PageList &pages, LazyPage *editor, std::function<void()> built);
    ~PageStrip() override;

    // Builds every page not built yet. Whatever needs a page calls it first.
    void buildAll();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void accessibilityActiveChanged(bool active) override;
    void step(int step, bool wrap);

    QTabWidget *const m_tabs;
    // Kept from the start: the bar's last events come while the tab widget is half destroyed.
    QTabBar *const m_strip;
    const PageList &m_pages;
    LazyPage *const m_editor;
    const std::function<void()> m_built;
    bool m_pending = true; // some page is still empty
    bool m_queued = false;
};
