#include "flash/Colores.h"

#include "app/ModuloKX.h"
#include "flash/Filtro.h"
#include "flash/FormDibujo.h"
#include "flash/Pautas.h"
#include "flash/Sectores.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "params/Conversiones.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

// A failed byte: the message, a beep and this pause before the next half segment.
static constexpr int PausaFalloMs = 1000;

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
    if (indice < 1 || indice > FilasPautas)
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

static void FalloByte(int offset)
{
    Panel1(QStringLiteral("Reading Error in data ") + QString::number(offset));
    Pitido();
    Retardo(PausaFalloMs);
}

// Opens the port for a transfer; reports a port that cannot be opened.
static bool AbrirPuertoTransferencia()
{
    if (AbrirCom())
        return true;
    Panel1(TextoPuertoNoDisponible(NumeroPuerto));
    return false;
}

void CEscribirColores_Click()
{
    if (OperacionEnCurso())
        return;
    Panel1(QStringLiteral("Segments transmision"));
    if (!AbrirPuertoTransferencia()) {
        HabilitaBotones();
        return;
    }
    for (int i = 1; i <= FilasPautas; ++i)
        TablaColores[i] = CodigoLColor(i);

    int primerFallo = -1;
    for (int s = 1; s <= SegmentosPautas; ++s) {
        const BytesSegmento bytes = CodificarSegmento(s, TablaColores, TablaPautas);
        for (const MitadSegmento& mitad : MitadesSegmento) {
            for (int offset = mitad.primera; offset <= mitad.ultima; ++offset) {
                ComandoQZL comando{};
                comando.Comando = static_cast<uint8_t>(ComandoEscribirSegmento + s);
                comando.Indice = static_cast<uint8_t>(offset);
                comando.Dato = bytes[offset];
                if (EnviarComando(comando).Estado != EstadoRespuesta) {
                    if (primerFallo < 0)
                        primerFallo = offset;
                    FalloByte(offset);
                    break;
                }
                Panel1(TextoProgresoSegmento(s, offset, bytes[offset]));
            }
        }
    }
    Panel1(primerFallo < 0 ? QStringLiteral("Ended")
                           : QStringLiteral("Writing Error in data ") + QString::number(primerFallo));
    CerrarCom();
    HabilitaBotones();
    DoEvents();
}

void CLeerColores_Click()
{
    if (OperacionEnCurso())
        return;
    DeshabilitaBotones();
    if (!AbrirPuertoTransferencia()) {
        HabilitaBotones();
        return;
    }
    // Decoded apart: the table, colours and grid change only when every byte arrived.
    BytesSegmento bytes{};
    int32_t colores[9] = {};
    int32_t tabla[9][33] = {};
    int primerFallo = -1;
    for (int s = 1; s <= SegmentosPautas; ++s) {
        for (const MitadSegmento& mitad : MitadesSegmento) {
            for (int offset = mitad.primera; offset <= mitad.ultima; ++offset) {
                ComandoQZL comando{};
                comando.Comando = static_cast<uint8_t>(ComandoLeerSegmento + s);
                comando.Indice = static_cast<uint8_t>(offset);
                const RespuestaQZL respuesta = EnviarComando(comando);
                if (respuesta.Estado != EstadoRespuesta) {
                    if (primerFallo < 0)
                        primerFallo = offset;
                    FalloByte(offset);
                    break;
                }
                bytes[offset] = respuesta.Dato;
                Panel1(TextoProgresoSegmento(s, offset, respuesta.Dato));
            }
        }
        DecodificarSegmento(s, bytes, colores, tabla);
    }
    CerrarCom();
    if (primerFallo < 0) {
        Panel1(QStringLiteral("Ended"));
        for (int r = 1; r <= FilasPautas; ++r) {
            TablaColores[r] = colores[r];
            for (int c = 1; c <= ColumnasPautas; ++c)
                TablaPautas[r][c] = tabla[r][c];
        }
        RellenarColores();
        RedibujaGrid();
    } else {
        Panel1(QStringLiteral("Reading Error in data ") + QString::number(primerFallo));
    }
    HabilitaBotones();
    DoEvents();
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
