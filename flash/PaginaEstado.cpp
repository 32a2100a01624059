#include "flash/PaginaEstado.h"

#include "link/Interrogacion.h"
#include "link/JuegoComandos.h"
#include "params/Conversiones.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>

// One lamp pair and the status bit that drives it.
struct FilaLampara {
    uint8_t mascara;
    QLabel* Ui::frmMain::*encendida;
    QLabel* Ui::frmMain::*apagada;
};

using F = Ui::frmMain;

static const FilaLampara FilasEstado0[] = {
    {0x01, &F::LedOn, &F::LedOff},
    {0x02, &F::LedMotorOn, &F::LedMotorOff},
    {0x04, &F::LedRojoAlarmaMotor, &F::LedAlarmaMotorVerde},
};

// Status byte 1, per changer type, in the order the rows are applied.
static const FilaLampara FilasRVT06[] = {
    {0x02, &F::LedRojoPrealarmaLampara, &F::LedPrealarmaLamparaApagado},
    {0x20, &F::LedVerdeLampara1On, &F::LedLampara1OnApagado},
    {0x40, &F::LedRojoAlarmaLampara1, &F::LedAlarmaLamparaVerde},
};
static const FilaLampara FilasRVT02[] = {
    {0x01, &F::LedAzulLampara1, &F::LedLampara1Apagado},
    {0x02, &F::LedazulLampara2, &F::LedLampara2Apagado},
    {0x04, &F::LedAzulCambiador, &F::LedCambiadorApagado},
    {0x10, &F::LedRojoFalloRed, &F::LedFalloRedVerde},
    {0x20, &F::LedVerdeLampara1On, &F::LedLampara1OnApagado},
    {0x40, &F::LedRojoAlarmaLampara1, &F::LedAlarmaLamparaVerde},
    {0x80, &F::LedRojoFalloFoco, &F::LedFalloFocoVerde},
};
static const FilaLampara FilasRVT03[] = {
    {0x01, &F::LedAzulLampara1, &F::LedLampara1Apagado},
    {0x04, &F::LedAzulCambiador, &F::LedCambiadorApagado},
    {0x20, &F::LedVerdeLampara1On, &F::LedLampara1OnApagado},
    {0x80, &F::LedRojoFalloFoco, &F::LedFalloFocoVerde},
};
static const FilaLampara FilasLED[] = {
    {0x40, &F::LedRojoAlarmaLampara1, &F::LedAlarmaLamparaVerde},
};

static constexpr int TipoLED = 3;

void MostrarLampara(QLabel* encendida, QLabel* apagada, bool encendido)
{
    encendida->setVisible(encendido);
    apagada->setVisible(!encendido);
}

template <size_t N>
static void AplicarFilas(const FilaLampara (&filas)[N], uint8_t estado)
{
    Ui::frmMain& v = Ventana();
    for (const FilaLampara& f : filas)
        MostrarLampara(v.*f.encendida, v.*f.apagada, (estado & f.mascara) != 0);
}

void AplicarEstado0(uint8_t estado)
{
    AplicarFilas(FilasEstado0, estado);
}

void AplicarEstado1(uint8_t estado, int tipoCambiador)
{
    switch (tipoCambiador) {
    case 0:
        AplicarFilas(FilasRVT06, estado);
        break;
    case 1:
        AplicarFilas(FilasRVT02, estado);
        break;
    case 2:
        AplicarFilas(FilasRVT03, estado);
        break;
    case TipoLED:
        AplicarFilas(FilasLED, estado);
        Label(39)->show();
        Ventana().TPWMLed->show();
        LabelUnidades(20)->show();
        break;
    default:
        // KXR, or no type chosen: the byte means nothing the page can show.
        break;
    }
}

QString TextoMedida(int centesimas)
{
    return MostrarValor(centesimas, 100, Formato::Fijo);
}

int IntervaloModoVerboso(const QString& texto)
{
    // Held within the timer's range before rounding, so that huge numbers cannot overflow.
    const double ms = PrefijoNumerico(texto) * 1000.0;
    if (!(ms >= IntervaloMinimoMs))
        return IntervaloMinimoMs;
    if (ms > IntervaloMaximoMs)
        return IntervaloMaximoMs;
    return static_cast<int>(std::nearbyint(ms));  // halves to even
}

// A measured value from its two transactions into its field. False when the window
// was closed while a reply was awaited.
static bool MostrarMedida(Operacion& op, uint8_t indiceAlto, QLineEdit* Ui::frmMain::*campo)
{
    int centesimas = 0;
    if (!PreguntarMedida(op, indiceAlto, centesimas))
        return false;
    (Ventana().*campo)->setText(TextoMedida(centesimas));
    return true;
}

void CInterrogar_Click()
{
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::Estado;
    Operacion op(opciones);
    if (!op.Activa())
        return;
    if (!op.AbrirPuerto())
        return;

    if (Ventana().chkEstado->isChecked()) {
        uint8_t estado0 = 0;
        if (!PreguntarEstado(op, IndiceEstado0, estado0))
            return;
        AplicarEstado0(estado0);
        uint8_t estado1 = 0;
        if (!PreguntarEstado(op, IndiceEstado1, estado1))
            return;
        AplicarEstado1(estado1, Ventana().ComboTipoCambiador->currentIndex());
    }
    if (Ventana().chkCorrienteActual->isChecked()
        && !MostrarMedida(op, IndiceCorrienteActual, &Ui::frmMain::TCorrienteActual))
        return;
    if (Ventana().chkVelocidadActual->isChecked()
        && !MostrarMedida(op, IndiceVelocidadActual, &Ui::frmMain::TVelocidadActual))
        return;
    if (Ventana().chkCorrienteLeds->isChecked()
        && !MostrarMedida(op, IndiceCorrienteLeds, &Ui::frmMain::txtCorrienteLeds))
        return;

    op.CerrarPuerto();
    Panel1(QStringLiteral("End check"));
}

void TimerEstado_Timer()
{
    // Skipped whole while an operation runs, so the timer lamp never claims a poll
    // that is not happening.
    if (OperacionEnCurso())
        return;
    MostrarLampara(Ventana().LedTimerON, Ventana().LedTimerOff, true);
    CInterrogar_Click();
    if (FormPrincipal())
        MostrarLampara(Ventana().LedTimerON, Ventana().LedTimerOff, false);
}

void CModoVerboso_Click()
{
    Ventana().CModoVerboso->setEnabled(false);
    TimerEstado()->setInterval(IntervaloModoVerboso(Ventana().TTiempoModoVerboso->text()));
    TimerEstado()->start();
}

void Command1_Click()
{
    TimerEstado()->stop();
    Ventana().CModoVerboso->setEnabled(true);
}
