// The simulator's line: a pseudo-terminal (or a serial device) served from a
// background thread, with the wire log and fault injection.
#include "sim/Simulador.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using Reloj = std::chrono::steady_clock;

namespace {
// Poll slice: how promptly the thread sees a stop or a request.
constexpr int SondeoMs = 10;
// Bytes that sit this long without completing a frame are dropped as stray.
constexpr int MsBytesSueltos = 500;
}

struct SimuladorQZL {
    std::mutex m;
    std::condition_variable cv;

    // Shared with tests (under m).
    EstadoSimulador estado;
    FallosSimulador fallos;
    SorteoFallos sorteo;
    int tramasDesdeFallos = 0;
    int vecesCalladas = 0;
    bool calladoDesdeEntonces = false;
    int tramasRecibidas = 0;
    QStringList registro;
    bool medirTiempos = false;
    std::vector<MomentoLinea> tiempos;
    std::FILE* ficheroRegistro = nullptr;
    std::string ruta;          // device path the tool opens; empty while closed
    std::string rutaEnlace;    // comN link, or empty
    std::string destinoEnlace; // what the link was last pointed at

    // Requests carried out by the serving thread (under m).
    bool pedirCerrar = false;
    bool pedirReabrir = false;
    bool reabrirHecho = false;
    bool reabrirBien = false;
    std::string errorReabrir;

    // Fixed at start.
    std::string dispositivo;
    std::string carpetaEnlace;
    int puertoEnlace = 0;

    // Serving thread only.
    int maestro = -1;
    int esclavo = -1;
    std::vector<uint8_t> entrada;
    std::vector<uint8_t> sueltos;
    Reloj::time_point ultimoByte;
    uint32_t semillaBasura = 0x2545F491u;
    uint32_t semillaAlmacen = 0x9E3779B9u;  // the storage faults' draw
    bool exclusivoVisto = false;   // the tool's serial port marks the tty exclusive while open
    bool exclusivoAntes = false;
    Trama ultimaTrama{};           // the frame received before the current one
    bool hayUltimaTrama = false;
    // Replies held back by RetrasoPrimerIntentoMs, sent when due.
    struct RespuestaDiferida {
        Reloj::time_point cuando;
        std::vector<uint8_t> bytes;
    };
    std::vector<RespuestaDiferida> diferidas;

    std::atomic<bool> parar{false};
    std::thread hilo;
};

// ---------------------------------------------------------------------------------
// Opening and closing
// ---------------------------------------------------------------------------------
static std::string ErrorSistema(const std::string& que)
{
    return que + ": " + std::strerror(errno);
}

static void PonerRaw(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return;
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
}

