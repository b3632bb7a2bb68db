#include "testmain.h"
#include "widgets/ttextbutton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Colours no two roles share, so every pixel says which role drew it.
const QColor face(0xc0, 0xc0, 0xb0);
const QColor highlight(0xff, 0xff, 0xf0);
const QColor shadow(0x80, 0x70, 0x60);
const QColor darkShadow(0x20, 0x20, 0x40);
const QColor frame(0x40, 0x00, 0x00);
const QColor caption(0x00, 0x00, 0x80);
const QColor grayText(0x70, 0x80, 0x70);
const QColor pressedGrey(128, 128, 128);

QPalette distinctPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Light, highlight);
    palette.setColor(QPalette::Dark, shadow);
    palette.setColor(QPalette::Shadow, darkShadow);
    palette.setColor(QPalette::WindowText, frame);
    palette.setColor(QPalette::ButtonText, caption);
    palette.setColor(QPalette::Disabled, QPalette::Text, grayText);
    return palette;
}

enum class State { Normal, Hot, Pressed, Disabled, Focused, FocusedPressed };

// A 75 x 25 "Finish!" button in a window of its own, put in `state` and drawn.
class Rendered {
public:
    Rendered(State state, const QString &styleName)
        : m_style(QStyleFactory::create(styleName))
    {
        m_window.resize(120, 60);
        m_button = new TTextButton(u"Finish!"_s, &m_window);
        m_button->move(20, 20);
        m_button->setStyle(m_style.get());
        m_button->setPalette(distinctPalette());
        QFont font = m_button->font();
        font.setStyleStrategy(QFont::NoAntialias); // a caption pixel is caption or face, nothing between
        m_button->setFont(font);
        m_window.show();
        if (!QTest::qWaitForWindowActive(&m_window))
            qFatal("the test window never became active");

        if (state == State::Focused || state == State::FocusedPressed)
            m_button->setFocus();
        else
            m_window.setFocus();
        if (state == State::Pressed || state == State::FocusedPressed)
            m_button->setDown(true);
        if (state == State::Disabled)
            m_button->setEnabled(false);
        if (state == State::Hot) {
            QEnterEvent enter(QPointF(5, 5), QPointF(25, 25), m_button->mapToGlobal(QPointF(5, 5)));
            QApplication::sendEvent(m_button, &enter);
        }
        image = m_button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QImage image;

private:
    std::unique_ptr<QStyle> m_style;
    QWidget m_window;
    TTextButton *m_button = nullptr;
};

QColor at(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

// The pixels of `color` inside `area`.
QList<QPoint> pixelsOf(const QImage &image, const QColor &color, const QRect &area)
{
    QList<QPoint> found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) == color)
                found << QPoint(x, y);
        }
    }
    return found;
}

QRect bounds(const QList<QPoint> &points)
{
    QRect box;
    for (const QPoint &point : points)
        box |= QRect(point, QSize(1, 1));
    return box;
}

} // namespace

class TextButtonLookTest : public QObject {
    Q_OBJECT

private slots:
    void classicBorders_data();
    void classicBorders();
    void classicHotLooksLikeNormal();
    void classicFocusRectangle_data();
    void classicFocusRectangle();
    void classicCaptionMovesWhilePressed();
    void classicDisabledCaptionIsEngraved();
    void themedStatesRender();
};

void TextButtonLookTest::classicBorders_data()
{
    QTest::addColumn<State>("state");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("color");

    // Raised: highlight on the outer top and left, 3D dark shadow on the outer
    // bottom and right, button shadow on the inner bottom and right only.
    QTest::newRow("raised outer top-left") << State::Normal << QPoint(0, 0) << highlight;
    QTest::newRow("raised outer top") << State::Normal << QPoint(37, 0) << highlight;
    QTest::newRow("raised outer left") << State::Normal << QPoint(0, 12) << highlight;
    QTest::newRow("raised outer bottom") << State::Normal << QPoint(37, 24) << darkShadow;
    QTest::newRow("raised outer right") << State::Normal << QPoint(74, 12) << darkShadow;
    QTest::newRow("raised outer bottom-right") << State::Normal << QPoint(74, 24) << darkShadow;
    QTest::newRow("raised inner top is face") << State::Normal << QPoint(37, 1) << face;
    QTest::newRow("raised inner left is face") << State::Normal << QPoint(1, 12) << face;
    QTest::newRow("raised inner bottom") << State::Normal << QPoint(37, 23) << shadow;
    QTest::newRow("raised inner right") << State::Normal << QPoint(73, 12) << shadow;
    QTest::newRow("raised inside") << State::Normal << QPoint(2, 2) << face;
    QTest::newRow("disabled keeps the raised border") << State::Disabled << QPoint(74, 24) << darkShadow;

    // Focused: a window-frame outline, the raised border one pixel further in.
    QTest::newRow("focused outline top-left") << State::Focused << QPoint(0, 0) << frame;
    QTest::newRow("focused outline bottom-right") << State::Focused << QPoint(74, 24) << frame;
    QTest::newRow("focused raised top-left") << State::Focused << QPoint(1, 1) << highlight;
    QTest::newRow("focused raised bottom-right") << State::Focused << QPoint(73, 23) << darkShadow;
    QTest::newRow("focused inner bottom") << State::Focused << QPoint(37, 22) << shadow;

    // Pressed: black outline, then a grey (128) one; no window-frame outline even with focus.
    QTest::newRow("pressed black top-left") << State::Pressed << QPoint(0, 0) << QColor(Qt::black);
    QTest::newRow("pressed black bottom-right") << State::Pressed << QPoint(74, 24) << QColor(Qt::black);
    QTest::newRow("pressed grey top") << State::Pressed << QPoint(37, 1) << pressedGrey;
    QTest::newRow("pressed grey right") << State::Pressed << QPoint(73, 12) << pressedGrey;
    QTest::newRow("pressed grey bottom-right") << State::Pressed << QPoint(73, 23) << pressedGrey;
    QTest::newRow("pressed inside") << State::Pressed << QPoint(2, 2) << face;
    QTest::newRow("pressed with focus black") << State::FocusedPressed << QPoint(0, 0) << QColor(Qt::black);
    QTest::newRow("pressed with focus grey") << State::FocusedPressed << QPoint(1, 1) << pressedGrey;
}

