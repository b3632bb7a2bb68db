// Starts the real program in a real X server, as a user would, and closes its
// window the way a window manager does.

#include "testmain.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct DisplayCloser {
    void operator()(Display *display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

QString windowName(Display *display, Window window)
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char *data = nullptr;
    QString name;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count, &remaining, &data)
            == Success
        && data) {
        name = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(count));
    }
    if (data)
        XFree(data);
    return name;
}

// The mapped top-level window called `title`, or None.
Window findWindow(Display *display, const QString &title)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = None;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable
            && windowName(display, children[i]) == title)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

void sendDeleteWindow(Display *display, Window window)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

class RealWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void windowAppearsAndClosesCleanly();
    void cleanupTestCase();

private:
    QProcess m_server;
    QString m_display;
};

void RealWindowTest::initTestCase()
{
    // -displayfd lets the server pick a free display number and tell us.
    m_server.setProgram(u"Xvfb"_s);
    m_server.setArguments(
        { u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s, u"tcp"_s });
    m_server.start();
    if (!m_server.waitForStarted(5000))
        QSKIP("Xvfb is not installed; scripts/test installs it");
    QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine(), 10000);
    m_display = u":"_s + QString::fromLatin1(m_server.readLine().trimmed());
}

void RealWindowTest::windowAppearsAndClosesCleanly()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.insert(u"DISPLAY"_s, m_display);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TALLYFORGE_EXECUTABLE), {});
    QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));

    const DisplayPtr display(XOpenDisplay(m_display.toLatin1().constData()));
    QVERIFY(display);
    Window window = None;
    QTRY_VERIFY_WITH_TIMEOUT((window = findWindow(display.get(), u"Bravenmark - Tallyforge 1.0"_s)) != None, 20000);

    XWindowAttributes attributes;
    XGetWindowAttributes(display.get(), window, &attributes);
    QCOMPARE(attributes.width, 770);
    QVERIFY2(attributes.height > 497, "the client area and the menu bar above it");

    sendDeleteWindow(display.get(), window);
    QVERIFY(program.waitForFinished(10000));
    const QByteArray errors = program.readAllStandardError();
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, errors.constData());
    QVERIFY2(!errors.contains("QWidget") && !errors.contains("Cannot"), errors.constData());
}

void RealWindowTest::cleanupTestCase()
{
    m_server.terminate();
    m_server.waitForFinished(5000);
}

namespace {

int runRealWindowTest(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    RealWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace

TALLYFORGE_TEST_RUN(runRealWindowTest)
#include "tst_realwindow.moc"
