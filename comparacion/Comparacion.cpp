#include "comparacion/Comparacion.h"

#include "app/ModuloKX.h"
#include "flash/Pautas.h"
#include "params/Campos.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"

#include <QGroupBox>
#include <QTabWidget>

#include <algorithm>

constexpr int TxtCelda = 2031;
constexpr int TxtCeldas = 2032;
constexpr int TxtIdentificacion = 2033;
constexpr int TxtTablaPautas = 2034;
constexpr int TxtFila = 2035;
constexpr int TxtColor = 2036;
constexpr int TxtMarcada = 2042;
constexpr int TxtSinMarcar = 2043;
constexpr int TxtIndeterminada = 2044;
constexpr int TxtResumen = 2053;
constexpr int TxtCeldaSinCampo = 2062;
constexpr int TxtNoPresente = 2063;

static QString T(int id)
{
    return TextoRecurso(id);
}

static int64_t SumaCeldas(const FilaMapa& f, const ImagenParametros& img)
{
    int64_t v = 0;
    for (int a = f.primera; a < f.primera + f.celdas; ++a)
        v = v * 256 + img.celda[a];
    return v;
}

static QString Crudo(const FilaMapa& f, const ImagenParametros& img)
{
    if (f.celdas == 1)
        return T(TxtCelda).arg(f.primera).arg(img.celda[f.primera]);
    // The identifier's sixteen characters read better one by one than as one sum.
    QStringList valores;
    if (f.celdas > 3) {
        for (int a = f.primera; a < f.primera + f.celdas; ++a)
            valores << QString::number(img.celda[a]);
    } else {
        valores << QString::number(SumaCeldas(f, img));
    }
    return T(TxtCeldas).arg(QStringLiteral("%1-%2").arg(f.primera).arg(f.primera + f.celdas - 1),
                            valores.join(QLatin1Char(' ')));
}

QString TextoValorCampo(const FilaMapa& f, const ImagenParametros& img)
{
    const int sensor = img.celda[CeldaSensorLuz];
    ValorCampo v;
    v.indice = -1;  // a list value that selects nothing stays "no entry"
    if (!DecodificarCampo(f, img, v, sensor))
        return Crudo(f, img);
    QString texto;
    switch (f.tipo) {
    case TipoCampo::Texto:
        texto = v.texto;
        break;
    case TipoCampo::Lista:
        if (const Enumeracion* e = EnumeracionDe(QLatin1String(f.campo))) {
            const QStringList entradas = EntradasLista(*e);
            if (v.indice >= 0 && v.indice < entradas.size())
                texto = entradas[v.indice];
        }
        break;
    case TipoCampo::Casilla:
        texto = T(v.marca == 1 ? TxtMarcada : v.marca == 2 ? TxtIndeterminada : TxtSinMarcar);
        break;
    }
    // What the window would show, encoded back: other cells mean the window cannot show
    // these, and the technician must see what the controller really holds.
    ImagenParametros prueba = img;
    BorrarCeldas(f, prueba);
    ValorCampo vuelta = v;
    bool fiel = CodificarCampo(f, vuelta, prueba, sensor);
    for (int a = f.primera; fiel && a < f.primera + f.celdas; ++a)
        fiel = prueba.celda[a] == img.celda[a];
    if (fiel && !texto.isEmpty())
        return texto;
    return texto.isEmpty() ? Crudo(f, img) : texto + QStringLiteral(" (") + Crudo(f, img) + QLatin1Char(')');
}

// The page a field is on, as its tab reads, or the identification group.
static QString PaginaDeCampo(const FilaMapa& f)
{
    QWidget* w = Control(QLatin1String(f.campo));
    if (!w)
        return QString();
    if (Frame1(0) && Frame1(0)->isAncestorOf(w))
        return T(TxtIdentificacion);
    for (int p = 1; p <= 6; ++p) {
        QGroupBox* pagina = FrameP(p);
        if (pagina && pagina->isAncestorOf(w))
            return p <= NumeroPestanas() ? Ventana().TabStrip1->tabText(p - 1) : pagina->title();
    }
    return QString();
}

static bool CeldasIguales(const FilaMapa& f, const ImagenParametros& a, const ImagenParametros& b)
{
    for (int c = f.primera; c < f.primera + f.celdas; ++c)
        if (a.celda[c] != b.celda[c])
            return false;
    return true;
}

