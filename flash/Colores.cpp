#include "flash/Colores.h"

#include "app/ModuloKX.h"
#include "flash/Filtro.h"
#include "flash/FormDibujo.h"
#include "flash/Pautas.h"
#include "flash/Sectores.h"
#include "link/JuegoComandos.h"
#include "link/Operacion.h"
#include "params/Conversiones.h"
#include "params/Escritura.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

static int FilaImpar(int segmento)
{
    return 2 * segmento - 1;
}

BytesSegmento CodificarSegmento(int s, const int32_t colores[9], const int32_t tabla[9][33])
{
    BytesSegmento b{};
    for (int mitad = 0; mitad < 2; ++mitad) {
        const int fila = FilaImpar(s) + mitad;
        const int base = MitadesSegmento[mitad].primera;
        const auto color = static_cast<uint32_t>(colores[fila]);
        b[base + 0] = static_cast<uint8_t>(color >> 16);
        b[base + 1] = static_cast<uint8_t>(color >> 8);
        b[base + 2] = static_cast<uint8_t>(color);
        for (int c = 1; c <= ColumnasPautas; ++c) {
            const auto entrada = static_cast<uint32_t>(tabla[fila][c]);
            b[base + 2 * c + 1] = static_cast<uint8_t>(entrada >> 8);
            b[base + 2 * c + 2] = static_cast<uint8_t>(entrada);
        }
    }
    return b;
}

void DecodificarSegmento(int s, const BytesSegmento& b, int32_t colores[9], int32_t tabla[9][33])
{
    for (int mitad = 0; mitad < 2; ++mitad) {
        const int fila = FilaImpar(s) + mitad;
        const int base = MitadesSegmento[mitad].primera;
        colores[fila] = b[base] * 65536 + b[base + 1] * 256 + b[base + 2];
        for (int c = 1; c <= ColumnasPautas; ++c)
            tabla[fila][c] = b[base + 2 * c + 1] * 256 + b[base + 2 * c + 2];
    }
}

static QString Tres(int n)
{
    return QString::number(n).rightJustified(3, QLatin1Char('0'));
}

QString TextoProgresoSegmento(int segmento, int offset, int byte)
{
    return QStringLiteral(" %1 - %2 - %3").arg(segmento).arg(Tres(offset), Tres(byte));
}

void FijarTextoLColor(int indice, int32_t codigo)
{
    if (QLabel* l = LColor(indice)) {
        l->setText(QString::number(codigo));
        l->setAccessibleDescription(l->text());
    }
}

void RellenarColores()
{
    for (int i = 1; i <= FilasPautas; ++i) {
        FijarTextoLColor(i, TablaColores[i]);
        FijarColorCabeceraPautas(i, ColorDeCodigo(TablaColores[i]));
    }
    DibujarSectores();
}

// The colour a label's caption stands for (its numeric prefix).
static int32_t CodigoLColor(int indice)
{
    const QLabel* l = LColor(indice);
    return l ? ValorPrefijo(l->text()).value_or(0) : 0;
}

void LColor_Click(int indice)
{
    // A disabled label still passes its clicks to the filter.
    if (indice < 1 || indice > FilasPautas || TablaPautasBloqueada())
        return;
    QColor elegido;
    if (!DialogoColor(ColorDeCodigo(CodigoLColor(indice)), elegido))
        return;
    const int32_t codigo = CodigoDeColor(elegido);
    FijarColorCabeceraPautas(indice, elegido);
    FijarTextoLColor(indice, codigo);
    TablaColores[indice] = CodigoLColor(indice);
    DibujarSectores();
}

constexpr int TextoCeldasVerificadas = 2065;
constexpr int TextoCeldasDistintas = 2066;
constexpr int TextoRelecturaFallida = 2067;

// A failed byte, in writing as in reading: the rest of its half segment is skipped.
static void FalloByte(Operacion& op, int offset)
{
    op.Fallo(QStringLiteral("Reading Error in data ") + QString::number(offset));
}

