#include "app/ModuloKX.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cmath>

int16_t NumeroPuerto = 1;
int32_t Reservado1 = 0;
int32_t Reservado2 = 0;
QString CodigoIdioma = QStringLiteral("1");
int16_t CodigoServicio = 0;

int32_t CuentaMilisegundo = 0;
uint8_t Reintentos = 0;

uint8_t MapaParametros[32] = {};
PertenenciaValores ValoresVentana = PertenenciaValores::SinIdentificar;

int16_t TablaLux[FilasTablaLux] = {};
int16_t TablaFotodiodo[FilasTablaLux] = {};
int16_t TablaFotocelula[FilasTablaLux] = {};

int32_t TablaPautas[9][33] = {};
int32_t TablaColores[9] = {};

double FactorEsperas = 1.0;

static QString carpetaFijada;

QString CarpetaPrograma()
{
    if (!carpetaFijada.isEmpty())
        return carpetaFijada;
    return QCoreApplication::applicationDirPath();
}

void FijarCarpetaPrograma(const QString& carpeta)
{
    carpetaFijada = carpeta;
}

// A real attempt to create a file: permission bits say nothing of read-only mounts, and
// nothing at all to root.
static bool SePuedeEscribir(const QString& carpeta)
{
    QTemporaryFile prueba(carpeta + QStringLiteral("/.qzl-XXXXXX"));
    return prueba.open();
}

QString CarpetaAjustes()
{
    const QString programa = CarpetaPrograma();
    if (SePuedeEscribir(programa))
        return programa;
    const QString usuario = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    // Created on first use, so that the first rewrite of qzl.ini succeeds and the user
    // finds the folder in which to put a comN link.
    QDir().mkpath(usuario);
    return QDir::toNativeSeparators(usuario);
}

int EsperaMs(int ms)
{
    const double v = std::round(ms * FactorEsperas);
    return v < 1.0 ? 1 : static_cast<int>(v);
}
