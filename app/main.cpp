#include "app/appearance.h"
#include "app/commandline.h"
#include "app/tform1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // Both ways of running know the program by these, --version among them.
    QCoreApplication::setApplicationName(u"tallyforge"_s);
    QCoreApplication::setApplicationVersion(u"1.0"_s);

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    CommandLine::Request request = CommandLine::read(arguments);
    // A wrong option may be one of Qt's own (-style, -platform), which only
    // QApplication knows and takes out of the arguments.
    const bool window = request.action == CommandLine::Action::Window
        || (request.action == CommandLine::Action::Usage && CommandLine::hasDisplay());
    if (!window) {
        QCoreApplication app(argc, argv);
        return CommandLine::run(request);
    }

    // Without a display Qt would print a stack of plugin warnings and abort.
    if (!CommandLine::hasDisplay()) {
        std::fputs("tallyforge: no display found (DISPLAY is not set); start it from a desktop session.\n", stderr);
        return EXIT_FAILURE;
    }

    Appearance::loadFontConfigurationMeanwhile();
    QApplication app(argc, argv);
    Appearance::setUpApplication();
    request = CommandLine::read(QCoreApplication::arguments());
    if (request.action != CommandLine::Action::Window)
        return CommandLine::run(request);

    TForm1 form(nullptr, TForm1::Pages::FirstThenRest);
    form.show();
    // Once the window is up, so that an error box has it to stand over.
    if (!request.files.isEmpty()) {
        QMetaObject::invokeMethod(
            &form, [&form, path = request.files.constFirst()] { form.openScript(path); }, Qt::QueuedConnection);
    }
    return QApplication::exec();
}
