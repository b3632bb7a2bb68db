#pragma once

// Building blocks shared by the settings pages. The window has a fixed
// geometry, so every control is placed at its pixel position; these helpers
// only take care of what every page does the same way.

#include "generator/fieldmark.h"
#include "script/gametypes.h"
#include "script/openedscript.h"
#include "script/scriptwriter.h"
#include "script/valuecatalogue.h"
#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QString>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <utility>

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

// A row label whose right edge is at `rightEdge` and whose text starts no further left than `leftEdge`.
QLabel *rowLabel(
    QWidget *parent, const char *name, const QString &text, int rightEdge, int top, const QString &hint, int leftEdge);

// A flat single-line edit without length limit.
QLineEdit *flatEdit(QWidget *parent, const char *name, const QRect &geometry, const QString &text, const QString &hint);

// A plain coloured band behind a row; created before the row so it stays behind it.
QWidget *band(QWidget *parent, const QRect &geometry, const QColor &color = Qt::white);

// A borderless panel that makes the radio buttons on it one exclusive group.
QWidget *radioPanel(QWidget *parent, const char *name, const QRect &geometry, const QColor &color);

// A radio button with white caption text on `background`.
QRadioButton *radioButton(QWidget *panel, const char *name, const QString &caption, const QRect &geometry,
    const QString &hint, const QColor &background, bool checked);

// A decorative picture of the artwork (see Artwork).
QLabel *picture(QWidget *parent, const QRect &geometry, QStringView name);

// "Caption (cvar)" -> "Caption (cvar "value")", the hint of a radio button.
QString withValue(const QString &rowHint, const QString &value);

// Chains the keyboard focus through `widgets` in the given order. Every page states its whole tab order in one
// such list, because the order the keyboard takes is seldom the order in which the controls are made or
// stand: several pages visit values before include boxes, or columns out of their screen order.
void setTabOrder(std::initializer_list<QWidget *> widgets);

// Tabbing into the radio group on `panel` lands on its selected button; the
// arrow keys move within the group.
void tabStopOnSelected(QWidget *panel);

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

// Where a column puts the parts of its rows: include boxes at `includeX`, labels ending at `labelRight` (0: the
// label follows its box), values from `valueX` on, `valueWidth` wide, on a white band when `banded`.
struct Column {
    int includeX;
    int labelRight;
    int valueX;
    int valueWidth = 225;
    bool banded = true;
};

// How the game reads the number an edit holds: as C's atoi or atof reads it.
enum class Number { None, Whole, Decimal };

// One setting row: an include box and a label, then its value: an edit, a radio group on a panel, or a check
// box that is a value itself. While the box is checked the row writes `set <cvar> "<text of edit>"`, the fixed
// line of each selected button, or "1"/"0" for the value box.
template<typename Page> struct Row {
    Column column;
    int top; // of the box and the label; an edit stands 3 pixels higher, a panel 8
    QCheckBox *Page::*include;
    const char *includeName;
    bool included = true;
    const char *labelName;
    QStringView label;
    QStringView hint;
    QStringView cvar = {};

    QLineEdit *Page::*edit = nullptr;
    const char *editName = nullptr;
    QStringView text = {};
    QStringView editHint = {}; // where the edit's differs from the label's
    // Where the edit holds a number: how the game reads it, the clamp above which the game uses the clamp
    // instead, and whether the game replaces an empty value by its default, which is the start value `text`.
    Number number = Number::None;
    std::optional<ValueCatalogue::Clamp> clamp = {};
    bool emptyIsDefault = false;

    const char *panelName = nullptr;
    QWidget *Page::*panel = nullptr;
    std::span<const RadioChoice<Page>> choices = {};
    bool gametypes = false; // the buttons write the game's gametypes; a mod may add another
    qsizetype selected = 0;
    bool valueInHints = true; // each button's hint carries its value
    QRect panelAt = {}; // by default the band the value would stand on
    SystemColor panelColour = SystemColor::Highlight;

    QCheckBox *Page::*box = nullptr;
    const char *boxName = nullptr;

    // A push button on the panel, outside its radio group.
    QPushButton *Page::*button = nullptr;
    const char *buttonName = nullptr;
    QStringView buttonCaption = {};
    QRect buttonAt = {};

    // The second label of a caption on two lines.
    const char *secondLabelName = nullptr;
    QStringView secondLine = {};
};

