#pragma once

// Building blocks shared by the settings pages. The window has a fixed
// geometry, so every control is placed at its pixel position; these helpers
// only take care of what every page does the same way.

#include "script/scriptwriter.h"

#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QRadioButton>
#include <QRect>
#include <QString>

#include <array>
#include <initializer_list>
#include <span>
#include <utility>

class QFont;
class QLabel;
class QWidget;

namespace PageKit {

inline const QString includeHint = QStringLiteral("Add this line to the cfg?");

// Hints go to the status bar and to assistive technology, never to tooltips.
void setHint(QWidget *widget, const QString &hint);

// The 761 x 33 strip across the top of a page with its bold maroon heading.
QLabel *headingStrip(QWidget *page, const char *labelName, const QString &caption, const QString &hint);

// A bold label at `topLeft` in the headings' face, as over a page, a block or a column.
QLabel *boldLabel(QWidget *parent, const char *name, const QString &text, QPoint topLeft, const QColor &color);

// Fills `widget`'s background with `color`. Buttons and check boxes fill with
// the Button role, other widgets with Window, so both are set.
void fillBackground(QWidget *widget, const QColor &color);

// A captionless 17 x 17 include box.
QCheckBox *includeBox(QWidget *parent, const char *name, QPoint topLeft, bool checked);

// A row label whose right edge is at `rightEdge`.
QLabel *rowLabel(QWidget *parent, const char *name, const QString &text, int rightEdge, int top, const QString &hint);

// A flat single-line edit without length limit.
QLineEdit *flatEdit(QWidget *parent, const char *name, const QRect &geometry, const QString &text, const QString &hint);

// A plain coloured band behind a row; created before the row so it stays behind it.
QWidget *band(QWidget *parent, const QRect &geometry, const QColor &color = Qt::white);

// A borderless panel that makes the radio buttons on it one exclusive group.
QWidget *radioPanel(QWidget *parent, const char *name, const QRect &geometry, const QColor &color);

// A radio button with white caption text on `background`.
QRadioButton *radioButton(QWidget *panel, const char *name, const QString &caption, const QRect &geometry,
    const QString &hint, const QColor &background, bool checked);

// A decorative picture from the resources.
QLabel *picture(QWidget *parent, const QRect &geometry, const QString &resource);

// "Caption (cvar)" -> "Caption (cvar "value")", the hint of a radio button.
QString withValue(const QString &rowHint, const QString &value);

// Chains the keyboard focus through `widgets` in the given order.
void setTabOrder(std::initializer_list<QWidget *> widgets);

// Tabbing into the radio group on `panel` lands on its selected button; the
// arrow keys move within the group.
void tabStopOnSelected(QWidget *panel);

QFont headingFont();

// Names a row's controls for assistive technology: an edit is the buddy of
// the row label; the include box is "Include <row>", a radio panel is "<row>".
// `caption` replaces the label's text where the row caption spans two labels.
void nameRow(QLabel *label, QCheckBox *include, QWidget *value, const QString &caption = {});

// One button of a radio group: its place on the group's panel, its caption and the value it stands for.
template<typename Page> struct RadioChoice {
    QRadioButton *Page::*button;
    const char *name;
    QStringView caption;
    QRect geometry;
    QColor background;
    QStringView value;
};

// What a setting row writes while its include box is checked: `set <cvar> "<text of edit>"`, or, for a
// radio group, the fixed line of each selected button, the buttons tested in the order of `choices`.
template<typename Page> struct Setting {
    QCheckBox *Page::*include;
    QStringView cvar;
    QLineEdit *Page::*edit = nullptr;
    std::span<const RadioChoice<Page>> choices = {};
};

// A "Yes" ("1") and "No" ("0") pair side by side at the top of its panel, `width` wide each.
template<typename Page>
std::array<RadioChoice<Page>, 2> yesNo(QRadioButton *Page::*yes, const char *yesName, QRadioButton *Page::*no,
    const char *noName, std::pair<int, int> x, int width, std::pair<QColor, QColor> colours)
{
    return { {
        { yes, yesName, u"Yes", { x.first, 8, width, 17 }, colours.first, u"1" },
        { no, noName, u"No", { x.second, 8, width, 17 }, colours.second, u"0" },
    } };
}

// Creates the buttons of `choices` on `panel` and selects the one at index `selected`. A button's hint is
// `rowHint` with the button's value added, or `rowHint` itself when `valueInHint` is false.
template<typename Page>
void addRadioChoices(Page &page, QWidget *panel, std::span<const RadioChoice<Page>> choices, qsizetype selected,
    const QString &rowHint, bool valueInHint = true)
{
    for (qsizetype i = 0; i < qsizetype(choices.size()); ++i) {
        const RadioChoice<Page> &choice = choices[i];
        const QString value = choice.value.toString();
        page.*choice.button = radioButton(panel, choice.name, choice.caption.toString(), choice.geometry,
            valueInHint ? withValue(rowHint, value) : rowHint, choice.background, i == selected);
    }
}

template<typename Page> void writeSetting(const Page &page, ScriptWriter &out, const Setting<Page> &setting)
{
    if (!(page.*setting.include)->isChecked())
        return;
    if (setting.edit)
        out.valueLine(setting.cvar, (page.*setting.edit)->text());
    for (const RadioChoice<Page> &choice : setting.choices) {
        if ((page.*choice.button)->isChecked())
            out.fixedLine(setting.cvar, choice.value);
    }
}

} // namespace PageKit
