#include "registro/Registro.h"

#include "link/JuegoComandos.h"
#include "params/Catalogo.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// ---------------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------------
namespace {
// String ids of the texts below.
constexpr int IdColumnaHora = 2017;
constexpr int IdColumnaOperacion = 2103;
constexpr int IdColumnaSentido = 2104;
constexpr int IdColumnaIntento = 2105;
constexpr int IdColumnaBytes = 2106;
constexpr int IdColumnaResultado = 2107;
constexpr int IdColumnaSignificado = 2108;
constexpr int IdSalida = 2118;
constexpr int IdEntrada = 2119;
constexpr int IdLeerParametro = 2128;
constexpr int IdEscribirParametro = 2129;
constexpr int IdOrden = 2130;
constexpr int IdPresencia = 2131;
constexpr int IdEscribirSegmento = 2132;
constexpr int IdLeerSegmento = 2133;
constexpr int IdComandoDesconocido = 2134;
constexpr int IdByteAlto = 2135;
constexpr int IdByteMedio = 2136;
constexpr int IdByteBajo = 2137;
constexpr int IdCaracter = 2138;
constexpr int IdRespuesta = 2139;
constexpr int IdByteEstado = 2140;
constexpr int IdCorrienteActual = 2141;
constexpr int IdEntradas = 2142;
constexpr int IdSalidas = 2143;
constexpr int IdMotor = 2144;
// Captions of the window reused for the status group and the operating commands.
constexpr int IdVelocidadActual = 1180;
constexpr int IdCorrienteLeds = 1171;
constexpr int IdCambioLampara = 1461;
constexpr int IdDiaNoche = 1462;
constexpr int IdFalloRed = 1457;
constexpr int IdOn = 1450;
constexpr int IdOff = 1451;
constexpr int IdNormal = 1463;
constexpr int IdNoche = 1464;
constexpr int IdDia = 1465;

QString T(int id)
{
    return TextoRecurso(id);
}

// The high and low byte of a two-byte value, by the parity of its index.
QString AltoBajo(const QString& nombre, bool alto)
{
    return nombre + QStringLiteral(", ") + T(alto ? IdByteAlto : IdByteBajo);
}

QString GrupoEstado(uint8_t indice)
{
    switch (indice) {
    case IndiceEstado0:
    case IndiceEstado1:
        return T(IdByteEstado).arg(indice);
    case IndiceCorrienteActual:
    case IndiceCorrienteActual + 1:
        return AltoBajo(T(IdCorrienteActual), indice == IndiceCorrienteActual);
    case IndiceVelocidadActual:
    case IndiceVelocidadActual + 1:
        return AltoBajo(T(IdVelocidadActual).trimmed(), indice == IndiceVelocidadActual);
    case IndiceCorrienteLeds:
    case IndiceCorrienteLeds + 1:
        return AltoBajo(T(IdCorrienteLeds).trimmed(), indice == IndiceCorrienteLeds);
    case IndiceEntradas:
        return T(IdEntradas).arg(1).arg(8);
    case IndiceSalidas1a8:
        return T(IdSalidas).arg(1).arg(8);
    case IndiceSalidas9a11:
        return T(IdSalidas).arg(9).arg(11);
    default:
        return QString::number(indice);
    }
}

QString FuncionOrden(uint8_t funcion, uint8_t dato)
{
    auto encendido = [&](int idFuncion) {
        const QString estado = dato == DatoApagado ? T(IdOff) : dato == DatoEncendido ? T(IdOn) : QString::number(dato);
        return T(idFuncion) + QStringLiteral(": ") + estado;
    };
    switch (funcion) {
    case FuncionCambiador:
        return encendido(IdCambioLampara);
    case FuncionFalloRed:
        return encendido(IdFalloRed);
    case FuncionDiaNoche: {
        const QString estado = dato == DatoNormal ? T(IdNormal)
            : dato == DatoDia                     ? T(IdDia)
            : dato == DatoNoche                   ? T(IdNoche)
                                                  : QString::number(dato);
        return T(IdDiaNoche) + QStringLiteral(": ") + estado;
    }
    case FuncionMotor:
        return T(IdMotor).arg(dato == DatoMotor1 ? 1 : dato == DatoMotor2 ? 2 : int(dato) + 1);
    default:
        return QStringLiteral("%1: %2").arg(funcion).arg(dato);
    }
}

QString SignificadoComando(const ComandoQZL& c)
{
    switch (c.Comando) {
    case ComandoLeerParametro:
        return T(IdLeerParametro).arg(DescripcionDireccion(c.Indice));
    case ComandoEscribirParametro:
        return T(IdEscribirParametro).arg(DescripcionDireccion(c.Indice)).arg(c.Dato);
    case ComandoEstado:
        return NombreOperacion(TipoOperacion::Estado) + QStringLiteral(": ") + GrupoEstado(c.Indice);
    case ComandoOrden:
        return T(IdOrden) + QStringLiteral(": ") + FuncionOrden(c.Indice, c.Dato);
    case ComandoPresencia:
        return T(IdPresencia).arg(c.Indice).arg(c.Indice * 8).arg(c.Indice * 8 + 7);
    default:
        break;
    }
    if (c.Comando > ComandoEscribirSegmento && c.Comando <= ComandoLeerSegmento)
        return T(IdEscribirSegmento).arg(c.Comando - ComandoEscribirSegmento).arg(c.Indice).arg(c.Dato);
    if (c.Comando > ComandoLeerSegmento && c.Comando <= ComandoLeerSegmentoN(4))
        return T(IdLeerSegmento).arg(c.Comando - ComandoLeerSegmento).arg(c.Indice);
    return T(IdComandoDesconocido).arg(c.Comando);
}

// The answer in byte 6 of a reply; bit maps also as bits, bit 7 first.
QString RespuestaDecodificada(const ComandoQZL& c, uint8_t dato)
{
    QString texto = QString::number(dato);
    const bool mapaBits = c.Comando == ComandoPresencia
        || (c.Comando == ComandoEstado
            && (c.Indice == IndiceEstado0 || c.Indice == IndiceEstado1 || c.Indice == IndiceEntradas
                || c.Indice == IndiceSalidas1a8 || c.Indice == IndiceSalidas9a11));
    if (mapaBits)
        texto += QStringLiteral(" (%1)").arg(dato, 8, 2, QLatin1Char('0'));
    return T(IdRespuesta).arg(texto);
}

// A text as one cell of a tab-separated line.
QString Celda(QString texto)
{
    texto.replace(u'\t', u' ');
    texto.replace(u'\r', u' ');
    texto.replace(u'\n', u' ');
    return texto;
}
}  // namespace

