#include "generator/pagekit.h"

#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

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
    font.setFamilies({u"DejaVu Sans"_s, u"Verdana"_s, u"Bitstream Vera Sans"_s});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

QLabel *headingStrip(QWidget *page, const char *labelName, const QString &caption, const QString &hint)
{
    picture(page, {0, 0, 761, 33}, u":/art/heading.png"_s);
    auto *label = new QLabel(caption, page);
    label->setObjectName(QLatin1StringView(labelName));
    label->setFont(headingFont());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
    label->setPalette(palette);
    label->adjustSize();
    label->move(8, 8);
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
    button->setAutoFillBackground(true);
    QPalette palette = button->palette();
    // A button fills its background with the Button role.
    palette.setColor(QPalette::Button, background);
    palette.setColor(QPalette::Window, background);
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

} // namespace PageKit
