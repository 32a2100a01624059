#include "informe/Informe.h"

#include "app/ModuloKX.h"
#include "flash/CodigoColor.h"
#include "flash/Pautas.h"
#include "flash/Sectores.h"
#include "link/Transaccion.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextOption>
#include <algorithm>
#include <tuple>

namespace {

// String ids of the report's texts.
enum TextoInforme {
    TxtBoton = 2010, TxtTitulo, TxtPregunta, TxtGuardarPdf, TxtImprimir, TxtCancelar, TxtPrograma,
    TxtFecha, TxtPuerto, TxtOrigen, TxtLeidos, TxtCargados, TxtVacia, TxtNoConfirmados, TxtEditados,
    TxtEscritos, TxtEditadoNoEscrito, TxtParametro, TxtValor, TxtUnidad, TxtNota, TxtCelda, TxtCeldas,
    TxtIdentificacion, TxtTablaPautas, TxtFila, TxtColor, TxtSegmentos, TxtNinguno, TxtSinColor,
    TxtSectores, TxtPagina, TxtMarcada, TxtSinMarcar, TxtIndeterminada, TxtSinCampos, TxtGuardado,
    TxtNoEscrito,
};

QString T(int id)
{
    return TextoRecurso(id);
}

// A moment as the report states it: the same in every language, and unambiguous.
QString Momento(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// --- What the report says, gathered from the window ---

struct Bloque {
    enum Tipo { Titulo, Encabezado, Parrafo, Fila, Sectores };
    Tipo tipo = Parrafo;
    QStringList celdas;      // Fila: one text per column; others: celdas[0]
    QList<qreal> columnas;   // Fila: each column's share of the width
    bool cabecera = false;   // Fila: the table's header row, bold on a shade
    int muestra = -1;        // Fila: column whose text follows a colour swatch
    QColor color;            // the swatch's colour
    bool conSiguiente = false;  // kept on one page with the next block
};

const QList<qreal> ColumnasCampos = {0.42, 0.22, 0.10, 0.26};
const QList<qreal> ColumnasCabecera = {0.30, 0.70};
const QList<qreal> ColumnasTablaPautas = {0.08, 0.22, 0.70};

void Encabezado(QList<Bloque>& b, const QString& texto)
{
    Bloque e;
    e.tipo = Bloque::Encabezado;
    e.celdas = {texto};
    e.conSiguiente = true;
    b << e;
}

void Parrafo(QList<Bloque>& b, const QString& texto)
{
    Bloque p;
    p.celdas = {texto};
    b << p;
}

Bloque Fila(const QList<qreal>& columnas, const QStringList& celdas, bool cabecera = false)
{
    Bloque f;
    f.tipo = Bloque::Fila;
    f.columnas = columnas;
    f.celdas = celdas;
    f.cabecera = cabecera;
    f.conSiguiente = cabecera;
    return f;
}

// The section a field belongs to: the identification group, or a page that has its tab.
QWidget* Contenedor(QWidget* w)
{
    if (Frame1(0) && Frame1(0)->isAncestorOf(w))
        return Frame1(0);
    for (int p = 1; p <= NumeroPestanas(); ++p)
        if (FrameP(p) && FrameP(p)->isAncestorOf(w))
            return FrameP(p);
    return nullptr;
}

// The cells of a field, as one number, most significant cell first.
int64_t SumaCeldas(const FilaMapa& f, const ImagenParametros& img)
{
    int64_t v = 0;
    for (int a = f.primera; a < f.primera + f.celdas; ++a)
        v = v * 256 + img.celda[a];
    return v;
}

// A field that shows what the read or load put there, but cannot show the cells
// themselves (cell 55 = 3 in a two-entry list, a time above 999, a count between two
// steps of the light table): the cells as they are, since they are what a write keeps.
QString CeldasQueNoMuestra(const FilaMapa& f)
{
    const ImagenParametros& base = ImagenBase();
    ImagenParametros prueba = base;
    BorrarCeldas(f, prueba);
    ValorCampo v = LeerCampo(f);
    if (!CodificarCampo(f, v, prueba, SensorSeleccionado()))
        return QString();
    bool igual = true;
    for (int a = f.primera; a < f.primera + f.celdas; ++a)
        igual = igual && prueba.celda[a] == base.celda[a];
    if (igual)
        return QString();
    // Whole numbers as the window writes them: no grouping.
    const QString valor = QString::number(SumaCeldas(f, base));
    if (f.celdas == 1)
        return T(TxtCelda).arg(f.primera).arg(valor);
    return T(TxtCeldas).arg(QStringLiteral("%1-%2").arg(f.primera).arg(f.primera + f.celdas - 1), valor);
}

QString ValorMostrado(const FilaMapa& f)
{
    const ValorCampo v = LeerCampo(f);
    if (f.tipo != TipoCampo::Casilla)
        return v.texto;
    return T(v.marca == 1 ? TxtMarcada : v.marca == 2 ? TxtIndeterminada : TxtSinMarcar);
}

struct CampoInforme {
    const FilaMapa* fila;
    QWidget* contenedor;
    QPoint lugar;  // in the container
};

// Every field the window shows, grouped by container, in reading order: top to bottom,
// the left column of a page before its right one.
QList<CampoInforme> CamposMostrados()
{
    QList<CampoInforme> campos;
    for (const FilaMapa& f : MapaMemoria()) {
        QWidget* w = WidgetCampo(f);
        QWidget* c = w ? Contenedor(w) : nullptr;
        if (c && w->isVisibleTo(c))
            campos.append({&f, c, w->mapTo(c, QPoint(0, 0))});
    }
    // The identification group first, then the pages in their tabs' order.
    auto orden = [](const CampoInforme& a) {
        int seccion = 0;
        for (int p = 1; p <= NumeroPestanas(); ++p)
            if (FrameP(p) == a.contenedor)
                seccion = p;
        const int columna = seccion > 0 && a.lugar.x() >= a.contenedor->width() / 2 ? 1 : 0;
        return std::tuple(seccion, columna, a.lugar.y(), a.lugar.x());
    };
    std::stable_sort(campos.begin(), campos.end(),
                     [&](const CampoInforme& a, const CampoInforme& b) { return orden(a) < orden(b); });
    return campos;
}

QString TituloSeccion(QWidget* contenedor)
{
    if (contenedor == Frame1(0))
        return T(TxtIdentificacion);
    for (int p = 1; p <= NumeroPestanas(); ++p)
        if (FrameP(p) == contenedor)
            return Ventana().TabStrip1->tabText(p - 1);
    return QString();
}

QString Angulo(int32_t e)
{
    return e >= 0 && e <= 359 ? QString::number(e).rightJustified(3, u'0') + u'\u00B0' : QStringLiteral("?");
}

// Each segment of the row as start and end in degrees; an entry without its partner
// shows its partner as "?", as the window shows it alone.
QString SegmentosDeFila(int fila)
{
    QStringList partes;
    for (int k = 1; k <= ColumnasPautas / 2; ++k) {
        const int32_t a = TablaPautas[fila][2 * k - 1];
        const int32_t b = TablaPautas[fila][2 * k];
        const bool hayA = a >= 0 && a <= 359;
        const bool hayB = b >= 0 && b <= 359;
        if (hayA || hayB)
            partes << Angulo(a) + QStringLiteral(" \u2013 ") + Angulo(b);
    }
    return partes.isEmpty() ? T(TxtNinguno) : partes.join(QStringLiteral(", "));
}

QList<Bloque> ContenidoInforme()
{
    QList<Bloque> b;
    Bloque titulo;
    titulo.tipo = Bloque::Titulo;
    titulo.celdas = {T(TxtTitulo)};
    b << titulo;

    const QString version = QStringLiteral("QZL %1.%2.%3")
                                .arg(QZL_VERSION_MAJOR)
                                .arg(QZL_VERSION_MINOR)
                                .arg(QZL_VERSION_PATCH);
    b << Fila(ColumnasCabecera, {T(TxtPrograma), version});
    b << Fila(ColumnasCabecera, {T(TxtFecha), Momento(QDateTime::currentDateTime())});
    b << Fila(ColumnasCabecera, {T(TxtPuerto), QStringLiteral("Com%1:").arg(NumeroPuerto)});

    const ProcedenciaValores& origen = Procedencia();
    Encabezado(b, T(TxtOrigen));
    if (origen.origen == OrigenValores::Ninguno) {
        // Start-up texts are nobody's values: they are not reported as if read.
        b.last().conSiguiente = false;
        Parrafo(b, T(TxtVacia));
        return b;
    }
    if (origen.origen == OrigenValores::Controlador)
        Parrafo(b, T(TxtLeidos).arg(Momento(origen.cuando)));
    else
        Parrafo(b, T(TxtCargados).arg(QDir::toNativeSeparators(origen.archivo), Momento(origen.cuando)));
    if (ValoresVentana != PertenenciaValores::DelControlador && origen.origen == OrigenValores::Controlador)
        Parrafo(b, T(TxtNoConfirmados));
    const bool escritoTrasCambios = origen.ultimaEscritura > 0 && origen.ultimaEscritura > origen.ultimoCambio;
    if (escritoTrasCambios)
        Parrafo(b, T(TxtEscritos).arg(Momento(origen.cuandoEscritura)));

    const QList<CampoInforme> campos = CamposMostrados();
    bool editados = false;
    QList<Bloque> filas;
    QWidget* seccion = nullptr;
    for (const CampoInforme& c : campos) {
        if (c.contenedor != seccion) {
            seccion = c.contenedor;
            Encabezado(filas, TituloSeccion(seccion));
            filas << Fila(ColumnasCampos, {T(TxtParametro), T(TxtValor), T(TxtUnidad), T(TxtNota)}, true);
        }
        const FilaMapa& f = *c.fila;
        QString nota;
        if (CampoSinCambios(f)) {
            nota = CeldasQueNoMuestra(f);
        } else if (!escritoTrasCambios) {
            nota = T(TxtEditadoNoEscrito);
            editados = true;
        }
        // Runs of blanks that push a caption's end to the right in the window say nothing here.
        filas << Fila(ColumnasCampos, {TextoDe(f.etiqueta).simplified(), ValorMostrado(f), TextoDe(f.unidad), nota});
    }
    if (editados)
        Parrafo(b, T(TxtEditados).arg(T(TxtEditadoNoEscrito)));
    if (campos.isEmpty())
        Parrafo(b, T(TxtSinCampos));
    b << filas;

    // The flash table, as the window shows it on its own page.
    if (NumeroPestanas() >= 5) {
        Encabezado(b, T(TxtTablaPautas));
        b << Fila(ColumnasTablaPautas, {T(TxtFila), T(TxtColor), T(TxtSegmentos)}, true);
        for (int r = 1; r <= FilasPautas; ++r) {
            const QString codigo = LColor(r) ? LColor(r)->text() : QString::number(TablaColores[r]);
            Bloque f = Fila(ColumnasTablaPautas,
                            {QString::number(r),
                             FilaConColor(r) ? codigo : codigo + QStringLiteral(" (") + T(TxtSinColor) + u')',
                             SegmentosDeFila(r)});
            if (FilaConColor(r)) {
                f.muestra = 1;
                f.color = ColorDeCodigo(TablaColores[r]);
            }
            b << f;
        }
        Encabezado(b, T(TxtSectores));
        Bloque dibujo;
        dibujo.tipo = Bloque::Sectores;
        b << dibujo;
    }
    return b;
}

// --- Layout: blocks measured with the device's own fonts, laid page by page ---

struct Maqueta {
    QPainter& p;
    qreal pt;  // device units per point
    qreal ancho;
    QFont normal, negrita, titulo, encabezado;

    qreal Margen() const { return 3 * pt; }
    qreal LadoSectores() const { return std::min(ancho * 0.5, 200 * pt); }

    const QFont& FuenteDe(const Bloque& b, bool cabecera) const
    {
        switch (b.tipo) {
        case Bloque::Titulo: return titulo;
        case Bloque::Encabezado: return encabezado;
        default: return cabecera ? negrita : normal;
        }
    }

    static QTextOption Envoltura()
    {
        // A word too long for its column breaks inside rather than being cut.
        QTextOption o;
        o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        return o;
    }

    qreal AltoTexto(const QFont& fuente, const QString& texto, qreal w) const
    {
        p.setFont(fuente);
        return p.boundingRect(QRectF(0, 0, w, 1e7), texto.isEmpty() ? QStringLiteral(" ") : texto, Envoltura())
            .height();
    }

    qreal AnchoCelda(const Bloque& b, int i) const { return b.columnas[i] * ancho - 2 * Margen(); }
    qreal Muestra() const { return 10 * pt; }

    qreal Alto(const Bloque& b) const
    {
        switch (b.tipo) {
        case Bloque::Titulo:
            return AltoTexto(titulo, b.celdas.value(0), ancho) + 8 * pt;
        case Bloque::Encabezado:
            return AltoTexto(encabezado, b.celdas.value(0), ancho) + 12 * pt;
        case Bloque::Parrafo:
            return AltoTexto(normal, b.celdas.value(0), ancho) + 4 * pt;
        case Bloque::Fila: {
            qreal alto = 0;
            for (int i = 0; i < b.celdas.size(); ++i) {
                const qreal w = AnchoCelda(b, i) - (i == b.muestra ? Muestra() + 4 * pt : 0);
                alto = std::max(alto, AltoTexto(FuenteDe(b, b.cabecera), b.celdas[i], w));
            }
            return alto + 2 * Margen();
        }
        case Bloque::Sectores:
            return LadoSectores() + 4 * pt;
        }
        return 0;
    }

    void Pintar(const Bloque& b, qreal y) const
    {
        const qreal h = Alto(b);
        switch (b.tipo) {
        case Bloque::Titulo:
        case Bloque::Encabezado: {
            p.setFont(FuenteDe(b, false));
            const qreal arriba = b.tipo == Bloque::Encabezado ? 8 * pt : 0;
            p.setPen(Qt::black);
            p.drawText(QRectF(0, y + arriba, ancho, h - arriba), b.celdas.value(0), Envoltura());
            return;
        }
        case Bloque::Parrafo:
            p.setFont(normal);
            p.setPen(Qt::black);
            p.drawText(QRectF(0, y, ancho, h), b.celdas.value(0), Envoltura());
            return;
        case Bloque::Fila: {
            if (b.cabecera)
                p.fillRect(QRectF(0, y, ancho, h), QColor(225, 225, 225));
            p.setPen(QPen(QColor(160, 160, 160), 0.5 * pt));
            p.drawLine(QPointF(0, y + h), QPointF(ancho, y + h));
            qreal x = 0;
            for (int i = 0; i < b.celdas.size(); ++i) {
                qreal izquierda = x + Margen();
                if (i == b.muestra) {
                    const QRectF cuadro(izquierda, y + Margen() + pt, Muestra(), Muestra());
                    p.setPen(QPen(Qt::black, 0.5 * pt));
                    p.setBrush(b.color);
                    p.drawRect(cuadro);
                    p.setBrush(Qt::NoBrush);
                    izquierda += Muestra() + 4 * pt;
                }
                p.setFont(FuenteDe(b, b.cabecera));
                p.setPen(Qt::black);
                p.drawText(QRectF(izquierda, y + Margen(), x + b.columnas[i] * ancho - Margen() - izquierda, h),
                           b.celdas[i], Envoltura());
                x += b.columnas[i] * ancho;
            }
            return;
        }
        case Bloque::Sectores: {
            const qreal lado = LadoSectores();
            // Vectors, in the window's own drawing; black lines on white paper.
            PintarSectores(p, QRectF((ancho - lado) / 2, y, lado, lado), Qt::black, QColor(90, 90, 90), 0.75 * pt);
            return;
        }
        }
    }
};

}  // namespace

int PintarInforme(QPagedPaintDevice& dispositivo)
{
    QPainter p;
    if (!p.begin(&dispositivo))
        return 0;
    const QList<Bloque> bloques = ContenidoInforme();

    const qreal pt = dispositivo.logicalDpiY() / 72.0;
    Maqueta m{p, pt, static_cast<qreal>(dispositivo.width()), {}, {}, {}, {}};
    m.normal = QFont(QStringLiteral("Liberation Sans"));
    m.normal.setPointSizeF(9);
    m.negrita = m.normal;
    m.negrita.setBold(true);
    m.titulo = m.negrita;
    m.titulo.setPointSizeF(16);
    m.encabezado = m.negrita;
    m.encabezado.setPointSizeF(11);

    // The foot of each page holds its number; the blocks fill what is above it.
    QFont pie = m.normal;
    pie.setPointSizeF(8);
    const qreal altoPie = m.AltoTexto(pie, QStringLiteral("0"), m.ancho) + 6 * pt;
    const qreal altoUtil = dispositivo.height() - altoPie;

    // Pages of (block, top) pairs. A block never splits; a heading or a table's header
    // row moves to the next page with the block after it.
    QList<QList<std::pair<int, qreal>>> paginas(1);
    qreal y = 0;
    for (int i = 0; i < bloques.size(); ++i) {
        qreal necesario = m.Alto(bloques[i]);
        for (int j = i; j + 1 < bloques.size() && bloques[j].conSiguiente; ++j)
            necesario += m.Alto(bloques[j + 1]);
        if (y > 0 && y + std::min(necesario, altoUtil) > altoUtil) {
            paginas.append(QList<std::pair<int, qreal>>{});
            y = 0;
        }
        paginas.last().append({i, y});
        y += m.Alto(bloques[i]);
    }

    const QString titulo = T(TxtTitulo);
    for (int n = 0; n < paginas.size(); ++n) {
        if (n > 0 && !dispositivo.newPage())
            break;
        for (const auto& [i, arriba] : paginas[n])
            m.Pintar(bloques[i], arriba);
        p.setFont(pie);
        p.setPen(Qt::black);
        const QRectF franja(0, dispositivo.height() - altoPie + 6 * pt, m.ancho, altoPie - 6 * pt);
        p.drawText(franja, Qt::AlignLeft | Qt::AlignTop, titulo);
        p.drawText(franja, Qt::AlignRight | Qt::AlignTop,
                   T(TxtPagina).arg(n + 1).arg(paginas.size()));
    }
    p.end();
    return static_cast<int>(paginas.size());
}

QString NombrePropuestoInforme(const QDate& dia)
{
    QString numero;
    for (const QChar c : Ventana().TNumeroID->text())
        if (c.isDigit())
            numero += c;
    if (numero.isEmpty())
        numero = QStringLiteral("0");
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(carpeta).filePath(
        QStringLiteral("QZL_ID%1_%2.pdf").arg(numero, dia.toString(QStringLiteral("yyyy-MM-dd"))));
}

QPageSize::PageSizeId PapelLocal()
{
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

static void PrepararPagina(QPagedPaintDevice& d, QPageSize::PageSizeId papel)
{
    d.setPageLayout(QPageLayout(QPageSize(papel), QPageLayout::Portrait, QMarginsF(18, 16, 18, 14),
                                QPageLayout::Millimeter));
}

bool EscribirInformePdf(const QString& ruta, QPageSize::PageSizeId papel, QString& error)
{
    // Written beside and renamed over: a failed report leaves an older file whole.
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly)) {
        error = archivo.errorString();
        return false;
    }
    int paginas = 0;
    {
        QPdfWriter pdf(&archivo);
        pdf.setTitle(T(TxtTitulo));
        pdf.setCreator(QStringLiteral("QZL %1.%2.%3").arg(QZL_VERSION_MAJOR).arg(QZL_VERSION_MINOR).arg(QZL_VERSION_PATCH));
        pdf.setResolution(600);
        PrepararPagina(pdf, papel);
        paginas = PintarInforme(pdf);
    }
    if (paginas == 0) {
        archivo.cancelWriting();
        error = QStringLiteral("PDF");
        return false;
    }
    if (!archivo.commit()) {
        error = archivo.errorString();
        return false;
    }
    return true;
}

