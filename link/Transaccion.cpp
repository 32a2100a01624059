#include "link/Transaccion.h"

#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/RegistroLinea.h"
#include "ui/Estado.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <map>
#include <array>
#include <chrono>
#include <thread>
#include <vector>

#ifdef __linux__
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

static bool transaccionEnCurso = false;
static void (*testigoLinea)(bool respuesta) = nullptr;

// The records of the line: filled during a try and handed to the listener once the try
// has ended, inside the pause that follows it, so that no pause of the line grows.
static void (*oyenteLinea)(const RegistroLinea& registro) = nullptr;
static int64_t (*relojLinea)() = nullptr;
static TipoOperacion operacionLinea = TipoOperacion::Ninguna;
static std::vector<RegistroLinea> anotados;

void FijarOyenteLinea(void (*oyente)(const RegistroLinea& registro))
{
    oyenteLinea = oyente;
}

void FijarRelojLinea(int64_t (*reloj)())
{
    relojLinea = reloj;
}

int64_t AhoraLinea()
{
    return relojLinea ? relojLinea() : QDateTime::currentMSecsSinceEpoch();
}

void FijarOperacionLinea(TipoOperacion tipo)
{
    operacionLinea = tipo;
}

static void Anotar(SentidoLinea sentido, DestinoLinea destino, const QByteArray& bytes, const ComandoQZL& comando,
                   int intento, int64_t ms)
{
    if (!oyenteLinea)
        return;
    RegistroLinea r;
    r.ms = ms;
    r.operacion = operacionLinea;
    r.sentido = sentido;
    r.destino = destino;
    r.intento = static_cast<uint8_t>(intento);
    r.bytes = bytes;
    r.comando = comando;
    anotados.push_back(std::move(r));
}

static void EntregarRegistros()
{
    if (anotados.empty())
        return;
    // The listener may process events; records of this try stay in their order.
    std::vector<RegistroLinea> lote;
    lote.swap(anotados);
    if (oyenteLinea) {
        for (const RegistroLinea& r : lote)
            oyenteLinea(r);
    }
}

static int64_t AhoraSiSeAnota()
{
    return oyenteLinea ? AhoraLinea() : 0;
}

// The reply limit of one try, before FactorEsperas.
static constexpr int LimiteRespuestaMs = 2000;
// How long past that limit a reply to a try that gave up is still expected, before
// FactorEsperas: 1 s, and a margin for its bytes on their way through the line and the system.
static constexpr int GraciaRespuestaTardiaMs = 1100;
// Pauses of the frame: after each of its first seven bytes, counted from the start of
// the byte's write; and after every try, counted from the moment it ended.
static constexpr int PausaByteMs = 1;
static constexpr int PausaIntentoMs = 20;
// A reply on its way has no gap this long between its bytes, even through a USB adapter
// that hands them over in bunches; after it, the bytes taken are all the reply there is.
static constexpr int SilencioFinRespuestaMs = 40;

uint8_t ChecksumComando(const ComandoQZL& c)
{
    return static_cast<uint8_t>(0xFF ^ c.ValorAlto ^ c.ValorBajo ^ c.Comando ^ c.Indice ^ c.Dato);
}

QByteArray TramaComando(const ComandoQZL& c)
{
    const char bytes[LongitudTrama] = {
        'K', 'X',
        static_cast<char>(c.ValorAlto), static_cast<char>(c.ValorBajo),
        static_cast<char>(c.Comando), static_cast<char>(c.Indice), static_cast<char>(c.Dato),
        static_cast<char>(ChecksumComando(c)),
    };
    return QByteArray(bytes, LongitudTrama);
}

RespuestaQZL DecodificarRespuesta(const QByteArray& bytes)
{
    RespuestaQZL r;
    if (bytes.size() < LongitudTrama)
        return r;
    auto b = [&](int i) { return static_cast<uint8_t>(bytes[i]); };
    r.Valor = b(2) * 256 + b(3);
    r.Comando = b(4);
    r.Indice = b(5);
    r.Dato = b(6);
    return r;
}

int InicioRespuesta(const QByteArray& bytes)
{
    if (bytes.size() < LongitudTrama)
        return -1;
    const qsizetype cabecera = bytes.indexOf("KX");
    if (cabecera <= 0)
        return 0;
    return bytes.size() - cabecera >= LongitudTrama ? static_cast<int>(cabecera) : -1;
}

// Kept out of line so that every caller runs the very same counting code.
Q_NEVER_INLINE void ContarVueltas(int32_t hasta)
{
    volatile int32_t j = 0;
    while (j < hasta)
        j = j + 1;
}