// A colour transfer with the table locked from before its first frame to after its last.
static void ConTablaBloqueada(void (*transferencia)())
{
    if (OperacionEnCurso())
        return;
    BloquearTablaPautas(true);
    transferencia();
    BloquearTablaPautas(false);
}

void (*AlDiferirVerificacionColores)(const int32_t enviados[9], const int32_t tablaEnviada[9][33],
                                     const int32_t leidos[9], const int32_t tablaLeida[9][33]) = nullptr;

// The segments just written, read back whole and compared byte by byte.
static void VerificarSegmentos(Operacion& op, const BytesSegmento enviados[SegmentosPautas])
{
    BytesSegmento leidos[SegmentosPautas] = {};
    bool sinVentana = false;
    const int fallo = LeerSegmentosPautas(op, leidos, sinVentana);
    if (sinVentana)
        return;
    if (fallo >= 0) {
        Panel1(TextoRecurso(TextoRelecturaFallida).arg(fallo));
        return;
    }
    int verificadas = 0;
    int distintas = 0;
    for (int s = 0; s < SegmentosPautas; ++s) {
        for (const MitadSegmento& mitad : MitadesSegmento) {
            for (int offset = mitad.primera; offset <= mitad.ultima; ++offset) {
                ++verificadas;
                if (leidos[s][offset] != enviados[s][offset])
                    ++distintas;
            }
        }
    }
    if (distintas == 0) {
        Panel1(TextoRecurso(TextoCeldasVerificadas).arg(verificadas));
        return;
    }
    Panel1(TextoRecurso(TextoCeldasDistintas).arg(distintas));
    int32_t colores[2][9] = {};
    int32_t tabla[2][9][33] = {};
    for (int s = 1; s <= SegmentosPautas; ++s) {
        DecodificarSegmento(s, enviados[s - 1], colores[0], tabla[0]);
        DecodificarSegmento(s, leidos[s - 1], colores[1], tabla[1]);
    }
    if (AlDiferirVerificacionColores && VentanaAbierta())
        AlDiferirVerificacionColores(colores[0], tabla[0], colores[1], tabla[1]);
}

static void EscribirColores()
{
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::EscrituraColores;
    // The buttons stay as they are; the table goes out whole, as a parameter write does.
    opciones.deshabilitarBotones = false;
    opciones.escritura = true;
    Operacion op(opciones);
    if (!op.Activa())
        return;
    Panel1(QStringLiteral("Segments transmision"));
    if (!op.AbrirPuerto())
        return;
    for (int i = 1; i <= FilasPautas; ++i)
        TablaColores[i] = CodigoLColor(i);
    // One table goes out: every segment is encoded before the first frame.
    BytesSegmento segmentos[SegmentosPautas];
    for (int s = 1; s <= SegmentosPautas; ++s)
        segmentos[s - 1] = CodificarSegmento(s, TablaColores, TablaPautas);

    int primerFallo = -1;
    for (int s = 1; s <= SegmentosPautas; ++s) {
        const BytesSegmento& bytes = segmentos[s - 1];
        for (const MitadSegmento& mitad : MitadesSegmento) {
            for (int offset = mitad.primera; offset <= mitad.ultima; ++offset) {
                ComandoQZL comando{};
                comando.Comando = ComandoEscribirSegmentoN(s);
                comando.Indice = static_cast<uint8_t>(offset);
                comando.Dato = bytes[offset];
                RespuestaQZL respuesta;
                // The window stays while a write runs; destroyed outright, nothing is left to write for.
                if (!op.Enviar(comando, respuesta))
                    return;
                if (respuesta.Estado != EstadoRespuesta) {
                    if (primerFallo < 0)
                        primerFallo = offset;
                    FalloByte(op, offset);
                    break;
                }
                Panel1(TextoProgresoSegmento(s, offset, bytes[offset]));
            }
        }
    }
    if (primerFallo < 0 && VerificarTrasEscribir()) {
        VerificarSegmentos(op, segmentos);
        return;
    }
    Panel1(primerFallo < 0 ? QStringLiteral("Ended")
                           : QStringLiteral("Writing Error in data ") + QString::number(primerFallo));
}