QString NombreOperacion(TipoOperacion tipo)
{
    switch (tipo) {
    case TipoOperacion::Ninguna: return QStringLiteral("-");
    case TipoOperacion::Lectura: return T(2109);
    case TipoOperacion::Escritura: return T(2110);
    case TipoOperacion::Comparacion: return T(2111);
    case TipoOperacion::EscrituraColores: return T(2112);
    case TipoOperacion::LecturaColores: return T(2113);
    case TipoOperacion::Estado: return T(2114);
    case TipoOperacion::ValoresInstantaneos: return T(2115);
    case TipoOperacion::OrdenDirecta: return T(2116);
    }
    return QString();
}

QString OperacionDeRegistro(const RegistroLinea& r)
{
    if (r.operacion == TipoOperacion::OrdenDirecta && r.comando.Comando == ComandoOrden)
        return NombreOperacion(r.operacion) + QStringLiteral(": ") + FuncionOrden(r.comando.Indice, r.comando.Dato);
    return NombreOperacion(r.operacion);
}

QString TextoSentido(SentidoLinea sentido)
{
    return T(sentido == SentidoLinea::Salida ? IdSalida : IdEntrada);
}

QString TextoDestino(const RegistroLinea& r)
{
    switch (r.destino) {
    case DestinoLinea::Enviada: return T(2120);
    case DestinoLinea::RespuestaTomada: return T(2121);
    case DestinoLinea::TiempoAgotado: return T(2122);
    case DestinoLinea::Parcial: return T(2123).arg(r.bytes.size());
    case DestinoLinea::EnvioCortado:
    case DestinoLinea::LineaPerdida: return T(2124);
    case DestinoLinea::BytesSueltos: return T(2125);
    case DestinoLinea::RespuestaTardia: return T(2126);
    case DestinoLinea::RespuestaAjena: return T(2127);
    }
    return QString();
}

