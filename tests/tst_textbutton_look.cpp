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
    void classicLook_data();
    void classicLook();
    void themedStatesRender();
};

// The classic look, drawn in colours no two roles share, against pictures of it in tests/data/textbutton/:
// highlight on the outer top and left, 3D dark shadow on the outer bottom and right, button shadow inside
// them; with focus a window-frame outline and a dotted focus line; pressed, a black then a grey outline and
// the caption one pixel right and down; disabled, the caption engraved. Hot looks as normal.
// TALLYFORGE_WRITE_PICTURES=1 draws the pictures anew, to be looked at before they are committed.
void TextButtonLookTest::classicLook_data()
{
    QTest::addColumn<State>("state");
    QTest::addColumn<QString>("picture");
    QTest::newRow("normal") << State::Normal << u"normal"_s;
    QTest::newRow("hot") << State::Hot << u"normal"_s;
    QTest::newRow("pressed") << State::Pressed << u"pressed"_s;
    QTest::newRow("disabled") << State::Disabled << u"disabled"_s;
    QTest::newRow("focused") << State::Focused << u"focused"_s;
    QTest::newRow("focused and pressed") << State::FocusedPressed << u"focused-pressed"_s;
}

void TextButtonLookTest::classicLook()
{
    QFETCH(State, state);
    QFETCH(QString, picture);
    const QImage image = Rendered(state, u"Windows"_s).image;
    const QString path = QStringLiteral(TESTDATA_DIR "/textbutton/") + picture + u".png"_s;
    if (qEnvironmentVariableIntValue("TALLYFORGE_WRITE_PICTURES") && state != State::Hot)
        QVERIFY(image.save(path));
    QCOMPARE(image, QImage(path).convertToFormat(QImage::Format_RGB32));
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
