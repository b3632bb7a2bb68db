#include "widgets/ttextbutton.h"

#include "widgets/systemcolors.h"

#include <QEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionButton>

using namespace Qt::StringLiterals;

namespace {

// The plain "Windows" style is the one without visual styles. The window's
// style is a proxy over the user's, so look through it.
bool classicStyle(const QStyle *style)
{
    while (const auto *proxy = qobject_cast<const QProxyStyle *>(style))
        style = proxy->baseStyle();
    return style->name().compare(u"windows"_s, Qt::CaseInsensitive) == 0;
}

} // namespace

TTextButton::TTextButton(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    resize(sizeHint());
}

QColor TTextButton::faceColor() const
{
    return m_faceColor.isValid() ? m_faceColor : systemColor(SystemColor::ButtonFace, palette());
}

void TTextButton::setFaceColor(const QColor &color)
{
    m_faceColor = color;
    QPalette colours = palette();
    colours.setColor(QPalette::Button, faceColor());
    setPalette(colours);
    update();
}

TTextButton::DrawState TTextButton::drawState() const
{
    if (!isEnabled())
        return DrawState::Disabled;
    if (isDown())
        return DrawState::Pressed;
    if (m_hovered)
        return DrawState::Hot;
    return DrawState::Normal;
}

void TTextButton::setVisible(bool visible)
{
    // A button shown again in the same place never starts hot.
    if (!visible)
        m_hovered = false;
    QAbstractButton::setVisible(visible);
}

QSize TTextButton::sizeHint() const
{
    return { 75, 25 };
}

void TTextButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TTextButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void TTextButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (classicStyle(style()))
        paintClassic(painter);
    else
        paintThemed(painter);
}

void TTextButton::paintThemed(QPainter &painter)
{
    const DrawState state = drawState();
    QStyleOptionButton option;
    option.initFrom(this);
    // The bevel covers one pixel more on every side, so the theme's own
    // outer margin does not show.
    option.rect = rect().adjusted(-1, -1, 1, 1);
    // The style caches bevels by palette; touching the palette at every
    // paint would file a new cache entry each time, so only when it differs.
    if (option.palette.color(QPalette::Button) != faceColor())
        option.palette.setColor(QPalette::Button, faceColor());
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_Sunken | QStyle::State_Raised);
    switch (state) {
    case DrawState::Pressed: option.state |= QStyle::State_Sunken; break;
    case DrawState::Hot: option.state |= QStyle::State_MouseOver | QStyle::State_Raised; break;
    case DrawState::Normal:
        option.state |= QStyle::State_Raised;
        if (hasFocus())
            option.features |= QStyleOptionButton::DefaultButton;
        break;
    case DrawState::Disabled: break;
    }
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    const QRect inner = rect().adjusted(2, 2, -2, -2);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inner;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    paintCaption(painter, inner);
}

void TTextButton::paintClassic(QPainter &painter)
{
    const bool pressed = drawState() == DrawState::Pressed;
    QRect r = rect();
    painter.fillRect(r, faceColor());

    // Lines are drawn pixel by pixel along the edges of `edge`.
    auto frame = [&painter](const QRect &edge, const QColor &topLeft, const QColor &bottomRight) {
        if (topLeft.isValid()) {
            painter.fillRect(edge.left(), edge.top(), edge.width(), 1, topLeft);
            painter.fillRect(edge.left(), edge.top(), 1, edge.height(), topLeft);
        }
        if (bottomRight.isValid()) {
            painter.fillRect(edge.left(), edge.bottom(), edge.width(), 1, bottomRight);
            painter.fillRect(edge.right(), edge.top(), 1, edge.height(), bottomRight);
        }
    };

    if (hasFocus() && !pressed) {
        const QColor frameColor = systemColor(SystemColor::WindowFrame, palette());
        frame(r, frameColor, frameColor);
        r.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        frame(r, Qt::black, Qt::black);
        frame(r.adjusted(1, 1, -1, -1), QColor(128, 128, 128), QColor(128, 128, 128));
    } else {
        frame(
            r, systemColor(SystemColor::ButtonHighlight, palette()), systemColor(SystemColor::DarkShadow3D, palette()));
        frame(r.adjusted(1, 1, -1, -1), QColor(), systemColor(SystemColor::ButtonShadow, palette()));
    }
    if (hasFocus()) {
        const int inset = pressed ? 4 : 3;
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = r.adjusted(inset, inset, -inset, -inset);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    QRect caption = r.adjusted(3, 3, -3, -3);
    if (pressed)
        caption.translate(1, 1);
    paintCaption(painter, caption);
}

void TTextButton::paintCaption(QPainter &painter, const QRect &area)
{
    constexpr int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextHideMnemonic;
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(area, flags, text());
        return;
    }
    painter.setPen(systemColor(SystemColor::ButtonHighlight, palette()));
    painter.drawText(area.translated(1, 1), flags, text());
    painter.setPen(systemColor(SystemColor::GrayText, palette()));
    painter.drawText(area, flags, text());
}
