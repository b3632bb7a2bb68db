#include "generator/pagekit.h"

#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMultiHash>
#include <QRadioButton>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace PageKit {

void setHint(QWidget *widget, const QString &hint)
{
    widget->setStatusTip(hint);
    widget->setAccessibleDescription(hint);
}

QFont headingFont()
{
    // DejaVu Sans keeps Verdana's wide, open bold and ships with every desktop.
    QFont font;
    font.setFamilies({ u"DejaVu Sans"_s, u"Verdana"_s, u"Bitstream Vera Sans"_s });
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

QLabel *boldLabel(QWidget *parent, const char *name, const QString &text, QPoint topLeft, const QColor &color)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setFont(headingFont());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->adjustSize();
    label->move(topLeft);
    return label;
}

void fillBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Button, color);
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *headingStrip(QWidget *page, const char *labelName, const QString &caption, const QString &hint)
{
    picture(page, { 0, 0, 761, 33 }, u":/art/heading.png"_s);
    QLabel *label = boldLabel(page, labelName, caption, { 8, 8 }, QColor(0x80, 0, 0));
    setHint(label, hint);
    return label;
}

QCheckBox *includeBox(QWidget *parent, const char *name, QPoint topLeft, bool checked)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(QLatin1StringView(name));
    box->setGeometry(QRect(topLeft, QSize(17, 17)));
    box->setChecked(checked);
    box->setAccessibleName(includeHint);
    setHint(box, includeHint);
    return box;
}

QLabel *rowLabel(QWidget *parent, const char *name, const QString &text, int rightEdge, int top, const QString &hint)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->adjustSize();
    label->move(rightEdge - label->width(), top);
    setHint(label, hint);
    return label;
}

QLineEdit *flatEdit(QWidget *parent, const char *name, const QRect &geometry, const QString &text, const QString &hint)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1StringView(name));
    edit->setGeometry(geometry);
    edit->setFrame(false);
    edit->setMaxLength(std::numeric_limits<int>::max());
    setHint(edit, hint);
    return edit;
}

QWidget *band(QWidget *parent, const QRect &geometry, const QColor &color)
{
    auto *band = new QWidget(parent);
    band->setGeometry(geometry);
    band->setAutoFillBackground(true);
    QPalette palette = band->palette();
    palette.setColor(QPalette::Window, color);
    band->setPalette(palette);
    return band;
}

QWidget *radioPanel(QWidget *parent, const char *name, const QRect &geometry, const QColor &color)
{
    QWidget *panel = band(parent, geometry, color);
    panel->setObjectName(QLatin1StringView(name));
    return panel;
}

QRadioButton *radioButton(QWidget *panel, const char *name, const QString &caption, const QRect &geometry,
    const QString &hint, const QColor &background, bool checked)
{
    auto *button = new QRadioButton(caption, panel);
    button->setObjectName(QLatin1StringView(name));
    button->setGeometry(geometry);
    fillBackground(button, background);
    QPalette palette = button->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    button->setPalette(palette);
    button->setChecked(checked);
    setHint(button, hint);
    return button;
}

QLabel *picture(QWidget *parent, const QRect &geometry, const QString &resource)
{
    auto *label = new QLabel(parent);
    label->setGeometry(geometry);
    // Through QIcon, so a screen with a device pixel ratio of 2 gets the picture's @2x version.
    label->setPixmap(QIcon(resource).pixmap(geometry.size()));
    label->setScaledContents(true);
    return label;
}

QString withValue(const QString &rowHint, const QString &value)
{
    const qsizetype close = rowHint.lastIndexOf(u')');
    if (close < 0)
        return rowHint;
    return rowHint.left(close) + u" \""_s + value + u"\")"_s + rowHint.mid(close + 1);
}

