#include "ui/frmMain.h"

#include "app/Cierre.h"
#include "ui/Dibujos.h"
#include "ui/Estado.h"
#include "ui/Fuentes.h"
#include "ui/Ventana.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>

static constexpr double PuntosFilasIndicadoras = 9.75;

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    ui.setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    RegistrarFormulario(this);
    RegistrarFormPrincipal(this);

    AplicarFuenteVentana(this);
    // The form holds whole point sizes only; the indicator-row captions are 9.75 points.
    for (int i = 0; i <= 10; ++i) {
        QFont letra;
        letra.setPointSizeF(PuntosFilasIndicadoras);
        if (QLabel* rotulo = label1(i))
            rotulo->setFont(letra);
    }
    // Grey is what a read or a file says when the controller holds 2 there; a click never
    // leads into it (it would send 2 unasked): from grey it clears, otherwise it toggles.
    connect(ui.CheckBalizaEmergencia, &QAbstractButton::pressed, this,
            [this] { ui.CheckBalizaEmergencia->setTristate(false); });

    PintarDibujos();
    AjustarFuentes(this);

    // Three panels: the message line, the date and the time.
    for (int i = 0; i < 3; ++i) {
        paneles[i] = new QLabel(this);
        paneles[i]->setObjectName(QStringLiteral("sbStatusBar_Panel%1").arg(i + 1));
        paneles[i]->setFrameShape(QFrame::StyledPanel);
        // The panel's text is its accessible name, so a screen reader hears the message itself.
        paneles[i]->setAccessibleDescription(i == 0 ? tr("Status") : i == 1 ? tr("Date") : tr("Time"));
    }
    paneles[0]->setText(QStringLiteral("Estado"));
    ui.sbStatusBar->addWidget(paneles[0], 1);
    ui.sbStatusBar->addPermanentWidget(paneles[1]);
    ui.sbStatusBar->addPermanentWidget(paneles[2]);
    FijarEtiquetaPanel1(paneles[0]);
    ActualizarFechaHora();
    relojPaneles.setInterval(1000);
    connect(&relojPaneles, &QTimer::timeout, this, [this] { ActualizarFechaHora(); });
    relojPaneles.start();

    timerEstado.setObjectName(QStringLiteral("TimerEstado"));
    timerEstado.setInterval(500);
    timerSpoolValoresInstantaneos.setObjectName(QStringLiteral("tmrSpoolValoresInstantaneos"));
    timerSpoolValoresInstantaneos.setInterval(1000);
    // The handlers are connected by the start-up (ConectarManejadores), each folder its own.
}

frmMain::~frmMain()
{
    FijarEtiquetaPanel1(nullptr);
}

void frmMain::ActualizarFechaHora()
{
    const QDateTime ahora = QDateTime::currentDateTime();
    const QLocale local;
    paneles[1]->setText(local.toString(ahora.date(), QLocale::ShortFormat));
    paneles[2]->setText(local.toString(ahora.time(), QLocale::ShortFormat));
}

void frmMain::closeEvent(QCloseEvent* evento)
{
    // A write is not cut short: the window stays until it ends, then closes (ui/Estado.h).
    if (AplazarCierre()) {
        evento->ignore();
        return;
    }
    Form_Unload(this);
    timerEstado.stop();
    timerSpoolValoresInstantaneos.stop();
    evento->accept();
}
