#include "link/Puerto.h"

#include "app/ModuloKX.h"
#include "link/Transaccion.h"
#include "ui/Estado.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>

static QSerialPort* puertoSerie = nullptr;
static int numeroFijado = 0;

// Line settings of the controller's serial line.
static constexpr qint32 Baudios = 9600;
static constexpr qint64 BufferRecepcion = 1024;

QSerialPort& MSCommDestellador()
{
    if (!puertoSerie) {
        puertoSerie = new QSerialPort;
        // A QObject must go before the application does.
        qAddPostRoutine([] {
            delete puertoSerie;
            puertoSerie = nullptr;
        });
    }
    return *puertoSerie;
}

static QList<DispositivoSerie> DispositivosDelSistema()
{
    QList<DispositivoSerie> lista;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString ruta = info.portName();  // COM3, as the port is opened and numbered
#else
        const QString ruta = info.systemLocation();
#endif
        lista.append({ruta, info.description(), info.manufacturer(), info.serialNumber()});
    }
    return lista;
}

static std::function<QList<DispositivoSerie>()> fuenteDispositivos;

void FijarFuenteDispositivos(std::function<QList<DispositivoSerie>()> fuente)
{
    fuenteDispositivos = std::move(fuente);
}

// The built-in ports: many PCs report /dev/ttyS0 to ttyS3 whether or not a UART or a
// cable is behind them, so they come after every adapter that was plugged in.
static bool EsPuertoIncorporado(const QString& ruta)
{
    static const QString prefijo = QStringLiteral("/dev/ttyS");
    if (!ruta.startsWith(prefijo) || ruta.size() == prefijo.size())
        return false;
    return std::all_of(ruta.begin() + prefijo.size(), ruta.end(), [](QChar c) { return c.isDigit(); });
}

// A path as its text before the trailing number and that number, so that ttyUSB10
// comes after ttyUSB2.
static std::pair<QString, qulonglong> Partes(const QString& ruta)
{
    qsizetype i = ruta.size();
    while (i > 0 && ruta[i - 1].isDigit())
        --i;
    // Too many digits for a number: compared as text only.
    if (ruta.size() - i > 18)
        i = ruta.size();
    return {ruta.left(i), i < ruta.size() ? ruta.mid(i).toULongLong() : 0};
}

QList<DispositivoSerie> DispositivosSerie()
{
    QList<DispositivoSerie> lista = fuenteDispositivos ? fuenteDispositivos() : DispositivosDelSistema();
    std::stable_sort(lista.begin(), lista.end(), [](const DispositivoSerie& a, const DispositivoSerie& b) {
        const bool ia = EsPuertoIncorporado(a.ruta), ib = EsPuertoIncorporado(b.ruta);
        if (ia != ib)
            return ib;
        const auto pa = Partes(a.ruta), pb = Partes(b.ruta);
        if (pa != pb)
            return pa < pb;
        return a.ruta < b.ruta;
    });
    return lista;
}

static bool NumeroValido(int numero)
{
    return numero >= PrimerPuerto && numero <= UltimoPuerto;
}

#ifndef Q_OS_WIN
static QString RutaEnlace(int numero)
{
    return CarpetaAjustes() + QDir::separator() + QStringLiteral("com") + QString::number(numero);
}
#endif

// The device of port n, given the devices present (looked up once by a caller that
// needs several ports).
static QString DispositivoEntre(int numero, const QList<DispositivoSerie>& presentes)
{
    if (!NumeroValido(numero))
        return QString();
#ifdef Q_OS_WIN
    Q_UNUSED(presentes);
    return QStringLiteral("COM") + QString::number(numero);
#else
    const QString enlace = RutaEnlace(numero);
    const QFileInfo info(enlace);
    if (info.isSymLink()) {
        // The device itself, so that its lock names the real line whatever link leads to it.
        const QString destino = info.canonicalFilePath();
        return destino.isEmpty() ? enlace : destino;
    }
    return numero <= presentes.size() ? presentes[numero - 1].ruta : QString();
#endif
}

QString DispositivoPuerto(int numero)
{
    if (!NumeroValido(numero))
        return QString();
#ifdef Q_OS_WIN
    return DispositivoEntre(numero, {});
#else
    // The system is asked only when no link decides.
    if (QFileInfo(RutaEnlace(numero)).isSymLink())
        return DispositivoEntre(numero, {});
    return DispositivoEntre(numero, DispositivosSerie());
#endif
}