// The last stretch of a pause is spun on the clock: a sleep wakes some tens of
// microseconds late, and the byte pacing must not grow with it. Short, so that the
// pauses cost a few per cent of a core (the spin is most of their cost). A longer sleep
// lets the processor rest deeper and wakes later (on a virtual machine up to 0.15 ms),
// so from a few milliseconds on the spin starts earlier.
static constexpr auto TramoGiroCorto = std::chrono::microseconds(60);
static constexpr auto TramoGiroLargo = std::chrono::microseconds(200);
static constexpr int PausaLargaMs = 5;
// What handing one byte to the system takes at most, when the thread is not held up.
static constexpr auto DuracionEscritura = std::chrono::microseconds(100);

// A short time slice on the fair scheduler (no privilege needed) lets a thread that
// wakes preempt the programs keeping the cores busy; no timer slack fires its timers
// on time rather than up to 50 us late.
void PrepararHiloPuntual()
{
    static thread_local bool hecho = false;
    if (hecho)
        return;
    hecho = true;
#if defined(__linux__) && defined(SYS_sched_setattr) && defined(SYS_sched_getattr)
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    struct AtributosPlanificador {  // the kernel's sched_attr, first version
        uint32_t size;
        uint32_t sched_policy;
        uint64_t sched_flags;
        int32_t sched_nice;
        uint32_t sched_priority;
        uint64_t sched_runtime;
        uint64_t sched_deadline;
        uint64_t sched_period;
    } a{};
    if (syscall(SYS_sched_getattr, 0, &a, sizeof a, 0) != 0 || a.sched_policy != SCHED_OTHER)
        return;
    // Keeps the policy and the nice value it was started with.
    a.size = sizeof a;
    a.sched_runtime = 200000;  // ns
    syscall(SYS_sched_setattr, 0, &a, 0);
#endif
}

using Reloj = std::chrono::steady_clock;

// The pause of ms milliseconds counted from desde, which may lie a little in the past:
// the pacing of a frame counts each gap from the start of its byte's write, so that the
// time the write itself took is not added to every gap of the frame.
static void PausaDesde(Reloj::time_point desde, int32_t ms)
{
    if (ms <= 0 || CuentaMilisegundo <= 0)
        return;
    PrepararHiloPuntual();
    const Reloj::time_point fin = desde + std::chrono::milliseconds(ms);
    const Reloj::time_point despertar = fin - (ms >= PausaLargaMs ? TramoGiroLargo : TramoGiroCorto);
    // sleep_until may return early on a signal: sleep again until the time has come.
    while (Reloj::now() < despertar)
        std::this_thread::sleep_until(despertar);
    while (Reloj::now() < fin) {
    }
}

void Retardo(int32_t ms)
{
    PausaDesde(Reloj::now(), ms);
}

void FijarTestigoLinea(void (*testigo)(bool respuesta))
{
    testigoLinea = testigo;
}

bool OperacionEnCurso()
{
    return transaccionEnCurso || MSCommDestellador().isOpen();
}

bool TransaccionEnCurso()
{
    return transaccionEnCurso;
}

// An error that means the device is gone or no longer takes or gives bytes.
static bool PuertoPerdido(QSerialPort& puerto)
{
    if (!puerto.isOpen())
        return true;
    switch (puerto.error()) {
    case QSerialPort::ResourceError:
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
    case QSerialPort::NotOpenError:
        return true;
    default:
        return false;
    }
}

// Writes one byte and hands it to the operating system before returning, so that
// the pause after it really separates it from the next one on the line.
static bool EscribirByte(QSerialPort& puerto, char byte)
{
    if (puerto.write(&byte, 1) != 1)
        return false;
    if (puerto.bytesToWrite() > 0)
        puerto.flush();
    if (puerto.bytesToWrite() > 0)
        puerto.waitForBytesWritten(EsperaMs(LimiteRespuestaMs));
    return puerto.bytesToWrite() == 0 && !PuertoPerdido(puerto);
}

enum class FinIntento { Respuesta, TiempoAgotado, PuertoPerdido };

// One clock for the grace periods, which outlive a transaction.
static qint64 Ahora()
{
    static const QElapsedTimer reloj = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return reloj.elapsed();
}

// A frame whose try gave up, and until when its reply may still arrive (Ahora()).
struct RespuestaPendiente {
    uint8_t comando;
    uint8_t indice;
    qint64 hasta;
};
static std::vector<RespuestaPendiente> pendientes;

