// Starts the real program in a real X server, as a user would, and closes its
// window the way a window manager does. Opening and saving go through the
// keyboard and the mouse of that server.

#include "testmain.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct DisplayCloser {
    void operator()(Display *display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// A window that XQueryTree listed may be gone before it is asked about (a pop-up closing): such a window is
// skipped. Any other X error still ends the test.
int skipVanishedWindows(Display *display, XErrorEvent *error)
{
    if (error->error_code == BadWindow)
        return 0;
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    qFatal("X error: %s (request %d)", text, int(error->request_code));
}

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

// The first mapped top-level window that `wanted`, or None.
template<typename Wanted> Window firstWindow(Display *display, Wanted wanted)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = None;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable
            && wanted(children[i], attributes))
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

// The window called `title`, or None.
Window findWindow(Display *display, const QString &title)
{
    return firstWindow(
        display, [&](Window window, const XWindowAttributes &) { return windowName(display, window) == title; });
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

// A top-level window other than `main`, a dialog, or None. Pop-ups (the name
// completer, menus) bypass the window manager and do not count.
Window otherWindow(Display *display, Window main)
{
    return firstWindow(display, [main](Window window, const XWindowAttributes &attributes) {
        return window != main && !attributes.override_redirect;
    });
}

void key(Display *display, KeySym symbol, bool shift = false, bool control = false)
{
    const KeyCode code = XKeysymToKeycode(display, symbol);
    const KeyCode shiftKey = XKeysymToKeycode(display, XK_Shift_L);
    const KeyCode controlKey = XKeysymToKeycode(display, XK_Control_L);
    if (control)
        XTestFakeKeyEvent(display, controlKey, True, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(display, shiftKey, True, CurrentTime);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(display, shiftKey, False, CurrentTime);
    if (control)
        XTestFakeKeyEvent(display, controlKey, False, CurrentTime);
    XFlush(display);
}

// Printable ASCII: the keysym is the character; shifted where the key's plain level is another one.
void type(Display *display, const QString &text)
{
    for (QChar c : text) {
        const KeySym symbol = c.unicode();
        const KeyCode code = XKeysymToKeycode(display, symbol);
        key(display, symbol, XkbKeycodeToKeysym(display, code, 0, 0) != symbol);
        QTest::qWait(5);
    }
}

// Gives `window` the keyboard and puts the pointer on it.
void focus(Display *display, Window window)
{
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(
        display, window, DefaultRootWindow(display), attributes.width / 2, attributes.height / 2, &x, &y, &child);
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XFlush(display);
    QTest::qWait(100);
}

void clickAt(Display *display, Window window, QPoint at)
{
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), at.x(), at.y(), &x, &y, &child);
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XFlush(display);
    QTest::qWait(100);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XFlush(display);
    QTest::qWait(50);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    QTest::qWait(200);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class RealWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void windowAppearsAndClosesCleanly();
    void openedScriptsSaveTheirCommands();
    void cleanupTestCase();

private:
    struct Program {
        std::unique_ptr<QProcess> process;
        DisplayPtr display;
        Window window = None;
        int menuHeight = 0;
    };
    // The program showing its window, with `arguments`.
    bool start(Program &program, const QStringList &arguments);
    // Types `path` into the file dialog that "opens" shows and accepts it.
    static bool answerFileDialog(Program &program, const QString &path);
    // Answers the box titled "Tallyforge 1.0" with `key`.
    static bool answerBox(Program &program, KeySym key);
    static void clickButton(Program &program, QPoint client)
    {
        clickAt(program.display.get(), program.window, client + QPoint(0, program.menuHeight));
    }

    QProcess m_server;
    QString m_display;
};

void RealWindowTest::initTestCase()
{
    XSetErrorHandler(skipVanishedWindows);
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
    // No game folder is known yet, so its reader costs nothing: libzip is not even loaded.
    QFile maps(u"/proc/%1/maps"_s.arg(program.processId()));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("/libzip."));

    sendDeleteWindow(display.get(), window);
    QVERIFY(program.waitForFinished(10000));
    const QByteArray errors = program.readAllStandardError();
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, errors.constData());
    QVERIFY2(!errors.contains("QWidget") && !errors.contains("Cannot"), errors.constData());
}

bool RealWindowTest::start(Program &program, const QStringList &arguments)
{
    program.process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.insert(u"DISPLAY"_s, m_display);
    program.process->setProcessEnvironment(environment);
    program.process->start(QStringLiteral(TALLYFORGE_EXECUTABLE), arguments);
    // A busy server may turn a client away for a moment.
    (void)QTest::qWaitFor(
        [&] { return program.display.reset(XOpenDisplay(m_display.toLatin1().constData())), bool(program.display); },
        5000);
    if (!program.process->waitForStarted(5000) || !program.display) {
        qWarning("the program did not start (%s) or the X server took no client (%s)",
            qPrintable(program.process->errorString()), program.display ? "it did" : "it did not");
        return false;
    }
    (void)QTest::qWaitFor(
        [&] { return (program.window = findWindow(program.display.get(), u"Bravenmark - Tallyforge 1.0"_s)) != None; },
        20000);
    if (program.window == None) {
        qWarning("no window appeared: %s", program.process->readAllStandardError().constData());
        return false;
    }
    XWindowAttributes attributes;
    XGetWindowAttributes(program.display.get(), program.window, &attributes);
    program.menuHeight = attributes.height - 497;
    focus(program.display.get(), program.window);
    return true;
}