// "FT232R USB UART, FTDI, serial number A5028" from what the system knows.
static QString LoQueSeSabe(const DispositivoSerie& d)
{
    QStringList partes;
    if (!d.descripcion.isEmpty())
        partes.append(d.descripcion);
    if (!d.fabricante.isEmpty())
        partes.append(d.fabricante);
    if (!d.numeroSerie.isEmpty())
        partes.append(QStringLiteral("serial number ") + d.numeroSerie);
    return partes.join(QStringLiteral(", "));
}

static QString DescripcionEntre(int numero, const QList<DispositivoSerie>& presentes)
{
    if (!NumeroValido(numero))
        return QString();
    const QString dispositivo = DispositivoEntre(numero, presentes);
    QString texto;
#ifndef Q_OS_WIN
    const QString enlace = RutaEnlace(numero);
    if (QFileInfo(enlace).isSymLink()) {
        if (!QFileInfo::exists(dispositivo))
            return QStringLiteral("Nothing there: the link %1 leads to no device").arg(enlace);
        texto = QStringLiteral("Opens %1 through the link %2").arg(dispositivo, enlace);
    }
#endif
    if (dispositivo.isEmpty()) {
        if (presentes.isEmpty())
            return QStringLiteral("Nothing there: no link com%1 and no serial device present").arg(numero);
        return QStringLiteral("Nothing there: no link com%1 and only %2 serial device%3 present")
            .arg(numero)
            .arg(presentes.size())
            .arg(presentes.size() == 1 ? QString() : QStringLiteral("s"));
    }
    if (texto.isEmpty())
        texto = QStringLiteral("Opens ") + dispositivo;
    const auto hallado = std::find_if(presentes.begin(), presentes.end(), [&](const DispositivoSerie& d) {
        return d.ruta == dispositivo || QFileInfo(d.ruta).canonicalFilePath() == dispositivo;
    });
    const QString sabido = hallado != presentes.end() ? LoQueSeSabe(*hallado) : QString();
    if (!sabido.isEmpty())
        texto += QStringLiteral(": ") + sabido;
    else if (hallado != presentes.end())
        texto += QStringLiteral(": the system knows nothing more of it");
#ifdef Q_OS_WIN
    else
        texto += QStringLiteral(": the system reports no such port");
#else
    if (EsPuertoIncorporado(dispositivo))
        texto += QStringLiteral(" (a built-in port: the system cannot tell whether anything is connected)");
#endif
    return texto;
}

QStringList DescripcionesPuertos()
{
    const QList<DispositivoSerie> presentes = DispositivosSerie();
    QStringList textos;
    for (int n = PrimerPuerto; n <= UltimoPuerto; ++n)
        textos.append(DescripcionEntre(n, presentes));
    return textos;
}

bool FijarPuerto(int numero)
{
    if (!NumeroValido(numero) || MSCommDestellador().isOpen())
        return false;
    numeroFijado = numero;
    return true;
}

int PuertoFijado()
{
    return numeroFijado;
}

bool AbrirCom()
{
    QSerialPort& puerto = MSCommDestellador();
    if (puerto.isOpen())
        return true;
    // The device is looked up at each opening: a link may have been re-pointed since.
    const QString dispositivo = DispositivoPuerto(numeroFijado);
    if (dispositivo.isEmpty())
        return false;
    puerto.setPortName(dispositivo);
    puerto.setBaudRate(Baudios);
    puerto.setDataBits(QSerialPort::Data8);
    puerto.setParity(QSerialPort::NoParity);
    puerto.setStopBits(QSerialPort::OneStop);
    puerto.setFlowControl(QSerialPort::NoFlowControl);
    puerto.setReadBufferSize(BufferRecepcion);
    if (!puerto.open(QIODevice::ReadWrite))
        return false;
    // A line without modem lines (a pseudo-terminal) cannot raise DTR; that is fine.
    puerto.setDataTerminalReady(true);
    puerto.clearError();
    return true;
}

void CerrarCom()
{
    QSerialPort& puerto = MSCommDestellador();
    // A handler run from inside a transaction's wait must not pull the port from under it.
    if (!puerto.isOpen() || TransaccionEnCurso())
        return;
    puerto.clear(QSerialPort::AllDirections);
    puerto.close();
    puerto.clearError();
}

QString TextoPuertoNoDisponible(int numero)
{
    return QStringLiteral("Serial Port ") + ConBlanco(numero) + QStringLiteral("  Not Avalaible");
}
