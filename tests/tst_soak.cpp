// Random-fault soak: whole operations through the window (read, write, field edits,
// colour write and read, table edits, status, live values, direct commands) against the
// simulated controller, with a fault drawn at random for each frame from a printed seed:
// silent, late beyond the reply limit, partial, stray bytes before or after the reply, the
// line pulled (and brought back after the operation). After each operation:
//   - a read that ended "Ended" shows what a fault-free read of the same controller shows,
//     and a colour read that ended "Ended" holds the controller's table and colours;
//   - an operation that failed ended with its own failure text and changed nothing in the
//     window (fields, table, colours);
//   - every write frame carries the value the window held for that cell or byte, and after
//     "Ended" the controller holds exactly that; a failed write changed only cells to those
//     values; a write after a read with no edit changes no cell at all;
//   - status and live values show the controller's value, or the value of a failed reply;
//     a direct command reported as done was carried out;
//   - on the wire no frame goes out while an earlier transaction still waits for its reply,
//     and each operation's own frames come in its order, at most three tries each;
//   - no crash (the seed and operation are printed), no hang (a watchdog);
//   - the controller answers in one reply shape, drawn for the run and printed with the
//     seed (header or not, command and index repeated or not): it changes none of the above;
//   - a write after a failed identification or read sends nothing and says why; a field
//     the technician acted on (a list entry chosen and chosen back, a time typed over
//     the same shown value) is written as it shows; a table change tried during a colour
//     write never reaches its frames; a controller swapped between operations, whose read
//     then fails, gets nothing of the other's; and an exit during the run's last write
//     waits for that write, with the window shown, before the program ends.
// Clicks on two direct commands and the status and live-value buttons arrive all through
// every operation, and the two poll timers tick meanwhile; none of them may start a
// transaction that overlaps another.
//
// QZL_SOAK_SECONDS (30), QZL_SOAK_SEED (from the clock), QZL_SOAK_SHAPE (the reply shape's
// name, drawn from the seed when not given), QZL_SOAK_FACTOR (0.1: every long
// wait, and the simulator's lateness, scaled by it), QZL_SOAK_RATE (0.08 of the frames
// faulted), QZL_SOAK_STOP=1 stops at the first failure, QZL_SOAK_VERBOSE=1 names each
// operation as it starts. scripts/soak sets them.
#include "support/EnlacePrueba.h"
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/Pautas.h"
#include "sim/FallosAzar.h"
#include "link/Transaccion.h"
#include "comparacion/Diferencias.h"
#include "flash/Colores.h"
#include "params/Catalogo.h"
#include "ui/Idioma.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Reloj = std::chrono::steady_clock;

namespace {

// The product's reply limit, before FactorEsperas.
constexpr int LimiteRespuestaMs = 2000;

double EntornoReal(const char* nombre, double porDefecto)
{
    bool ok = false;
    const double v = qEnvironmentVariable(nombre).toDouble(&ok);
    return ok ? v : porDefecto;
}

// ---------------------------------------------------------------------------------
// Faults, drawn on the simulator's thread
// ---------------------------------------------------------------------------------
struct TramaVista {
    Trama trama{};
    FalloTrama fallo;
    Reloj::time_point llegada;
};

struct Sorteo {
    std::mutex m;
    std::mt19937_64 azar;
    bool activo = false;
    double tasa = 0.08;
    double factor = 0.1;
    // Stray bytes that reach the line before a reply without header cannot be told from the
    // reply (and those drawn after one may, on a loaded machine, come after the next frame):
    // none are drawn then.
    bool sinCabecera = false;
    // A late reply from a controller that does not repeat command and index can be told from
    // the next frame's only by its time: up to 1 s past the limit. Drawn up to 0.5 s past then,
    // so that the simulator's own delays on a loaded machine do not move it beyond.
    bool sinEco = false;
    std::vector<TramaVista> vistas;  // every frame the controller received, in order
    std::map<int, long> cuenta;      // faults drawn, by kind

    FalloTrama Sacar(const Trama& t)
    {
        std::lock_guard<std::mutex> l(m);
        FalloTrama f;
        if (activo && std::uniform_real_distribution<double>(0, 1)(azar) < tasa) {
            // The line is pulled less often than the rest: it ends the operation.
            static const FalloTrama::Tipo tipos[] = {
                FalloTrama::Silencio, FalloTrama::Silencio, FalloTrama::Silencio,
                FalloTrama::Tarde, FalloTrama::Tarde, FalloTrama::Tarde,
                FalloTrama::Parcial, FalloTrama::Parcial, FalloTrama::Parcial,
                FalloTrama::BytesAntes, FalloTrama::BytesAntes, FalloTrama::BytesAntes,
                FalloTrama::BytesDespues, FalloTrama::BytesDespues, FalloTrama::BytesDespues,
                FalloTrama::CortarLinea,
            };
            f.tipo = tipos[std::uniform_int_distribution<int>(0, int(std::size(tipos)) - 1)(azar)];
            if (sinCabecera && (f.tipo == FalloTrama::BytesAntes || f.tipo == FalloTrama::BytesDespues)) {
                vistas.push_back({t, f, Reloj::now()});
                return f;
            }
            auto entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
            switch (f.tipo) {
            case FalloTrama::Tarde:
                // Beyond the limit, up to 3 s; kept 50 ms clear of both ends so that the
                // machine's own delays do not move a reply across them.
                f.Ms = int((LimiteRespuestaMs + entre(50, sinEco ? 500 : 950)) * factor);
                break;
            case FalloTrama::Parcial:
                f.Bytes = entre(1, 7);
                break;
            case FalloTrama::BytesAntes:
            case FalloTrama::BytesDespues:
                // A line glitch: any bytes but the start of a header.
                for (int i = entre(1, 4); i > 0; --i) {
                    uint8_t b = uint8_t(entre(0, 255));
                    if (b == 0x4B)
                        b = 0x00;
                    f.Sueltos.push_back(b);
                }
                f.Ms = entre(0, 5);
                break;
            case FalloTrama::CortarLinea:
                f.Contestar = entre(0, 1) == 1;
                break;
            default:
                break;
            }
            ++cuenta[f.tipo];
        }
        vistas.push_back({t, f, Reloj::now()});
        return f;
    }
};

Sorteo* sorteo = nullptr;

// ---------------------------------------------------------------------------------
// For a crash or a hang: what was running
// ---------------------------------------------------------------------------------
char textoEnCurso[256] = "start-up";
std::atomic<int64_t> inicioOperacionMs{0};
std::atomic<bool> vigilando{false};

void AlMorir(int senal)
{
    char linea[400];
    const int n = std::snprintf(linea, sizeof linea, "\nsoak CRASH (signal %d) in %s\n", senal, textoEnCurso);
    if (n > 0)
        (void)!::write(2, linea, size_t(n));
    std::signal(senal, SIG_DFL);
    std::raise(senal);
}

// A long list cut for the report.
QString Corto(const QStringList& l, int n = 16)
{
    return l.size() <= n ? l.join(u", "_s) : l.mid(0, n).join(u", "_s) + u", ... (%1 in all)"_s.arg(l.size());
}

int64_t AhoraMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Reloj::now().time_since_epoch()).count();
}

// ---------------------------------------------------------------------------------
// What the window shows
// ---------------------------------------------------------------------------------
// The parameter fields' values (texts, list entries, check states), by name.
QMap<QString, QString> ValoresParametros()
{
    const QMap<QString, QString> todos = ValoresCampos();
    QMap<QString, QString> v;
    for (const FilaMapa& f : MapaMemoria()) {
        v.insert(QString::fromLatin1(f.campo), todos.value(QString::fromLatin1(f.campo)));
        if (f.campoCuentas)
            v.insert(QString::fromLatin1(f.campoCuentas), todos.value(QString::fromLatin1(f.campoCuentas)));
    }
    return v;
}

QString Diferencias(const QMap<QString, QString>& esperado, const QMap<QString, QString>& visto)
{
    QStringList d;
    for (auto it = esperado.begin(); it != esperado.end(); ++it)
        if (visto.value(it.key()) != it.value())
            d.append(u"%1 shows \"%2\", expected \"%3\""_s.arg(it.key(), visto.value(it.key()), it.value()));
    return d.join(u"; "_s);
}

struct Tabla {
    int32_t pautas[9][33];
    int32_t colores[9];
    QString captions[9];
    bool operator==(const Tabla& o) const
    {
        if (std::memcmp(pautas, o.pautas, sizeof pautas) != 0 || std::memcmp(colores, o.colores, sizeof colores) != 0)
            return false;
        for (int i = 1; i <= 8; ++i)
            if (captions[i] != o.captions[i])
                return false;
        return true;
    }
};

Tabla TablaVentana()
{
    Tabla t{};
    std::memcpy(t.pautas, TablaPautas, sizeof t.pautas);
    std::memcpy(t.colores, TablaColores, sizeof t.colores);
    for (int i = 1; i <= 8; ++i)
        t.captions[i] = LColor(i)->text();
    return t;
}

