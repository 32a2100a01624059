#include "historial/Historial.h"

#include "app/ModuloKX.h"
#include "flash/ArchivoQZL.h"
#include "flash/Colores.h"
#include "flash/Pautas.h"
#include "params/Campos.h"
#include "params/Lectura.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <optional>

constexpr int TextoHistorialNoEscrito = 2068;

static QString carpetaFijada;

QString CarpetaHistorial()
{
    if (!carpetaFijada.isEmpty())
        return carpetaFijada;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/history");
}

void FijarCarpetaHistorial(const QString& carpeta)
{
    carpetaFijada = carpeta;
    CarpetasLateralesArchivo = {CarpetaHistorial()};
}

QString NombreArchivoHistorial(const QDateTime& cuando, const ImagenParametros& imagen)
{
    const int id = imagen.celda[254] * 256 + imagen.celda[255];
    return cuando.toString(QStringLiteral("yyyy-MM-dd_HHmmss")) + QStringLiteral("_ID%1.qzl").arg(id);
}

// What this run last read from the controller.
static std::optional<ImagenParametros> ultimaLectura;
struct PautasLeidas {
    int32_t colores[9] = {};
    int32_t tabla[9][33] = {};
};
static std::optional<PautasLeidas> ultimasPautas;
static QString ultimoArchivo;

QString UltimoArchivoHistorial()
{
    return ultimoArchivo;
}

static void Guardar(const ImagenParametros& imagen, const int32_t colores[9], const int32_t tabla[9][33])
{
    const QString carpeta = CarpetaHistorial();
    QString ruta = QDir(carpeta).filePath(NombreArchivoHistorial(QDateTime::currentDateTime(), imagen));
    // Two reads within one second keep both: the second gets a suffix before ".qzl".
    for (int n = 2; QFileInfo::exists(ruta); ++n)
        ruta = QDir(carpeta).filePath(NombreArchivoHistorial(QDateTime::currentDateTime(), imagen).chopped(4)
                                      + QStringLiteral("_%1.qzl").arg(n));
    QString error;
    if (!QDir().mkpath(carpeta) || !EscribirArchivoQZL(ruta, imagen, colores, tabla, error, false)) {
        Panel1(TextoRecurso(TextoHistorialNoEscrito).arg(QDir::toNativeSeparators(carpeta)));
        return;
    }
    ultimoArchivo = ruta;
}

void GuardarLecturaParametros(const ImagenParametros& imagen)
{
    ultimaLectura = imagen;
    if (ultimasPautas)
        Guardar(imagen, ultimasPautas->colores, ultimasPautas->tabla);
    else
        Guardar(imagen, TablaColores, TablaPautas);
}

void GuardarLecturaColores(const int32_t colores[9], const int32_t tabla[9][33])
{
    PautasLeidas p;
    std::copy(colores, colores + 9, p.colores);
    std::copy(&tabla[0][0], &tabla[0][0] + 9 * 33, &p.tabla[0][0]);
    ultimasPautas = p;
    Guardar(ultimaLectura ? *ultimaLectura : ImagenBase(), p.colores, p.tabla);
}

void ConectarHistorial()
{
    AlTerminarLectura = GuardarLecturaParametros;
    AlTerminarLecturaColores = GuardarLecturaColores;
    CarpetasLateralesArchivo = {CarpetaHistorial()};
}