QString BytesHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString DescripcionDireccion(int direccion)
{
    const QString numero = QString::number(direccion);
    const FilaMapa* fila = FilaDeCelda(direccion);
    if (!fila)
        return numero;
    const QString titulo = TextoDe(fila->etiqueta).simplified();
    if (titulo.isEmpty())
        return numero;
    QString texto = numero + u' ' + titulo;
    const int posicion = direccion - fila->primera;
    if (fila->celdas <= 1)
        return texto;
    if (fila->disposicion == Disposicion::Identificador16 || fila->lectura == Lectura::Caracteres)
        return texto + QStringLiteral(", ") + T(IdCaracter).arg(posicion + 1);
    if (fila->celdas == 2)
        return texto + QStringLiteral(", ") + T(posicion == 0 ? IdByteAlto : IdByteBajo);
    if (fila->celdas == 3)
        return texto + QStringLiteral(", ") + T(posicion == 0 ? IdByteAlto : posicion == 1 ? IdByteMedio : IdByteBajo);
    return texto + QStringLiteral(", %1/%2").arg(posicion + 1).arg(fila->celdas);
}

QString SignificadoRegistro(const RegistroLinea& r)
{
    if (r.destino == DestinoLinea::RespuestaAjena && r.bytes.size() >= LongitudTrama) {
        // What it answers is the frame it repeats, not the one sent.
        ComandoQZL otra{};
        otra.Comando = static_cast<uint8_t>(r.bytes[4]);
        otra.Indice = static_cast<uint8_t>(r.bytes[5]);
        return SignificadoComando(otra);
    }
    QString texto = SignificadoComando(r.comando);
    if (r.destino == DestinoLinea::RespuestaTomada && r.bytes.size() >= LongitudTrama)
        texto += QStringLiteral("; ") + RespuestaDecodificada(r.comando, static_cast<uint8_t>(r.bytes[6]));
    return texto;
}

// ---------------------------------------------------------------------------------
// Log lines
// ---------------------------------------------------------------------------------
QString HoraRegistro(int64_t ms)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(ms).toLocalTime();
    const int desfase = t.offsetFromUtc();
    const int minutos = std::abs(desfase) / 60;
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
        + QStringLiteral(" %1%2:%3")
              .arg(desfase < 0 ? QStringLiteral("-") : QStringLiteral("+"))
              .arg(minutos / 60, 2, 10, QLatin1Char('0'))
              .arg(minutos % 60, 2, 10, QLatin1Char('0'));
}

QString CabeceraRegistro()
{
    QStringList columnas;
    for (int id : {IdColumnaHora, IdColumnaOperacion, IdColumnaSentido, IdColumnaIntento, IdColumnaBytes,
                   IdColumnaResultado, IdColumnaSignificado})
        columnas << Celda(T(id));
    return columnas.join(u'\t');
}

QString LineaRegistro(const RegistroLinea& r)
{
    return QStringList{HoraRegistro(r.ms), Celda(OperacionDeRegistro(r)), Celda(TextoSentido(r.sentido)),
                       QString::number(r.intento), BytesHex(r.bytes), Celda(TextoDestino(r)),
                       Celda(SignificadoRegistro(r))}
        .join(u'\t');
}

// ---------------------------------------------------------------------------------
// The log files, written by a thread of their own
// ---------------------------------------------------------------------------------
namespace {
QString carpetaRegistro;
void (*oyenteRegistro)(const RegistroLinea&) = nullptr;

struct LineaPendiente {
    QString archivo;
    QString cabecera;
    QString texto;
};

// Once the window's thread has handed a line over, nothing on the line waits for the disk.
struct Escritor {
    std::mutex m;
    std::condition_variable hayTrabajo;
    std::condition_variable terminado;
    std::deque<LineaPendiente> cola;
    bool ocupado = false;
    bool parar = false;
    std::thread hilo;
    // Whether a failure has been reported and no line has been written since.
    std::atomic<bool> avisado{false};
    QString archivoFallido;  // under m

    ~Escritor()
    {
        {
            std::lock_guard<std::mutex> l(m);
            parar = true;
        }
        hayTrabajo.notify_all();
        if (hilo.joinable())
            hilo.join();
    }

    void Poner(LineaPendiente linea)
    {
        {
            std::lock_guard<std::mutex> l(m);
            if (!hilo.joinable())
                hilo = std::thread([this] { Bucle(); });
            cola.push_back(std::move(linea));
        }
        hayTrabajo.notify_one();
    }

    void Vaciar()
    {
        std::unique_lock<std::mutex> l(m);
        terminado.wait(l, [this] { return cola.empty() && !ocupado; });
    }

