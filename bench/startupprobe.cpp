// One start-up for the benchmark: shows a window, prints the monotonic time at
// which its first frame was on the screen, and a second later its resident
// memory, then quits.
//
//   tallyforge_startup form                 the program's main window, started as main() does
//   tallyforge_startup bare <widgets> <w> <h>  a plain window with that many widgets in all
//   tallyforge_startup count                prints the main window's widget count and size

#include "app/appearance.h"
#include "app/tform1.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <cstdio>
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

std::unique_ptr<QWidget> bareWindow(int widgets, int width, int height)
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(u"bare"_s);
    window->setFixedSize(width, height);
    for (int i = 1; i < widgets; ++i) {
        auto *child = new QWidget(window.get());
        child->setGeometry((i * 24) % width, (i * 24 / width) * 24 % height, 20, 20);
    }
    return window;
}

} // namespace

int main(int argc, char *argv[])
{
    const char *mode = argc > 1 ? argv[1] : "form";
    QApplication app(argc, argv);
    std::printf("application_ns %lld\n", nowNs());
    const bool bare = std::strcmp(mode, "bare") == 0 && argc == 5;
    if (!bare)
        Appearance::setUpApplication();

    if (std::strcmp(mode, "count") == 0) {
        TForm1 form;
        std::printf("widgets %lld size %d %d\n", static_cast<long long>(form.findChildren<QWidget *>().size() + 1),
            form.width(), form.height());
        return 0;
    }

    std::unique_ptr<QWidget> window;
    if (bare)
        window = bareWindow(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    else
        window = std::make_unique<TForm1>(nullptr, TForm1::Pages::FirstThenRest);
    std::printf("window_ns %lld\n", nowNs());
    FirstFrame watcher(window.get());
    app.installEventFilter(&watcher);
    window->show();
    return QApplication::exec();
}
