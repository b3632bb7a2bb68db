#include "app/appearance.h"
#include "app/tform1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    // Without a display Qt would print a stack of plugin warnings and abort.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fputs("tallyforge: no display found (DISPLAY is not set); start it from a desktop session.\n", stderr);
        return EXIT_FAILURE;
    }

    QApplication app(argc, argv);
    Appearance::setUpApplication();

    TForm1 form(nullptr, TForm1::Pages::FirstThenRest);
    form.show();
    return QApplication::exec();
}
