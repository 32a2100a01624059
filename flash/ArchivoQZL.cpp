#include "flash/ArchivoQZL.h"

#include "app/ModuloKX.h"
#include "flash/Colores.h"
#include "flash/Pautas.h"
#include "flash/Sectores.h"
#include "params/Campos.h"
#include "params/Conversiones.h"
#include "params/TablaLux.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSaveFile>
#include <QTableWidget>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

// Fields whose file handling differs from a write or a read.
static constexpr int CeldaBalizaEmergencia = 54;
static constexpr int CeldaAtenuacionNocturna = 56;
static constexpr int CeldaTiempoDe = 57;
static constexpr int AtenuacionMaxima = 255;

static QString Linea(int n)
{
    return QStringLiteral("Line %1").arg(n);
}

QByteArray TextoArchivoQZL(const ImagenParametros& imagen, const int32_t colores[9], const int32_t tabla[9][33],
                           bool progreso)
{
    QByteArray t;
    t.reserve(LineasArchivoQZL * 6);
    auto linea = [&t](int32_t v) {
        char cifras[16];
        const std::to_chars_result r = std::to_chars(cifras, cifras + sizeof cifras, v);
        t.append(cifras, r.ptr - cifras);
        t.append("\r\n", 2);
    };
    for (int n = 0; n < CeldasParametros; ++n) {
        linea(imagen.celda[n]);
        if (progreso)
            Panel1(ConBlanco(n));
    }
    for (int r = 1; r <= FilasPautas; ++r) {
        linea(colores[r]);
        for (int c = 1; c <= ColumnasPautas; ++c)
            linea(tabla[r][c]);
        if (progreso)
            Panel1(ConBlanco(r));
    }
    return t;
}

// A whole number, blanks around it allowed.
static std::optional<int32_t> Entero(QByteArrayView item)
{
    bool ok = false;
    const qlonglong v = item.trimmed().toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

bool InterpretarArchivoQZL(const QByteArray& datos, ContenidoArchivoQZL& contenido, QString& error,
                           int* celdasLeidas)
{
    if (celdasLeidas)
        *celdasLeidas = 0;
    // The lines as views into the text: a line is copied only where a number is read from it.
    std::vector<QByteArrayView> lineas;
    lineas.reserve(LineasArchivoQZL + 1);
    for (qsizetype inicio = 0;;) {
        const qsizetype fin = datos.indexOf('\n', inicio);
        const qsizetype largo = (fin < 0 ? datos.size() : fin) - inicio;
        lineas.emplace_back(datos.constData() + inicio, largo);
        if (fin < 0)
            break;
        inicio = fin + 1;
    }
    if (lineas.back().isEmpty())
        lineas.pop_back();  // the end of the last line, not an item
    if (lineas.size() < size_t(LineasArchivoQZL)) {
        error = QStringLiteral("Input past end of file: the file has %1 of the %2 lines of a parameter file.")
                    .arg(qsizetype(lineas.size()))
                    .arg(LineasArchivoQZL);
        return false;
    }
    lineas.resize(LineasArchivoQZL);  // lines after the last are ignored
    for (QByteArrayView& l : lineas)
        if (l.endsWith('\r'))
            l.chop(1);

    ContenidoArchivoQZL c;
    for (int n = 0; n < CeldasParametros; ++n) {
        const std::optional<int32_t> v = Entero(lineas[n]);
        if (!v) {
            const QByteArrayView inicio = lineas[n].first(std::min<qsizetype>(lineas[n].size(), 40));
            error = Linea(n + 1) + QStringLiteral(": \"%1\" is not a whole number.").arg(QString::fromLatin1(inicio));
            return false;
        }
        c.imagen.celda[n] = *v;
        if (celdasLeidas)
            *celdasLeidas = n + 1;
    }
    int n = PrimeraLineaTablaQZL - 1;
    for (int r = 1; r <= FilasPautas; ++r) {
        const QString color = QString::fromLatin1(lineas[n]);
        const std::optional<int32_t> codigo = ValorPrefijo(color);
        if (!codigo) {
            error = Linea(n + 1) + QStringLiteral(": the colour \"%1\" is too large.").arg(color.left(40));
            return false;
        }
        c.colores[r] = *codigo;
        ++n;
        for (int col = 1; col <= ColumnasPautas; ++col, ++n) {
            const QString item = QString::fromLatin1(lineas[n]);
            const double x = PrefijoNumerico(item);
            const std::optional<int32_t> entrada = EnteroPar(x);
            // 0 degrees is an angle like any other: the grid accepts it and the save writes it as "0",
            // so the load takes it back instead of dropping a segment's start. A text without a number
            // (also read as 0) is still no angle.
            const bool cero = x == 0 && item.trimmed().startsWith(QLatin1Char('0'));
            c.tabla[r][col] = (x > 0 || cero) && x < 361 && entrada && *entrada <= 360 ? *entrada : EntradaVacia;
        }
    }
    contenido = c;
    return true;
}

bool LeerArchivoQZL(const QString& ruta, ContenidoArchivoQZL& contenido, QString& error)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        error = archivo.errorString();
        return false;
    }
    // Read at most one byte past the limit: a device or a huge file is never read whole.
    const QByteArray datos = archivo.read(TamanoMaximoArchivoQZL + 1);
    if (archivo.error() != QFileDevice::NoError) {
        error = archivo.errorString();
        return false;
    }
    if (datos.size() > TamanoMaximoArchivoQZL) {
        error = QStringLiteral("The file is too large for a parameter file (more than %1 bytes).")
                    .arg(TamanoMaximoArchivoQZL);
        return false;
    }
    // The parameter lines read are counted in panel 1 once the text is read, as far as
    // it was read: the reading itself touches nothing outside its result.
    int celdas = 0;
    const bool ok = InterpretarArchivoQZL(datos, contenido, error, &celdas);
    for (int n = 0; n < celdas; ++n)
        Panel1(ConBlanco(n));
    return ok;
}