int LeerSegmentosPautas(Operacion& op, BytesSegmento bytes[SegmentosPautas], bool& sinVentana)
{
    sinVentana = false;
    int primerFallo = -1;
    for (int s = 1; s <= SegmentosPautas; ++s) {
        for (const MitadSegmento& mitad : MitadesSegmento) {
            for (int offset = mitad.primera; offset <= mitad.ultima; ++offset) {
                ComandoQZL comando{};
                comando.Comando = ComandoLeerSegmentoN(s);
                comando.Indice = static_cast<uint8_t>(offset);
                RespuestaQZL respuesta;
                if (!op.Enviar(comando, respuesta)) {
                    sinVentana = true;
                    return primerFallo;
                }
                if (respuesta.Estado != EstadoRespuesta) {
                    if (primerFallo < 0)
                        primerFallo = offset;
                    FalloByte(op, offset);
                    break;
                }
                bytes[s - 1][offset] = respuesta.Dato;
                Panel1(TextoProgresoSegmento(s, offset, respuesta.Dato));
            }
        }
    }
    return primerFallo;
}

void (*AlTerminarLecturaColores)(const int32_t colores[9], const int32_t tabla[9][33]) = nullptr;

static void LeerColores()
{
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::LecturaColores;
    Operacion op(opciones);
    if (!op.Activa() || !op.AbrirPuerto())
        return;
    // Decoded apart: the table, colours and grid change only when every byte arrived.
    BytesSegmento bytes[SegmentosPautas] = {};
    bool sinVentana = false;
    const int primerFallo = LeerSegmentosPautas(op, bytes, sinVentana);
    // Closed while the reply was awaited: there is no grid left to fill.
    if (sinVentana)
        return;
    int32_t colores[9] = {};
    int32_t tabla[9][33] = {};
    for (int s = 1; s <= SegmentosPautas; ++s)
        DecodificarSegmento(s, bytes[s - 1], colores, tabla);
    op.CerrarPuerto();
    if (primerFallo < 0) {
        Panel1(QStringLiteral("Ended"));
        for (int r = 1; r <= FilasPautas; ++r) {
            TablaColores[r] = colores[r];
            for (int c = 1; c <= ColumnasPautas; ++c)
                TablaPautas[r][c] = tabla[r][c];
        }
        RellenarColores();
        RedibujaGrid();
        if (AlTerminarLecturaColores)
            AlTerminarLecturaColores(colores, tabla);
    } else {
        Panel1(QStringLiteral("Reading Error in data ") + QString::number(primerFallo));
    }
}

void CEscribirColores_Click()
{
    ConTablaBloqueada(EscribirColores);
}

void CLeerColores_Click()
{
    ConTablaBloqueada(LeerColores);
}

void Command2_Click()
{
    FormDibujo* f = FormularioDibujo();
    const double x = f->ScaleWidth() / 2;
    const double y = f->ScaleHeight() / 2;
    f->Circle(x, y, 500, 0);
    const int32_t color = CodigoLColor(1);
    f->Circle(x, y, 100, color);
    f->Circle(x, y, 1500, color);
    MostrarFormDibujo();
}

void ConectarColores()
{
    for (int i = 1; i <= FilasPautas; ++i) {
        QLabel* l = LColor(i);
        if (!l)
            continue;
        // A click is a left press and release over the label; with the focus on it, Space
        // or Enter is the same click.
        l->installEventFilter(new FiltroEventos(l, [i](QObject* objeto, QEvent* e) {
            if (e->type() == QEvent::KeyPress) {
                const auto* k = static_cast<QKeyEvent*>(e);
                const bool pulsa = k->key() == Qt::Key_Space || k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
                if (!pulsa || (k->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
                    return false;
                LColor_Click(i);
                return true;
            }
            if (e->type() != QEvent::MouseButtonRelease)
                return false;
            const auto* m = static_cast<QMouseEvent*>(e);
            const auto* etiqueta = static_cast<QLabel*>(objeto);
            if (m->button() != Qt::LeftButton || !etiqueta->rect().contains(m->position().toPoint()))
                return false;
            LColor_Click(i);
            return true;
        }));
    }
}