void setTabOrder(std::initializer_list<QWidget *> widgets)
{
    if (widgets.size() == 0)
        return;
    // QWidget::setTabOrder leaves a widget where it is when it already comes
    // next once the chain wraps round the page; in the main window that wrap
    // is gone. A focusable stand-in at the chain's end rules the wrap out.
    QWidget stop((*widgets.begin())->window());
    stop.setFocusPolicy(Qt::TabFocus);
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void tabStopOnSelected(QWidget *panel)
{
    for (QRadioButton *button : panel->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly)) {
        auto follow = [button](bool checked) { button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus); };
        follow(button->isChecked());
        QObject::connect(button, &QAbstractButton::toggled, button, follow);
    }
}

void nameRows(QWidget *page)
{
    const QList<QLabel *> labels = page->findChildren<QLabel *>();
    auto onPage = [page](const QWidget *widget) { return QRect(widget->mapTo(page, QPoint(0, 0)), widget->size()); };
    // A caption too long for one line goes on in a second label right below, aligned to the same edge.
    auto rowName = [&](const QLabel *label) {
        QString text = label->text().simplified();
        const QRect place = onPage(label);
        for (const QLabel *next : labels) {
            const QRect below = onPage(next);
            if (next != label && qAbs(below.right() - place.right()) <= 2 && below.top() >= place.bottom() - 2
                && below.top() <= place.bottom() + 4)
                text += u' ' + next->text().simplified();
        }
        if (text.endsWith(u':'))
            text.chop(1);
        return text;
    };
    // Row labels are right-aligned to a fixed edge, so their right edges place
    // them whatever the font: the one ending nearest after `widget` (an include
    // box), or nearest before it (a value control).
    auto rowLabel = [&](const QWidget *widget, bool after) -> QLabel * {
        const QRect area = onPage(widget);
        QLabel *nearest = nullptr;
        int nearestGap = std::numeric_limits<int>::max();
        for (QLabel *label : labels) {
            const QRect place = onPage(label);
            if (label->text().isEmpty() || place.bottom() < area.top() || place.top() > area.bottom())
                continue;
            const int gap = after ? place.right() - area.right() : area.center().x() - place.right();
            if (gap > 0 && gap < nearestGap) {
                nearest = label;
                nearestGap = gap;
            }
        }
        return nearest;
    };
    // A label with a buddy reads '&' as a mnemonic marker.
    auto canName = [](const QLabel *label) { return !label->buddy() && !label->text().contains(u'&'); };

    for (QLineEdit *edit : page->findChildren<QLineEdit *>()) {
        auto byHint = std::ranges::find_if(labels, [&](const QLabel *label) {
            return !edit->statusTip().isEmpty() && label->statusTip() == edit->statusTip() && canName(label);
        });
        QLabel *label = byHint != labels.end() ? *byHint : rowLabel(edit, false);
        if (!label || !canName(label))
            continue;
        label->setBuddy(edit);
        if (const QString name = rowName(label); !label->text().startsWith(name))
            edit->setAccessibleName(name);
    }

    QMultiHash<QString, std::pair<QCheckBox *, const QLabel *>> includeBoxes;
    for (QCheckBox *box : page->findChildren<QCheckBox *>()) {
        if (box->statusTip() != includeHint)
            continue;
        if (const QLabel *label = rowLabel(box, true)) {
            box->setAccessibleName(u"Include "_s + rowName(label));
            includeBoxes.insert(box->accessibleName(), { box, label });
        }
    }
    // Blocks with the same rows (the gametypes) tell their boxes apart by the variable each writes.
    for (const QString &name : includeBoxes.uniqueKeys()) {
        if (includeBoxes.count(name) < 2)
            continue;
        for (const auto &[box, label] : includeBoxes.values(name)) {
            const QString hint = label->statusTip();
            const qsizetype open = hint.lastIndexOf(u'(');
            if (open >= 0)
                box->setAccessibleName(name + u' ' + hint.mid(open));
        }
    }

    for (QWidget *panel : page->findChildren<QWidget *>()) {
        if (!panel->accessibleName().isEmpty()
            || panel->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly).isEmpty())
            continue;
        if (const QLabel *label = rowLabel(panel, false))
            panel->setAccessibleName(rowName(label));
    }
}

} // namespace PageKit
