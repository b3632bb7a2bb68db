#include "generator/pagekit.h"

#include "widgets/artwork.h"
#include "widgets/installedfont.h"
#include "widgets/systemcolors.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The caption of a box as small as an include box is never whole: at some scales a sliver of it would show
// beside the square. The caption still names the box.
class SquareOnlyCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_CheckBox, option);
    }
};

constexpr int includeBoxSize = 17;

QFont headingFont()
{
    // DejaVu Sans keeps Verdana's wide, open bold and ships with every desktop.
    QFont font = installedFont({ u"DejaVu Sans"_s, u"Verdana"_s, u"Bitstream Vera Sans"_s }, QFont::SansSerif, 11);
    font.setBold(true);
    return font;
}

// Fills with `color` on `palette`, in one palette change.
void fillBackground(QWidget *widget, const QColor &color, QPalette palette)
{
    palette.setColor(QPalette::Button, color);
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

namespace PageKit {

void setHint(QWidget *widget, const QString &hint)
{
    widget->setStatusTip(hint);
    widget->setAccessibleDescription(hint);
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
    ::fillBackground(widget, color, widget->palette());
}

QLabel *headingStrip(QWidget *page, const char *labelName, const QString &caption, const QString &hint)
{
    picture(page, { 0, 0, 761, 33 }, u"heading");
    QLabel *label = boldLabel(page, labelName, caption, { 8, 8 }, QColor(0x80, 0, 0));
    setHint(label, hint);
    return label;
}

QCheckBox *includeBox(QWidget *parent, const char *name, QPoint topLeft, bool checked)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(QLatin1StringView(name));
    box->setGeometry(QRect(topLeft, QSize(includeBoxSize, includeBoxSize)));
    box->setChecked(checked);
    box->setAccessibleName(includeHint);
    setHint(box, includeHint);
    return box;
}

QLabel *rowLabel(
    QWidget *parent, const char *name, const QString &text, int rightEdge, int top, const QString &hint, int leftEdge)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->adjustSize();
    // A caption longer than its gap is set a little narrower, not over the include box before it.
    const int room = rightEdge - leftEdge;
    if (QFont font = label->font(); label->width() > room) {
        constexpr int narrowest = QFont::SemiCondensed;
        for (int stretch = QFont::Unstretched - 1; stretch >= narrowest; --stretch) {
            font.setStretch(stretch);
            if (QFontMetricsF(font).horizontalAdvance(text) <= room)
                break;
        }
        label->setFont(font);
        label->adjustSize();
    }
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
    QPalette palette = button->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    ::fillBackground(button, background, palette);
    button->setChecked(checked);
    setHint(button, hint);
    return button;
}

QLabel *picture(QWidget *parent, const QRect &geometry, QStringView name)
{
    auto *label = new QLabel(parent);
    label->setGeometry(geometry);
    const QPixmap pixmap = Artwork::pixmap(name, geometry.size());
    label->setPixmap(pixmap);
    // A label that scales keeps two more copies of its picture; one drawn at its own size needs neither.
    label->setScaledContents(pixmap.deviceIndependentSize() != QSizeF(geometry.size()));
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
    for (auto widget = widgets.begin(); widget != widgets.end() && widget + 1 != widgets.end(); ++widget)
        QWidget::setTabOrder(*widget, *(widget + 1));
}

void tabStopOnSelected(QWidget *panel)
{
    for (QRadioButton *button : panel->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly)) {
        auto follow = [button](bool checked) { button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus); };
        follow(button->isChecked());
        QObject::connect(button, &QAbstractButton::toggled, button, follow);
    }
}

void nameRow(QLabel *label, QCheckBox *include, QWidget *value, const QString &caption)
{
    QString name = caption.isEmpty() ? label->text() : caption;
    if (name.endsWith(u':'))
        name.chop(1);
    if (auto *edit = qobject_cast<QLineEdit *>(value)) {
        label->setBuddy(edit);
        if (!caption.isEmpty())
            edit->setAccessibleName(name);
    } else if (value) {
        value->setAccessibleName(name);
    }
    if (include)
        include->setAccessibleName(u"Include "_s + name);
}

QLabel *rowCaption(QWidget *parent, const Column &column, int top, std::pair<const char *, QStringView> first,
    std::pair<const char *, QStringView> second, const QString &hint, QString &caption)
{
    if (!column.labelRight) {
        auto *label = new QLabel(first.second.toString(), parent);
        label->setObjectName(QLatin1StringView(first.first));
        label->adjustSize();
        label->move(column.includeX + 24, top);
        setHint(label, hint);
        return label;
    }
    const int leftEdge = column.includeX + includeBoxSize;
    QLabel *label = rowLabel(parent, first.first, first.second.toString(), column.labelRight, top, hint, leftEdge);
    if (second.first) {
        const int middle = top + 8;
        label->move(label->x(), middle - label->height());
        rowLabel(parent, second.first, second.second.toString(), column.labelRight, middle, hint, leftEdge);
        caption = first.second.toString() + u' ' + second.second.toString();
    }
    return label;
}

QCheckBox *valueBox(QWidget *parent, const char *name, QPoint topLeft, const QString &hint)
{
    auto *box = new SquareOnlyCheckBox(QLatin1StringView(name), parent);
    box->setObjectName(QLatin1StringView(name));
    box->setGeometry(QRect(topLeft, QSize(17, 17)));
    fillBackground(box, systemColor(SystemColor::Highlight));
    setHint(box, hint);
    return box;
}

ValueCatalogue::Accepted onOrOff()
{
    return { ValueCatalogue::Kind::Choice, { u"1"_s, u"0"_s } };
}

} // namespace PageKit