bool RealWindowTest::answerFileDialog(Program &program, const QString &path)
{
    Display *display = program.display.get();
    Window dialog = None;
    if (!QTest::qWaitFor([&] { return (dialog = otherWindow(display, program.window)) != None; }, 10000)) {
        qWarning("no file dialog showed");
        return false;
    }
    focus(display, dialog);
    key(display, XK_a, false, true); // over the name the dialog proposes
    type(display, path);
    // The first Return may only close the name completer.
    auto closed = [&] {
        XWindowAttributes attributes;
        return !XGetWindowAttributes(display, dialog, &attributes) || attributes.map_state != IsViewable;
    };
    for (int tries = 0; tries < 3 && !closed(); ++tries) {
        key(display, XK_Return);
        (void)QTest::qWaitFor(closed, 3000);
    }
    if (!QTest::qWaitFor(closed, 5000)) {
        qWarning("the file dialog stayed open");
        return false;
    }
    focus(display, program.window);
    // Nothing of the dialog outlives it: no name completer stays on the screen.
    QTest::qWait(300);
    const Window popup = firstWindow(
        display, [](Window, const XWindowAttributes &attributes) { return bool(attributes.override_redirect); });
    if (popup != None)
        qWarning("a pop-up outlived the file dialog: \"%s\"", qPrintable(windowName(display, popup)));
    return popup == None;
}

bool RealWindowTest::answerBox(Program &program, KeySym answer)
{
    Display *display = program.display.get();
    Window box = None;
    if (!QTest::qWaitFor([&] { return (box = findWindow(display, u"Tallyforge 1.0"_s)) != None; }, 10000))
        return false;
    focus(display, box);
    key(display, answer);
    const bool closed = QTest::qWaitFor([&] { return findWindow(display, u"Tallyforge 1.0"_s) == None; }, 5000);
    focus(display, program.window);
    return closed;
}

// Ctrl+O, a path typed into the dialog, Save: the file the window wrote comes
// back byte for byte; so it does after "Clear Cfg" and "Finish!", and after
// Open asked about a typed edit. A hand-written file named on the command
// line keeps its other lines around the sections.
void RealWindowTest::openedScriptsSaveTheirCommands()
{
    const QPoint saveButton(640, 460), finishOrClear(725, 460);
    QTemporaryDir dir;
    const QByteArray written = contents(QStringLiteral(TESTDATA_DIR "/default.cfg"));
    const QString writtenPath = dir.filePath(u"written.cfg"_s);
    QVERIFY(QFile::copy(QStringLiteral(TESTDATA_DIR "/default.cfg"), writtenPath));

    Program program;
    QVERIFY(start(program, {}));
    key(program.display.get(), XK_o, false, true);
    QVERIFY(answerFileDialog(program, writtenPath));
    clickButton(program, saveButton);
    QVERIFY(answerFileDialog(program, dir.filePath(u"saved.cfg"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(contents(dir.filePath(u"saved.cfg"_s)), written, 5000);

    clickButton(program, finishOrClear); // Clear Cfg
    clickButton(program, finishOrClear); // Finish!
    clickButton(program, saveButton);
    QVERIFY(answerFileDialog(program, dir.filePath(u"again.cfg"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(contents(dir.filePath(u"again.cfg"_s)), written, 5000);

    // A key typed into the editor: Open asks first. Escape keeps the edit; Save saves it, then opens.
    Display *display = program.display.get();
    clickButton(program, { 380, 200 });
    key(display, XK_End, false, true);
    type(display, u"set typed 1"_s);
    key(display, XK_o, false, true);
    QVERIFY(answerFileDialog(program, writtenPath));
    QVERIFY(answerBox(program, XK_Escape));
    key(display, XK_o, false, true);
    QVERIFY(answerFileDialog(program, writtenPath));
    QVERIFY(answerBox(program, XK_Return));
    QVERIFY(answerFileDialog(program, dir.filePath(u"typed.cfg"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(contents(dir.filePath(u"typed.cfg"_s)).endsWith("set typed 1"), 5000);
    clickButton(program, saveButton);
    QVERIFY(answerFileDialog(program, dir.filePath(u"reopened.cfg"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(contents(dir.filePath(u"reopened.cfg"_s)), written, 5000);
    sendDeleteWindow(program.display.get(), program.window);
    QVERIFY(program.process->waitForFinished(10000));

    const QString handPath = dir.filePath(u"hand.cfg"_s);
    QFile hand(handPath);
    QVERIFY(hand.open(QIODevice::WriteOnly));
    hand.write("// my notes\nset sv_hostname \"Hand\"\nexec more.cfg\n");
    hand.close();
    Program second;
    QVERIFY(start(second, { handPath }));
    QTest::qWait(500); // the file opens once the window is up
    clickButton(second, finishOrClear);
    clickButton(second, finishOrClear);
    clickButton(second, saveButton);
    QVERIFY(answerFileDialog(second, dir.filePath(u"hand-saved.cfg"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(contents(dir.filePath(u"hand-saved.cfg"_s)).endsWith("exec more.cfg\r\n"), 5000);
    const QList<QByteArray> lines = contents(dir.filePath(u"hand-saved.cfg"_s)).split('\n');
    QVERIFY(lines.contains("set sv_hostname \"Hand\"\r"));
    QCOMPARE(lines.mid(lines.size() - 3), (QList<QByteArray> { "// my notes\r", "exec more.cfg\r", "" }));
    QVERIFY(lines.indexOf("//Weapons\r") < lines.size() - 3);
    sendDeleteWindow(second.display.get(), second.window);
    QVERIFY(second.process->waitForFinished(10000));
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