void TextButtonLookTest::classicBorders()
{
    QFETCH(State, state);
    QFETCH(QPoint, pixel);
    QFETCH(QColor, color);
    const Rendered rendered(state, u"Windows"_s);
    QCOMPARE(rendered.image.size(), QSize(75, 25));
    QCOMPARE(at(rendered.image, pixel.x(), pixel.y()), color);
}

void TextButtonLookTest::classicHotLooksLikeNormal()
{
    QCOMPARE(Rendered(State::Hot, u"Windows"_s).image, Rendered(State::Normal, u"Windows"_s).image);
}

void TextButtonLookTest::classicFocusRectangle_data()
{
    QTest::addColumn<State>("state");
    QTest::newRow("focused") << State::Focused;
    QTest::newRow("focused and pressed") << State::FocusedPressed;
}

void TextButtonLookTest::classicFocusRectangle()
{
    QFETCH(State, state);
    const QImage image = Rendered(state, u"Windows"_s).image;
    // 3 pixels inside the edge left by the outline (at 1), or 4 inside the
    // pressed button's edge (at 0): at 4 either way.
    const QRect focus = QRect(0, 0, 75, 25).adjusted(4, 4, -4, -4);

    // The dotted line marks its top row; the row just outside it is bare face.
    const QList<QPoint> topRow = pixelsOf(image, face, QRect(focus.left(), focus.top(), focus.width(), 1));
    QVERIFY2(topRow.size() < focus.width() - 4, "no dotted focus line on its row");
    QCOMPARE(pixelsOf(image, face, QRect(focus.left() + 1, focus.top() - 1, focus.width() - 2, 1)).size(),
        focus.width() - 2);
    const QList<QPoint> leftColumn = pixelsOf(image, face, QRect(focus.left(), focus.top(), 1, focus.height()));
    QVERIFY2(leftColumn.size() < focus.height() - 2, "no dotted focus line in its column");
}

void TextButtonLookTest::classicCaptionMovesWhilePressed()
{
    const QRect inside(2, 2, 71, 21);
    const QRect normal = bounds(pixelsOf(Rendered(State::Normal, u"Windows"_s).image, caption, inside));
    const QRect pressed = bounds(pixelsOf(Rendered(State::Pressed, u"Windows"_s).image, caption, inside));
    QVERIFY(!normal.isEmpty());
    QCOMPARE(pressed, normal.translated(1, 1));
    // Centred in the caption area, the button shrunk by 3 on every side.
    QVERIFY(qAbs((normal.left() - 3) - (71 - normal.right())) <= 1);
}

void TextButtonLookTest::classicDisabledCaptionIsEngraved()
{
    const QRect inside(2, 2, 71, 21);
    const QList<QPoint> enabledText = pixelsOf(Rendered(State::Normal, u"Windows"_s).image, caption, inside);
    const QImage disabled = Rendered(State::Disabled, u"Windows"_s).image;

    // The grey caption stands where the enabled one stands...
    QCOMPARE(pixelsOf(disabled, grayText, inside), enabledText);
    // ...over a highlight copy one pixel right and down, which shows where the grey does not cover it.
    const QList<QPoint> engraving = pixelsOf(disabled, highlight, inside);
    QVERIFY(!engraving.isEmpty());
    for (const QPoint &point : engraving)
        QVERIFY2(enabledText.contains(point - QPoint(1, 1)), "a highlight pixel that is not the copy's");
    for (const QPoint &point : enabledText) {
        const QPoint copy = point + QPoint(1, 1);
        if (!enabledText.contains(copy))
            QCOMPARE(disabled.pixelColor(copy), highlight);
    }
}

void TextButtonLookTest::themedStatesRender()
{
    const QString style = u"Fusion"_s;
    const QImage normal = Rendered(State::Normal, style).image;
    const QImage hot = Rendered(State::Hot, style).image;
    const QImage pressed = Rendered(State::Pressed, style).image;
    const QImage disabled = Rendered(State::Disabled, style).image;
    const QImage focused = Rendered(State::Focused, style).image;

    const QRect inside(2, 2, 71, 21);
    for (const QImage *image : { &normal, &hot, &pressed, &focused })
        QVERIFY(!pixelsOf(*image, caption, inside).isEmpty());
    QVERIFY(pixelsOf(disabled, caption, inside).isEmpty());
    QVERIFY(pressed != normal);
    QVERIFY(disabled != normal);
    QVERIFY(focused != normal);
    // The themed caption stays put while pressed.
    QCOMPARE(bounds(pixelsOf(pressed, caption, inside)), bounds(pixelsOf(normal, caption, inside)));
}

TALLYFORGE_TEST_MAIN(TextButtonLookTest)
#include "tst_textbutton_look.moc"