// What the controller's replies have been seen to carry, learnt while the port stays
// open and forgotten when it closes: the next controller may be another one.
// Whether a reply repeats its frame's command and index is learnt per command from
// several replies in a row, each to another index: one reply can match by chance (a
// controller that puts 0 or the answer in byte 5 matches index 0, or an answer equal
// to its index), three to different indices hardly.
static constexpr int RespuestasParaAprenderEco = 3;
struct FormaRespuestas {
    std::array<uint8_t, 256> racha{};        // replies in a row that repeated command and index
    std::array<int16_t, 256> ultimoIndice{}; // the index of the last of them
    std::array<bool, 256> eco{};             // learnt: this command's replies repeat both
    bool cabecera = false;                   // a reply has begun with "K" "X"
    // Tries that gave up, by command * 256 + index, whose late replies have not been seen:
    // a reply may come however late while the port stays open.
    std::map<int, int> sinContestar;
};
static FormaRespuestas forma;

static void OlvidarFormaAlCerrar(QSerialPort& puerto)
{
    static bool conectado = false;
    if (conectado)
        return;
    conectado = true;
    QObject::connect(&puerto, &QIODevice::aboutToClose, [] { forma = FormaRespuestas{}; });
}

static bool RepiteOrden(const QByteArray& respuesta, const ComandoQZL& comando)
{
    return static_cast<uint8_t>(respuesta[4]) == comando.Comando
        && static_cast<uint8_t>(respuesta[5]) == comando.Indice;
}

// Learns from a reply taken as the frame's answer.
static void AprenderForma(const QByteArray& respuesta, const ComandoQZL& comando)
{
    if (respuesta.startsWith("KX"))
        forma.cabecera = true;
    const uint8_t c = comando.Comando;
    if (!RepiteOrden(respuesta, comando)) {
        // Taken although it does not repeat the frame: this controller's replies do not.
        forma.racha[c] = 0;
        forma.eco[c] = false;
        return;
    }
    if (forma.racha[c] == 0 || forma.ultimoIndice[c] != comando.Indice) {
        forma.racha[c] = static_cast<uint8_t>(std::min<int>(forma.racha[c] + 1, RespuestasParaAprenderEco));
        forma.ultimoIndice[c] = comando.Indice;
    }
    if (forma.racha[c] >= RespuestasParaAprenderEco)
        forma.eco[c] = true;
}

