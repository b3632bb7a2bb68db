#pragma once

// Helpers for tests that drive the real main window offscreen.

#include "app/editorpage.h"
#include "app/tform1.h"
#include "generator/gameoptionspage.h"
#include "generator/gametypespage.h"
#include "generator/maprotationpage.h"
#include "generator/networkoptionspage.h"
#include "generator/serverinfopage.h"
#include "generator/serveroptionspage.h"
#include "generator/weaponspage.h"
#include "widgets/ttextbutton.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <QTextBlock>

namespace FormTest {

template<typename T = QWidget>
T *control(const QObject &form, const char *name)
{
    T *found = form.findChild<T *>(QLatin1StringView(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

inline void click(const QObject &form, const char *buttonName)
{
    QTest::mouseClick(control<QAbstractButton>(form, buttonName), Qt::LeftButton);
}

// The editor's lines as the user sees them (the last, empty line after the
// final line end is not a line).
inline QStringList editorLines(const TForm1 &form)
{
    QStringList lines;
    for (QTextBlock block = form.editor->document()->begin(); block.isValid(); block = block.next())
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

} // namespace FormTest
