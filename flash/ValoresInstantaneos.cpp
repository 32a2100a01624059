#include "flash/ValoresInstantaneos.h"

#include "flash/Colores.h"
#include "link/JuegoComandos.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "ui/Dialogos.h"
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
// reply was awaited (its events are processed meanwhile): the port is then closed.
static bool LeerGrupo(uint8_t indice, QLabel* (*etiqueta)(int), int primera, int cuantas)
{
    ComandoQZL comando{};
    comando.Comando = ComandoEstado;
    comando.Indice = indice;
    comando.Dato = 0;
    const RespuestaQZL r = EnviarComando(comando);
    if (!FormPrincipal()) {
        CerrarCom();
        return false;
    }
    MostrarGrupo(etiqueta, primera, cuantas, r);
    return true;
}

// One refresh; the caller has checked that no other operation runs.
static void Refrescar()
{
    DeshabilitaBotones();
    if (!AbrirCom()) {
        MsgBox(QStringLiteral("Error"), QMessageBox::Critical);
        CerrarCom();
        Panel1(QStringLiteral("Error"));
        if (FormPrincipal())  // the box's own event loop may have seen the window closed
            HabilitaBotones();
        return;
    }
    if (!LeerGrupo(IndiceEntradas, lblExterna, 1, 8) || !LeerGrupo(IndiceSalidas1a8, lblSalida, 1, 8)
        || !LeerGrupo(IndiceSalidas9a11, lblSalida, 9, 3))
        return;
    CerrarCom();
    Panel1(QStringLiteral("End check"));
    HabilitaBotones();
    DoEvents();
}

void btnVerValoresInstantaneos_Click()
{
    if (OperacionEnCurso())
        return;
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