bool EscribirArchivoQZL(const QString& ruta, const ImagenParametros& imagen, const int32_t colores[9],
                        const int32_t tabla[9][33], QString& error, bool progreso)
{
    // The lines are composed with their progress, then written in one piece.
    const QByteArray texto = TextoArchivoQZL(imagen, colores, tabla, progreso);

    // Unbuffered, so that a short write (a full disk) is seen here: a buffered
    // device can report success for a file that was cut off.
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = archivo.errorString();
        return false;
    }
    qint64 escritos = 0;
    while (escritos < texto.size()) {
        const qint64 n = archivo.write(texto.constData() + escritos, texto.size() - escritos);
        if (n <= 0) {
            error = archivo.error() != QFileDevice::NoError ? archivo.errorString()
                                                            : QStringLiteral("The file could not be written completely.");
            archivo.cancelWriting();
            return false;
        }
        escritos += n;
    }
    if (!archivo.commit()) {
        error = archivo.errorString();
        return false;
    }
    return true;
}

static void MostrarEnCampo(const FilaMapa& f, const QString& texto)
{
    if (auto* t = qobject_cast<QLineEdit*>(WidgetCampo(f)); t && t->text() != texto)
        t->setText(texto);
}

// Whether a load can take the row's cells.
static bool ComprobarFilaArchivo(const FilaMapa& f, const ImagenParametros& imagen, QString& error)
{
    if (f.primera == CeldaBalizaEmergencia) {
        const int32_t v = imagen.celda[f.primera];
        if (v < 0 || v > 2) {
            error = Linea(f.primera + 1) + QStringLiteral(": the check state %1 is not 0, 1 or 2.").arg(v);
            return false;
        }
        return true;
    }
    if (f.primera == CeldaTiempoDe)
        return true;  // any number is taken
    ValorCampo prueba;
    if (!DecodificarCampo(f, imagen, prueba, SensorFotodiodo)) {
        error = Linea(f.primera + 1) + QStringLiteral(": the value does not fit the field %1.")
                                           .arg(TextoDe(f.etiqueta));
        return false;
    }
    return true;
}

bool CodificarVentanaArchivo(ImagenParametros& imagen, QString& error)
{
    // As a write: what the last read or load put in the window keeps its cells.
    imagen = ImagenBase();
    const int sensor = SensorSeleccionado();
    for (const FilaMapa& f : MapaMemoria()) {
        // A read's cell the file cannot hold as it stands (a check box cell above 2) is
        // stored as the field shows it.
        QString noCabe;
        if (CampoSinCambios(f) && ComprobarFilaArchivo(f, imagen, noCabe))
            continue;
        BorrarCeldas(f, imagen);
        ValorCampo v = LeerCampo(f);
        const QString antes = v.texto;
        if (f.primera == CeldaAtenuacionNocturna && EsNumero(v.texto)) {
            const std::optional<int32_t> n = ValorPrefijo(v.texto);
            if (!n || *n > AtenuacionMaxima)
                v.texto = QStringLiteral("100");
        }
        const bool ok = CodificarCampo(f, v, imagen, sensor);
        if (f.tipo == TipoCampo::Texto && v.texto != antes)
            MostrarEnCampo(f, v.texto);
        if (!ok) {
            error = QStringLiteral("Type mismatch: %1 \"%2\"").arg(TextoDe(f.etiqueta), v.texto);
            return false;
        }
    }
    return true;
}

// Rows the load restores, in its order: the light sensor kind before the light levels,
// the changer type (after which window events run) before the lamp fields.
struct TramoCarga {
    int primera;
    int ultima;
};
static constexpr TramoCarga TramosCarga[] = {
    {0, 16}, {41, 41}, {17, 26}, {27, 27}, {28, 40}, {42, 60}, {221, 224}, {231, 246}, {254, 255},
};