// The bytes a colour write must send: the window's table and the colours of its captions,
// laid into segments by the simulator's own helpers.
EstadoSimulador SegmentosDeVentana(const EstadoSimulador& base)
{
    EstadoSimulador e = base;
    for (int r = 1; r <= 8; ++r) {
        FijarColorFila(e, r, uint32_t(LColor(r)->text().toLongLong()) & 0xFFFFFFu);
        for (int c = 1; c <= 32; ++c)
            FijarEntradaTabla(e, r, c, uint16_t(TablaPautas[r][c]));
    }
    return e;
}

// The offsets a colour transfer moves, in its order, as segment * 256 + offset.
QList<int> OrdenSegmentos()
{
    QList<int> o;
    for (int s = 1; s <= 4; ++s) {
        for (int b = 0; b <= 66; ++b)
            o.append(s * 256 + b);
        for (int b = 128; b <= 194; ++b)
            o.append(s * 256 + b);
    }
    return o;
}

bool Presente(int a)
{
    return (MapaParametros[a / 8] >> (a % 8)) & 1;
}

struct Edicion {
    const char* campo;
    int primera;
    int celdas;
    int escala;     // the text is the number / escala
    int decimales;
};
// Fields a technician edits, with where and how their value lies in the cells.
constexpr Edicion Ediciones[] = {
    {"TVelocidadUsuario1", 0, 3, 10000, 4},
    {"TVelocidadUsuario2", 3, 3, 10000, 4},
    {"TTiempoLampara1", 28, 2, 10, 1},
    {"TTiempoLampara2", 30, 2, 10, 1},
    {"TTiempoFalloRed", 32, 2, 10, 1},
    {"TTiempoRetornoRed", 34, 2, 10, 1},
    {"TFotocelulaInterior", 36, 2, 10, 1},
    {"TMargenErrorMotor2", 51, 2, 100, 2},
    {"TVueltasError", 53, 1, 1, 0},
};

struct Orden {
    QPushButton* Ui::frmMain::*boton;
    int indice;
    int dato;
    const char* exito;
    const char* fallo;
};
const Orden Ordenes[] = {
    {&Ui::frmMain::CDia, 1, 1, " QZL is in day mode", " QZL day mode failed"},
    {&Ui::frmMain::CNoche, 1, 2, " QZL is in night mode", " QZL night mode failed"},
    {&Ui::frmMain::CNormal, 1, 0, " QZL normal mode", " QZL normal mode failed"},
    {&Ui::frmMain::CCambioLamparaOn, 0, 1, " QZL changer On", " QZL changer On failed"},
    {&Ui::frmMain::CCambioLamparaOff, 0, 0, " QZL changer Off", " QZL changer Off failed"},
    {&Ui::frmMain::CFalloRedOn, 2, 1, " QZL sector fail On OK", " QZL sector fail On OK failed"},
    {&Ui::frmMain::CFalloRedOff, 2, 0, " QZL sector fail Off OK", " QZL sector fail Off OK failed"},
    {&Ui::frmMain::btnTelemandoMotor1, 3, 0, " QZL Motor 1 OK", " QZL Motor 1 fail"},
    {&Ui::frmMain::btnTelamandoMotor2, 3, 1, " QZL Motor 2 OK", " QZL Motor 2 fail"},
};

enum class Op { Leer, Escribir, Editar, EscribirColores, LeerColores, EditarTabla, Estado, Valores, Directa, Temporizadores, Cambiar,
                Verificar, Comparar };
