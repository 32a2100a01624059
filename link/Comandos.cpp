#include "link/Comandos.h"

#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "ui/Estado.h"

// Operating command code, and its functions.
static constexpr uint8_t ComandoOrden = 6;
static constexpr uint8_t FuncionCambiador = 0;
static constexpr uint8_t FuncionDiaNoche = 1;
static constexpr uint8_t FuncionFalloRed = 2;
static constexpr uint8_t FuncionMotor = 3;

void OrdenDirecta(uint8_t indice, uint8_t dato, const QString& exito, const QString& fallo)
{
    if (OperacionEnCurso())
        return;
    ComandoQZL comando{};
    comando.Comando = ComandoOrden;
    comando.Indice = indice;
    comando.Dato = dato;
    if (!AbrirCom()) {
        Panel1(TextoPuertoNoDisponible(NumeroPuerto));
        return;
    }
    const RespuestaQZL respuesta = EnviarComando(comando);
    CerrarCom();
    Panel1(respuesta.Estado == EstadoRespuesta ? exito : fallo);
}

void CDia_Click()
{
    OrdenDirecta(FuncionDiaNoche, 1, QStringLiteral(" QZL is in day mode"), QStringLiteral(" QZL day mode failed"));
}

void CNoche_Click()
{
    OrdenDirecta(FuncionDiaNoche, 2, QStringLiteral(" QZL is in night mode"),
                 QStringLiteral(" QZL night mode failed"));
}

void CNormal_Click()
{
    OrdenDirecta(FuncionDiaNoche, 0, QStringLiteral(" QZL normal mode"), QStringLiteral(" QZL normal mode failed"));
}

void CCambioLamparaOn_Click()
{
    OrdenDirecta(FuncionCambiador, 1, QStringLiteral(" QZL changer On"), QStringLiteral(" QZL changer On failed"));
}

void CCambioLamparaOff_Click()
{
    OrdenDirecta(FuncionCambiador, 0, QStringLiteral(" QZL changer Off"), QStringLiteral(" QZL changer Off failed"));
}

void CFalloRedOn_Click()
{
    OrdenDirecta(FuncionFalloRed, 1, QStringLiteral(" QZL sector fail On OK"),
                 QStringLiteral(" QZL sector fail On OK failed"));
}

void CFalloRedOff_Click()
{
    OrdenDirecta(FuncionFalloRed, 0, QStringLiteral(" QZL sector fail Off OK"),
                 QStringLiteral(" QZL sector fail Off OK failed"));
}

void btnTelemandoMotor1_Click()
{
    OrdenDirecta(FuncionMotor, 0, QStringLiteral(" QZL Motor 1 OK"), QStringLiteral(" QZL Motor 1 fail"));
}

void btnTelamandoMotor2_Click()
{
    OrdenDirecta(FuncionMotor, 1, QStringLiteral(" QZL Motor 2 OK"), QStringLiteral(" QZL Motor 2 fail"));
}