// The label of a row, or the two labels of a caption on two lines, which then straddle the row's middle. Returns
// the first label; `caption` receives the whole caption where it spans two labels.
QLabel *rowCaption(QWidget *parent, const Column &column, int top, std::pair<const char *, QStringView> first,
    std::pair<const char *, QStringView> second, const QString &hint, QString &caption);

// A check box that is a value: 17 x 17 on the highlight colour. Its caption is its name and never shows.
QCheckBox *valueBox(QWidget *parent, const char *name, QPoint topLeft, const QString &hint);

// What a value box or a vote or weapon box writes: "1" or "0".
ValueCatalogue::Accepted onOrOff();

// What the row's variable accepts: the values of its buttons or its value box, or the number or text its edit
// holds.
template<typename Page> ValueCatalogue::Accepted acceptedBy(const Row<Page> &row)
{
    // The game's gametypes in the table's order, whatever the order of the buttons.
    if (row.gametypes)
        return { ValueCatalogue::Kind::Gametype, Gametypes::words() };
    if (!row.choices.empty()) {
        ValueCatalogue::Accepted accepted { ValueCatalogue::Kind::Choice };
        for (const RadioChoice<Page> &choice : row.choices)
            accepted.values << choice.value.toString();
        return accepted;
    }
    if (row.number != Number::None) {
        return { row.number == Number::Whole ? ValueCatalogue::Kind::Whole : ValueCatalogue::Kind::Decimal, {},
            row.clamp, row.emptyIsDefault ? std::optional(row.text.toString()) : std::nullopt };
    }
    return row.box ? onOrOff() : ValueCatalogue::Accepted {};
}

// Builds `row` on `page`. A row whose caption repeats on the page is told apart, for assistive technology, by
// the variable that ends its hint.
template<typename Page> void addRow(Page &page, const Row<Page> &row, bool captionRepeats)
{
    const Column &column = row.column;
    const QString hint = row.hint.toString();
    const QRect strip(column.valueX - 8, row.top - 8, column.valueWidth + 16, 33);
    if (column.banded && row.choices.empty())
        band(&page, strip);
    QCheckBox *include = page.*row.include
        = includeBox(&page, row.includeName, { column.includeX, row.top }, row.included);
    QString caption;
    QLabel *label = rowCaption(
        &page, column, row.top, { row.labelName, row.label }, { row.secondLabelName, row.secondLine }, hint, caption);

    QWidget *value = nullptr;
    if (row.edit) {
        value = page.*row.edit = flatEdit(&page, row.editName, { column.valueX, row.top - 3, column.valueWidth, 19 },
            row.text.toString(), row.editHint.isEmpty() ? hint : row.editHint.toString());
        if (!row.cvar.isEmpty())
            FieldMark::watch(page.*row.edit, row.cvar, acceptedBy(row));
    }
    if (!row.choices.empty()) {
        QWidget *panel = value = radioPanel(
            &page, row.panelName, row.panelAt.isNull() ? strip : row.panelAt, systemColor(row.panelColour));
        if (row.panel)
            page.*row.panel = panel;
        for (qsizetype i = 0; i < qsizetype(row.choices.size()); ++i) {
            const RadioChoice<Page> &choice = row.choices[i];
            page.*choice.button = radioButton(panel, choice.name, choice.caption.toString(), choice.geometry,
                row.valueInHints ? withValue(hint, choice.value.toString()) : hint, choice.background,
                i == row.selected);
        }
        tabStopOnSelected(panel);
        if (row.button) {
            QPushButton *button = page.*row.button = new QPushButton(row.buttonCaption.toString(), panel);
            button->setObjectName(QLatin1StringView(row.buttonName));
            button->setGeometry(row.buttonAt);
        }
    }
    if (row.box)
        page.*row.box = valueBox(&page, row.boxName, { column.valueX, row.top }, hint);
    nameRow(label, include, value, caption);

    if (captionRepeats)
        include->setAccessibleName(include->accessibleName() + hint.mid(hint.lastIndexOf(u'(') - 1));
}

