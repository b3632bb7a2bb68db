#pragma once

// Helpers for tests that drive the real main window offscreen.

#include "app/editorpage.h"
#include "app/tform1.h"
#include "generator/gameoptionspage.h"
#include "generator/gametypespage.h"
#include "generator/maprotationpage.h"
#include "generator/networkoptionspage.h"
#include "generator/pagekit.h"
#include "generator/pagelist.h"
#include "generator/serverinfopage.h"
#include "generator/serveroptionspage.h"
#include "generator/weaponspage.h"
#include "widgets/ttextbutton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QVariant>

#include <limits>

namespace FormTest {

template<typename T = QWidget> T *control(const QObject &form, const char *name)
{
    T *found = form.findChild<T *>(QLatin1StringView(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

template<typename T = QWidget> T *control(const QObject &form, const QString &name)
{
    return control<T>(form, name.toLatin1().constData());
}

inline void click(const QObject &form, const char *buttonName)
{
    QTest::mouseClick(control<QAbstractButton>(form, buttonName), Qt::LeftButton);
}

inline void clickAll(const QObject &form, const QStringList &buttonNames)
{
    for (const QString &name : buttonNames)
        click(form, name.toLatin1().constData());
}

// Shows `window` and waits until it is on screen.
inline void showWindow(QWidget &window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window never showed");
}

// The editor's lines as the user sees them (the last, empty line after the
// final line end is not a line).
inline QStringList editorLines(TForm1 &form)
{
    QStringList lines;
    for (QTextBlock block = form.editor()->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// Presses "Finish!" and returns what it wrote.
inline QStringList finish(TForm1 &form)
{
    click(form, "btnFinish");
    return editorLines(form);
}

// The script an untouched window writes, as saved.
inline QByteArray goldenBytes()
{
    QFile file(QStringLiteral(TESTDATA_DIR "/default.cfg"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the golden script");
    return file.readAll();
}

inline QStringList goldenLines()
{
    QStringList lines = QString::fromLatin1(goldenBytes()).split(QStringLiteral("\r\n"));
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// From `heading` through the "//" that closes its section; empty without `heading`.
inline QStringList section(const QStringList &lines, const QString &heading)
{
    const qsizetype start = lines.indexOf(heading);
    if (start < 0)
        return {};
    const qsizetype end = lines.indexOf(QStringLiteral("//"), start + 1);
    return lines.mid(start, end < 0 ? -1 : end - start + 1);
}

// The wavy underline's red, among the black text on the field, between `fromX` and `toX`.
inline int underlinePixels(QWidget *field, int fromX = 0, int toX = std::numeric_limits<int>::max())
{
    const QImage image = field->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = std::max(fromX, 0); x < std::min(toX, image.width()); ++x) {
            const QColor colour = image.pixelColor(x, y);
            count += colour.red() - colour.green() > 60 && colour.red() - colour.blue() > 60;
        }
    }
    return count;
}

// Control name and value: a bool checks or clears a box or button, a string is typed into an edit.
using Settings = QList<std::pair<QString, QVariant>>;

inline void setControls(const QObject &form, const Settings &settings)
{
    for (const auto &[name, value] : settings) {
        QWidget *widget = control(form, name);
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edit->setText(value.toString());
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setChecked(value.toBool());
        else
            qFatal("cannot set %s", qPrintable(name));
    }
}

inline void clearIncludeBoxes(const QWidget *page)
{
    for (QCheckBox *box : page->findChildren<QCheckBox *>()) {
        if (box->statusTip() == PageKit::includeHint)
            box->setChecked(false);
    }
}

// Clicks the tab of `page` in the strip.
inline void clickTab(const TForm1 &form, QWidget *page)
{
    QTabBar *bar = FormTest::control<QTabWidget>(form, "PageControl1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
        bar->tabRect(FormTest::control<QTabWidget>(form, "PageControl1")->indexOf(page)).center());
}

// What a window system delivers for a double click: press, release, press,
// double-click, release. (QTest::mouseDClick sends the double-click alone.)
inline void doubleClick(QWidget *widget)
{
    const QPoint centre = widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, {}, centre);
    QTest::mousePress(widget, Qt::LeftButton, {}, centre);
    QMouseEvent dblClick(QEvent::MouseButtonDblClick, centre, widget->mapToGlobal(centre), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &dblClick);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, centre);
}

} // namespace FormTest
