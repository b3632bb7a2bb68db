// One start-up for the benchmark: shows a window, prints the monotonic time at
// which its first frame was on the screen, and a second later its resident
// memory, then quits.
//
//   tallyforge_startup form                 the program's main window, started as main() does
//   tallyforge_startup bare <w> <h>         a main window of that size with nine pages of stock controls
//   tallyforge_startup plain <w> <h> <kinds...> a stock main window with the main window's kinds of controls
//   tallyforge_startup count                prints the main window's widget count, size and kinds of controls
//
// With TALLYFORGE_STARTUP_FRAME_ONLY set it quits at the first frame, for profiling that far.

#include "app/appearance.h"
#include "app/tform1.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

long long nowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

long long residentKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Watches every widget of the window for its first paint event.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget *window)
        : m_window(window)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_seen || event->type() != QEvent::Paint || !watched->isWidgetType()
            || static_cast<QWidget *>(watched)->window() != m_window)
            return false;
        m_seen = true;
        // Queued, so it runs once this paint has been flushed to the screen.
        QTimer::singleShot(0, this, [] {
            std::printf("painted_ns %lld\n", nowNs());
            std::fflush(stdout);
            // For a profile of the way to the first frame alone.
            if (qEnvironmentVariableIsSet("TALLYFORGE_STARTUP_FRAME_ONLY"))
                std::_Exit(0); // before whatever the frame queued, and without tearing down
            QTimer::singleShot(1000, [] {
                std::printf("rss_kb %lld\n", residentKb());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        });
        return false;
    }

private:
    QWidget *const m_window;
    bool m_seen = false;
};

// A main window with a menu bar and a status bar, and a tab widget where ours has its pages.
std::pair<std::unique_ptr<QMainWindow>, QTabWidget *> windowWithTabs(const QString &title, int width)
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(title);
    auto *client = new QWidget;
    window->setCentralWidget(client);
    for (const char *menu : { "&File", "&Help", "&About" })
        window->menuBar()->addMenu(QString::fromLatin1(menu))->addAction(u"&Action"_s);
    window->statusBar()->showMessage(u"Ready"_s);
    auto *tabs = new QTabWidget(client);
    tabs->setGeometry(0, 57, width - 1, 384);
    tabs->setTabPosition(QTabWidget::South);
    return { std::move(window), tabs };
}

// The toolkit's floor for a window like ours: a main window of the same size with a menu bar and a status bar,
// and a tab widget of nine pages, each with 11 rows of a captioned check box and an edit with text, 198 controls
// in all, at fixed positions, with no pictures and no layouts.
std::unique_ptr<QWidget> bareWindow(int width, int height)
{
    auto [window, tabs] = windowWithTabs(u"bare"_s, width);
    for (int i = 0; i < 9; ++i) {
        auto *page = new QWidget;
        for (int row = 0; row < 11; ++row) {
            const int top = 8 + row * 28;
            (new QCheckBox(u"Setting %1"_s.arg(row + 1), page))->setGeometry(8, top, 220, 20);
            (new QLineEdit(u"value %1"_s.arg(row + 1), page))->setGeometry(236, top, 225, 20);
        }
        tabs->addTab(page, u"Page %1"_s.arg(i + 1));
    }
    window->setFixedSize(width, height);
    return std::move(window);
}

// The kinds of controls the main window is made of, in the order `count` prints them.
enum Kind { Label, CheckBox, RadioButton, LineEdit, Button, GroupBox, TextEdit, Plain, kinds };

Kind kindOf(const QWidget *widget)
{
    if (qobject_cast<const QLabel *>(widget))
        return Label;
    if (qobject_cast<const QCheckBox *>(widget))
        return CheckBox;
    if (qobject_cast<const QRadioButton *>(widget))
        return RadioButton;
    if (qobject_cast<const QLineEdit *>(widget))
        return LineEdit;
    if (qobject_cast<const QAbstractButton *>(widget))
        return Button;
    if (qobject_cast<const QGroupBox *>(widget))
        return GroupBox;
    if (qobject_cast<const QPlainTextEdit *>(widget))
        return TextEdit;
    return Plain;
}

