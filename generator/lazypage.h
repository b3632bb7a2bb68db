#pragma once

#include <QWidget>

// A page of the window, settings or the editor, whose controls are made by
// build(), not by its constructor. The window starts with empty, named pages,
// so the tab strip is whole, and fills them once its first frame is on the
// screen, or at once when something needs a page sooner: a first frame then
// costs only what it shows. A page is built once and stays the same object for
// the whole run.
class LazyPage : public QWidget {
public:
    using QWidget::QWidget;

    // Makes the page's controls; does nothing once they are made.
    void build();
    bool isBuilt() const { return m_built; }

protected:
    virtual void buildControls() = 0;

private:
    bool m_built = false;
};
