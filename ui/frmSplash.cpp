#include "ui/frmSplash.h"

#include "ui/Dibujos.h"

#include <QApplication>
#include <QScreen>

QString TextoVersion()
{
    return QStringLiteral("Version %1.%2.%3").arg(QZL_VERSION_MAJOR).arg(QZL_VERSION_MINOR).arg(QZL_VERSION_PATCH);
}

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    ui.setupUi(this);
    setFixedSize(size());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The splash's load: its design texts are replaced before it is first painted.
    QFont fNombre = ui.lblProductName->font();
    fNombre.setPointSizeF(29.25);
    ui.lblProductName->setFont(fNombre);
    QFont fVersion = ui.lblVersion->font();
    fVersion.setPointSizeF(13.5);
    ui.lblVersion->setFont(fVersion);
    ui.lblVersion->setText(TextoVersion());
    ui.lblProductName->setText(QStringLiteral("QZL"));
    ui.lblProductName->adjustSize();
    ui.lblVersion->adjustSize();
    ui.Image1->setPixmap(DibujoFaro(ui.Image1->size(), false));
    if (QScreen* pantalla = QGuiApplication::primaryScreen())
        move(pantalla->geometry().center() - rect().center());
}
