// qzl-sim: the QZL controller simulator as a program, for end-to-end tests and demos.
//
//   qzl-sim [--demo] [--state FILE] [--device PATH] [--link DIR/comN] [--log FILE] [--no-stdin]
//           [--faults LIST] [--rate R] [--seed N] [--late-ms MS] [--back-ms MS] [--shape NAME]
//           [--store-fault NAME[,RATE]]
//
//   --demo          start from the demo controller (every field present)
//   --state FILE    state statements (see sim/Simulador.h), applied on top of --demo if given
//   --device PATH   serve this serial device instead of a new pseudo-terminal
//   --link DIR/comN create the symbolic link comN (N 1-9) to the line, replacing an old link
//   --log FILE      append every received frame to FILE
//   --no-stdin      ignore standard input; run until SIGINT or SIGTERM
//   --faults LIST   draw a fault for some frames at random: a comma-separated list of
//                   silent, late, partial, stray-before, stray-after, line-pulled, or all
//   --rate R        the share of frames that get one of them, 0 to 1 (default 0.1)
//   --seed N        the draw's seed (default: from the clock; printed on stderr), so that a
//                   run can be replayed
//   --late-ms MS    how late a late reply comes (default 2500: past the tool's 2 s limit)
//   --back-ms MS    a pulled line comes back after MS milliseconds (default 1000)
//   --shape NAME    the reply shape from the start (as the stdin command "shape")
//   --store-fault NAME[,RATE]  start with a storage fault (see "store" below)
//
// The first line on stdout is the device path to open. The program runs until SIGINT,
// SIGTERM or the end of standard input. Each command line on stdin gets one answer
// line, "ok ..." or "error: ..."; "dump" and "log" print their lines and then "end".
//   silent on|off           no replies at all
//   late MS                 answer MS milliseconds late (0: on time)
//   partial K               send only the first K bytes of each reply (8: whole reply)
//   garbage on|off          8 bytes without a valid header instead of each reply
//   shape NAME              what the replies carry around the answer: full (4B 58 00 00
//                           CMD IDX ANSWER CHK), command-zero, command-answer, command-fixed
//                           (byte 5 0, the answer, 5A), zeros (all 0 but the answer),
//                           no-header, no-header-command (00 FF instead of 4B 58)
//   extra N                 append N bytes after each reply
//   stopafter N             answer N more frames, then none (0: off)
//   stopat CMD IDX from     no replies from the frame with that command and index on
//   stopat CMD IDX only [T] leave that frame unanswered (T times; all times if omitted)
//   stopat off
//   closeafter N            close the line after answering N more frames (0: off)
//   store NAME [RATE]       a storage fault on a share RATE (0-1, default 1) of the writes
//                           it can reach: not-stored, bit-flip, some-addresses (addresses
//                           3, 7, 11 ...), segment-not-stored; the write is acknowledged as usual
//   store off
//   faults off              clear every fault
//   close                   close the line now (the device vanishes)
//   reopen                  open a fresh line and re-point the link; answers "ok PATH"
//   set STATEMENT           one state statement, e.g. "set cell 37 200"
//   load FILE               replace the whole state by a state file
//   dump                    print the state as statements
//   log / clearlog          print / clear the frames received
//   path                    answers "ok PATH" (empty while closed)
//   quit                    stop
#include "sim/FallosAzar.h"
#include "sim/Simulador.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

static volatile std::sig_atomic_t senal = 0;
static void AlRecibirSenal(int s) { senal = s; }

static void Uso()
{
    std::fprintf(stderr,
                 "usage: qzl-sim [--demo] [--state FILE] [--device PATH] [--link DIR/comN]"
                 " [--log FILE] [--no-stdin]\n"
                 "               [--faults LIST] [--rate R] [--seed N] [--late-ms MS] [--back-ms MS]"
                 " [--shape NAME]\n"
                 "               [--store-fault NAME[,RATE]]\n");
}

static bool LeerEntero(const std::string& s, int minimo, int maximo, int& v)
{
    try {
        size_t fin = 0;
        const long x = std::stol(s, &fin, 10);
        if (fin != s.size() || x < minimo || x > maximo)
            return false;
        v = int(x);
        return true;
    } catch (...) {
        return false;
    }
}