// The controls the program makes itself, not the pages and the parts Qt's own widgets make for themselves
// (the tab strip and its buttons, scroll bars, viewports).
std::array<int, kinds> countKinds(const TForm1 &form)
{
    auto part = [&form](const QWidget *widget) {
        for (const QWidget *up = widget->parentWidget(); up; up = up->parentWidget()) {
            if (up == form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))
                && widget->parentWidget()->parentWidget()
                    != form.findChild<QTabWidget *>(QStringLiteral("PageControl1")))
                return false; // on a page
            if (up == form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))
                || qobject_cast<const QAbstractScrollArea *>(up) || up->inherits("QTabBar"))
                return true;
        }
        return false;
    };
    std::array<int, kinds> counts {};
    for (const QWidget *widget : form.centralWidget()->findChildren<QWidget *>()) {
        if (widget != form.findChild<QTabWidget *>(QStringLiteral("PageControl1")) && !part(widget))
            ++counts[kindOf(widget)];
    }
    return counts;
}

// A stock main window of the same size with as many controls of each kind, spread over nine pages of a tab
// widget, with a menu and a status bar: no pictures, no colours or fonts of its own, no code of its own.
std::unique_ptr<QWidget> plainWindow(int width, int height, const std::array<int, kinds> &counts)
{
    auto [window, tabs] = windowWithTabs(u"plain"_s, width);
    QList<QWidget *> pages;
    for (int i = 0; i < 9; ++i) {
        pages << new QWidget;
        tabs->addTab(pages.constLast(), u"Page %1"_s.arg(i + 1));
    }
    int made = 0;
    for (int kind = 0; kind < kinds; ++kind) {
        for (int i = 0; i < counts[kind]; ++i, ++made) {
            QWidget *page = pages[made % pages.size()];
            const QString text = u"Control %1"_s.arg(made);
            QWidget *control = nullptr;
            switch (Kind(kind)) {
            case Label: control = new QLabel(text, page); break;
            case CheckBox: control = new QCheckBox(text, page); break;
            case RadioButton: control = new QRadioButton(text, page); break;
            case LineEdit: control = new QLineEdit(text, page); break;
            case Button: control = new QPushButton(text, page); break;
            case GroupBox: control = new QGroupBox(text, page); break;
            case TextEdit: control = new QPlainTextEdit(page); break;
            default: control = new QWidget(page); break;
            }
            const int slot = made / pages.size();
            control->setGeometry(8 + slot % 6 * 124, 8 + slot / 6 % 10 * 32, 120, 24);
        }
    }
    window->setFixedSize(width, height);
    return std::move(window);
}

} // namespace

int main(int argc, char *argv[])
{
    const char *mode = argc > 1 ? argv[1] : "form";
    const bool bare = std::strcmp(mode, "bare") == 0 && argc == 4;
    const bool plain = std::strcmp(mode, "plain") == 0 && argc == 4 + kinds;
    if (!bare && !plain)
        Appearance::loadFontConfigurationMeanwhile();
    QApplication app(argc, argv);
    std::printf("application_ns %lld\n", nowNs());
    if (!bare && !plain)
        Appearance::setUpApplication();

    if (std::strcmp(mode, "count") == 0) {
        TForm1 form;
        std::printf("widgets %lld size %d %d\n", static_cast<long long>(form.findChildren<QWidget *>().size() + 1),
            form.width(), form.height());
        std::printf("kinds");
        for (int count : countKinds(form))
            std::printf(" %d", count);
        std::printf("\n");
        return 0;
    }

    std::unique_ptr<QWidget> window;
    if (bare) {
        window = bareWindow(std::atoi(argv[2]), std::atoi(argv[3]));
    } else if (plain) {
        std::array<int, kinds> counts {};
        for (int kind = 0; kind < kinds; ++kind)
            counts[kind] = std::atoi(argv[4 + kind]);
        window = plainWindow(std::atoi(argv[2]), std::atoi(argv[3]), counts);
    } else {
        window = std::make_unique<TForm1>(nullptr, TForm1::Pages::FirstThenRest);
    }
    std::printf("window_ns %lld\n", nowNs());
    FirstFrame watcher(window.get());
    app.installEventFilter(&watcher);
    window->show();
    return QApplication::exec();
}
