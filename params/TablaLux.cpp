#include "params/TablaLux.h"

#include "app/ModuloKX.h"

namespace {

struct FilaLux {
    int16_t lux;
    int16_t fotodiodo;
    int16_t fotocelula;
};

// Rows 0 and 1 both hold 0 lux; row 0 is never a conversion's result.
constexpr FilaLux Tabla[FilasTablaLux] = {
    {0, 0, 0},       {0, 0, 969},     {1, 8, 867},     {2, 15, 781},    {5, 27, 633},
    {10, 45, 499},   {15, 61, 424},   {20, 74, 377},   {25, 87, 341},   {30, 97, 316},
    {35, 108, 298},  {40, 117, 278},  {45, 127, 267},  {50, 136, 256},  {55, 146, 242},
    {60, 154, 234},  {65, 163, 228},  {70, 170, 219},  {75, 178, 215},  {80, 186, 209},
    {85, 193, 204},  {90, 199, 200},  {95, 207, 196},  {100, 214, 192}, {105, 220, 189},
    {110, 227, 186}, {120, 239, 181}, {130, 252, 175}, {140, 264, 171}, {150, 276, 168},
    {160, 284, 164}, {170, 297, 161}, {180, 306, 159}, {190, 318, 156}, {200, 330, 154},
    {210, 339, 152}, {220, 348, 150}, {240, 364, 146}, {260, 383, 144}, {280, 402, 140},
    {300, 426, 138}, {320, 451, 136}, {340, 477, 134}, {360, 502, 133}, {380, 524, 131},
    {400, 548, 130}, {420, 577, 129}, {440, 605, 127}, {460, 618, 126}, {480, 627, 125},
    {500, 631, 124}, {520, 635, 123}, {550, 636, 122},
};

constexpr int UltimaFila = FilasTablaLux - 1;

constexpr int32_t LuxMaximo = 550;
constexpr int32_t TopeFotodiodo = 840;
constexpr int32_t TopeFotocelula = 969;

void Acotar(int32_t& v, int32_t tope)
{
    if (v >= tope)
        v = tope;
    if (v <= 0)
        v = 0;
}

const int16_t* ColumnaCuentas(int tipoSensor)
{
    return tipoSensor == SensorFotodiodo ? TablaFotodiodo : TablaFotocelula;
}

}  // namespace

void CargarTablaLux()
{
    for (int i = 0; i < FilasTablaLux; ++i) {
        TablaLux[i] = Tabla[i].lux;
        TablaFotodiodo[i] = Tabla[i].fotodiodo;
        TablaFotocelula[i] = Tabla[i].fotocelula;
    }
}

int32_t LuxACuentas(int32_t& lux, int tipoSensor)
{
    if (tipoSensor != SensorFotodiodo && tipoSensor != SensorFotocelula)
        return 0;
    Acotar(lux, LuxMaximo);
    const int16_t* cuentas = ColumnaCuentas(tipoSensor);
    for (int i = 1; i <= UltimaFila; ++i) {
        if (TablaLux[i] > lux)
            return cuentas[i - 1];
    }
    // The brightest row: 550 lux is a threshold like any other, not darkness.
    return cuentas[UltimaFila];
}

int32_t CuentasALux(int32_t& cuentas, int tipoSensor)
{
    if (tipoSensor == SensorFotodiodo) {
        Acotar(cuentas, TopeFotodiodo);
        for (int i = 1; i <= UltimaFila; ++i) {
            if (TablaFotodiodo[i] > cuentas)
                return TablaLux[i - 1];
        }
        return TablaLux[UltimaFila];  // at or beyond the brightest row's count
    }
    if (tipoSensor == SensorFotocelula) {
        Acotar(cuentas, TopeFotocelula);
        for (int i = 1; i <= UltimaFila; ++i) {
            if (TablaFotocelula[i] < cuentas)
                return TablaLux[i - 1];
        }
        return TablaLux[UltimaFila];  // at or below the brightest row's count
    }
    return 0;
}