// "bit-flip" or "bit-flip,0.2" (or the name and rate apart): a storage fault.
static bool LeerFalloAlmacen(const std::string& nombre, const std::string& tasa, FallosSimulador& f)
{
    if (nombre == "off") {
        f.Almacen = FalloAlmacen::Ninguno;
        return tasa.empty();
    }
    double proporcion = 1.0;
    if (!tasa.empty()) {
        try {
            size_t fin = 0;
            proporcion = std::stod(tasa, &fin);
            if (fin != tasa.size() || !(proporcion >= 0.0 && proporcion <= 1.0))
                return false;
        } catch (...) {
            return false;
        }
    }
    for (const FalloAlmacen fallo : FallosAlmacen) {
        if (nombre == NombreFalloAlmacen(fallo)) {
            f.Almacen = fallo;
            f.ProporcionAlmacen = proporcion;
            return true;
        }
    }
    return false;
}

static bool OnOff(const std::string& s, bool& v)
{
    if (s == "on") { v = true; return true; }
    if (s == "off") { v = false; return true; }
    return false;
}

// One command from stdin; returns false on "quit".
static bool Orden(SimuladorQZL* sim, const std::string& linea)
{
    std::istringstream in(linea);
    std::string c;
    in >> c;
    std::vector<std::string> a;
    for (std::string x; in >> x;)
        a.push_back(x);
    FallosSimulador f = SimFallos(sim);
    bool cambiaFallos = false;
    bool bien = true;
    std::string respuesta = "ok";

    if (c.empty() || c[0] == '#') {
        return true;
    } else if (c == "quit") {
        return false;
    } else if (c == "silent") {
        bien = a.size() == 1 && OnOff(a[0], f.Silencioso);
        cambiaFallos = true;
    } else if (c == "garbage") {
        bien = a.size() == 1 && OnOff(a[0], f.Basura);
        cambiaFallos = true;
    } else if (c == "shape") {
        bien = false;
        for (const FormaRespuesta forma : FormasRespuesta) {
            if (a.size() == 1 && a[0] == NombreForma(forma)) {
                f.Forma = forma;
                bien = true;
            }
        }
        cambiaFallos = true;
    } else if (c == "late") {
        bien = a.size() == 1 && LeerEntero(a[0], 0, 600000, f.RetrasoMs);
        cambiaFallos = true;
    } else if (c == "partial") {
        bien = a.size() == 1 && LeerEntero(a[0], 0, 8, f.BytesRespuesta);
        cambiaFallos = true;
    } else if (c == "extra") {
        bien = a.size() == 1 && LeerEntero(a[0], 0, 4096, f.BytesExtra);
        cambiaFallos = true;
    } else if (c == "stopafter") {
        bien = a.size() == 1 && LeerEntero(a[0], 0, 1 << 30, f.CallarTrasTramas);
        cambiaFallos = true;
    } else if (c == "closeafter") {
        bien = a.size() == 1 && LeerEntero(a[0], 0, 1 << 30, f.CerrarTrasTramas);
        cambiaFallos = true;
    } else if (c == "stopat") {
        int cmd = 0, idx = 0, veces = 0;
        if (a.size() == 1 && a[0] == "off") {
            f.CallarEnOrden = false;
        } else if ((a.size() == 3 || a.size() == 4) && LeerEntero(a[0], 0, 255, cmd)
                   && LeerEntero(a[1], 0, 255, idx) && (a[2] == "from" || a[2] == "only")
                   && (a.size() == 3 || (a[2] == "only" && LeerEntero(a[3], 1, 1 << 30, veces)))) {
            f.CallarEnOrden = true;
            f.CallarComando = uint8_t(cmd);
            f.CallarIndice = uint8_t(idx);
            f.CallarDesdeEntonces = a[2] == "from";
            f.CallarVeces = veces;
        } else {
            bien = false;
        }
        cambiaFallos = true;
    } else if (c == "store") {
        bien = (a.size() == 1 || a.size() == 2) && LeerFalloAlmacen(a[0], a.size() == 2 ? a[1] : std::string(), f);
        cambiaFallos = true;
    } else if (c == "faults") {
        bien = a.size() == 1 && a[0] == "off";
        f = FallosSimulador{};
        cambiaFallos = true;
    } else if (c == "close") {
        SimCerrarLinea(sim);
    } else if (c == "reopen") {
        std::string error;
        bien = SimReabrirLinea(sim, &error);
        respuesta = bien ? "ok " + SimRuta(sim) : "error: " + error;
        std::cout << respuesta << std::endl;
        return true;
    } else if (c == "path") {
        respuesta = "ok " + SimRuta(sim);
    } else if (c == "set") {
        std::string error;
        const size_t p = linea.find("set") + 3;
        bien = SimAplicar(sim, linea.substr(p), &error);
        if (!bien) {
            std::cout << "error: " << error << std::endl;
            return true;
        }
    } else if (c == "load") {
        EstadoSimulador e;
        std::string error;
        if (a.size() != 1 || !CargarFicheroEstado(e, a[0], &error)) {
            std::cout << "error: " << (a.size() == 1 ? error : "load needs one file") << std::endl;
            return true;
        }
        SimFijarEstado(sim, e);
    } else if (c == "dump") {
        std::cout << VolcarEstado(SimEstado(sim)) << "end" << std::endl;
        return true;
    } else if (c == "log") {
        for (const QString& l : SimRegistro(sim))
            std::cout << l.toStdString() << "\n";
        std::cout << "end" << std::endl;
        return true;
    } else if (c == "clearlog") {
        SimBorrarRegistro(sim);
    } else {
        std::cout << "error: unknown command '" << c << "'" << std::endl;
        return true;
    }
    if (!bien) {
        std::cout << "error: bad arguments for '" << c << "'" << std::endl;
        return true;
    }
    if (cambiaFallos)
        SimFijarFallos(sim, f);
    std::cout << respuesta << std::endl;
    return true;
}

