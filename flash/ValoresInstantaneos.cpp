#include "flash/ValoresInstantaneos.h"

#include "flash/CodigoColor.h"
#include "link/JuegoComandos.h"
#include "link/Operacion.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

void MostrarSenal(QLabel* etiqueta, EstadoSenal estado)
{
    QString texto;
    QString descripcion;
    int32_t color = ColorSenalNoLeida;
    switch (estado) {
    case EstadoSenal::Encendida:
        texto = QStringLiteral("ON");
        descripcion = QStringLiteral("on");
        color = ColorSenalEncendida;
        break;
    case EstadoSenal::Apagada:
        texto = QStringLiteral("OFF");
        descripcion = QStringLiteral("off");
        color = ColorSenalApagada;
        break;
    case EstadoSenal::NoLeida:
        texto = QStringLiteral("--");
        descripcion = QStringLiteral("not read");
        break;
    }
    etiqueta->setText(texto);
    QPalette paleta = etiqueta->palette();
    paleta.setColor(QPalette::WindowText, ColorDeCodigo(color));
    etiqueta->setPalette(paleta);
    etiqueta->setAccessibleDescription(descripcion);
}

// One group of labels from one transaction: bit k-1 of the answer is label
// primera+k-1, or the whole group not read when no reply came.
static void MostrarGrupo(QLabel* (*etiqueta)(int), int primera, int cuantas, const RespuestaQZL& r)
{
    for (int k = 0; k < cuantas; ++k) {
        EstadoSenal estado = EstadoSenal::NoLeida;
        if (r.Estado == EstadoRespuesta)
            estado = (r.Dato >> k) & 1 ? EstadoSenal::Encendida : EstadoSenal::Apagada;
        MostrarSenal(etiqueta(primera + k), estado);
    }
}

// One group from one transaction. False when the window was closed while the
// reply was awaited (its events are processed meanwhile).
static bool LeerGrupo(Operacion& op, uint8_t indice, QLabel* (*etiqueta)(int), int primera, int cuantas)
{
    ComandoQZL comando{};
    comando.Comando = ComandoEstado;
    comando.Indice = indice;
    comando.Dato = 0;
    RespuestaQZL r;
    if (!op.Enviar(comando, r))
        return false;
    MostrarGrupo(etiqueta, primera, cuantas, r);
    return true;
}

// One refresh; nothing while another operation runs.
static void Refrescar()
{
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::ValoresInstantaneos;
    opciones.mensajeSinPuerto = QStringLiteral("Error");
    Operacion op(opciones);
    if (!op.Activa())
        return;
    if (!op.AbrirPuerto()) {
        Panel1(QStringLiteral("Error"));
        return;
    }
    if (!LeerGrupo(op, IndiceEntradas, lblExterna, 1, 8) || !LeerGrupo(op, IndiceSalidas1a8, lblSalida, 1, 8)
        || !LeerGrupo(op, IndiceSalidas9a11, lblSalida, 9, 3))
        return;
    op.CerrarPuerto();
    Panel1(QStringLiteral("End check"));
}

void btnVerValoresInstantaneos_Click()
{
    Refrescar();
}

static bool AutoActivado()
{
    return Ventana().btnSpoolValorInstantaneo->text() == TextoDesactivarAuto();
}

void btnSpoolValorInstantaneo_Click()
{
    if (!AutoActivado()) {
        tmrSpoolValoresInstantaneos()->start();
        Ventana().btnSpoolValorInstantaneo->setText(TextoDesactivarAuto());
    } else {
        tmrSpoolValoresInstantaneos()->stop();
        Ventana().btnSpoolValorInstantaneo->setText(TextoActivarAuto());
    }
}

void tmrSpoolValoresInstantaneos_Timer()
{
    if (OperacionEnCurso())
        return;
    tmrSpoolValoresInstantaneos()->stop();
    Refrescar();
    // The switch may have been turned off while the refresh ran; then it stays off.
    if (FormPrincipal() && AutoActivado())
        tmrSpoolValoresInstantaneos()->start();
}

void MostrarSenalesNoLeidas()
{
    for (int k = 1; k <= 8; ++k)
        MostrarSenal(lblExterna(k), EstadoSenal::NoLeida);
    for (int k = 1; k <= 11; ++k)
        MostrarSenal(lblSalida(k), EstadoSenal::NoLeida);
}
