#include "params/Catalogo.h"

#include "app/ModuloKX.h"
#include "params/TablaLux.h"
#include "ui/Idioma.h"

#include <algorithm>
#include <limits>

namespace {

using enum TipoCampo;
using enum Fuente;
using enum Preparacion;
using enum Disposicion;
using enum Lectura;
using enum Visibilidad;

constexpr FilaMapa Filas[] = {
    // Rotation: user speeds and the reducer
    {.primera = 0, .celdas = 3, .campo = "TVelocidadUsuario1", .etiqueta = {1420}, .unidad = {1219},
     .escala = 10000, .disposicion = Bits24, .lectura = Escalada, .formato = Formato::Cuatro,
     .label = 2, .labelUnidades = 0},
    {.primera = 3, .celdas = 3, .campo = "TVelocidadUsuario2", .etiqueta = {1421}, .unidad = {1219},
     .escala = 10000, .disposicion = Bits24, .lectura = Escalada, .formato = Formato::Cuatro,
     .label = 26, .labelUnidades = 4},
    {.primera = 6, .celdas = 3, .campo = "TVelocidadUsuario3", .etiqueta = {1422}, .unidad = {1219},
     .escala = 10000, .disposicion = Bits24, .lectura = Escalada, .formato = Formato::Cuatro,
     .label = 29, .labelUnidades = 5},
    {.primera = 9, .celdas = 3, .campo = "TVelocidadUsuario4", .etiqueta = {1423}, .unidad = {1219},
     .escala = 10000, .disposicion = Bits24, .lectura = Escalada, .formato = Formato::Cuatro,
     .label = 32, .labelUnidades = 6},
    {.primera = 12, .celdas = 3, .campo = "TRelacionReductor", .etiqueta = {1424},
     .escala = 100, .disposicion = Bits24, .lectura = Escalada, .formato = Formato::Dos,
     .label = 28, .fabrica = true},
    {.primera = 15, .celdas = 2, .campo = "TPulsosRevolucion", .etiqueta = {1425},
     .fuente = Prefijo, .disposicion = Bits16, .label = 33, .fabrica = true},

    // Light levels and lamp delays
    {.primera = 17, .celdas = 2, .campo = "TLuxON", .etiqueta = {1110}, .unidad = {1220},
     .fuente = Prefijo, .luz = true, .disposicion = Bits16, .lectura = Luz,
     .label = 18, .labelUnidades = 1, .campoCuentas = "TLuxONAD"},
    {.primera = 19, .celdas = 2, .campo = "TLuxOFF", .etiqueta = {1111}, .unidad = {1220},
     .luz = true, .disposicion = Bits16, .lectura = Luz,
     .label = 19, .labelUnidades = 2, .campoCuentas = "TLuxOFFAD"},
    {.primera = 21, .celdas = 2, .campo = "TTestFotocelula", .etiqueta = {1112}, .unidad = {1221},
     .escala = 10, .disposicion = Bits16, .lectura = Escalada, .formato = Formato::UnoDecimal,
     .label = 4, .labelUnidades = 3},
    {.primera = 23, .celdas = 2, .campo = "TLuxLamparaFundida", .etiqueta = {1401}, .unidad = {1220},
     .luz = true, .disposicion = Bits16, .lectura = Luz, .label = 5, .labelUnidades = 13},
    {.primera = 25, .celdas = 2, .campo = "TRetardoLamparaFundida", .etiqueta = {1410},
     .unidad = {1221}, .escala = 10, .disposicion = Bits16, .lectura = Escalada,
     .formato = Formato::UnoDecimal, .label = 8, .labelUnidades = 14},
    {.primera = 27, .campo = "ComboTipoCambiador", .tipo = Lista, .etiqueta = {1402},
     .fuente = Indice, .lectura = ListaIgnora, .label = 11, .fabrica = true},
    {.primera = 28, .celdas = 2, .campo = "TTiempoLampara1", .etiqueta = {1409},
     .unidad = {0, "Seg."}, .escala = 10, .disposicion = Bits16, .lectura = Escalada,
     .formato = Formato::UnoDecimal, .label = 36, .labelUnidades = 11},
    {.primera = 30, .celdas = 2, .campo = "TTiempoLampara2", .etiqueta = {1407},
     .unidad = {0, "Seg."}, .escala = 10, .disposicion = Bits16, .lectura = Escalada,
     .formato = Formato::UnoDecimal, .label = 31, .labelUnidades = 8},
    {.primera = 32, .celdas = 2, .campo = "TTiempoFalloRed", .etiqueta = {1408},
     .unidad = {0, "Seg."}, .escala = 10, .disposicion = Bits16, .lectura = Escalada,
     .formato = Formato::UnoDecimal, .label = 34, .labelUnidades = 9},
    {.primera = 34, .celdas = 2, .campo = "TTiempoRetornoRed", .etiqueta = {1411},
     .unidad = {0, "Seg."}, .escala = 10, .disposicion = Bits16, .lectura = Escalada,
     .formato = Formato::UnoDecimal, .label = 35, .labelUnidades = 10},
    {.primera = 36, .celdas = 2, .campo = "TFotocelulaInterior", .etiqueta = {1406},
     .unidad = {0, "Seg."}, .escala = 10, .disposicion = Bits16, .lectura = Escalada,
     .formato = Formato::UnoDecimal, .label = 30, .labelUnidades = 7},
    {.primera = 38, .campo = "ComboTipoLampara1", .tipo = Lista, .etiqueta = {1403},
     .fuente = Indice, .lectura = ListaAcotada, .label = 12},
    {.primera = 39, .campo = "ComboTipoLampara2", .tipo = Lista, .etiqueta = {1404},
     .fuente = Indice, .lectura = ListaAcotada, .label = 13},
    {.primera = 40, .campo = "ComboLamparaPrincipal", .tipo = Lista, .etiqueta = {1405},
     .fuente = Indice, .lectura = ListaAcotada, .label = 20},
    {.primera = 41, .campo = "ComboSensorLuz", .tipo = Lista, .etiqueta = {1480},
     .fuente = Indice, .lectura = ListaAcotada, .label = 0},

    // LED lantern, second port, motor
    {.primera = 42, .celdas = 2, .campo = "TMaxConsumoLed", .etiqueta = {0, "Max. Int. Led"},
     .unidad = {0, "A"}, .escala = 100, .disposicion = Bits16, .lectura = Escalada,
     .formato = Formato::Fijo, .label = 6, .labelUnidades = 15},
    {.primera = 44, .celdas = 2, .campo = "TMinConsumoLed", .etiqueta = {0, "Min. Int. Led"},
     .unidad = {0, "A"}, .escala = 100, .disposicion = Bits16, .lectura = Escalada,
     .formato = Formato::Fijo, .label = 1, .labelUnidades = 16},
    {.primera = 46, .campo = "ComboFuncion2Puerto", .tipo = Lista, .etiqueta = {1470},
     .fuente = Indice, .lectura = ListaAcotada, .label = 27},
    {.primera = 47, .celdas = 2, .campo = "TTiempoAceleracion", .etiqueta = {1426}, .unidad = {1221},
     .escala = 10, .disposicion = Bits16, .lectura = Escalada, .formato = Formato::UnoDecimal,
     .label = 37, .labelUnidades = 18},
    {.primera = 49, .campo = "TPWMLed", .etiqueta = {1473}, .unidad = {0, "%"},
     .disposicion = Bajo8, .label = 39, .labelUnidades = 20},
    {.primera = 50, .campo = "ComboTipoMotor", .tipo = Lista, .etiqueta = {1427},
     .fuente = Indice, .lectura = ListaAcotada, .label = 40},
    {.primera = 51, .celdas = 2, .campo = "TMargenErrorMotor2", .etiqueta = {1435}, .unidad = {1219},
     .escala = 100, .disposicion = Bits16, .lectura = Escalada, .formato = Formato::DosDecimales,
     .label = 42, .labelUnidades = 22},
    {.primera = 53, .campo = "TVueltasError", .etiqueta = {1434}, .unidad = {0, "RPM"},
     .disposicion = Bajo8, .label = 41, .labelUnidades = 21},
    {.primera = 54, .campo = "CheckBalizaEmergencia", .tipo = Casilla, .etiqueta = {1412},
     .fuente = Marca, .lectura = Bit0},
    {.primera = 55, .campo = "cmbModofuncionamiento", .tipo = Lista, .etiqueta = {1058},
     .fuente = Indice, .lectura = ListaAcotada, .label = 46},
    {.primera = 56, .campo = "txtAtenuacionNocturna", .etiqueta = {1057}, .unidad = {0, "%"},
     .fuente = Prefijo, .preparacion = SoloSiEsNumero, .label = 16, .labelExtra = 45},
    {.primera = 57, .celdas = 2, .campo = "txtTiempoDe", .etiqueta = {1059}, .unidad = {0, "Min."},
     .preparacion = CeroSiNoEsNumero, .disposicion = DivMod256, .lectura = Tope999,
     .label = 47, .labelExtra = 48},
    {.primera = 59, .campo = "txtDuracionPulsoSincronismo",
     .etiqueta = {0, "Pulso sincronismo                      (0-255s.)"},
     .fuente = Prefijo, .preparacion = CeroSiNoEsNumero,
     .etiquetaPropia = "lblDuracionpulsosincronismo"},
    {.primera = 60, .campo = "txtGrupoLeds", .etiqueta = {2003}, .fuente = Prefijo,
     .preparacion = CeroSiNoEsNumeroTope255, .etiquetaPropia = "lblGrupoLeds"},

    // Segmented light (page 5); the identification does not switch these
    {.primera = 221, .celdas = 2, .campo = "TGradosOffset", .etiqueta = {0, "Grados Offset"},
     .fuente = Prefijo, .disposicion = Bits16, .visibilidad = NoSeCambia, .label = 25},
    {.primera = 223, .campo = "TLuminosidadLeds", .etiqueta = {0, "Luminosidad Leds"},
     .fuente = Prefijo, .visibilidad = NoSeCambia, .label = 23, .labelUnidades = 19},
    {.primera = 224, .campo = "TDientesDisco", .etiqueta = {0, "Dientes disco"},
     .fuente = Prefijo, .visibilidad = NoSeCambia, .label = 9},

    // Identification group
    {.primera = 231, .celdas = 16, .campo = "TIdentificacion", .etiqueta = {1206},
     .fuente = Identificador, .disposicion = Identificador16, .lectura = Caracteres,
     .visibilidad = CualquierCelda, .label = 3},
    // Manufacturing data: read, never written to the controller. The encoding
    // given here is what the parameter file stores for them.
    {.primera = 247, .campo = "TSemanaFabricacion", .etiqueta = {1209}, .fuente = Prefijo,
     .disposicion = Bajo8, .seEnvia = false, .label = 22, .fabrica = true},
    {.primera = 248, .campo = "TAnoFabricacion", .etiqueta = {1208}, .fuente = Prefijo,
     .disposicion = Bajo8, .seEnvia = false, .label = 21, .fabrica = true},
    {.primera = 249, .celdas = 2, .campo = "TNumeroFabricacion", .etiqueta = {1207},
     .fuente = Prefijo, .disposicion = Bits16, .seEnvia = false, .visibilidad = CualquierCelda,
     .label = 10, .fabrica = true},
    {.primera = 251, .campo = "TModeloR", .etiqueta = {1201}, .fuente = Prefijo,
     .disposicion = Bajo8, .seEnvia = false, .label = 38},
    {.primera = 252, .campo = "TVersionFirmwareR", .etiqueta = {1203}, .fuente = Prefijo,
     .disposicion = Bajo8, .seEnvia = false, .label = 15},
    {.primera = 253, .campo = "THardwareR", .etiqueta = {1204}, .fuente = Prefijo,
     .disposicion = Bajo8, .seEnvia = false, .label = 14},
    {.primera = 254, .celdas = 2, .campo = "TNumeroID", .etiqueta = {1205}, .fuente = Prefijo,
     .disposicion = Bits16, .visibilidad = CualquierCelda, .label = 43},
};

constexpr Enumeracion Listas[] = {
    {"ComboTipoCambiador", 27,
     {{0, "RVT06"}, {0, "RVT02"}, {0, "RVT03"}, {0, "LED"}, {0, "KXR"}}, 5},
    {"ComboTipoLampara1", 38, {{0, "DC"}, {0, "AC"}}, 2},
    {"ComboTipoLampara2", 39, {{0, "DC"}, {0, "AC"}}, 2},
    {"ComboLamparaPrincipal", 40, {{0, "0"}, {0, "1"}, {0, "2"}}, 3},
    {"ComboSensorLuz", 41, {{0, "Fotodiodo"}, {1100}}, 2},
    {"ComboFuncion2Puerto", 46, {{1061}, {1471}, {1472}}, 3},
    {"ComboTipoMotor", 50, {{1428}, {1429}}, 2},
    {"cmbModofuncionamiento", 55, {{1055}, {1056}}, 2},
};

// Unsigned sum of the row's cells, most significant first.
int64_t Suma(const FilaMapa& f, const ImagenParametros& img)
{
    const int32_t* c = img.celda + f.primera;
    switch (f.disposicion) {
    case Bits24:
        return int64_t{c[0]} * 65536 + int64_t{c[1]} * 256 + c[2];
    case Bits16:
    case DivMod256:
        return int64_t{c[0]} * 256 + c[1];
    default:
        return c[0];
    }
}

void Guardar(const FilaMapa& f, int32_t v, ImagenParametros& img)
{
    int32_t* c = img.celda + f.primera;
    const uint32_t u = static_cast<uint32_t>(v);
    switch (f.disposicion) {
    case Bits24:
        c[0] = static_cast<int32_t>((u >> 16) & 255);
        c[1] = static_cast<int32_t>((u >> 8) & 255);
        c[2] = static_cast<int32_t>(u & 255);
        break;
    case Bits16:
        c[0] = static_cast<int32_t>((u >> 8) & 255);
        c[1] = static_cast<int32_t>(u & 255);
        break;
    case Bajo8:
        c[0] = static_cast<int32_t>(u & 255);
        break;
    case Entero:
        c[0] = v;
        break;
    case DivMod256:
        c[0] = v / 256;
        c[1] = v % 256;
        break;
    case Identificador16:
        break;  // stored character by character by the caller
    }
}

// The largest number the row's cells hold, or -1 when they take the value as it is
// (whole values, the quotient and remainder cells): those are checked as bytes when sent.
int64_t MaximoCeldas(Disposicion d)
{
    switch (d) {
    case Bits24:
        return 0xFFFFFF;
    case Bits16:
        return 0xFFFF;
    case Bajo8:
        return 0xFF;
    case Entero:
    case DivMod256:
    case Identificador16:
        return -1;
    }
    return -1;
}

int32_t A32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

QString TextoDe(const TextoFijo& t)
{
    if (t.id != 0)
        return TextoRecurso(t.id);
    return t.fijo ? QString::fromUtf8(t.fijo) : QString();
}

bool PresenteEnMapa(const uint8_t mapa[32], int direccion)
{
    if (direccion < 0 || direccion >= CeldasParametros)
        return false;
    const uint8_t bit = static_cast<uint8_t>(1u << (direccion % 8));
    return (mapa[direccion / 8] & bit) == bit;
}

bool ComprobarParametro(int16_t direccion)
{
    return PresenteEnMapa(MapaParametros, direccion);
}

std::span<const FilaMapa> MapaMemoria()
{
    return Filas;
}

const FilaMapa* FilaDeCampo(const QString& campo)
{
    for (const FilaMapa& f : Filas) {
        if (campo == QLatin1String(f.campo))
            return &f;
    }
    return nullptr;
}

const FilaMapa* FilaDeCelda(int direccion)
{
    for (const FilaMapa& f : Filas) {
        if (direccion >= f.primera && direccion < f.primera + f.celdas)
            return &f;
    }
    return nullptr;
}

std::vector<const FilaMapa*> OrdenDecodificacion()
{
    std::vector<const FilaMapa*> orden;
    const FilaMapa* sensor = FilaDeCelda(CeldaSensorLuz);
    orden.push_back(sensor);
    for (const FilaMapa& f : Filas) {
        if (&f != sensor)
            orden.push_back(&f);
    }
    return orden;
}

std::vector<int> DireccionesEscritura()
{
    std::vector<int> d;
    for (int a = 0; a < CeldasParametros; ++a) {
        const FilaMapa* f = FilaDeCelda(a);
        if (f && !f->seEnvia)
            continue;
        if (ComprobarParametro(static_cast<int16_t>(a)))
            d.push_back(a);
    }
    return d;
}

bool CodificarCampo(const FilaMapa& f, ValorCampo& campo, ImagenParametros& img, int tipoSensor)
{
    switch (f.preparacion) {
    case SinCambio:
        break;
    case SoloSiEsNumero:
        if (!EsNumero(campo.texto))
            return true;  // the cell keeps the 0 of a fresh image
        break;
    case CeroSiNoEsNumero:
    case CeroSiNoEsNumeroTope255:
        if (!EsNumero(campo.texto))
            campo.texto = QStringLiteral("0");
        if (f.preparacion == CeroSiNoEsNumeroTope255 && PrefijoNumerico(campo.texto) > 255)
            campo.texto = QStringLiteral("255");
        break;
    }

    int32_t v = 0;
    switch (f.fuente) {
    case Estricta: {
        const std::optional<int32_t> n = ValorEstricto(campo.texto, f.escala);
        if (!n)
            return false;
        v = *n;
        break;
    }
    case Prefijo: {
        const std::optional<int32_t> n = ValorPrefijo(campo.texto);
        if (!n)
            return false;
        v = *n;
        break;
    }
    case Indice:
        v = campo.indice;
        break;
    case Marca:
        v = campo.marca;
        break;
    case Identificador: {
        const QString t = campo.texto.leftJustified(f.celdas, u' ', true);
        const QByteArray octetos = t.toLatin1();  // characters outside the set become '?'
        for (int i = 0; i < f.celdas; ++i)
            img.celda[f.primera + i] = static_cast<uint8_t>(octetos[i]);
        return true;
    }
    }
    if (f.luz)
        v = LuxACuentas(v, tipoSensor);
    // Cut to its low bits a value would reach the controller as another one.
    const int64_t maximo = MaximoCeldas(f.disposicion);
    if (maximo >= 0 && (v < 0 || v > maximo))
        return false;
    Guardar(f, v, img);
    return true;
}

bool DecodificarCampo(const FilaMapa& f, const ImagenParametros& img, ValorCampo& campo,
                      int tipoSensor)
{
    const int64_t v = Suma(f, img);
    switch (f.lectura) {
    case Escalada:
        campo.texto = MostrarValor(v, f.escala, f.formato);
        break;
    case Entera:
        campo.texto = QString::number(v);
        break;
    case Tope999:
        campo.texto = QString::number(std::min<int64_t>(v, 999));
        break;
    case Luz: {
        int32_t cuentas = A32(v);
        const int32_t lux = CuentasALux(cuentas, tipoSensor);
        campo.texto = QString::number(lux);
        campo.textoCuentas = QString::number(cuentas);
        break;
    }
    case ListaAcotada:
    case ListaIgnora: {
        const Enumeracion* e = EnumeracionDe(QLatin1String(f.campo));
        const int ultima = e ? e->cuantas - 1 : 0;
        if (v < -1)
            return false;
        if (v <= ultima)
            campo.indice = static_cast<int>(v);
        else if (f.lectura == ListaAcotada)
            campo.indice = ultima;
        break;
    }
    case Bit0:
        campo.marca = (img.celda[f.primera] & 1) ? 1 : 0;
        break;
    case Caracteres: {
        QString t;
        for (int i = 0; i < f.celdas; ++i) {
            const int32_t c = img.celda[f.primera + i];
            if (c < 0 || c > 255)
                return false;
            t += QChar::fromLatin1(static_cast<char>(c));
        }
        campo.texto = t;
        break;
    }
    }
    return true;
}

std::span<const Enumeracion> Enumeraciones()
{
    return Listas;
}

const Enumeracion* EnumeracionDe(const QString& lista)
{
    for (const Enumeracion& e : Listas) {
        if (lista == QLatin1String(e.lista))
            return &e;
    }
    return nullptr;
}

QStringList EntradasLista(const Enumeracion& e)
{
    QStringList l;
    for (int i = 0; i < e.cuantas; ++i) {
        const EntradaLista& en = e.entradas[i];
        l << (en.id != 0 ? TextoRecurso(en.id) : QString::fromUtf8(en.fija));
    }
    return l;
}