template <typename F>
static void PorFilasDeCarga(F&& accion)
{
    for (const TramoCarga& t : TramosCarga)
        for (const FilaMapa& f : MapaMemoria())
            if (f.primera >= t.primera && f.primera <= t.ultima)
                accion(f);
}

bool ComprobarImagenArchivo(const ImagenParametros& imagen, QString& error)
{
    bool ok = true;
    PorFilasDeCarga([&](const FilaMapa& f) {
        if (ok)
            ok = ComprobarFilaArchivo(f, imagen, error);
    });
    return ok;
}

void AplicarArchivoQZL(const ContenidoArchivoQZL& contenido)
{
    // The flash table: accepted entries show as "000", the others empty.
    for (int r = 1; r <= FilasPautas; ++r)
        for (int c = 1; c <= ColumnasPautas; ++c) {
            const int32_t e = contenido.tabla[r][c];
            TablaPautas[r][c] = e;
            FijarTextoCeldaPautas(r, c, e == EntradaVacia ? QString()
                                                          : QString::number(e).rightJustified(3, QLatin1Char('0')));
        }
    MSFlexGridPautas_LeaveCell();
    Ventana().MSFlexGridPautas->viewport()->update();

    for (int r = 1; r <= FilasPautas; ++r)
        TablaColores[r] = contenido.colores[r];
    RellenarColores();
    DibujarSectores();
    Panel1(QStringLiteral("Ended"));

    const ImagenParametros& img = contenido.imagen;
    // A write or save without an edit gives back the file's cells.
    RecordarImagenBase(img);
    PorFilasDeCarga([&](const FilaMapa& f) {
        if (f.primera == CeldaBalizaEmergencia) {
            // The whole value is the check state, greyed included.
            if (auto* c = qobject_cast<QCheckBox*>(WidgetCampo(f)))
                c->setCheckState(img.celda[f.primera] == 1   ? Qt::Checked
                                 : img.celda[f.primera] == 2 ? Qt::PartiallyChecked
                                                             : Qt::Unchecked);
        } else if (f.primera == CeldaTiempoDe) {
            // No 999 limit here: the file keeps the number that was typed.
            MostrarEnCampo(f, QString::number(int64_t{img.celda[f.primera]} * 256 + img.celda[f.primera + 1]));
        } else {
            DecodificarEnVentana(f, img);
        }
        RecordarCampoMostrado(f);
        if (f.primera == CeldaTipoCambiador)
            DoEvents();
    });
    DoEvents();
}

static QString ultimoArchivo;

QString NombrePropuestoArchivoQZL()
{
    return ultimoArchivo.isEmpty() ? QStringLiteral("Parametros.qzl") : ConExtensionQZL(ultimoArchivo);
}

QString ConExtensionQZL(const QString& ruta)
{
    return QFileInfo(ruta).suffix().isEmpty() ? ruta + QStringLiteral(".qzl") : ruta;
}

void GuardarArchivoQZL()
{
    ImagenParametros imagen;
    QString error;
    if (!CodificarVentanaArchivo(imagen, error)) {
        MsgBox(error, QMessageBox::Critical);
        return;
    }
    QString ruta = DialogoGuardarArchivo(FiltroArchivoQZL(), NombrePropuestoArchivoQZL());
    if (ruta.isEmpty())
        return;
    ruta = ConExtensionQZL(ruta);
    if (!EscribirArchivoQZL(ruta, imagen, TablaColores, TablaPautas, error)) {
        MsgBox(error, QMessageBox::Critical);
        return;
    }
    ultimoArchivo = ruta;
    Panel1(QStringLiteral(" Saved file"));
}

void AbrirArchivoQZL()
{
    const QString ruta = DialogoAbrirArchivo(FiltroArchivoQZL());
    if (ruta.isEmpty())
        return;
    // Everything is read and checked before anything changes.
    ContenidoArchivoQZL contenido;
    QString error;
    if (!LeerArchivoQZL(ruta, contenido, error) || !ComprobarImagenArchivo(contenido.imagen, error)) {
        MsgBox(error, QMessageBox::Critical);
        return;
    }
    ultimoArchivo = ruta;
    AplicarArchivoQZL(contenido);
    RecordarProcedencia(OrigenValores::Archivo, ruta);
    // A file opened after a good identification may be written to that controller; before
    // one, or after a failed one, nobody knows which addresses the controller has.
    if (ValoresVentana == PertenenciaValores::LecturaFallida)
        ValoresVentana = PertenenciaValores::DelControlador;
}

void CGuardar_Click()
{
    GuardarArchivoQZL();
}

void CAbrir_Click()
{
    // A file brings its own table: not while a colour transfer moves the window's. The
    // button stays enabled, as it does for a colour write.
    if (TablaPautasBloqueada())
        return;
    AbrirArchivoQZL();
}