int main(int argc, char** argv)
{
    OpcionesSimulador op;
    bool demo = false, conEntrada = true;
    // Faults set from the start: a storage fault and the reply shape share one record.
    FallosSimulador fallosIniciales;
    bool conFallosIniciales = false;
    std::string ficheroEstado, enlace, fallos, forma;
    OpcionesAzar azar;
    azar.semilla = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    int vueltaMs = 1000;
    for (int i = 1; i < argc; ++i) {
        const std::string o = argv[i];
        const bool hayValor = i + 1 < argc;
        if (o == "--demo") demo = true;
        else if (o == "--faults" && hayValor) fallos = argv[++i];
        else if (o == "--rate" && hayValor) {
            char* fin = nullptr;
            azar.tasa = std::strtod(argv[++i], &fin);
            if (*fin != '\0' || !(azar.tasa >= 0 && azar.tasa <= 1)) {
                std::fprintf(stderr, "qzl-sim: --rate must be a number from 0 to 1\n");
                return 2;
            }
        } else if (o == "--seed" && hayValor) {
            char* fin = nullptr;
            azar.semilla = std::strtoull(argv[++i], &fin, 10);
            if (*fin != '\0') {
                std::fprintf(stderr, "qzl-sim: --seed must be a whole number\n");
                return 2;
            }
        } else if (o == "--late-ms" && hayValor) {
            if (!LeerEntero(argv[++i], 0, 600000, azar.tardeMs)) {
                std::fprintf(stderr, "qzl-sim: --late-ms must be 0 to 600000\n");
                return 2;
            }
        } else if (o == "--back-ms" && hayValor) {
            if (!LeerEntero(argv[++i], 0, 600000, vueltaMs)) {
                std::fprintf(stderr, "qzl-sim: --back-ms must be 0 to 600000\n");
                return 2;
            }
        } else if (o == "--shape" && hayValor) forma = argv[++i];
        else if (o == "--no-stdin") conEntrada = false;
        else if (o == "--state" && hayValor) ficheroEstado = argv[++i];
        else if (o == "--device" && hayValor) op.Dispositivo = argv[++i];
        else if (o == "--link" && hayValor) enlace = argv[++i];
        else if (o == "--log" && hayValor) op.FicheroRegistro = argv[++i];
        else if (o == "--store-fault" && hayValor) {
            const std::string v = argv[++i];
            const size_t coma = v.find(',');
            if (!LeerFalloAlmacen(v.substr(0, coma), coma == std::string::npos ? std::string() : v.substr(coma + 1),
                                  fallosIniciales)) {
                std::fprintf(stderr, "qzl-sim: --store-fault takes NAME[,RATE]: not-stored, bit-flip, "
                                     "some-addresses or segment-not-stored, RATE 0 to 1\n");
                return 2;
            }
            conFallosIniciales = true;
        }
        else {
            Uso();
            return o == "--help" || o == "-h" ? 0 : 2;
        }
    }

    if (demo)
        op.Estado = EstadoDemo();
    if (!ficheroEstado.empty()) {
        std::ifstream f(ficheroEstado, std::ios::binary);
        std::ostringstream texto;
        texto << f.rdbuf();
        std::string error;
        if (!f || !AplicarTextoEstado(op.Estado, texto.str(), &error)) {
            std::fprintf(stderr, "qzl-sim: %s: %s\n", ficheroEstado.c_str(),
                         error.empty() ? "cannot read" : error.c_str());
            return 1;
        }
    }
    if (!enlace.empty()) {
        const size_t barra = enlace.rfind('/');
        const std::string nombre = barra == std::string::npos ? enlace : enlace.substr(barra + 1);
        op.CarpetaEnlace = barra == std::string::npos ? "." : (barra == 0 ? "/" : enlace.substr(0, barra));
        if (nombre.size() != 4 || nombre.compare(0, 3, "com") != 0 || nombre[3] < '1' || nombre[3] > '9') {
            std::fprintf(stderr, "qzl-sim: --link must end in com1 to com9\n");
            return 2;
        }
        op.PuertoEnlace = nombre[3] - '0';
    }

    if (!fallos.empty()) {
        std::string error;
        if (!LeerTiposFallo(fallos, azar.tipos, &error)) {
            std::fprintf(stderr, "qzl-sim: --faults: %s\n", error.c_str());
            return 2;
        }
    }
    if (!forma.empty()) {
        bool conocida = false;
        for (const FormaRespuesta f : FormasRespuesta) {
            if (forma == NombreForma(f)) {
                fallosIniciales.Forma = f;
                conocida = true;
                conFallosIniciales = true;
            }
        }
        if (!conocida) {
            std::fprintf(stderr, "qzl-sim: --shape: unknown shape '%s'\n", forma.c_str());
            return 2;
        }
    }

    std::string error;
    SimuladorPtr sim(SimIniciar(op, &error));
    if (!sim) {
        std::fprintf(stderr, "qzl-sim: %s\n", error.c_str());
        return 1;
    }
    if (conFallosIniciales)
        SimFijarFallos(sim.get(), fallosIniciales);
    // A line pulled by the draw comes back by itself after a while, as a technician plugs it in again.
    auto lineaCortada = std::make_shared<std::atomic<bool>>(false);
    if (!azar.tipos.empty()) {
        SimFijarSorteo(sim.get(), SorteoAzar(azar, lineaCortada));
        std::string nombres;
        for (const FalloTrama::Tipo t : azar.tipos)
            nombres += std::string(nombres.empty() ? "" : ",") + NombreTipoFallo(t);
        std::fprintf(stderr, "qzl-sim: faults %s, rate %g, seed %llu\n", nombres.c_str(), azar.tasa,
                     static_cast<unsigned long long>(azar.semilla));
    }
    using RelojSim = std::chrono::steady_clock;
    RelojSim::time_point cortadaDesde{};
    bool esperandoVuelta = false;
    auto TraerLinea = [&] {
        if (!esperandoVuelta && lineaCortada->exchange(false)) {
            esperandoVuelta = true;
            cortadaDesde = RelojSim::now();
        }
        if (esperandoVuelta && !SimLineaAbierta(sim.get())
            && RelojSim::now() - cortadaDesde >= std::chrono::milliseconds(vueltaMs)) {
            esperandoVuelta = false;
            std::string e;
            if (SimReabrirLinea(sim.get(), &e))
                std::fprintf(stderr, "qzl-sim: line back on %s\n", SimRuta(sim.get()).c_str());
            else
                std::fprintf(stderr, "qzl-sim: line not back: %s\n", e.c_str());
        } else if (esperandoVuelta && SimLineaAbierta(sim.get()) && RelojSim::now() - cortadaDesde > std::chrono::seconds(5)) {
            esperandoVuelta = false;  // drawn but never pulled (the frame had gone on)
        }
    };
    std::cout << SimRuta(sim.get()) << std::endl;
    if (!SimEnlace(sim.get()).empty())
        std::fprintf(stderr, "qzl-sim: link %s\n", SimEnlace(sim.get()).c_str());

    struct sigaction sa{};
    sa.sa_handler = AlRecibirSenal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::string pendiente;
    while (!senal) {
        TraerLinea();
        if (!conEntrada) {
            poll(nullptr, 0, 100);
            continue;
        }
        pollfd p{STDIN_FILENO, POLLIN, 0};
        const int r = poll(&p, 1, 100);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            continue;
        char buf[1024];
        const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0)
            break;  // stdin closed
        pendiente.append(buf, size_t(n));
        bool seguir = true;
        for (size_t nl; seguir && (nl = pendiente.find('\n')) != std::string::npos;) {
            std::string linea = pendiente.substr(0, nl);
            pendiente.erase(0, nl + 1);
            if (!linea.empty() && linea.back() == '\r')
                linea.pop_back();
            seguir = Orden(sim.get(), linea);
        }
        if (!seguir)
            break;
    }
    return 0;
}
