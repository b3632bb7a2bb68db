#include "app/appearance.h"

#include "app/tform1.h"
#include "widgets/artwork.h"
#include "widgets/installedfont.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <fontconfig/fontconfig.h>
#include <optional>
#include <pthread.h>
#include <sched.h>
#include <system_error>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// A style's standard picture, asked of the style when first drawn or measured.
class StandardIconOnDemand : public QIconEngine {
public:
    StandardIconOnDemand(QStyle *style, QStyle::StandardPixmap which)
        : m_style(style)
        , m_which(which)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size / scale, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new StandardIconOnDemand(*this); }

private:
    const QIcon &icon()
    {
        if (!m_icon)
            m_icon = m_style ? m_style->standardIcon(m_which) : QIcon();
        return *m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    std::optional<QIcon> m_icon;
};

// The style Qt chose for the application (the user's -style or
// QT_STYLE_OVERRIDE, else the platform's), with the few measures the window
// was drawn for: a 13-pixel check mark with the caption close beside it, as
// the long check box captions need, and narrow tab padding, so eight captioned
// tabs share 769 pixels in one row and the pages keep the height their bottom
// rows need.
class WindowStyle : public QProxyStyle {
public:
    explicit WindowStyle(QStyle *chosen)
        : QProxyStyle(chosen)
    {
    }

    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight: return 13;
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing: return 3;
        case PM_TabBarTabHSpace: return 8;
        case PM_TabBarTabVSpace: return 4;
        default: return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    // A menu bar asks for its overflow button's picture as it is made, and
    // decoding it costs a millisecond before the first frame; the window's menu
    // bar never overflows, so the picture is made only if it is ever drawn.
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option, const QWidget *widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new StandardIconOnDemand(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }

    void drawControl(
        ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const override
    {
        // The tab bar still paints its current tab when that tab is hidden
        // (the Votes page), squeezed into nothing at the strip's left end.
        const bool tabPart = element == CE_TabBarTab || element == CE_TabBarTabShape || element == CE_TabBarTabLabel;
        if (tabPart && option->rect.width() <= 0)
            return;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// A fresh copy of the style Qt chose: the proxy owns its base, and the
// application deletes the style it replaces.
QStyle *chosenStyle()
{
    const QStyle *current = QApplication::style();
    while (const auto *proxy = qobject_cast<const QProxyStyle *>(current))
        current = proxy->baseStyle();
    if (QStyle *copy = QStyleFactory::create(current->name()))
        return copy;
    return QStyleFactory::create(u"Fusion"_s);
}

} // namespace

namespace Appearance {

QFont uiFont()
{
    // All of these share Arial's advance widths, so a caption measured with
    // one fits with any other.
    return installedFont(
        { u"Liberation Sans"_s, u"Arimo"_s, u"Arial"_s, u"Nimbus Sans"_s, u"Helvetica"_s }, QFont::SansSerif, 11);
}

void setUpApplication()
{
    QApplication::setApplicationName(u"tallyforge"_s);
    QApplication::setApplicationDisplayName(TForm1::applicationTitle);
    QApplication::setApplicationVersion(u"1.0"_s);
    QApplication::setDesktopFileName(u"tallyforge"_s);

    QApplication::setStyle(new WindowStyle(chosenStyle()));
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Highlight, QColor(0x78, 0x8a, 0x40));
    QApplication::setPalette(palette);
    QApplication::setFont(uiFont());
    QApplication::setWindowIcon(Artwork::icon(u"app-icon", Artwork::Sizes::Both));
}

void loadFontConfigurationMeanwhile()
{
    try {
        std::thread([] {
            // Idle time only: Qt connecting to the display, beside which it runs, must not wait for it.
            const sched_param idle {};
            pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
            FcInit();
        }).detach();
    } catch (const std::system_error &) {
        // No thread to spare: Qt reads the configuration when it needs it.
    }
}

} // namespace Appearance
