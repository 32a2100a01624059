#include "comparacion/Comparar.h"

#include "app/ModuloKX.h"
#include "comparacion/Comparacion.h"
#include "comparacion/Diferencias.h"
#include "flash/ArchivoQZL.h"
#include "flash/Colores.h"
#include "link/Identificacion.h"
#include "link/Operacion.h"
#include "params/Lectura.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"

#include <algorithm>

constexpr int TxtVentana = 2055;
constexpr int TxtControlador = 2056;
constexpr int TxtArchivo = 2057;
constexpr int TxtPregunta = 2058;
constexpr int TxtConControlador = 2059;
constexpr int TxtConArchivo = 2060;
constexpr int TxtConPautas = 2061;
constexpr int TxtEscrito = 2071;
constexpr int TxtReleido = 2072;
constexpr int TxtCancelar = 2015;

static QString T(int id)
{
    return TextoRecurso(id);
}

// The technician's last choice, for the next compare of this run.
static bool pautasElegidas = false;

void CComparar_Click()
{
    if (OperacionEnCurso())
        return;
    const int eleccion = DialogoEleccion(T(TxtPregunta), {T(TxtConControlador), T(TxtConArchivo), T(TxtCancelar)},
                                         T(TxtConPautas), pautasElegidas);
    if (eleccion == 0) {
        CompararConControlador(pautasElegidas);
    } else if (eleccion == 1) {
        const QString ruta = DialogoAbrirArchivo(FiltroArchivoQZL());
        if (!ruta.isEmpty())
            CompararConArchivo(ruta, pautasElegidas);
    }
}

static bool TomarVentana(LadoComparacion& ventana, bool conPautas)
{
    QString error;
    if (LadoVentana(ventana, conPautas, error))
        return true;
    MsgBox(error, QMessageBox::Critical);
    return false;
}

void CompararConControlador(bool conPautas)
{
    LadoComparacion ventana;
    if (!TomarVentana(ventana, conPautas))
        return;
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::Comparacion;
    opciones.mensajeSinPuerto = QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación");
    Operacion op(opciones);
    if (!op.Activa() || !op.AbrirPuerto())
        return;
    // Its own map and image: the window's presence map, fields and the image the next
    // write starts from stay as they are.
    LadoComparacion controlador;
    controlador.conPautas = conPautas;
    if (LeerMapaPresencia(op, controlador.mapa) != FinLectura::Completa)
        return;
    if (LeerCeldasPresentes(op, controlador.mapa, controlador.imagen) != FinLectura::Completa)
        return;
    if (conPautas) {
        BytesSegmento bytes[SegmentosPautas] = {};
        bool sinVentana = false;
        const int fallo = LeerSegmentosPautas(op, bytes, sinVentana);
        if (sinVentana)
            return;
        if (fallo >= 0) {
            Panel1(QStringLiteral("Reading Error in data ") + QString::number(fallo));
            return;
        }
        for (int s = 1; s <= SegmentosPautas; ++s)
            DecodificarSegmento(s, bytes[s - 1], controlador.colores, controlador.tabla);
    }
    op.CerrarPuerto();
    Panel1(QStringLiteral("Ended"));
    op.Terminar();
    if (VentanaAbierta())
        MostrarDiferencias(Comparar(ventana, controlador), T(TxtVentana), T(TxtControlador));
}

void CompararConArchivo(const QString& ruta, bool conPautas)
{
    ContenidoArchivoQZL contenido;
    QString error;
    if (!LeerArchivoQZL(ruta, contenido, error)) {
        MsgBox(error, QMessageBox::Critical);
        return;
    }
    LadoComparacion ventana;
    if (!TomarVentana(ventana, conPautas))
        return;
    LadoComparacion archivo;
    archivo.imagen = contenido.imagen;
    // A file has no presence map: it is compared on the controller's addresses, or on
    // every address while no controller has been identified.
    const bool sinMapa = std::all_of(std::begin(ventana.mapa), std::end(ventana.mapa), [](uint8_t b) { return b == 0; });
    if (sinMapa) {
        std::fill(std::begin(ventana.mapa), std::end(ventana.mapa), uint8_t{0xFF});
    }
    std::copy(std::begin(ventana.mapa), std::end(ventana.mapa), std::begin(archivo.mapa));
    archivo.conPautas = conPautas;
    std::copy(&contenido.colores[0], &contenido.colores[0] + 9, &archivo.colores[0]);
    std::copy(&contenido.tabla[0][0], &contenido.tabla[0][0] + 9 * 33, &archivo.tabla[0][0]);
    MostrarDiferencias(Comparar(ventana, archivo), T(TxtVentana), T(TxtArchivo));
}

void MostrarVerificacionParametros(const ImagenParametros& enviada, const ImagenParametros& leida,
                                   const std::vector<int>& direcciones)
{
    LadoComparacion escrito;
    LadoComparacion releido;
    escrito.imagen = enviada;
    releido.imagen = leida;
    // Only what was written is compared: both sides carry just those addresses.
    for (const int a : direcciones) {
        escrito.mapa[a / 8] |= static_cast<uint8_t>(1u << (a % 8));
        releido.mapa[a / 8] |= static_cast<uint8_t>(1u << (a % 8));
    }
    MostrarDiferencias(Comparar(escrito, releido), T(TxtEscrito), T(TxtReleido));
}

void MostrarVerificacionColores(const int32_t enviados[9], const int32_t tablaEnviada[9][33],
                                const int32_t leidos[9], const int32_t tablaLeida[9][33])
{
    LadoComparacion escrito;
    LadoComparacion releido;
    escrito.conPautas = releido.conPautas = true;
    std::copy(enviados, enviados + 9, escrito.colores);
    std::copy(leidos, leidos + 9, releido.colores);
    std::copy(&tablaEnviada[0][0], &tablaEnviada[0][0] + 9 * 33, &escrito.tabla[0][0]);
    std::copy(&tablaLeida[0][0], &tablaLeida[0][0] + 9 * 33, &releido.tabla[0][0]);
    MostrarDiferencias(Comparar(escrito, releido), T(TxtEscrito), T(TxtReleido));
}