// Opens the line into sim->maestro / sim->esclavo and returns the device path.
static bool AbrirLinea(SimuladorQZL* sim, std::string& ruta, std::string* error)
{
    if (!sim->dispositivo.empty()) {
        const int fd = open(sim->dispositivo.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (error) *error = ErrorSistema("cannot open " + sim->dispositivo);
            return false;
        }
        PonerRaw(fd);
        sim->maestro = fd;
        sim->esclavo = -1;
        ruta = sim->dispositivo;
        return true;
    }
    const int m = posix_openpt(O_RDWR | O_NOCTTY);
    if (m < 0) {
        if (error) *error = ErrorSistema("posix_openpt");
        return false;
    }
    char nombre[128] = {};
    if (grantpt(m) != 0 || unlockpt(m) != 0 || ptsname_r(m, nombre, sizeof nombre) != 0) {
        if (error) *error = ErrorSistema("pseudo-terminal set-up");
        close(m);
        return false;
    }
    // Holding the slave open keeps the pty alive (no hang-up) while the tool closes
    // and reopens the port between operations. Raw without echo before anyone opens it,
    // so replies are never echoed back into the simulator.
    const int s = open(nombre, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (s < 0) {
        if (error) *error = ErrorSistema(std::string("cannot open ") + nombre);
        close(m);
        return false;
    }
    PonerRaw(s);
    fcntl(m, F_SETFD, FD_CLOEXEC);
    fcntl(m, F_SETFL, fcntl(m, F_GETFL) | O_NONBLOCK);
    sim->maestro = m;
    sim->esclavo = s;
    sim->exclusivoVisto = sim->exclusivoAntes = false;
    ruta = nombre;
    return true;
}

// Where a comN link points while the line is pulled: below /dev/null, a character
// device, so no file can ever be made there (ENOTDIR). The pseudo-terminal number the
// line had is freed when it closes and may be taken at once by another program's
// pseudo-terminal; a link left on it would open that one.
static const char* const DestinoLineaCortada = "/dev/null/qzl-line-pulled";

static void CerrarFds(SimuladorQZL* sim)
{
    if (sim->maestro >= 0)
        close(sim->maestro);
    if (sim->esclavo >= 0)
        close(sim->esclavo);
    sim->maestro = sim->esclavo = -1;
    sim->entrada.clear();
}

bool CrearEnlaceCom(const std::string& carpeta, int puerto, const std::string& destino,
                    std::string* error)
{
    if (puerto < 1 || puerto > 9) {
        if (error) *error = "port number must be 1 to 9";
        return false;
    }
    const std::string ruta = carpeta + "/com" + std::to_string(puerto);
    struct stat st{};
    if (lstat(ruta.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        if (error) *error = ruta + " exists and is not a symbolic link; left alone";
        return false;
    }
    // Build the new link beside it and rename it over the old one, so the name never
    // points nowhere while a tool is looking.
    const std::string temporal = carpeta + "/.com" + std::to_string(puerto) + ".sim"
        + std::to_string(getpid());
    unlink(temporal.c_str());
    if (symlink(destino.c_str(), temporal.c_str()) != 0) {
        if (error) *error = ErrorSistema("cannot create link " + temporal);
        return false;
    }
    if (rename(temporal.c_str(), ruta.c_str()) != 0) {
        if (error) *error = ErrorSistema("cannot create link " + ruta);
        unlink(temporal.c_str());
        return false;
    }
    return true;
}

// Opens the line and points the link at it; the caller holds no lock.
static bool AbrirYEnlazar(SimuladorQZL* sim, std::string* error)
{
    std::string ruta;
    if (!AbrirLinea(sim, ruta, error))
        return false;
    std::string enlace;
    if (!sim->carpetaEnlace.empty()) {
        if (!CrearEnlaceCom(sim->carpetaEnlace, sim->puertoEnlace, ruta, error)) {
            CerrarFds(sim);
            return false;
        }
        enlace = sim->carpetaEnlace + "/com" + std::to_string(sim->puertoEnlace);
    }
    std::lock_guard<std::mutex> l(sim->m);
    sim->ruta = ruta;
    sim->rutaEnlace = enlace;
    sim->destinoEnlace = ruta;
    return true;
}

// The line goes away: first the link is re-pointed where nothing can be opened, then
// the device is closed, so the link never leads to a number that is free for reuse.
// A serial device given by path stays where it is, so its link is re-pointed as well.
static void CortarLinea(SimuladorQZL* sim)  // the caller holds no lock
{
    std::string enlace;
    {
        std::lock_guard<std::mutex> l(sim->m);
        enlace = sim->rutaEnlace;
    }
    if (!enlace.empty() && CrearEnlaceCom(sim->carpetaEnlace, sim->puertoEnlace, DestinoLineaCortada)) {
        std::lock_guard<std::mutex> l(sim->m);
        sim->destinoEnlace = DestinoLineaCortada;
    }
    CerrarFds(sim);
    std::lock_guard<std::mutex> l(sim->m);
    sim->ruta.clear();
}

// ---------------------------------------------------------------------------------
// Log
// ---------------------------------------------------------------------------------
static void Registrar(SimuladorQZL* sim, const std::string& linea)  // under m
{
    sim->registro.append(QString::fromStdString(linea));
    if (sim->ficheroRegistro) {
        std::fprintf(sim->ficheroRegistro, "%s\n", linea.c_str());
        std::fflush(sim->ficheroRegistro);
    }
}

static void VaciarSueltos(SimuladorQZL* sim)
{
    if (sim->sueltos.empty())
        return;
    std::lock_guard<std::mutex> l(sim->m);
    Registrar(sim, "stray " + TramaHex(sim->sueltos.data(), sim->sueltos.size()));
    sim->sueltos.clear();
}

static void AnotarTiempo(SimuladorQZL* sim, bool respuesta, const uint8_t* bytes, size_t n)
{
    const int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
        Reloj::now().time_since_epoch()).count();
    std::lock_guard<std::mutex> l(sim->m);
    if (!sim->medirTiempos)
        return;
    if (respuesta)
        sim->tiempos.push_back({ns, true, 0});
    for (size_t i = 0; i < n; ++i)
        sim->tiempos.push_back({ns, false, bytes[i]});
}

// ---------------------------------------------------------------------------------
// Serving
// ---------------------------------------------------------------------------------
static void Dormir(SimuladorQZL* sim, int ms)
{
    const auto fin = Reloj::now() + std::chrono::milliseconds(ms);
    while (!sim->parar && Reloj::now() < fin)
        std::this_thread::sleep_for(std::min<Reloj::duration>(fin - Reloj::now(),
                                                              std::chrono::milliseconds(5)));
}

static void Escribir(SimuladorQZL* sim, const std::vector<uint8_t>& bytes)
{
    size_t hecho = 0;
    const auto limite = Reloj::now() + std::chrono::milliseconds(200);
    while (hecho < bytes.size() && sim->maestro >= 0) {
        const ssize_t n = write(sim->maestro, bytes.data() + hecho, bytes.size() - hecho);
        if (n > 0) {
            hecho += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        // The tool is not reading and the pty buffer is full: give it a moment, then drop.
        if (Reloj::now() > limite || sim->parar)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A real serial port loses what arrives while nobody has it open, and what was left
// unread when it was closed. Our own slave descriptor keeps the pty's queue alive, so
// mimic that: Qt's serial port marks the tty exclusive while it holds it open, which
// tells when the tool has closed the port. Peers that never mark it are not affected.
static bool ToolConPuertoCerrado(SimuladorQZL* sim)
{
#ifdef TIOCGEXCL
    int exclusivo = 0;
    if (sim->esclavo < 0 || !sim->exclusivoVisto || ioctl(sim->esclavo, TIOCGEXCL, &exclusivo) != 0)
        return false;
    return exclusivo == 0;
#else
    (void)sim;
    return false;
#endif
}

static void VigilarCierreDelTool(SimuladorQZL* sim)
{
#ifdef TIOCGEXCL
    int exclusivo = 0;
    if (sim->esclavo < 0 || ioctl(sim->esclavo, TIOCGEXCL, &exclusivo) != 0)
        return;
    if (exclusivo)
        sim->exclusivoVisto = true;
    else if (sim->exclusivoAntes)
        tcflush(sim->esclavo, TCIFLUSH);
    sim->exclusivoAntes = exclusivo != 0;
#else
    (void)sim;
#endif
}

static void AtenderTrama(SimuladorQZL* sim, const Trama& trama)
{
    bool contestar = true;
    bool cerrar = false;
    Trama respuesta{};
    FallosSimulador f;
    SorteoFallos sorteo;
    int numero = 0;
    {
        std::lock_guard<std::mutex> l(sim->m);
        sorteo = sim->sorteo;
        numero = sim->tramasRecibidas;
    }
    // Drawn outside the lock: the test's function keeps its own.
    const FalloTrama ft = sorteo ? sorteo(trama, numero) : FalloTrama{};
    {
        std::lock_guard<std::mutex> l(sim->m);
        f = sim->fallos;
        ++sim->tramasRecibidas;
        Registrar(sim, TramaHex(trama.data()));
        const int n = ++sim->tramasDesdeFallos;
        if (f.Silencioso)
            contestar = false;
        if (f.CallarTrasTramas > 0 && n > f.CallarTrasTramas)
            contestar = false;
        if (f.CallarEnOrden) {
            const bool coincide = trama[4] == f.CallarComando && trama[5] == f.CallarIndice;
            if (sim->calladoDesdeEntonces) {
                contestar = false;
            } else if (coincide && f.CallarDesdeEntonces) {
                sim->calladoDesdeEntonces = true;
                contestar = false;
            } else if (coincide && (f.CallarVeces <= 0 || sim->vecesCalladas < f.CallarVeces)) {
                ++sim->vecesCalladas;
                contestar = false;
            }
        }
        cerrar = f.CerrarTrasTramas > 0 && n == f.CerrarTrasTramas;
        if (ft.tipo == FalloTrama::Silencio || (ft.tipo == FalloTrama::CortarLinea && !ft.Contestar))
            contestar = false;
        if (ft.tipo == FalloTrama::CortarLinea)
            cerrar = true;
        // A late reply is carried out now; an unanswered frame not at all.
        if (contestar) {
            FalloAlmacen almacen = ft.Almacen;
            int bit = ft.Bit;
            if (almacen == FalloAlmacen::Ninguno && AlcanzaFalloAlmacen(f.Almacen, trama.data())) {
                sim->semillaAlmacen = sim->semillaAlmacen * 1664525u + 1013904223u;
                if (double(sim->semillaAlmacen >> 8) / double(1u << 24) < f.ProporcionAlmacen) {
                    almacen = f.Almacen;
                    bit = int((sim->semillaAlmacen >> 4) & 7);
                }
            }
            respuesta = ResponderTrama(sim->estado, trama.data(), almacen, bit);
        }
    }
    const bool primerIntento = !sim->hayUltimaTrama || sim->ultimaTrama != trama;
    sim->ultimaTrama = trama;
    sim->hayUltimaTrama = true;
    if (contestar) {
        if (f.RetrasoMs > 0)
            Dormir(sim, f.RetrasoMs);
        if (ft.tipo == FalloTrama::Tarde)
            Dormir(sim, ft.Ms);
        std::vector<uint8_t> salida;
        if (f.Basura) {
            for (int i = 0; i < 8; ++i) {
                sim->semillaBasura = sim->semillaBasura * 1664525u + 1013904223u;
                salida.push_back(uint8_t(sim->semillaBasura >> 24));
            }
            if (salida[0] == 0x4B)
                salida[0] = 0x00;
        } else {
            if (f.SinEco) {
                respuesta[4] = respuesta[5] = 0;
                respuesta[7] = ChecksumTrama(respuesta.data());
            }
            respuesta = DarForma(respuesta, f.Forma);
            const int k = std::clamp(f.BytesRespuesta, 0, 8);
            salida.assign(respuesta.begin(), respuesta.begin() + k);
        }
        for (int i = 0; i < f.BytesExtra; ++i)
            salida.push_back(uint8_t(0xEE + i));
        if (ft.tipo == FalloTrama::Parcial)
            salida.resize(std::min(salida.size(), size_t(std::clamp(ft.Bytes, 0, 8))));
        static constexpr uint8_t Sueltos[3] = {0x00, 0xFF, 0x4B};
        for (int i = 0; i < f.BytesAntes; ++i)
            salida.insert(salida.begin() + i, Sueltos[i % 3]);
        if (ft.tipo == FalloTrama::BytesAntes && !sim->parar && !ToolConPuertoCerrado(sim)) {
            Escribir(sim, ft.Sueltos);
            Dormir(sim, ft.Ms);
        }
        if (f.RetrasoPrimerIntentoMs > 0 && primerIntento)
            sim->diferidas.push_back({Reloj::now() + std::chrono::milliseconds(f.RetrasoPrimerIntentoMs),
                                      std::move(salida)});
        else if (!sim->parar && !ToolConPuertoCerrado(sim)) {
            AnotarTiempo(sim, true, nullptr, 0);
            Escribir(sim, salida);
        }
        if (ft.tipo == FalloTrama::BytesDespues && !sim->parar && !ToolConPuertoCerrado(sim)) {
            Dormir(sim, ft.Ms);
            Escribir(sim, ft.Sueltos);
        }
    }
    if (cerrar) {
        // Give the tool a moment to take the last reply before the device disappears:
        // bytes still queued on the pty when it closes are lost. The reply reaches the
        // slave's queue a little after the write, so wait to see it there, then gone.
        const auto inicio = Reloj::now();
        bool visto = false;
        while (sim->esclavo >= 0 && !sim->parar) {
            int pendientes = 0;
            if (ioctl(sim->esclavo, FIONREAD, &pendientes) != 0)
                break;
            visto = visto || pendientes > 0;
            const auto pasado = Reloj::now() - inicio;
            // Generous limits: on a loaded machine the reply may take a while to show on the
            // slave's queue, and the tool a while to take it.
            if ((visto && pendientes == 0) || (!visto && pasado > std::chrono::milliseconds(300))
                || pasado > std::chrono::milliseconds(2000))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        CortarLinea(sim);
    }
}

// Takes every complete frame out of the input, resynchronising on "K" "X".
static void ProcesarEntrada(SimuladorQZL* sim)
{
    auto& in = sim->entrada;
    size_t i = 0;
    while (i < in.size() && sim->maestro >= 0) {
        const size_t resto = in.size() - i;
        const bool cabecera = in[i] == 0x4B && (resto < 2 || in[i + 1] == 0x58);
        if (!cabecera) {
            sim->sueltos.push_back(in[i++]);
            continue;
        }
        if (resto < 8)
            break;
        if (!TramaValida(&in[i])) {
            // A corrupt frame, or a stray "KX" before the real one: drop one byte, look again.
            sim->sueltos.push_back(in[i++]);
            continue;
        }
        VaciarSueltos(sim);
        Trama t;
        std::copy(in.begin() + long(i), in.begin() + long(i) + 8, t.begin());
        i += 8;
        AtenderTrama(sim, t);
    }
    if (sim->maestro < 0)
        in.clear();
    else
        in.erase(in.begin(), in.begin() + long(i));
}

static void AtenderPeticiones(SimuladorQZL* sim)
{
    std::unique_lock<std::mutex> l(sim->m);
    if (sim->pedirCerrar) {
        l.unlock();
        CortarLinea(sim);
        l.lock();
        sim->pedirCerrar = false;
        sim->cv.notify_all();
    }
    if (sim->pedirReabrir) {
        l.unlock();
        CortarLinea(sim);
        std::string error;
        const bool bien = AbrirYEnlazar(sim, &error);
        l.lock();
        sim->pedirReabrir = false;
        sim->reabrirHecho = true;
        sim->reabrirBien = bien;
        sim->errorReabrir = error;
        sim->cv.notify_all();
    }
}

// Sends the held-back replies that are due, oldest first.
static void EnviarDiferidas(SimuladorQZL* sim)
{
    const auto ahora = Reloj::now();
    for (auto it = sim->diferidas.begin(); it != sim->diferidas.end();) {
        if (it->cuando > ahora) {
            ++it;
            continue;
        }
        if (sim->maestro >= 0 && !ToolConPuertoCerrado(sim))
            Escribir(sim, it->bytes);
        it = sim->diferidas.erase(it);
    }
}

static void Servir(SimuladorQZL* sim)
{
    uint8_t buf[512];
    while (!sim->parar) {
        AtenderPeticiones(sim);
        if (sim->maestro < 0) {
            sim->diferidas.clear();
            std::this_thread::sleep_for(std::chrono::milliseconds(SondeoMs));
            continue;
        }
        VigilarCierreDelTool(sim);
        EnviarDiferidas(sim);
        pollfd p{sim->maestro, POLLIN, 0};
        const int r = poll(&p, 1, SondeoMs);
        if (r > 0 && (p.revents & POLLIN)) {
            const ssize_t n = read(sim->maestro, buf, sizeof buf);
            if (n > 0) {
                AnotarTiempo(sim, false, buf, size_t(n));
                sim->entrada.insert(sim->entrada.end(), buf, buf + n);
                sim->ultimoByte = Reloj::now();
                VigilarCierreDelTool(sim);  // the sender has the port open right now
                ProcesarEntrada(sim);
                continue;
            }
        }
        if (r > 0 && !(p.revents & POLLIN))
            // Hang-up or error with nothing to read (a device that went away): do not spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(SondeoMs));
        if ((!sim->entrada.empty() || !sim->sueltos.empty())
            && Reloj::now() - sim->ultimoByte > std::chrono::milliseconds(MsBytesSueltos)) {
            sim->sueltos.insert(sim->sueltos.end(), sim->entrada.begin(), sim->entrada.end());
            sim->entrada.clear();
            VaciarSueltos(sim);
        }
    }
}

// ---------------------------------------------------------------------------------
// Public API
// ---------------------------------------------------------------------------------
SimuladorQZL* SimIniciar(const OpcionesSimulador& opciones, std::string* error)
{
    auto* sim = new SimuladorQZL;
    sim->estado = opciones.Estado;
    sim->dispositivo = opciones.Dispositivo;
    sim->carpetaEnlace = opciones.CarpetaEnlace;
    sim->puertoEnlace = opciones.PuertoEnlace;
    if (!opciones.FicheroRegistro.empty()) {
        sim->ficheroRegistro = std::fopen(opciones.FicheroRegistro.c_str(), "a");
        if (!sim->ficheroRegistro) {
            if (error) *error = ErrorSistema("cannot open log " + opciones.FicheroRegistro);
            delete sim;
            return nullptr;
        }
    }
    if (!AbrirYEnlazar(sim, error)) {
        if (sim->ficheroRegistro)
            std::fclose(sim->ficheroRegistro);
        delete sim;
        return nullptr;
    }
    sim->ultimoByte = Reloj::now();
    sim->hilo = std::thread(Servir, sim);
    return sim;
}

void SimDetener(SimuladorQZL* sim)
{
    if (!sim)
        return;
    sim->parar = true;
    if (sim->hilo.joinable())
        sim->hilo.join();
    // Remove our link only while it still points where we pointed it.
    if (!sim->rutaEnlace.empty()) {
        char destino[256] = {};
        const ssize_t n = readlink(sim->rutaEnlace.c_str(), destino, sizeof destino - 1);
        if (n > 0 && sim->destinoEnlace == std::string(destino, size_t(n)))
            unlink(sim->rutaEnlace.c_str());
    }
    CerrarFds(sim);
    if (sim->ficheroRegistro)
        std::fclose(sim->ficheroRegistro);
    delete sim;
}

std::string SimRuta(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    return sim->ruta;
}

std::string SimEnlace(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    return sim->rutaEnlace;
}

bool SimLineaAbierta(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    return !sim->ruta.empty();
}

EstadoSimulador SimEstado(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    return sim->estado;
}

void SimFijarEstado(SimuladorQZL* sim, const EstadoSimulador& estado)
{
    std::lock_guard<std::mutex> l(sim->m);
    sim->estado = estado;
}

bool SimAplicar(SimuladorQZL* sim, const std::string& sentencias, std::string* error)
{
    std::lock_guard<std::mutex> l(sim->m);
    // All or nothing, so a bad line never leaves the controller half changed.
    EstadoSimulador nuevo = sim->estado;
    if (!AplicarTextoEstado(nuevo, sentencias, error))
        return false;
    sim->estado = nuevo;
    return true;
}

void SimFijarFallos(SimuladorQZL* sim, const FallosSimulador& fallos)
{
    std::lock_guard<std::mutex> l(sim->m);
    sim->fallos = fallos;
    sim->tramasDesdeFallos = 0;
    sim->vecesCalladas = 0;
    sim->calladoDesdeEntonces = false;
}

void SimFijarSorteo(SimuladorQZL* sim, SorteoFallos sorteo)
{
    std::lock_guard<std::mutex> l(sim->m);
    sim->sorteo = std::move(sorteo);
}

FallosSimulador SimFallos(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    return sim->fallos;
}

QStringList SimRegistro(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    return sim->registro;
}

void SimBorrarRegistro(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    sim->registro.clear();
}

int SimTramasRecibidas(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    return sim->tramasRecibidas;
}

void SimCerrarLinea(SimuladorQZL* sim)
{
    std::unique_lock<std::mutex> l(sim->m);
    sim->pedirCerrar = true;
    sim->cv.wait(l, [sim] { return !sim->pedirCerrar; });
}

bool SimReabrirLinea(SimuladorQZL* sim, std::string* error)
{
    std::unique_lock<std::mutex> l(sim->m);
    sim->reabrirHecho = false;
    sim->pedirReabrir = true;
    sim->cv.wait(l, [sim] { return sim->reabrirHecho; });
    if (!sim->reabrirBien && error)
        *error = sim->errorReabrir;
    return sim->reabrirBien;
}

void SimMedirTiempos(SimuladorQZL* sim, bool medir)
{
    std::lock_guard<std::mutex> l(sim->m);
    sim->medirTiempos = medir;
    sim->tiempos.clear();
}

std::vector<MomentoLinea> SimTiempos(SimuladorQZL* sim)
{
    std::lock_guard<std::mutex> l(sim->m);
    return sim->tiempos;
}
