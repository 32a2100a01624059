#include "link/Comandos.h"

#include "app/ModuloKX.h"
#include "link/JuegoComandos.h"
#include "link/Operacion.h"
#include "ui/Estado.h"

void OrdenDirecta(uint8_t indice, uint8_t dato, const QString& exito, const QString& fallo)
{
    // One command: the buttons stay as they are.
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::OrdenDirecta;
    opciones.deshabilitarBotones = false;
    Operacion op(opciones);
    if (!op.Activa())
        return;
    ComandoQZL comando{};
    comando.Comando = ComandoOrden;
    comando.Indice = indice;
    comando.Dato = dato;
    if (!op.AbrirPuerto())
        return;
    RespuestaQZL respuesta;
    if (!op.Enviar(comando, respuesta))
        return;
    op.CerrarPuerto();
    Panel1(respuesta.Estado == EstadoRespuesta ? exito : fallo);
}

void CDia_Click()
{
    OrdenDirecta(FuncionDiaNoche, DatoDia, QStringLiteral(" QZL is in day mode"), QStringLiteral(" QZL day mode failed"));
}

void CNoche_Click()
{
    OrdenDirecta(FuncionDiaNoche, DatoNoche, QStringLiteral(" QZL is in night mode"),
                 QStringLiteral(" QZL night mode failed"));
}

void CNormal_Click()
{
    OrdenDirecta(FuncionDiaNoche, DatoNormal, QStringLiteral(" QZL normal mode"), QStringLiteral(" QZL normal mode failed"));
}

void CCambioLamparaOn_Click()
{
    OrdenDirecta(FuncionCambiador, DatoEncendido, QStringLiteral(" QZL changer On"), QStringLiteral(" QZL changer On failed"));
}

void CCambioLamparaOff_Click()
{
    OrdenDirecta(FuncionCambiador, DatoApagado, QStringLiteral(" QZL changer Off"), QStringLiteral(" QZL changer Off failed"));
}

void CFalloRedOn_Click()
{
    OrdenDirecta(FuncionFalloRed, DatoEncendido, QStringLiteral(" QZL sector fail On OK"),
                 QStringLiteral(" QZL sector fail On OK failed"));
}

void CFalloRedOff_Click()
{
    OrdenDirecta(FuncionFalloRed, DatoApagado, QStringLiteral(" QZL sector fail Off OK"),
                 QStringLiteral(" QZL sector fail Off OK failed"));
}

void btnTelemandoMotor1_Click()
{
    OrdenDirecta(FuncionMotor, DatoMotor1, QStringLiteral(" QZL Motor 1 OK"), QStringLiteral(" QZL Motor 1 fail"));
}

void btnTelamandoMotor2_Click()
{
    OrdenDirecta(FuncionMotor, DatoMotor2, QStringLiteral(" QZL Motor 2 OK"), QStringLiteral(" QZL Motor 2 fail"));
}
