#include "app/ModuloKX.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

// Without a display Qt would abort with several lines of plugin errors; one clear line is enough.
static bool HayPantalla()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    const auto definida = [](const char* v) { const char* s = std::getenv(v); return s && *s; };
    return definida("DISPLAY") || definida("WAYLAND_DISPLAY") || definida("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

int main(int argc, char* argv[])
{
    if (!HayPantalla()) {
        std::fputs("qzl: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QZL"));
    QApplication::setOrganizationName(QStringLiteral("QZL"));
    Main();
    return app.exec();
}