    void Bucle()
    {
        QFile archivo;
        std::unique_lock<std::mutex> l(m);
        for (;;) {
            hayTrabajo.wait(l, [this] { return parar || !cola.empty(); });
            if (cola.empty() && parar)
                break;
            std::deque<LineaPendiente> lote;
            lote.swap(cola);
            ocupado = true;
            l.unlock();
            QString fallido;
            for (const LineaPendiente& p : lote) {
                if (archivo.fileName() != p.archivo || !archivo.isOpen()) {
                    archivo.close();
                    archivo.setFileName(p.archivo);
                    QDir().mkpath(QFileInfo(p.archivo).absolutePath());
                    if (archivo.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text) && archivo.size() == 0)
                        archivo.write((p.cabecera + u'\n').toUtf8());
                }
                if (!archivo.isOpen() || archivo.write((p.texto + u'\n').toUtf8()) < 0) {
                    fallido = p.archivo;
                    archivo.close();
                }
            }
            if (archivo.isOpen() && !archivo.flush()) {
                fallido = archivo.fileName();
                archivo.close();
            }
            if (!fallido.isEmpty()) {
                if (!avisado.exchange(true)) {
                    {
                        std::lock_guard<std::mutex> g(m);
                        archivoFallido = fallido;
                    }
                    Avisar();
                }
            } else {
                avisado = false;
            }
            l.lock();
            ocupado = false;
            terminado.notify_all();
        }
        archivo.close();
    }

    static void Avisar();
};

Escritor& ElEscritor()
{
    static Escritor e;
    return e;
}

// Panel 1 keeps what an operation shows while it runs and for a while after it, so that
// its outcome is read first: the notice waits until no operation has run for that long.
constexpr int AvisoTrasOperacionMs = 1500;
constexpr int RevisionAvisoMs = 250;
QElapsedTimer ultimaOperacion;

void MostrarAviso()
{
    if (OperacionEnCurso() || !ultimaOperacion.isValid())
        ultimaOperacion.start();
    if (OperacionEnCurso() || ultimaOperacion.elapsed() < AvisoTrasOperacionMs) {
        QTimer::singleShot(RevisionAvisoMs, qApp, &MostrarAviso);
        return;
    }
    ultimaOperacion.invalidate();
    QString archivo;
    {
        std::lock_guard<std::mutex> l(ElEscritor().m);
        archivo = ElEscritor().archivoFallido;
    }
    Panel1(TextoRecurso(TextoRegistroNoEscrito).arg(QDir::toNativeSeparators(archivo)));
}

void Escritor::Avisar()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &MostrarAviso, Qt::QueuedConnection);
}

void AlAnotarLinea(const RegistroLinea& r)
{
    ElEscritor().Poner({ArchivoRegistro(r.ms), CabeceraRegistro(), LineaRegistro(r)});
    if (oyenteRegistro)
        oyenteRegistro(r);
}

const QRegularExpression& PatronArchivo()
{
    static const QRegularExpression patron(QStringLiteral("^qzl-(\\d{4}-\\d{2}-\\d{2})\\.log$"));
    return patron;
}
}  // namespace

QString CarpetaRegistro()
{
    if (!carpetaRegistro.isEmpty())
        return carpetaRegistro;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/logs");
}

void FijarCarpetaRegistro(const QString& carpeta)
{
    VaciarRegistro();
    carpetaRegistro = carpeta;
}

QString ArchivoRegistro(int64_t ms)
{
    const QDate dia = QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().date();
    return CarpetaRegistro() + QStringLiteral("/qzl-") + dia.toString(QStringLiteral("yyyy-MM-dd"))
        + QStringLiteral(".log");
}

void BorrarRegistrosAntiguos(int64_t ahora)
{
    const QDate hoy = QDateTime::fromMSecsSinceEpoch(ahora).toLocalTime().date();
    QDir carpeta(CarpetaRegistro());
    for (const QString& nombre : carpeta.entryList({QStringLiteral("qzl-*.log")}, QDir::Files)) {
        const auto m = PatronArchivo().match(nombre);
        if (!m.hasMatch())
            continue;
        const QDate dia = QDate::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd"));
        if (dia.isValid() && dia.daysTo(hoy) > DiasRegistro)
            carpeta.remove(nombre);
    }
}

void IniciarRegistro()
{
    FijarOyenteLinea(&AlAnotarLinea);
    static bool limpiado = false;
    if (!limpiado) {
        limpiado = true;
        BorrarRegistrosAntiguos(AhoraLinea());
    }
}

void VaciarRegistro()
{
    ElEscritor().Vaciar();
}

bool LineaOcupada()
{
    return OperacionEnCurso();
}

void FijarOyenteRegistro(void (*oyente)(const RegistroLinea& registro))
{
    oyenteRegistro = oyente;
}