static void GuardarInformePdf()
{
    QString ruta = DialogoGuardarArchivo(QStringLiteral("PDF (*.pdf)"),
                                         NombrePropuestoInforme(QDate::currentDate()));
    if (ruta.isEmpty())
        return;
    if (QFileInfo(ruta).suffix().isEmpty())
        ruta += QStringLiteral(".pdf");
    QString error;
    if (!EscribirInformePdf(ruta, PapelLocal(), error)) {
        MsgBox(T(TxtNoEscrito).arg(error), QMessageBox::Critical);
        return;
    }
    Panel1(T(TxtGuardado));
}

static void ImprimirInforme()
{
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setDocName(T(TxtTitulo));
    PrepararPagina(impresora, PapelLocal());
    if (!DialogoImprimir(impresora))
        return;
    if (PintarInforme(impresora) == 0)
        MsgBox(T(TxtNoEscrito).arg(impresora.printerName()), QMessageBox::Critical);
}

void CInforme_Click()
{
    if (OperacionEnCurso())
        return;
    switch (DialogoEleccion(T(TxtPregunta), {T(TxtGuardarPdf), T(TxtImprimir), T(TxtCancelar)}, T(TxtTitulo))) {
    case 0: GuardarInformePdf(); break;
    case 1: ImprimirInforme(); break;
    default: break;
    }
}
