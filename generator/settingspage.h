#pragma once

#include "generator/lazypage.h"

class OpenedScript;
class ScriptWriter;

// A page of settings as the window sees it: it writes its section of the
// script and takes its values back from an opened script, both by walking
// the same rows, so the row that writes a variable is the row that reads it.
// What each variable accepts is declared by the page's static declareValues,
// which needs no window.
class SettingsPage : public LazyPage {
public:
    using LazyPage::LazyPage;

    // Writes the page's section of the script. The controls must be there: the window builds every page before
    // "Finish!" writes.
    void writeSection(ScriptWriter &out) const
    {
        Q_ASSERT_X(isBuilt(), "SettingsPage::writeSection", qPrintable(objectName() + QStringLiteral(" is not built")));
        writeLines(out);
    }
    // Shows the values the script gives the page's variables and ticks their
    // include boxes; clears the boxes of the rest. Builds the page first.
    virtual void takeValues(OpenedScript &script) = 0;

protected:
    virtual void writeLines(ScriptWriter &out) const = 0;
};