const char* NombreOp(Op o)
{
    switch (o) {
    case Op::Leer: return "read";
    case Op::Escribir: return "write";
    case Op::Editar: return "edit fields";
    case Op::EscribirColores: return "colour write";
    case Op::LeerColores: return "colour read";
    case Op::EditarTabla: return "edit table";
    case Op::Estado: return "status";
    case Op::Valores: return "live values";
    case Op::Directa: return "direct command";
    case Op::Temporizadores: return "poll timers";
    case Op::Cambiar: return "controller swapped";
    case Op::Verificar: return "verified write";
    case Op::Comparar: return "compare";
    }
    return "?";
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT

    SimuladorPtr sim;
    Sorteo azarFallos;
    std::mt19937_64 azar;      // the operations and their data
    std::mt19937 azarMolestias;  // the clicks meanwhile, apart so that their timing never moves the rest
    uint64_t semilla = 0;
    int segundos = 30;
    double factor = 0.1;
    bool pararAlPrimero = false;
    bool detallado = false;  // QZL_SOAK_VERBOSE=1: each operation as it starts

    int numeroOp = 0;
    Op opActual = Op::Leer;
    size_t primeraTramaOp = 0;
    QStringList fallos;
    std::map<Op, int> operaciones;

    // What the window holds for each cell: what the last good read showed, and the edits since.
    std::array<int, 256> modelo{};
    bool sinEdicionDesdeLectura = false;
    // What a write must end with, sending nothing, while the fields are not the controller's
    // own (no identification yet, or a failed identification or read since the last good
    // read); empty when it may write.
    QString rechazoEscritura;  // set when the window exists: no identification yet
    FormaRespuesta forma = FormaRespuesta::Completa;
    // How often the checks of the new rules came into play, for the summary.
    int escriturasRehusadas = 0, actosEnCampos = 0, cambiosDuranteColores = 0;
    // Verified writes and compares: how many met a controller that did not hold what it was
    // sent or shown, how many of those were reported, and how many sound ones were not.
    int conFalloAlmacen = 0, fallosAlmacenVistos = 0, fallosAlmacenPerdidos = 0, falsasAlarmas = 0;
    // Fault-free reads of each controller state seen, by its cells.
    std::map<std::array<uint8_t, 256>, QMap<QString, QString>> referencias;

    int Entre(int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); }

    // What went wrong in the running operation; reported once when it ends.
    QStringList problemas;
    void Fallo(const QString& que)
    {
        if (!problemas.contains(que))
            problemas.append(que);
    }

    void Informar()
    {
        if (problemas.isEmpty())
            return;
        QStringList drawn;
        {
            std::lock_guard<std::mutex> l(azarFallos.m);
            for (size_t i = primeraTramaOp; i < azarFallos.vistas.size(); ++i) {
                const TramaVista& v = azarFallos.vistas[i];
                if (v.fallo.tipo != FalloTrama::Ninguno)
                    drawn.append(QString::fromStdString(TramaHex(v.trama.data())) + u' '
                                 + QLatin1String(NombreTipoFallo(v.fallo.tipo))
                                 + (v.fallo.Ms ? u" %1ms"_s.arg(v.fallo.Ms) : QString()));
            }
        }
        QStringList lineas = problemas;
        if (lineas.size() > 12) {
            const qsizetype resto = lineas.size() - 12;
            lineas = lineas.mid(0, 12);
            lineas.append(u"... and %1 more"_s.arg(resto));
        }
        const QString texto = u"soak FAILURE: seed %1, operation %2 (%3):\n  - %4\n  faults drawn in it: %5\n  replay: FACTOR=%7 RATE=%8 scripts/soak %6 %1"_s
                                  .arg(semilla).arg(numeroOp).arg(QLatin1String(NombreOp(opActual)), lineas.join(u"\n  - "_s),
                                       drawn.isEmpty() ? u"none"_s : Corto(drawn, 40))
                                  .arg(segundos).arg(factor).arg(azarFallos.tasa);
        std::fprintf(stderr, "%s\n", qPrintable(texto));
        fallos.append(texto);
        problemas.clear();
    }

    std::vector<TramaVista> TramasDesde(size_t desde)
    {
        std::lock_guard<std::mutex> l(azarFallos.m);
        return std::vector<TramaVista>(azarFallos.vistas.begin() + long(std::min(desde, azarFallos.vistas.size())),
                                       azarFallos.vistas.end());
    }
    size_t TramasVistas()
    {
        std::lock_guard<std::mutex> l(azarFallos.m);
        return azarFallos.vistas.size();
    }
    void Faltas(bool activas)
    {
        std::lock_guard<std::mutex> l(azarFallos.m);
        azarFallos.activo = activas;
    }

    // The op's own frames (those `propia` accepts) must be a sequence of transactions, each
    // one to three identical frames, in the order of `esperado` (keys from `clave`), skipping
    // only what a failure skips. True when all of `esperado` came.
    bool OrdenPropio(const std::vector<TramaVista>& tramas, const std::function<bool(const Trama&)>& propia,
                     const std::function<int(const Trama&)>& clave, const QList<int>& esperado)
    {
        int pos = -1;
        int repeticiones = 0;
        Trama anterior{};
        bool hayAnterior = false;
        int transacciones = 0;
        for (const TramaVista& v : tramas) {
            if (!propia(v.trama))
                continue;
            // All of it came: what follows is the same operation started again by a click
            // handled in its closing event processing, as the window allows.
            if (!esperado.isEmpty() && pos == int(esperado.size()) - 1 && !(hayAnterior && v.trama == anterior))
                break;
            if (hayAnterior && v.trama == anterior) {
                if (++repeticiones > 3) {
                    Fallo(u"frame %1 sent more than three times in a row"_s.arg(QString::fromStdString(TramaHex(v.trama.data()))));
                    return false;
                }
                continue;
            }
            const int k = clave(v.trama);
            const int siguiente = int(esperado.indexOf(k, pos + 1));
            if (siguiente < 0) {
                Fallo(u"frame %1 out of order or not this operation's"_s.arg(QString::fromStdString(TramaHex(v.trama.data()))));
                return false;
            }
            pos = siguiente;
            anterior = v.trama;
            hayAnterior = true;
            repeticiones = 1;
            ++transacciones;
        }
        return transacciones == esperado.size();
    }

    // No frame may follow a try that got no reply in time sooner than the reply limit: the
    // tool would have started a transaction while another waited, or taken bytes that were
    // not that frame's reply. Half the limit: the simulator's thread may itself see a
    // frame some tens of milliseconds late on a loaded machine.
    void SinSolape(const std::vector<TramaVista>& tramas)
    {
        const auto limite = std::chrono::milliseconds(int(LimiteRespuestaMs * factor * 0.5));
        for (size_t i = 1; i < tramas.size(); ++i) {
            const TramaVista& x = tramas[i - 1];
            const bool sinRespuesta = x.fallo.tipo == FalloTrama::Silencio || x.fallo.tipo == FalloTrama::Parcial
                || x.fallo.tipo == FalloTrama::Tarde;
            // A frame that waited while the simulator slept over an earlier late reply was
            // seen late; its timing says nothing. So was one taken from the line at once after
            // the simulator had done with the frame before it: it had been waiting there
            // (the tool paces its frames at least 20 ms apart).
            auto finDe = [](const TramaVista& t) { return t.llegada + std::chrono::milliseconds(t.fallo.Ms); };
            const bool vistaTarde = i >= 2
                && (tramas[i - 2].fallo.tipo == FalloTrama::Tarde
                    || x.llegada - finDe(tramas[i - 2]) < std::chrono::milliseconds(5));
            if (!sinRespuesta || vistaTarde)
                continue;
            const auto hueco = tramas[i].llegada - x.llegada;
            if (hueco < limite)
                Fallo(u"frame %1 came %2 ms after %3, whose try got no reply in time (%4): a transaction overlapped "
                      u"another or took bytes that were not its reply"_s
                          .arg(QString::fromStdString(TramaHex(tramas[i].trama.data())))
                          .arg(std::chrono::duration_cast<std::chrono::milliseconds>(hueco).count())
                          .arg(QString::fromStdString(TramaHex(x.trama.data())), QLatin1String(NombreTipoFallo(x.fallo.tipo))));
        }
    }

    // The last of the op's own texts on panel 1 since the click.
    QString UltimoPropio(const QRegularExpression& propio)
    {
        const QStringList h = HistorialPanel1();
        for (qsizetype i = h.size() - 1; i >= 0; --i)
            if (propio.match(h[i]).hasMatch())
                return h[i];
        return QString();
    }

    // The first of them, for an op whose every such text ends it and which a background
    // click can write too: a click that runs in the op's last event processing, after its
    // port was closed, is an operation of its own and writes after it (on a pulled line
    // a direct command's "Serial Port  1  Not Avalaible" after the interrogation's "End check").
    QString PrimerPropio(const QRegularExpression& propio)
    {
        for (const QString& t : HistorialPanel1())
            if (propio.match(t).hasMatch())
                return t;
        return QString();
    }

    // Clicks that keep arriving while an operation runs, and the timers that tick.
    QTimer molestias;
    void Molestar(bool si)
    {
        if (si)
            molestias.start(std::uniform_int_distribution<int>(15, 60)(azarMolestias));
        else
            molestias.stop();
    }

    void Pulsar(QPushButton* b)
    {
        Molestar(true);
        b->click();
        Molestar(false);
    }

    void Reponer()
    {
        // A line pulled after its reply goes once the tool has taken that reply, which may
        // be after the operation ended: wait for it, so the next operation finds it back.
        bool cortada = false;
        for (const TramaVista& v : TramasDesde(primeraTramaOp))
            cortada = cortada || v.fallo.tipo == FalloTrama::CortarLinea;
        if (cortada)
            (void)QTest::qWaitFor([this] { return !SimLineaAbierta(sim.get()); }, 5000);
        if (SimLineaAbierta(sim.get()))
            return;
        std::string error;
        if (!SimReabrirLinea(sim.get(), &error))
            Fallo(u"the simulator's line did not come back: "_s + QString::fromStdString(error));
    }

    // A fault-free read of the controller as it is now; what it shows is what every good
    // read of this state must show.
    bool Referencia()
    {
        const EstadoSimulador e = SimEstado(sim.get());
        if (referencias.count(e.Celdas))
            return true;
        Faltas(false);
        HistorialPanel1().clear();
        Ventana().CLeer->click();
        const QString fin = UltimoPropio(QRegularExpression(u"^(Ended|Changes pending record|.*Error in data \\d+)$"_s));
        if (fin != u"Ended"_s && fin != u"Changes pending record"_s) {
            Fallo(u"a fault-free read ended \"%1\""_s.arg(fin));
            return false;
        }
        referencias[e.Celdas] = ValoresParametros();
        rechazoEscritura.clear();
        for (int a = 0; a < 256; ++a)
            modelo[size_t(a)] = e.Celdas[size_t(a)];
        sinEdicionDesdeLectura = true;
        return true;
    }

    // conReferencia: a fault-free read of the controller comes first, as every good read must
    // show what it shows; without, the read is the first of a controller just put on the line.
    void OpLeer(bool conReferencia = true)
    {
        if (conReferencia && !Referencia())
            return;
        const EstadoSimulador e = SimEstado(sim.get());
        const QMap<QString, QString> antes = ValoresParametros();
        const QMap<QString, QString> esperado = conReferencia ? referencias[e.Celdas] : QMap<QString, QString>();
        primeraTramaOp = TramasVistas();
        Faltas(true);
        HistorialPanel1().clear();
        Pulsar(Ventana().CLeer);
        Faltas(false);
        const QString fin = UltimoPropio(QRegularExpression(u"^(Ended|Changes pending record|(Identification|Reading) Error in data \\d+)$"_s));
        const QStringList h = HistorialPanel1();
        const bool leida = h.lastIndexOf(u"Reading"_s) >= 0
            && (fin == u"Ended"_s || fin == u"Changes pending record"_s);
        const std::vector<TramaVista> tramas = TramasDesde(primeraTramaOp);
        QList<int> orden;
        for (int i = 0; i < 32; ++i)
            orden.append(128 * 256 + i);
        for (int a = 0; a < 256; ++a)
            if (EsPresente(e, a))
                orden.append(256 + a);
        const bool completa = OrdenPropio(tramas, [](const Trama& t) { return t[4] == 128 || t[4] == 1; },
                                          [](const Trama& t) { return t[4] * 256 + t[5]; }, orden);
        if (leida) {
            const QString d = conReferencia ? Diferencias(esperado, ValoresParametros()) : QString();
            if (!d.isEmpty())
                Fallo(u"the read ended \"%1\" but shows what the controller does not hold: %2"_s.arg(fin, d));
            if (!completa)
                Fallo(u"the read ended \"%1\" without asking every present address"_s.arg(fin));
            for (int a = 0; a < 256; ++a)
                modelo[size_t(a)] = e.Celdas[size_t(a)];
            sinEdicionDesdeLectura = true;
            rechazoEscritura.clear();
        } else {
            // The map is not trusted after a failed identification, nor the fields after a failed read.
            rechazoEscritura = TextoRecurso(h.contains(u"Reading"_s) ? 2006 : 2005);
            if (fin.isEmpty() || fin == u"Ended"_s || fin == u"Changes pending record"_s)
                Fallo(u"the read failed but its last own text is \"%1\" (history: %2)"_s.arg(fin, h.join(u" | "_s)));
            const QString d = Diferencias(antes, ValoresParametros());
            if (!d.isEmpty())
                Fallo(u"a failed read (\"%1\") changed fields: %2"_s.arg(fin, d));
        }
        SinSolape(tramas);
    }

    void OpEscribir()
    {
        const EstadoSimulador antes = SimEstado(sim.get());
        QList<int> direcciones;
        for (int a = 0; a < 256; ++a)
            if (Presente(a) && (a < PrimeraCeldaFabricacion || a > UltimaCeldaFabricacion))
                direcciones.append(a);
        primeraTramaOp = TramasVistas();
        const bool sinEdicion = sinEdicionDesdeLectura;
        const QString rechazo = rechazoEscritura;
        Faltas(true);
        HistorialPanel1().clear();
        DialogosMostrados().clear();
        Pulsar(Ventana().CEscribir);
        Faltas(false);
        if (!rechazo.isEmpty()) {
            ++escriturasRehusadas;
            // Nothing of the window may reach a controller whose identification or read failed.
            for (const TramaVista& v : TramasDesde(primeraTramaOp))
                if (v.trama[4] == 2) {
                    Fallo(u"a write after a failed identification or read sent %1"_s.arg(QString::fromStdString(TramaHex(v.trama.data()))));
                    break;
                }
            if (!HistorialPanel1().contains(rechazo))
                Fallo(u"a write that may not write did not say \"%1\" (history: %2)"_s.arg(rechazo, HistorialPanel1().join(u" | "_s)));
            if (HistorialPanel1().contains(u"Ended"_s) || HistorialPanel1().contains(u"Writing"_s))
                Fallo(u"a write that may not write showed \"Writing\" or \"Ended\": "_s + HistorialPanel1().join(u" | "_s));
            if (!CeldasDistintas(antes, SimEstado(sim.get())).isEmpty())
                Fallo(u"a write that may not write changed the controller"_s);
            // Then a good read and the write again, so that writes stay as often exercised
            // however often reads fail.
            Informar();
            referencias.erase(antes.Celdas);
            if (Referencia())
                OpEscribir();
            return;
        }
        const QString fin = UltimoPropio(QRegularExpression(u"^(Ended|Writing Error in data \\d+|Reading Error in data \\d+)$"_s));
        const EstadoSimulador despues = SimEstado(sim.get());
        const std::vector<TramaVista> tramas = TramasDesde(primeraTramaOp);
        QStringList ajenos;
        for (const TramaVista& v : tramas) {
            const QString x = u"cell %1 sent %2, held %3"_s.arg(v.trama[5]).arg(v.trama[6]).arg(modelo[v.trama[5]]);
            if (v.trama[4] == 2 && int(v.trama[6]) != modelo[v.trama[5]] && !ajenos.contains(x))
                ajenos.append(x);
        }
        if (!ajenos.isEmpty())
            Fallo(u"%1 write frames carry a value the window did not hold: %2"_s.arg(ajenos.size()).arg(Corto(ajenos)));
        const bool completa = OrdenPropio(tramas, [](const Trama& t) { return t[4] == 2; },
                                          [](const Trama& t) { return int(t[5]); }, direcciones);
        // Its own messages only: a live-value refresh clicked meanwhile may find no port.
        for (const PeticionDialogo& d : DialogosMostrados())
            if (d.texto.startsWith(u"Error de escritura"_s))
                Fallo(u"the write stopped with the message \"%1\" (history: %2)"_s.arg(d.texto, HistorialPanel1().join(u" | "_s)));
        QStringList distintas;
        for (int a = 0; a < 256; ++a) {
            const int v = despues.Celdas[size_t(a)];
            const bool escrita = direcciones.contains(a);
            if (v != antes.Celdas[size_t(a)] && !(escrita && v == modelo[size_t(a)]))
                distintas.append(u"%1: %2 -> %3"_s.arg(a).arg(antes.Celdas[size_t(a)]).arg(v));
            else if (fin == u"Ended"_s && escrita && v != modelo[size_t(a)])
                distintas.append(u"%1 holds %2, not the window's %3"_s.arg(a).arg(v).arg(modelo[size_t(a)]));
        }
        if (!distintas.isEmpty())
            Fallo(u"the write (\"%1\") left the controller with cells the window did not hold: %2"_s.arg(fin, Corto(distintas)));
        if (fin == u"Ended"_s && !completa)
            Fallo(u"the write ended \"Ended\" without writing every present address"_s);
        if (fin.isEmpty())
            Fallo(u"the write ended with no text of its own: "_s + HistorialPanel1().join(u" | "_s));
        if (fin != u"Ended"_s && !fin.startsWith(u"Writing Error"_s))
            Fallo(u"the write failed with \"%1\", not its own failure text"_s.arg(fin));
        if (sinEdicion) {
            const QList<int> cambiadas = CeldasDistintas(antes, despues);
            if (!cambiadas.isEmpty()) {
                QStringList c;
                for (int a : cambiadas)
                    c.append(u"%1: %2 -> %3"_s.arg(a).arg(antes.Celdas[size_t(a)]).arg(despues.Celdas[size_t(a)]));
                Fallo(u"a write after a read with no edit changed %1 cells: %2"_s.arg(c.size()).arg(Corto(c)));
            }
        }
        SinSolape(tramas);
    }

    // The Differences window's rows while it is shown; it is closed for the next operation.
    int FilasDiferenciasMostradas()
    {
        QDialog* d = FormularioDiferencias();
        const int filas = d && d->isVisible() ? TablaDiferencias()->rowCount() : -1;
        if (d)
            d->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return filas;
    }

    // A write with "Verify after writing" ticked to a controller that may keep some of it
    // wrongly (a storage fault drawn for the operation, besides the line's faults): every
    // cell it did not keep is reported, and nothing else.
    void OpVerificar()
    {
        if (!rechazoEscritura.isEmpty()) {
            // A good read first, so that the write writes.
            referencias.erase(SimEstado(sim.get()).Celdas);
            if (!Referencia() || !rechazoEscritura.isEmpty())
                return;
        }
        static const FalloAlmacen almacenes[] = {FalloAlmacen::Ninguno, FalloAlmacen::Ninguno, FalloAlmacen::NoGuarda,
                                                 FalloAlmacen::BitCambiado, FalloAlmacen::SoloAlgunas};
        FallosSimulador f;
        f.Forma = forma;
        f.Almacen = almacenes[Entre(0, int(std::size(almacenes)) - 1)];
        f.ProporcionAlmacen = f.Almacen == FalloAlmacen::SoloAlgunas ? 1.0 : Entre(1, 20) / 100.0;
        SimFijarFallos(sim.get(), f);
        Ventana().chkVerificar->setChecked(true);
        primeraTramaOp = TramasVistas();
        // Half of them on a clean line: a long transfer meets a line fault that ends it
        // often enough that the storage faults would otherwise seldom be looked at.
        Faltas(Entre(0, 1) == 1);
        HistorialPanel1().clear();
        Pulsar(Ventana().CEscribir);
        Faltas(false);
        Ventana().chkVerificar->setChecked(false);
        f.Almacen = FalloAlmacen::Ninguno;
        SimFijarFallos(sim.get(), f);
        const int filas = FilasDiferenciasMostradas();
        const QString fin = UltimoPropio(QRegularExpression(
            u"^(\\d+ cells verified|\\d+ cells differ|Read-back failed at address \\d+|Writing Error in data \\d+)$"_s));
        const EstadoSimulador despues = SimEstado(sim.get());
        std::map<int, int> enviado;
        for (const TramaVista& v : TramasDesde(primeraTramaOp))
            if (v.trama[4] == 2)
                enviado[v.trama[5]] = v.trama[6];
        QStringList mal;
        EstadoSimulador reparado = despues;
        for (const auto& [a, dato] : enviado) {
            if (despues.Celdas[size_t(a)] != dato) {
                mal.append(u"%1 sent %2, holds %3"_s.arg(a).arg(dato).arg(despues.Celdas[size_t(a)]));
                reparado.Celdas[size_t(a)] = uint8_t(dato);
            }
        }
        if (fin.isEmpty())
            Fallo(u"the verified write ended with no text of its own: "_s + HistorialPanel1().join(u" | "_s));
        const bool verificada = fin.endsWith(u"cells verified"_s);
        const bool difieren = fin.endsWith(u"cells differ"_s);
        if (verificada || difieren) {
            if (!mal.isEmpty())
                ++conFalloAlmacen;
            if (verificada && !mal.isEmpty()) {
                ++fallosAlmacenPerdidos;
                Fallo(u"the verify said \"%1\" but %2 cells were not kept: %3"_s.arg(fin).arg(mal.size()).arg(Corto(mal)));
            }
            if (difieren && mal.isEmpty()) {
                ++falsasAlarmas;
                Fallo(u"the verify said \"%1\" of a controller that kept every cell"_s.arg(fin));
            }
            if (difieren && !mal.isEmpty()) {
                ++fallosAlmacenVistos;
                if (fin != u"%1 cells differ"_s.arg(mal.size()))
                    Fallo(u"the verify said \"%1\"; %2 cells were not kept: %3"_s.arg(fin).arg(mal.size()).arg(Corto(mal)));
                if (filas <= 0)
                    Fallo(u"the verify found cells that differ but showed no Differences window"_s);
            }
            if (verificada && filas >= 0)
                Fallo(u"a verify with nothing to show opened the Differences window"_s);
        }
        // The controller holds what was sent from here on, as after a sound write.
        if (!mal.isEmpty())
            SimFijarEstado(sim.get(), reparado);
        SinSolape(TramasDesde(primeraTramaOp));
    }

    // A compare with the controller, which may have lost some cells or table bytes behind
    // the window's back: it writes nothing, changes nothing in the window, and reports
    // differences exactly when the controller does not hold what the window does.
    void OpComparar()
    {
        const EstadoSimulador original = SimEstado(sim.get());
        EstadoSimulador e = original;
        const bool conPautas = Entre(0, 1) == 1;
        if (Entre(0, 1) == 1) {
            for (int n = Entre(1, 3); n > 0; --n) {
                const int a = Entre(0, 255);
                e.Celdas[size_t(a)] = uint8_t(e.Celdas[size_t(a)] ^ (1u << Entre(0, 7)));
            }
            if (conPautas && Entre(0, 1) == 1) {
                const int s = Entre(0, 3);
                const int o = Entre(0, 1) ? Entre(0, 66) : Entre(128, 194);
                e.Segmentos[size_t(s)][size_t(o)] = uint8_t(e.Segmentos[size_t(s)][size_t(o)] ^ 0x10);
            }
            SimFijarEstado(sim.get(), e);
        }
        // What differs: present on both sides and unequal, or present on one side only.
        QStringList distintas;
        for (int a = 0; a < 256; ++a) {
            const bool enVentana = Presente(a);
            const bool enControlador = EsPresente(e, a);
            if (enVentana != enControlador)
                distintas.append(u"%1 present on one side"_s.arg(a));
            else if (enVentana && modelo[size_t(a)] != e.Celdas[size_t(a)])
                distintas.append(u"%1: window %2, controller %3"_s.arg(a).arg(modelo[size_t(a)]).arg(e.Celdas[size_t(a)]));
        }
        if (conPautas) {
            EstadoSimulador v = e;
            for (int r = 1; r <= 8; ++r) {
                FijarColorFila(v, r, uint32_t(TablaColores[r]) & 0xFFFFFFu);
                for (int c = 1; c <= 32; ++c)
                    FijarEntradaTabla(v, r, c, uint16_t(TablaPautas[r][c]));
            }
            for (int s = 0; s < 4; ++s)
                for (const MitadSegmento& m : MitadesSegmento)
                    for (int o = m.primera; o <= m.ultima; ++o)
                        if (v.Segmentos[size_t(s)][size_t(o)] != e.Segmentos[size_t(s)][size_t(o)])
                            distintas.append(u"segment %1 byte %2"_s.arg(s + 1).arg(o));
        }
        const QMap<QString, QString> antes = ValoresParametros();
        const QByteArray mapaAntes(reinterpret_cast<const char*>(MapaParametros), sizeof MapaParametros);
        FijarContestadorDialogos([conPautas](const PeticionDialogo&) {
            RespuestaDialogo r;
            r.eleccion = 0;
            r.marcada = conPautas;
            return r;
        });
        primeraTramaOp = TramasVistas();
        Faltas(Entre(0, 1) == 1);  // half on a clean line, as for the verified writes
        HistorialPanel1().clear();
        Pulsar(Ventana().CComparar);
        Faltas(false);
        ContestarDialogos();
        const int filas = FilasDiferenciasMostradas();
        const QString fin = UltimoPropio(QRegularExpression(u"^(Ended|(Identification|Reading) Error in data \\d+)$"_s));
        for (const TramaVista& v : TramasDesde(primeraTramaOp))
            if (v.trama[4] == 2 || (v.trama[4] >= 131 && v.trama[4] <= 134)) {
                Fallo(u"the compare sent %1"_s.arg(QString::fromStdString(TramaHex(v.trama.data()))));
                break;
            }
        const QString d = Diferencias(antes, ValoresParametros());
        if (!d.isEmpty())
            Fallo(u"the compare changed fields: "_s + d);
        if (QByteArray(reinterpret_cast<const char*>(MapaParametros), sizeof MapaParametros) != mapaAntes)
            Fallo(u"the compare changed the window's presence map"_s);
        if (fin == u"Ended"_s) {
            if (!distintas.isEmpty())
                ++conFalloAlmacen;
            if (filas < 0)
                Fallo(u"the compare ended \"Ended\" without its Differences window"_s);
            else if (filas == 0 && !distintas.isEmpty()) {
                ++fallosAlmacenPerdidos;
                Fallo(u"the compare found no differences, but %1 cells differ: %2"_s.arg(distintas.size()).arg(Corto(distintas)));
            } else if (filas > 0 && distintas.isEmpty()) {
                ++falsasAlarmas;
                Fallo(u"the compare listed %1 differences where there are none"_s.arg(filas));
            } else if (filas > 0) {
                ++fallosAlmacenVistos;
            }
        } else if (fin.isEmpty()) {
            Fallo(u"the compare ended with no text of its own: "_s + HistorialPanel1().join(u" | "_s));
        } else if (filas >= 0) {
            Fallo(u"the compare failed (\"%1\") but showed its Differences window"_s.arg(fin));
        }
        // The controller as it was, so that the rest of the run finds it unchanged.
        SimFijarEstado(sim.get(), original);
        SinSolape(TramasDesde(primeraTramaOp));
    }

    void OpEditar()
    {
        SeleccionarPestana(1);
        for (int n = Entre(1, 3); n > 0; --n) {
            const Edicion& e = Ediciones[Entre(0, int(std::size(Ediciones)) - 1)];
            auto* campo = qobject_cast<QLineEdit*>(Control(QLatin1String(e.campo)));
            if (!campo || !campo->isEnabled())
                continue;
            const int64_t maximo = (int64_t(1) << (8 * e.celdas)) - 1;
            const int64_t v = std::uniform_int_distribution<int64_t>(0, maximo)(azar);
            const QString texto = e.decimales ? QString::number(double(v) / e.escala, 'f', e.decimales)
                                              : QString::number(v);
            campo->setFocus();
            campo->selectAll();
            QTest::keyClicks(campo, texto);
            if (campo->text() != texto) {
                Fallo(u"%1 did not take \"%2\" (shows \"%3\")"_s.arg(QLatin1String(e.campo), texto, campo->text()));
                continue;
            }
            for (int k = 0; k < e.celdas; ++k)
                modelo[size_t(e.primera + k)] = int((v >> (8 * (e.celdas - 1 - k))) & 0xFF);
            sinEdicionDesdeLectura = false;
        }
        if (Entre(0, 3) == 0) {
            QCheckBox* c = Ventana().CheckBalizaEmergencia;
            if (c->isEnabled()) {
                c->click();
                // The cell: 0 clear, 1 ticked, 2 greyed.
                modelo[54] = c->checkState() == Qt::Checked ? 1 : c->checkState() == Qt::PartiallyChecked ? 2 : 0;
                sinEdicionDesdeLectura = false;
            }
        }
        if (Entre(0, 2) == 0) {
            // A list entry chosen and chosen back: the entry is written, even where the cell
            // held a value the list could not show.
            static const std::pair<const char*, int> listas[] = {{"cmbModofuncionamiento", 55}, {"ComboLamparaPrincipal", 40}};
            const auto& [nombre, celda] = listas[Entre(0, 1)];
            auto* l = qobject_cast<QComboBox*>(Control(QLatin1String(nombre)));
            if (l && l->isEnabled() && l->currentIndex() >= 0 && l->count() > 1) {
                const int i = l->currentIndex();
                l->setFocus();
                QTest::keyClick(l, i > 0 ? Qt::Key_Up : Qt::Key_Down);
                QTest::keyClick(l, i > 0 ? Qt::Key_Down : Qt::Key_Up);
                if (l->currentIndex() != i)
                    Fallo(u"%1 did not come back to entry %2"_s.arg(QLatin1String(nombre)).arg(i));
                modelo[size_t(celda)] = i;
                sinEdicionDesdeLectura = false;
                ++actosEnCampos;
            }
        }
        if (Entre(0, 2) == 0) {
            // The time typed over what it shows, 999 for any longer one: 999 is written.
            QLineEdit* t = Ventana().txtTiempoDe;
            bool ok = false;
            const int v = t->text().toInt(&ok);
            if (t->isEnabled() && ok && v >= 0 && v <= 65535) {
                const QString texto = t->text();
                t->setFocus();
                t->selectAll();
                QTest::keyClicks(t, texto);
                modelo[57] = v >> 8;
                modelo[58] = v & 0xFF;
                sinEdicionDesdeLectura = false;
                ++actosEnCampos;
            }
        }
    }

    void OpEscribirColores()
    {
        const EstadoSimulador antes = SimEstado(sim.get());
        const EstadoSimulador esperado = SegmentosDeVentana(antes);
        // The write takes the colours from the labels' captions into the table's colours.
        Tabla tablaAntes = TablaVentana();
        for (int r = 1; r <= 8; ++r)
            tablaAntes.colores[r] = int32_t(tablaAntes.captions[r].toLongLong());
        const QList<int> orden = OrdenSegmentos();
        primeraTramaOp = TramasVistas();
        // A change of the table tried while the write runs: cleared, typed into, a colour
        // chosen. The table is the write's until it ends: none of it may reach a frame.
        const size_t cambioTras = primeraTramaOp + size_t(Entre(1, 500));
        const int cambio = Entre(0, 2);
        const QColor color(Entre(0, 255), Entre(0, 255), Entre(0, 255));
        bool intentado = false;
        QTimer vigia;
        QObject::connect(&vigia, &QTimer::timeout, &vigia, [&] {
            if (intentado || TramasVistas() < cambioTras || !FormPrincipal())
                return;
            intentado = true;
            ++cambiosDuranteColores;
            switch (cambio) {
            case 0: Ventana().CBorrarTabla->click(); break;
            case 1:
                // Typed where the technician left the grid, then Tab to leave the cell.
                QTest::keyClicks(Ventana().MSFlexGridPautas, u"123"_s);
                QTest::keyClick(Ventana().MSFlexGridPautas, Qt::Key_Tab);
                break;
            default:
                ContestarDialogos(QString(), color);
                QTest::mouseClick(LColor(1), Qt::LeftButton);
                ContestarDialogos();
                break;
            }
        });
        vigia.start(1);
        Faltas(true);
        HistorialPanel1().clear();
        Pulsar(Ventana().CEscribirColores);
        Faltas(false);
        vigia.stop();
        if (intentado && !(TablaVentana() == tablaAntes)) {
            const Tabla ahora = TablaVentana();
            QStringList d;
            for (int r = 1; r <= 8; ++r) {
                if (ahora.colores[r] != tablaAntes.colores[r] || ahora.captions[r] != tablaAntes.captions[r])
                    d.append(u"colour %1: %2 \"%3\" -> %4 \"%5\""_s.arg(r).arg(tablaAntes.colores[r]).arg(tablaAntes.captions[r])
                                 .arg(ahora.colores[r]).arg(ahora.captions[r]));
                for (int c = 1; c <= 32; ++c)
                    if (ahora.pautas[r][c] != tablaAntes.pautas[r][c])
                        d.append(u"entry %1,%2: %3 -> %4"_s.arg(r).arg(c).arg(tablaAntes.pautas[r][c]).arg(ahora.pautas[r][c]));
            }
            Fallo(u"the table or the colours changed during the colour write (change %1 tried): %2"_s.arg(cambio).arg(Corto(d)));
        }
        const QString fin = UltimoPropio(QRegularExpression(u"^(Ended|Writing Error in data \\d+)$"_s));
        const EstadoSimulador despues = SimEstado(sim.get());
        const std::vector<TramaVista> tramas = TramasDesde(primeraTramaOp);
        for (const TramaVista& v : tramas) {
            const int c = v.trama[4];
            if (c >= 131 && c <= 134 && v.trama[6] != esperado.Segmentos[size_t(c - 131)][v.trama[5]])
                Fallo(u"colour write frame %1 carries %2; the window held %3"_s
                          .arg(QString::fromStdString(TramaHex(v.trama.data())))
                          .arg(v.trama[6]).arg(esperado.Segmentos[size_t(c - 131)][v.trama[5]]));
        }
        const bool completa = OrdenPropio(tramas, [](const Trama& t) { return t[4] >= 131 && t[4] <= 134; },
                                          [](const Trama& t) { return (t[4] - 130) * 256 + t[5]; }, orden);
        QStringList distintos;
        for (int s = 0; s < 4; ++s)
            for (int b = 0; b < 256; ++b) {
                const uint8_t v = despues.Segmentos[size_t(s)][size_t(b)];
                const bool transferido = orden.contains((s + 1) * 256 + b);
                if (v != antes.Segmentos[size_t(s)][size_t(b)] && !(transferido && v == esperado.Segmentos[size_t(s)][size_t(b)]))
                    distintos.append(u"%1/%2"_s.arg(s + 1).arg(b));
                else if (fin == u"Ended"_s && transferido && v != esperado.Segmentos[size_t(s)][size_t(b)])
                    distintos.append(u"%1/%2 not written"_s.arg(s + 1).arg(b));
            }
        if (!distintos.isEmpty())
            Fallo(u"the colour write (\"%1\") left segment bytes the window did not hold: %2"_s.arg(fin, Corto(distintos)));
        if (fin == u"Ended"_s && !completa)
            Fallo(u"the colour write ended \"Ended\" without sending every byte"_s);
        if (fin.isEmpty())
            Fallo(u"the colour write ended with no text of its own: "_s + HistorialPanel1().join(u" | "_s));
        SinSolape(tramas);
    }

    void OpLeerColores()
    {
        const Tabla antes = TablaVentana();
        const EstadoSimulador e = SimEstado(sim.get());
        primeraTramaOp = TramasVistas();
        Faltas(true);
        HistorialPanel1().clear();
        Pulsar(Ventana().CLeerColores);
        Faltas(false);
        const QString fin = UltimoPropio(QRegularExpression(u"^(Ended|Reading Error in data \\d+)$"_s));
        const std::vector<TramaVista> tramas = TramasDesde(primeraTramaOp);
        const bool completa = OrdenPropio(tramas, [](const Trama& t) { return t[4] >= 135 && t[4] <= 138; },
                                          [](const Trama& t) { return (t[4] - 134) * 256 + t[5]; }, OrdenSegmentos());
        if (fin == u"Ended"_s) {
            QStringList d;
            for (int r = 1; r <= 8; ++r) {
                if (uint32_t(TablaColores[r]) != ColorFila(e, r))
                    d.append(u"colour %1 is %2, controller %3"_s.arg(r).arg(TablaColores[r]).arg(ColorFila(e, r)));
                if (LColor(r)->text() != QString::number(ColorFila(e, r)))
                    d.append(u"LColor %1 reads %2"_s.arg(r).arg(LColor(r)->text()));
                for (int c = 1; c <= 32; ++c)
                    if (TablaPautas[r][c] != EntradaTabla(e, r, c))
                        d.append(u"entry %1,%2 is %3, controller %4"_s.arg(r).arg(c).arg(TablaPautas[r][c]).arg(EntradaTabla(e, r, c)));
            }
            if (!d.isEmpty())
                Fallo(u"the colour read ended \"Ended\" but holds what the controller does not: "_s + Corto(d));
            if (!completa)
                Fallo(u"the colour read ended \"Ended\" without reading every byte"_s);
        } else {
            if (fin.isEmpty())
                Fallo(u"the colour read ended with no text of its own: "_s + HistorialPanel1().join(u" | "_s));
            if (!(TablaVentana() == antes))
                Fallo(u"a failed colour read (\"%1\") changed the table or the colours"_s.arg(fin));
        }
        SinSolape(tramas);
    }

    void OpEditarTabla()
    {
        SeleccionarPestana(5);
        for (int n = Entre(1, 4); n > 0; --n) {
            FijarCeldaActualPautas(Entre(1, 8), Entre(1, 32));
            QTest::keyClicks(Ventana().MSFlexGridPautas, QString::number(Entre(0, 359)));
            FijarCeldaActualPautas(Entre(1, 8), Entre(1, 32));
        }
        if (Entre(0, 2) == 0) {
            ContestarDialogos(QString(), QColor(Entre(0, 255), Entre(0, 255), Entre(0, 255)));
            QTest::mouseClick(LColor(Entre(1, 8)), Qt::LeftButton);
            ContestarDialogos();
        }
    }

    void OpEstado()
    {
        const int e0 = Entre(0, 255), e1 = Entre(0, 255);
        const int medidas[3] = {Entre(1, 65535), Entre(1, 65535), Entre(1, 65535)};
        SimAplicar(sim.get(), u"status0 %1\nstatus1 %2\ncurrent %3\nspeed %4\nledcurrent %5"_s
                                  .arg(e0).arg(e1).arg(medidas[0]).arg(medidas[1]).arg(medidas[2]).toStdString());
        Ui::frmMain& v = Ventana();
        QCheckBox* casillas[4] = {v.chkEstado, v.chkCorrienteActual, v.chkVelocidadActual, v.chkCorrienteLeds};
        QLineEdit* campos[3] = {v.TCorrienteActual, v.TVelocidadActual, v.txtCorrienteLeds};
        for (QCheckBox* c : casillas)
            c->setChecked(Entre(0, 1) == 1);
        QString antes[3];
        for (int i = 0; i < 3; ++i)
            antes[i] = campos[i]->text();
        QList<int> orden;
        if (v.chkEstado->isChecked())
            orden << 0 << 1;
        for (int i = 0; i < 3; ++i)
            if (casillas[i + 1]->isChecked())
                orden << 2 + 2 * i << 3 + 2 * i;
        primeraTramaOp = TramasVistas();
        Faltas(true);
        HistorialPanel1().clear();
        Pulsar(v.CInterrogar);
        Faltas(false);
        const QString fin = PrimerPropio(QRegularExpression(u"^(End check|Serial Port .*)$"_s));
        if (fin != u"End check"_s)
            Fallo(u"the interrogation ended \"%1\" (history: %2)"_s.arg(fin, HistorialPanel1().join(u" | "_s)));
        auto texto = [](int alto, int bajo) { return QLocale().toString((alto * 256 + bajo) / 100.0, 'f', 2); };
        for (int i = 0; i < 3; ++i) {
            const QString t = campos[i]->text();
            if (!casillas[i + 1]->isChecked()) {
                if (t != antes[i])
                    Fallo(u"%1 changed though not asked for"_s.arg(campos[i]->objectName()));
                continue;
            }
            const int alto = medidas[i] >> 8, bajo = medidas[i] & 0xFF;
            // A failed reply answers 0.
            if (t != texto(alto, bajo) && t != texto(alto, 0) && t != texto(0, bajo) && t != texto(0, 0))
                Fallo(u"%1 shows %2; the controller's value is %3"_s.arg(campos[i]->objectName(), t, texto(alto, bajo)));
        }
        if (v.chkEstado->isChecked()) {
            const int visto = (!v.LedOn->isHidden() ? 1 : 0) | (!v.LedMotorOn->isHidden() ? 2 : 0)
                | (!v.LedRojoAlarmaMotor->isHidden() ? 4 : 0);
            if (visto != (e0 & 7) && visto != 0)
                Fallo(u"status byte 0 lamps show %1; the controller's bits are %2"_s.arg(visto).arg(e0 & 7));
        }
        const std::vector<TramaVista> tramas = TramasDesde(primeraTramaOp);
        // Its own frames come first in the operation, before any click that arrived meanwhile.
        OrdenPropio(tramas, [](const Trama& t) { return t[4] == 5 && t[5] <= 7; },
                    [](const Trama& t) { return int(t[5]); }, orden);
        SinSolape(tramas);
    }

    void OpValores()
    {
        const int grupos[3] = {Entre(0, 255), Entre(0, 255), Entre(0, 7)};
        SimAplicar(sim.get(), u"inputs %1\noutputs %2\noutputs9 %3"_s.arg(grupos[0]).arg(grupos[1]).arg(grupos[2]).toStdString());
        primeraTramaOp = TramasVistas();
        Faltas(true);
        HistorialPanel1().clear();
        Pulsar(Ventana().btnVerValoresInstantaneos);
        Faltas(false);
        const QString fin = PrimerPropio(QRegularExpression(u"^(End check|Error)$"_s));
        if (fin != u"End check"_s)
            Fallo(u"the live values ended \"%1\" (history: %2)"_s.arg(fin, HistorialPanel1().join(u" | "_s)));
        struct Grupo { QLabel* (*etiqueta)(int); int primera; int cuantas; int valor; };
        const Grupo g[3] = {{lblExterna, 1, 8, grupos[0]}, {lblSalida, 1, 8, grupos[1]}, {lblSalida, 9, 3, grupos[2]}};
        for (const Grupo& x : g) {
            QString visto, esperado, noLeido;
            for (int k = 0; k < x.cuantas; ++k) {
                visto += x.etiqueta(x.primera + k)->text() + u' ';
                esperado += ((x.valor >> k) & 1 ? u"ON"_s : u"OFF"_s) + u' ';
                noLeido += u"-- "_s;
            }
            if (visto != esperado && visto != noLeido)
                Fallo(u"live values from %1 show %2; the controller's are %3"_s.arg(x.primera).arg(visto, esperado));
        }
        const std::vector<TramaVista> tramas = TramasDesde(primeraTramaOp);
        OrdenPropio(tramas, [](const Trama& t) { return t[4] == 5 && t[5] >= 8; },
                    [](const Trama& t) { return int(t[5]); }, {8, 9, 10});
        SinSolape(tramas);
    }

    void OpDirecta()
    {
        const Orden& o = Ordenes[Entre(0, int(std::size(Ordenes)) - 1)];
        EstadoSimulador e = SimEstado(sim.get());
        e.UltimaOrden[size_t(o.indice)] = -1;
        SimFijarEstado(sim.get(), e);
        primeraTramaOp = TramasVistas();
        Faltas(true);
        HistorialPanel1().clear();
        Pulsar(Ventana().*o.boton);
        Faltas(false);
        const QString fin = PrimerPropio(QRegularExpression(u"^(%1|%2)$"_s.arg(
            QRegularExpression::escape(QLatin1String(o.exito)), QRegularExpression::escape(QLatin1String(o.fallo)))));
        const int hecho = SimEstado(sim.get()).UltimaOrden[size_t(o.indice)];
        if (fin == QLatin1String(o.exito)) {
            if (hecho != o.dato)
                Fallo(u"\"%1\" reported, but the controller never carried it out"_s.arg(fin));
        } else if (fin != QLatin1String(o.fallo)) {
            Fallo(u"the command ended \"%1\" (history: %2)"_s.arg(fin, HistorialPanel1().join(u" | "_s)));
        }
        SinSolape(TramasDesde(primeraTramaOp));
    }

    void OpTemporizadores()
    {
        Ui::frmMain& v = Ventana();
        if (v.CModoVerboso->isEnabled()) {
            v.TTiempoModoVerboso->setText(QString::number(Entre(2, 8) / 10.0 * factor * 10, 'f', 2));
            v.CModoVerboso->click();
        } else {
            v.Command1->click();
        }
        if (Entre(0, 1) == 0)
            v.btnSpoolValorInstantaneo->click();
    }

    // Another controller on the line: its cells and table drawn anew, then read at once. A
    // read that fails leaves the other controller's values in the window, and a write then
    // sends nothing; a good one shows what a fault-free read of it shows.
    void OpCambiar()
    {
        EstadoSimulador e = SimEstado(sim.get());
        DibujarControlador(e);
        SimFijarEstado(sim.get(), e);
        sinEdicionDesdeLectura = false;
        OpLeer(false);
        // A line pulled in the read comes back before the checks that follow talk to it.
        Reponer();
        if (!rechazoEscritura.isEmpty()) {
            OpEscribir();
            return;
        }
        const QMap<QString, QString> vistos = ValoresParametros();
        referencias.erase(e.Celdas);
        if (!Referencia())
            return;
        const QString d = Diferencias(referencias[e.Celdas], vistos);
        if (!d.isEmpty())
            Fallo(u"the first read of a controller just put on the line showed what it does not hold: "_s + d);
    }

    // The run's last write, with Exit pressed in the middle of it: the write goes on to its
    // end with the window shown and the notice in panel 1, then the window closes.
    void SalirDuranteEscritura()
    {
        if (!rechazoEscritura.isEmpty()) {
            referencias.clear();
            if (!Referencia())
                return;
        }
        primeraTramaOp = TramasVistas();
        const size_t salirTras = primeraTramaOp + size_t(Entre(1, 200));
        bool pedida = false;
        bool ocultaDuranteLaEscritura = false;
        QTimer vigia;
        QObject::connect(&vigia, &QTimer::timeout, &vigia, [&] {
            if (!pedida && TramasVistas() >= salirTras && FormPrincipal()) {
                pedida = true;
                Ventana().Csalir->click();
            }
            if (pedida && OperacionEnCurso() && (!FormPrincipal() || !FormPrincipal()->isVisible()))
                ocultaDuranteLaEscritura = true;
        });
        vigia.start(1);
        Faltas(true);
        HistorialPanel1().clear();
        if (FormPrincipal())
            Ventana().CEscribir->click();
        Faltas(false);
        vigia.stop();
        if (!pedida) {
            std::printf("soak: the last write ended before Exit was pressed: %s\n",
                        qPrintable(Corto(HistorialPanel1(), 8)));
            return;
        }
        if (ocultaDuranteLaEscritura)
            Fallo(u"the window went while the write ran after Exit"_s);
        if (!HistorialPanel1().contains(TextoRecurso(2007)))
            Fallo(u"Exit during the write did not say that the program ends when the write is done: "_s
                  + HistorialPanel1().join(u" | "_s));
        const QString fin = UltimoPropio(QRegularExpression(u"^(Ended|Writing Error in data \\d+)$"_s));
        QList<int> direcciones;
        for (int a = 0; a < 256; ++a)
            if (Presente(a) && (a < PrimeraCeldaFabricacion || a > UltimaCeldaFabricacion))
                direcciones.append(a);
        const bool completa = OrdenPropio(TramasDesde(primeraTramaOp), [](const Trama& t) { return t[4] == 2; },
                                          [](const Trama& t) { return int(t[5]); }, direcciones);
        if (fin == u"Ended"_s && !completa)
            Fallo(u"the write after Exit ended \"Ended\" without writing every present address"_s);
        if (fin.isEmpty())
            Fallo(u"the write after Exit ended with no text of its own: "_s + HistorialPanel1().join(u" | "_s));
        const EstadoSimulador despues = SimEstado(sim.get());
        for (const int a : direcciones)
            if (fin == u"Ended"_s && despues.Celdas[size_t(a)] != modelo[size_t(a)])
                Fallo(u"after Exit, cell %1 holds %2, not the window's %3"_s.arg(a).arg(despues.Celdas[size_t(a)]).arg(modelo[size_t(a)]));
        if (!QTest::qWaitFor([] { return !FormPrincipal() || !FormPrincipal()->isVisible(); }, 5000))
            Fallo(u"the window stayed after the write that Exit waited for"_s);
    }

    // Every address present; the cells no field shows, and the values of many fields, drawn
    // from the seed, so that a write of what was read must keep them; lists and times drawn
    // beyond what their fields can show, so that only an act on the field may change them.
    void DibujarControlador(EstadoSimulador& e)
    {
        for (int a = 0; a < 256; ++a)
            FijarPresente(e, a);
        auto byte = [&] { return uint8_t(Entre(0, 255)); };
        for (int a = 61; a <= 220; ++a)
            e.Celdas[size_t(a)] = byte();
        for (int a = 225; a <= 230; ++a)
            e.Celdas[size_t(a)] = byte();
        for (int a : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 21, 22, 25, 26, 28, 29, 30, 31, 32,
                      33, 34, 35, 36, 37, 42, 43, 44, 45, 47, 48, 49, 51, 52, 53, 56, 57, 58, 59, 60, 221, 222, 223,
                      224, 247, 248, 249, 250, 251, 253, 254, 255})
            e.Celdas[size_t(a)] = byte();
        for (int a : {17, 19, 23}) {  // light levels, as the sensor's 10-bit counts
            const int cuentas = Entre(0, 1023);
            e.Celdas[size_t(a)] = uint8_t(cuentas >> 8);
            e.Celdas[size_t(a + 1)] = uint8_t(cuentas & 0xFF);
        }
        for (int r = 1; r <= 8; ++r) {
            FijarColorFila(e, r, uint32_t(Entre(0, 0xFFFFFF)));
            for (int c = 1; c <= 32; ++c)
                FijarEntradaTabla(e, r, c, uint16_t(Entre(0, 3) == 0 ? 511 : Entre(0, 359)));
        }
        e.Celdas[55] = uint8_t(Entre(0, 3));
        e.Celdas[40] = uint8_t(Entre(0, 7));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        segundos = int(EntornoReal("QZL_SOAK_SECONDS", 30));
        factor = EntornoReal("QZL_SOAK_FACTOR", 0.1);
        pararAlPrimero = qEnvironmentVariable("QZL_SOAK_STOP") == u"1"_s;
        detallado = qEnvironmentVariable("QZL_SOAK_VERBOSE") == u"1"_s;
        bool ok = false;
        semilla = qEnvironmentVariable("QZL_SOAK_SEED").toULongLong(&ok);
        if (!ok)
            semilla = uint64_t(std::chrono::system_clock::now().time_since_epoch().count()) % 1000000007u;
        azarFallos.tasa = EntornoReal("QZL_SOAK_RATE", 0.08);
        azarFallos.factor = factor;
        // The reply shape from a stream of its own, so the rest of a seed's draws stay as they were.
        std::mt19937_64 azarForma(semilla * 31u + 7u);
        forma = FormasRespuesta[std::uniform_int_distribution<size_t>(0, std::size(FormasRespuesta) - 1)(azarForma)];
        const QString nombreForma = qEnvironmentVariable("QZL_SOAK_SHAPE");
        for (const FormaRespuesta f : FormasRespuesta)
            if (nombreForma == QLatin1String(NombreForma(f)))
                forma = f;
        azarFallos.sinCabecera = forma == FormaRespuesta::Ceros || forma == FormaRespuesta::SinCabecera
            || forma == FormaRespuesta::SinCabeceraComando;
        azarFallos.sinEco = forma != FormaRespuesta::Completa && forma != FormaRespuesta::SinCabecera;
        std::printf("soak: seed %llu, replies %s, %d s, waits x%g, %g of the frames faulted\n",
                    static_cast<unsigned long long>(semilla), NombreForma(forma), segundos, factor, azarFallos.tasa);
        std::fflush(stdout);
        azar.seed(semilla);
        azarMolestias.seed(uint32_t(semilla * 7919u + 1u));
        std::signal(SIGSEGV, AlMorir);
        std::signal(SIGABRT, AlMorir);
        std::signal(SIGBUS, AlMorir);
        std::signal(SIGFPE, AlMorir);
    }

    void soak()
    {
        EstadoSimulador e = EstadoDemo();
        DibujarControlador(e);
        sim = IniciarSimuladorPrueba(1, e);
        QVERIFY(sim);
        FallosSimulador conForma;
        conForma.Forma = forma;
        SimFijarFallos(sim.get(), conForma);
        sorteo = &azarFallos;
        SimFijarSorteo(sim.get(), [](const Trama& t, int) { return sorteo->Sacar(t); });

        CrearVentanaPrueba({true, false, u"1\r\n0\r\n0\r\n\"1\"\r\n573\r\n"_s});
        FactorEsperas = factor;
        CuentaMilisegundo = 0;
        ContestarDialogos();
        rechazoEscritura = TextoRecurso(2004);

        // Clicks all through every operation.
        QObject::connect(&molestias, &QTimer::timeout, this, [this] {
            // Only buttons whose own operation leaves the parameters, the table and the
            // colours alone: one that got through between two steps of an operation (the
            // window processes events there too) must not change what the checks compare.
            static const QList<QPushButton* Ui::frmMain::*> botones = {
                &Ui::frmMain::CDia, &Ui::frmMain::CNormal, &Ui::frmMain::CInterrogar,
                &Ui::frmMain::btnVerValoresInstantaneos};
            if (FormPrincipal())
                (Ventana().*botones[std::uniform_int_distribution<int>(0, int(botones.size()) - 1)(azarMolestias)])->click();
        });

        // Watchdog: an operation that runs far longer than its tries can take is a hang.
        const int64_t topeMs = int64_t(1000 * (60 + 900 * factor));
        vigilando = true;
        std::thread perro([topeMs] {
            while (vigilando) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                const int64_t inicio = inicioOperacionMs;
                if (inicio && AhoraMs() - inicio > topeMs) {
                    std::fprintf(stderr, "\nsoak HANG: %s has run for more than %lld s\n", textoEnCurso,
                                 static_cast<long long>(topeMs / 1000));
                    std::_Exit(3);
                }
            }
        });
        struct Fin {
            std::thread& t;
            ~Fin() { vigilando = false; t.join(); }
        } fin{perro};

        const bool referencia = Referencia();
        Informar();
        QVERIFY(referencia);

        QElapsedTimer reloj;
        reloj.start();
        while (reloj.elapsed() < qint64(segundos) * 1000) {
            static const std::pair<Op, int> pesos[] = {
                {Op::Leer, 22}, {Op::Escribir, 22}, {Op::Editar, 12}, {Op::EscribirColores, 5},
                {Op::LeerColores, 5}, {Op::EditarTabla, 4}, {Op::Estado, 12}, {Op::Valores, 8},
                {Op::Directa, 8}, {Op::Temporizadores, 2}, {Op::Cambiar, 3}, {Op::Verificar, 6},
                {Op::Comparar, 6}};
            int total = 0;
            for (const auto& p : pesos)
                total += p.second;
            int r = Entre(0, total - 1);
            opActual = pesos[0].first;
            for (const auto& p : pesos) {
                if (r < p.second) {
                    opActual = p.first;
                    break;
                }
                r -= p.second;
            }
            ++numeroOp;
            ++operaciones[opActual];
            std::snprintf(textoEnCurso, sizeof textoEnCurso, "operation %d (%s), seed %llu", numeroOp,
                          NombreOp(opActual), static_cast<unsigned long long>(semilla));
            {
                // Each operation's faults from its own stream, so that a replay draws the
                // same faults for it even if an earlier one took more or fewer frames.
                std::lock_guard<std::mutex> l(azarFallos.m);
                azarFallos.azar.seed(semilla * 1000003u + uint64_t(numeroOp));
            }
            if (detallado) {
                std::printf("soak: %s\n", textoEnCurso);
                std::fflush(stdout);
            }
            const int antes = int(fallos.size());
            primeraTramaOp = TramasVistas();
            inicioOperacionMs = AhoraMs();
            switch (opActual) {
            case Op::Leer: OpLeer(); break;
            case Op::Escribir: OpEscribir(); break;
            case Op::Editar: OpEditar(); break;
            case Op::EscribirColores: OpEscribirColores(); break;
            case Op::LeerColores: OpLeerColores(); break;
            case Op::EditarTabla: OpEditarTabla(); break;
            case Op::Estado: OpEstado(); break;
            case Op::Valores: OpValores(); break;
            case Op::Directa: OpDirecta(); break;
            case Op::Temporizadores: OpTemporizadores(); break;
            case Op::Cambiar: OpCambiar(); break;
            case Op::Verificar: OpVerificar(); break;
            case Op::Comparar: OpComparar(); break;
            }
            inicioOperacionMs = 0;
            if (detallado) {
                std::printf("soak:   ended \"%s\"\n", qPrintable(TextoPanel1()));
                std::fflush(stdout);
            }
            Reponer();
            Informar();
            if (int(fallos.size()) > antes) {
                if (pararAlPrimero)
                    break;
                // Start again from what the controller holds.
                referencias.clear();
                Referencia();
                Informar();
            }
        }
        Ventana().Command1->click();
        if (Ventana().btnSpoolValorInstantaneo->text() != u"Activar auto"_s)
            Ventana().btnSpoolValorInstantaneo->click();
        ++numeroOp;
        opActual = Op::Escribir;
        std::snprintf(textoEnCurso, sizeof textoEnCurso, "operation %d (exit during a write), seed %llu", numeroOp,
                      static_cast<unsigned long long>(semilla));
        {
            std::lock_guard<std::mutex> l(azarFallos.m);
            azarFallos.azar.seed(semilla * 1000003u + uint64_t(numeroOp));
        }
        inicioOperacionMs = AhoraMs();
        SalirDuranteEscritura();
        inicioOperacionMs = 0;
        Reponer();
        Informar();

        long tramas = 0;
        QStringList porTipo;
        long faltas = 0;
        {
            std::lock_guard<std::mutex> l(azarFallos.m);
            tramas = long(azarFallos.vistas.size());
            for (const auto& [tipo, n] : azarFallos.cuenta) {
                porTipo.append(u"%1 %2"_s.arg(QLatin1String(NombreTipoFallo(FalloTrama::Tipo(tipo)))).arg(n));
                faltas += n;
            }
        }
        QStringList ops;
        for (const auto& [op, n] : operaciones)
            ops.append(u"%1 %2"_s.arg(QLatin1String(NombreOp(op))).arg(n));
        std::printf("soak: %d writes refused, %d acts on fields, %d table changes tried during colour writes\n",
                    escriturasRehusadas, actosEnCampos, cambiosDuranteColores);
        std::printf("soak: verifies and compares: %d met a controller that did not hold the window's values, "
                    "%d reported, %d missed; %d false alarms\n",
                    conFalloAlmacen, fallosAlmacenVistos, fallosAlmacenPerdidos, falsasAlarmas);
        std::printf("soak: seed %llu, replies %s: %d operations (%s) in %lld s; %ld frames, %ld faults drawn (%s); %d failures\n",
                    static_cast<unsigned long long>(semilla), NombreForma(forma), numeroOp, qPrintable(ops.join(u", "_s)),
                    static_cast<long long>(reloj.elapsed() / 1000), tramas, faltas, qPrintable(porTipo.join(u", "_s)),
                    int(fallos.size()));
        std::fflush(stdout);
        SimFijarSorteo(sim.get(), nullptr);
        sorteo = nullptr;
        QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(u"\n"_s)));
    }

    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        sim.reset();
        FactorEsperas = 1.0;
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