static QString EntradasDistintas(const int32_t fila[33], const int32_t otra[33])
{
    QStringList partes;
    for (int c = 1; c <= ColumnasPautas; ++c)
        if (fila[c] != otra[c])
            partes << QStringLiteral("%1: %2").arg(c).arg(fila[c]);
    return partes.join(QStringLiteral("; "));
}

ResultadoComparacion Comparar(const LadoComparacion& ventana, const LadoComparacion& otro)
{
    ResultadoComparacion r;
    auto anotar = [&r](bool igual, FilaDiferencia fila) {
        ++r.comparados;
        if (igual)
            ++r.iguales;
        else
            r.filas.push_back(std::move(fila));
    };
    for (const FilaMapa& f : MapaMemoria()) {
        const bool enVentana = PresenteEnMapa(ventana.mapa, f.primera);
        const bool enOtro = PresenteEnMapa(otro.mapa, f.primera);
        if (!enVentana && !enOtro)
            continue;
        const bool igual = enVentana && enOtro && CeldasIguales(f, ventana.imagen, otro.imagen);
        if (igual) {
            anotar(true, {});
            continue;
        }
        anotar(false, {PaginaDeCampo(f), TextoDe(f.etiqueta),
                       enVentana ? TextoValorCampo(f, ventana.imagen) : T(TxtNoPresente),
                       enOtro ? TextoValorCampo(f, otro.imagen) : T(TxtNoPresente), TextoDe(f.unidad)});
    }
    for (int a = 0; a < CeldasParametros; ++a) {
        if (FilaDeCelda(a))
            continue;
        const bool enVentana = PresenteEnMapa(ventana.mapa, a);
        const bool enOtro = PresenteEnMapa(otro.mapa, a);
        if (!enVentana && !enOtro)
            continue;
        const bool igual = enVentana && enOtro && ventana.imagen.celda[a] == otro.imagen.celda[a];
        anotar(igual, {QString(), T(TxtCeldaSinCampo).arg(a),
                       enVentana ? QString::number(ventana.imagen.celda[a]) : T(TxtNoPresente),
                       enOtro ? QString::number(otro.imagen.celda[a]) : T(TxtNoPresente), QString()});
    }
    if (ventana.conPautas && otro.conPautas) {
        for (int fila = 1; fila <= FilasPautas; ++fila) {
            const bool igual = std::equal(ventana.tabla[fila] + 1, ventana.tabla[fila] + ColumnasPautas + 1,
                                          otro.tabla[fila] + 1);
            anotar(igual, {T(TxtTablaPautas), T(TxtFila) + QLatin1Char(' ') + QString::number(fila),
                           EntradasDistintas(ventana.tabla[fila], otro.tabla[fila]),
                           EntradasDistintas(otro.tabla[fila], ventana.tabla[fila]), QString()});
        }
        for (int fila = 1; fila <= FilasPautas; ++fila) {
            anotar(ventana.colores[fila] == otro.colores[fila],
                   {T(TxtTablaPautas), T(TxtColor) + QLatin1Char(' ') + QString::number(fila),
                    QString::number(ventana.colores[fila]), QString::number(otro.colores[fila]), QString()});
        }
    }
    return r;
}

bool LadoVentana(LadoComparacion& lado, bool conPautas, QString& error)
{
    if (const FilaMapa* f = CodificarVentana(lado.imagen, false)) {
        // The save's own words for a field that holds no number.
        error = QStringLiteral("Type mismatch: %1 \"%2\"").arg(TextoDe(f->etiqueta), LeerCampo(*f).texto);
        return false;
    }
    std::copy(std::begin(MapaParametros), std::end(MapaParametros), std::begin(lado.mapa));
    lado.conPautas = conPautas;
    for (int fila = 1; fila <= FilasPautas; ++fila) {
        lado.colores[fila] = TablaColores[fila];
        for (int c = 1; c <= ColumnasPautas; ++c)
            lado.tabla[fila][c] = TablaPautas[fila][c];
    }
    return true;
}

QString TextoResumen(const ResultadoComparacion& r)
{
    return T(TxtResumen).arg(r.comparados).arg(r.iguales).arg(r.filas.size());
}
