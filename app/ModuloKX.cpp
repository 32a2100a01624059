#include "app/ModuloKX.h"

#include <QCoreApplication>
#include <cmath>

int16_t NumeroPuerto = 1;
int32_t Reservado1 = 0;
int32_t Reservado2 = 0;
QString CodigoIdioma = QStringLiteral("1");
int16_t CodigoServicio = 0;

int32_t CuentaMilisegundo = 0;
uint8_t Reintentos = 0;

uint8_t MapaParametros[32] = {};

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

int EsperaMs(int ms)
{
    const double v = std::round(ms * FactorEsperas);
    return v < 1.0 ? 1 : static_cast<int>(v);
}
