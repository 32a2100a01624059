#include "params/Escritura.h"

#include "app/ModuloKX.h"
#include "link/JuegoComandos.h"
#include "link/Operacion.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"

#include <QCheckBox>
#include <vector>

// Panel 1's texts when nothing may be written, in the window's language.
constexpr int TextoSinIdentificar = 2004;
constexpr int TextoIdentificacionFallida = 2005;
constexpr int TextoLecturaFallida = 2006;

static const QString ErrorDeEscritura = QStringLiteral("Error de escritura. Reintente la operación");

// Why the fields may not be written to the controller, or 0 when they may.
static int MotivoSinEscritura()
{
    switch (ValoresVentana) {
    case PertenenciaValores::SinIdentificar: return TextoSinIdentificar;
    case PertenenciaValores::IdentificacionFallida: return TextoIdentificacionFallida;
    case PertenenciaValores::LecturaFallida: return TextoLecturaFallida;
    case PertenenciaValores::DelControlador: return 0;
    }
    return TextoSinIdentificar;
}

// Says in panel 1 why nothing may be written, when that is so.
static bool EscrituraRehusada()
{
    const int motivo = MotivoSinEscritura();
    if (motivo == 0)
        return false;
    Panel1(TextoRecurso(motivo));
    Pitido();
    return true;
}

void CEscribir_Click()
{
    if (OperacionEnCurso())
        return;
    EscribirQZL();
}

enum ResultadoDireccion { Escrita, FalloDireccion, SinVentana };

constexpr int TextoCeldasVerificadas = 2065;
constexpr int TextoCeldasDistintas = 2066;
constexpr int TextoRelecturaFallida = 2067;

bool VerificarTrasEscribir()
{
    return Ventana().chkVerificar->isChecked();
}

void (*AlDiferirVerificacion)(const ImagenParametros& enviada, const ImagenParametros& leida,
                              const std::vector<int>& direcciones) = nullptr;

// Reads back every address written and compares it with what was sent. Returns the
// text panel 1 ends with, or an empty text when the window went meanwhile.
static QString Verificar(Operacion& op, const ImagenParametros& enviada, const std::vector<int>& escritas,
                         ImagenParametros& leida, bool& distintas)
{
    leida = enviada;
    ComandoQZL orden{};
    orden.Comando = ComandoLeerParametro;
    int cuantasDistintas = 0;
    for (const int a : escritas) {
        orden.Indice = static_cast<uint8_t>(a);
        RespuestaQZL r;
        if (!op.Enviar(orden, r))
            return QString();
        if (r.Estado != EstadoRespuesta) {
            op.Fallo(QStringLiteral("Reading Error in data ") + QString::number(a));
            return TextoRecurso(TextoRelecturaFallida).arg(a);
        }
        leida.celda[a] = r.Dato;
        if (leida.celda[a] != enviada.celda[a])
            ++cuantasDistintas;
        Panel1(ConBlanco(a));
    }
    distintas = cuantasDistintas > 0;
    if (!distintas)
        return TextoRecurso(TextoCeldasVerificadas).arg(escritas.size());
    return TextoRecurso(TextoCeldasDistintas).arg(cuantasDistintas);
}

// Writes one present address.
static ResultadoDireccion EscribirDireccion(Operacion& op, ComandoQZL& orden, const ImagenParametros& imagen, int a)
{
    orden.Indice = static_cast<uint8_t>(a);
    orden.Dato = static_cast<uint8_t>(imagen.celda[a]);
    RespuestaQZL r;
    if (!op.Enviar(orden, r))
        return SinVentana;
    if (r.Estado != EstadoRespuesta) {
        // The same text as a read's, as the technician knows it.
        op.Fallo(QStringLiteral("Reading Error in data ") + QString::number(a));
        return FalloDireccion;
    }
    Panel1(ConBlanco(a));
    return Escrita;
}

void EscribirQZL()
{
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::Escritura;
    // The image is complete before the first frame: closing the window meanwhile waits
    // for the last one.
    opciones.escritura = true;
    opciones.mensajeSinPuerto = ErrorDeEscritura;
    Operacion op(opciones);
    if (!op.Activa())
        return;
    if (EscrituraRehusada())
        return;
    Panel1(QStringLiteral("Writing"));
    ImagenParametros imagen;
    const qint64 marca = MarcaEscritura();
    if (CodificarVentana(imagen)) {
        MensajeCritico(ErrorDeEscritura);
        return;
    }
    // Half a configuration must never reach the controller: every byte is checked first.
    for (const int a : DireccionesEscritura()) {
        if (imagen.celda[a] < 0 || imagen.celda[a] > 255) {
            MensajeCritico(ErrorDeEscritura);
            return;
        }
    }
    ComandoQZL orden{};
    orden.Comando = ComandoEscribirParametro;
    if (!op.AbrirPuerto())
        return;
    int primerFallo = -1;
    std::vector<int> escritas;
    for (int a = 0; a < PrimeraCeldaFabricacion; ++a) {
        if (ComprobarParametro(static_cast<int16_t>(a))) {
            const ResultadoDireccion r = EscribirDireccion(op, orden, imagen, a);
            if (r == SinVentana)
                return;
            if (r == FalloDireccion) {
                primerFallo = a;
                break;
            }
            escritas.push_back(a);
        }
        if (a == CeldaPitidoEscritura)
            Pitido();
    }
    for (int a = UltimaCeldaFabricacion + 1; a < CeldasParametros; ++a) {
        if (ComprobarParametro(static_cast<int16_t>(a))) {
            const ResultadoDireccion r = EscribirDireccion(op, orden, imagen, a);
            if (r == SinVentana)
                return;
            if (r == FalloDireccion) {
                if (primerFallo < 0)
                    primerFallo = a;
                break;
            }
            escritas.push_back(a);
        }
    }
    // A write that failed has said so; what it did send is not read back.
    QString verificacion;
    bool distintas = false;
    ImagenParametros leida;
    if (primerFallo < 0 && VerificarTrasEscribir()) {
        verificacion = Verificar(op, imagen, escritas, leida, distintas);
        if (verificacion.isEmpty())
            return;
    }
    op.Terminar();
    // Cells the controller did not keep are not written, whatever the replies said.
    if (primerFallo < 0 && !distintas)
        RecordarEscrituraCompleta(marca);
    if (!verificacion.isEmpty()) {
        Panel1(verificacion);
        if (distintas && AlDiferirVerificacion && VentanaAbierta())
            AlDiferirVerificacion(imagen, leida, escritas);
    } else
        Panel1(primerFallo < 0 ? QStringLiteral("Ended")
                               : QStringLiteral("Writing Error in data ") + QString::number(primerFallo));
}