// Processes window events and blocks in the event loop until a byte, a window event
// or the given moment (Ahora()) arrives.
static void EsperarHasta(QTimer& despertador, qint64 hasta)
{
    const int ms = static_cast<int>(std::max<qint64>(hasta - Ahora(), 0)) + 1;
    if (!despertador.isActive() || despertador.remainingTime() > ms)
        despertador.start(ms);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Before a frame goes out: while a late reply that could be taken as this frame's may
// still come, what arrives is discarded. With the command's echo seen, only a late
// reply to the same command and index could pass for this frame's.
static void DescartarRespuestasTardias(QSerialPort& puerto, const ComandoQZL& comando)
{
    const bool hayPendientes = !pendientes.empty();
    const qint64 ahora = Ahora();
    std::erase_if(pendientes, [ahora](const RespuestaPendiente& p) { return p.hasta <= ahora; });
    qint64 hasta = 0;
    for (const RespuestaPendiente& p : pendientes) {
        if (!forma.eco[comando.Comando] || (p.comando == comando.Comando && p.indice == comando.Indice))
            hasta = std::max(hasta, p.hasta);
    }
    if (hasta <= ahora)
        return;
    QTimer despertador;
    despertador.setSingleShot(true);
    despertador.setTimerType(Qt::PreciseTimer);
    while (Ahora() < hasta && !PuertoPerdido(puerto)) {
        DoEvents();
        if (puerto.bytesAvailable() > 0) {
            const QByteArray tardios = puerto.readAll();
            Anotar(SentidoLinea::Entrada, hayPendientes ? DestinoLinea::RespuestaTardia : DestinoLinea::BytesSueltos,
                   tardios, comando, 1, AhoraSiSeAnota());
        }
        EsperarHasta(despertador, hasta);
    }
    const qint64 fin = Ahora();
    std::erase_if(pendientes, [fin](const RespuestaPendiente& p) { return p.hasta <= fin; });
}

static void AnotarPendiente(const ComandoQZL& comando, qint64 finTrama)
{
    pendientes.push_back({comando.Comando, comando.Indice,
                          finTrama + EsperaMs(LimiteRespuestaMs) + EsperaMs(GraciaRespuestaTardiaMs)});
}

// True, once, for each try with this command and index that gave up while the port was
// open: a reply that repeats such a frame is that frame's, however late it comes.
static bool TomarRespuestaEsperada(uint8_t comando, uint8_t indice)
{
    const auto p = forma.sinContestar.find(comando * 256 + indice);
    if (p == forma.sinContestar.end())
        return false;
    if (--p->second == 0)
        forma.sinContestar.erase(p);
    return true;
}

// Writes the frame byte by byte and waits for its reply. Each pass of the wait
// processes window events, then blocks in the event loop until a byte, a window
// event or the deadline arrives. finTrama: when the frame was out (Ahora()).
static FinIntento UnIntento(QSerialPort& puerto, const ComandoQZL& comando, const QByteArray& trama,
                            QByteArray& respuesta, qint64& finTrama, int intento)
{
    finTrama = Ahora();
    if (!puerto.isOpen()) {
        Anotar(SentidoLinea::Salida, DestinoLinea::EnvioCortado, QByteArray(), comando, intento, AhoraSiSeAnota());
        return FinIntento::PuertoPerdido;
    }
    // A late or partial reply to an earlier frame must not answer this one. For the record,
    // what has arrived is read first (a look at the system's buffer that waits for nothing);
    // the clear is the same.
    if (oyenteLinea) {
        const bool hayBytes = puerto.bytesAvailable() > 0 || puerto.waitForReadyRead(0);
        // Finding nothing is reported as a timeout, which is no fault of the line.
        if (puerto.error() == QSerialPort::TimeoutError)
            puerto.clearError();
        if (hayBytes)
            Anotar(SentidoLinea::Entrada, pendientes.empty() ? DestinoLinea::BytesSueltos : DestinoLinea::RespuestaTardia,
                   puerto.readAll(), comando, intento, AhoraLinea());
    }
    puerto.clear(QSerialPort::Input);
    const int64_t msTrama = AhoraSiSeAnota();
    for (int i = 0; i < LongitudTrama; ++i) {
        const Reloj::time_point entrega = Reloj::now();
        if (!EscribirByte(puerto, trama[i])) {
            // The byte that failed may or may not have gone: the record shows those before it.
            Anotar(SentidoLinea::Salida, DestinoLinea::EnvioCortado, trama.left(i), comando, intento, msTrama);
            return FinIntento::PuertoPerdido;
        }
        if (testigoLinea)
            testigoLinea(false);
        // The gap counts from the start of the write, so the write's own time is not added
        // to it; but a write held up longer than a write takes may have handed its byte
        // over only at its end, and the next byte must not follow it at once.
        if (i < LongitudTrama - 1)
            PausaDesde(std::max(entrega, Reloj::now() - DuracionEscritura), PausaByteMs);
    }
    finTrama = Ahora();
    Anotar(SentidoLinea::Salida, DestinoLinea::Enviada, trama, comando, intento, msTrama);

    const qint64 limite = EsperaMs(LimiteRespuestaMs);
    QElapsedTimer t0;
    t0.start();
    QTimer despertador;
    despertador.setSingleShot(true);
    despertador.setTimerType(Qt::PreciseTimer);
    QByteArray recibido;
    qint64 ultimoByte = finTrama;
    // For the record: when the last bytes came, and how many at the front of recibido are
    // the rest of a dropped reply, already recorded with it.
    int64_t msLlegada = 0;
    int yaAnotados = 0;
    auto sinAnotar = [&](int hasta) { return recibido.mid(yaAnotados, std::max(hasta - yaAnotados, 0)); };
    for (;;) {
        DoEvents();
        const qint64 transcurrido = t0.elapsed();
        if (transcurrido > limite) {
            Panel1(QStringLiteral("Time Out Transmision"));
            const QByteArray resto = sinAnotar(static_cast<int>(recibido.size()));
            Anotar(SentidoLinea::Entrada, resto.isEmpty() ? DestinoLinea::TiempoAgotado : DestinoLinea::Parcial, resto,
                   comando, intento, AhoraSiSeAnota());
            return FinIntento::TiempoAgotado;
        }
        if (puerto.bytesAvailable() > 0) {
            recibido += puerto.readAll();
            ultimoByte = Ahora();
            msLlegada = AhoraSiSeAnota();
        }
        qint64 despertar = finTrama + limite;
        for (;;) {
            int inicio = InicioRespuesta(recibido);
            if (inicio < 0 && recibido.size() >= LongitudTrama && !forma.cabecera) {
                // "K" "X" stands later in the bytes with no whole reply after it: either stray
                // bytes before a reply still on its way, or a reply without header that holds
                // 4B 58. A reply on its way goes on within a few milliseconds; once the line
                // has been quiet longer, the bytes from the start are the reply. A controller
                // seen to send the header never gets here.
                if (Ahora() - ultimoByte >= SilencioFinRespuestaMs)
                    inicio = 0;
                else
                    despertar = std::min(despertar, ultimoByte + SilencioFinRespuestaMs);
            }
            if (inicio < 0)
                break;
            const QByteArray candidata = recibido.mid(inicio, LongitudTrama);
            if (!RepiteOrden(candidata, comando) && forma.eco[comando.Comando]
                && TomarRespuestaEsperada(static_cast<uint8_t>(candidata[4]), static_cast<uint8_t>(candidata[5]))) {
                // The late reply to an earlier frame, whose try gave up: dropped up to its
                // header (all of it when it has none), and the wait goes on. Nothing is ever
                // dropped while no earlier try is still awaiting its reply.
                const int quitados = inicio + (candidata.startsWith("KX") ? 2 : LongitudTrama);
                if (inicio > yaAnotados)
                    Anotar(SentidoLinea::Entrada, DestinoLinea::BytesSueltos, sinAnotar(inicio), comando, intento, msLlegada);
                Anotar(SentidoLinea::Entrada, DestinoLinea::RespuestaAjena, candidata, comando, intento, msLlegada);
                recibido.remove(0, quitados);
                yaAnotados = inicio + LongitudTrama - quitados;
                continue;
            }
            AprenderForma(candidata, comando);
            respuesta = candidata;
            if (inicio > yaAnotados)
                Anotar(SentidoLinea::Entrada, DestinoLinea::BytesSueltos, sinAnotar(inicio), comando, intento, msLlegada);
            Anotar(SentidoLinea::Entrada, DestinoLinea::RespuestaTomada, candidata, comando, intento, msLlegada);
            // Bytes after the reply are never read again: the next try clears the input.
            if (recibido.size() > inicio + LongitudTrama)
                Anotar(SentidoLinea::Entrada, DestinoLinea::BytesSueltos, recibido.mid(inicio + LongitudTrama), comando,
                       intento, msLlegada);
            if (testigoLinea)
                testigoLinea(true);
            return FinIntento::Respuesta;
        }
        // Checked after the bytes: a reply that arrived just before the line went is taken.
        if (PuertoPerdido(puerto)) {
            Anotar(SentidoLinea::Entrada, DestinoLinea::LineaPerdida, sinAnotar(static_cast<int>(recibido.size())),
                   comando, intento, AhoraSiSeAnota());
            return FinIntento::PuertoPerdido;
        }
        EsperarHasta(despertador, despertar);
    }
}

RespuestaQZL EnviarComando(const ComandoQZL& comando)
{
    RespuestaQZL r;
    if (transaccionEnCurso) {
        // Reached from an event handled while another transaction waits: the port,
        // its buffer and Reintentos belong to that one.
        r.Estado = EstadoSinRespuesta;
        return r;
    }
    transaccionEnCurso = true;
    struct Fin {
        ~Fin() { transaccionEnCurso = false; }
    } fin;

    QSerialPort& puerto = MSCommDestellador();
    OlvidarFormaAlCerrar(puerto);
    const QByteArray trama = TramaComando(comando);
    DescartarRespuestasTardias(puerto, comando);
    bool intentoAgotado = false;
    Reintentos = IntentosTransaccion;
    while (Reintentos != 0) {
        QByteArray recibido;
        qint64 finTrama = 0;
        const FinIntento resultado =
            UnIntento(puerto, comando, trama, recibido, finTrama, IntentosTransaccion - Reintentos + 1);
        const Reloj::time_point finIntento = Reloj::now();
        if (resultado == FinIntento::Respuesta) {
            r = DecodificarRespuesta(recibido);
            r.Estado = EstadoRespuesta;
            Reintentos = 0;
            // The reply taken may have been an earlier try's, with this one's still to come.
            if (intentoAgotado)
                AnotarPendiente(comando, finTrama);
        } else {
            r = RespuestaQZL{};
            r.Estado = EstadoSinRespuesta;
            if (resultado == FinIntento::TiempoAgotado) {
                intentoAgotado = true;
                AnotarPendiente(comando, finTrama);
                ++forma.sinContestar[comando.Comando * 256 + comando.Indice];
            }
            if (resultado == FinIntento::PuertoPerdido && puerto.isOpen())
                puerto.close();
            Reintentos = static_cast<uint8_t>(Reintentos - 1);
            Panel1(QStringLiteral("Error R  ") + QString::number(IntentosTransaccion - Reintentos));
        }
        // The try's records go out inside the pause that follows it, which counts from finIntento.
        EntregarRegistros();
        // The pause lets the controller settle; a closed port has nobody to wait for.
        if (puerto.isOpen())
            PausaDesde(finIntento, PausaIntentoMs);
    }
    return r;
}