// Builds the rows of every group on `page`, in their order.
template<typename Page> void addRows(Page &page, std::span<const std::span<const Row<Page>>> groups)
{
    auto captionCount = [groups](QStringView label) {
        qsizetype count = 0;
        for (std::span<const Row<Page>> rows : groups)
            count += std::ranges::count(rows, label, &Row<Page>::label);
        return count;
    };
    for (std::span<const Row<Page>> rows : groups) {
        for (const Row<Page> &row : rows)
            addRow(page, row, captionCount(row.label) > 1);
    }
}

template<typename Page> void addRows(Page &page, std::span<const Row<Page>> rows)
{
    addRows<Page>(page, std::span<const std::span<const Row<Page>>>(&rows, 1));
}

// Declares what each row's variable accepts.
template<typename Page> void declareRows(ValueCatalogue &values, std::span<const Row<Page>> rows)
{
    for (const Row<Page> &row : rows) {
        if (!row.cvar.isEmpty())
            values.declare(row.cvar, acceptedBy(row));
    }
}

template<typename Page> void writeRow(const Page &page, ScriptWriter &out, const Row<Page> &row)
{
    if (!(page.*row.include)->isChecked())
        return;
    if (row.edit)
        out.valueLine(row.cvar, (page.*row.edit)->text());
    for (const RadioChoice<Page> &choice : row.choices) {
        if ((page.*choice.button)->isChecked())
            out.fixedLine(row.cvar, choice.value);
    }
    if (row.box)
        out.fixedLine(row.cvar, (page.*row.box)->isChecked() ? u"1" : u"0");
}

// What `write` puts in the script, for OpenedScript::offer().
template<typename Write> QString writtenBy(Write write)
{
    ScriptWriter out(false);
    write(out);
    return out.text();
}

// Takes the row's value from `script` where a control of the row can show it and the row then writes it back
// unchanged: the include box is ticked exactly then. A value no control shows leaves the controls as they were.
template<typename Page> void takeRow(Page &page, OpenedScript &script, const Row<Page> &row)
{
    QCheckBox *include = page.*row.include;
    const std::optional<QString> value = row.cvar.isEmpty() ? std::nullopt : script.ask(row.cvar);
    bool shown = false;
    if (value && row.edit) {
        (page.*row.edit)->setText(*value);
        shown = true;
    }
    for (const RadioChoice<Page> &choice : row.choices) {
        if (value && choice.value == *value) {
            (page.*choice.button)->setChecked(true);
            shown = true;
        }
    }
    if (value && row.box && (*value == u"1" || *value == u"0")) {
        (page.*row.box)->setChecked(*value == u"1");
        shown = true;
    }
    include->setChecked(true);
    include->setChecked(shown
        && script.offer({ row.cvar.toString() }, writtenBy([&](ScriptWriter &out) { writeRow(page, out, row); })));
}

// A box without an include box, always written by `write` as "1" or "0": it takes "1" or "0" and otherwise
// goes back to its start state `checked`, leaving any other value to the kept lines.
template<typename Write>
void takeOnOff(OpenedScript &script, QCheckBox *box, QStringView cvar, bool checked, Write write)
{
    script.writesAlways(cvar);
    const std::optional<QString> value = script.ask(cvar);
    if (value && (*value == u"1" || *value == u"0")) {
        box->setChecked(*value == u"1");
        const bool on = box->isChecked();
        if (script.offer({ cvar.toString() }, writtenBy([&](ScriptWriter &out) { write(out, cvar, on); })))
            return;
    }
    box->setChecked(checked);
    script.keepStartValue();
}

// A page lists its rows in the order of its script, so writing them is one walk down the table.
template<typename Page> void writeRows(const Page &page, ScriptWriter &out, std::span<const Row<Page>> rows)
{
    for (const Row<Page> &row : rows)
        writeRow(page, out, row);
}

template<typename Page> void takeRows(Page &page, OpenedScript &script, std::span<const Row<Page>> rows)
{
    for (const Row<Page> &row : rows)
        takeRow(page, script, row);
}

} // namespace PageKit
