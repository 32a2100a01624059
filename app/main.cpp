#include "app/ModuloKX.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QZL"));
    QApplication::setOrganizationName(QStringLiteral("QZL"));
    Main();
    return app.exec();
}
