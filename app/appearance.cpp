#include "app/appearance.h"

#include "app/tform1.h"
#include "widgets/artwork.h"
#include "widgets/installedfont.h"
#include "widgets/readabletooltips.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <fontconfig/fontconfig.h>
#include <system_error>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

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

// The thread reading the font configuration, while there is one to wait for.
std::thread &fontConfiguration()
{
    static std::thread reading;
    return reading;
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
    QApplication::setApplicationDisplayName(TForm1::applicationTitle);
    QApplication::setDesktopFileName(u"tallyforge"_s);

    QApplication::setStyle(new WindowStyle(chosenStyle()));
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Highlight, QColor(0x78, 0x8a, 0x40));
    QApplication::setPalette(palette);
    // Read once: Qt reading it too, beside the thread, would only do the same work twice.
    if (fontConfiguration().joinable())
        fontConfiguration().join();
    QApplication::setFont(uiFont());
    QApplication::setWindowIcon(Artwork::icon(u"app-icon", Artwork::Sizes::Both));
    ReadableToolTips::install();
}

void loadFontConfigurationMeanwhile()
{
    try {
        fontConfiguration() = std::thread([] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread to spare: Qt reads the configuration when it needs it.
    }
}

} // namespace Appearance
