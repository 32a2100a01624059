// The command transaction against a peer on a pseudo-terminal that answers each frame
// it receives with bytes chosen by the fuzzer: any length, any content, replies cut
// short, replies with bytes to spare. The input is a command (three bytes: Comando,
// Indice, Dato) and up to three replies, each a length byte and that many bytes; the
// k-th frame the peer receives gets the k-th reply. Beyond not crashing:
//  - the record is a success (6) or a failure (21); a failure carries zeros;
//  - a success decodes positions 2 to 6 of eight consecutive bytes of one single reply
//    (stray bytes before a "K" "X" header are skipped): the bytes of a short reply
//    never mix into the answer of a later try;
//  - every frame on the line is the command's frame, at most three of them, three
//    when the transaction failed; Reintentos ends at 0 and the port stays open.
#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Par {
    int maestro = -1;
    QSocketNotifier* aviso = nullptr;
    QByteArray entrada;            // bytes from the tool not yet making a whole frame
    QList<QByteArray> tramas;      // whole frames received
    QList<QByteArray> respuestas;  // the k-th frame gets the k-th reply
};
Par par;
QTemporaryDir* carpeta = nullptr;  // lives for the whole run

void Responder()
{
    char buf[256];
    for (;;) {
        const ssize_t n = read(par.maestro, buf, sizeof buf);
        if (n <= 0)
            break;
        par.entrada.append(buf, n);
    }
    while (par.entrada.size() >= LongitudTrama) {
        par.tramas.append(par.entrada.left(LongitudTrama));
        par.entrada.remove(0, LongitudTrama);
        const qsizetype k = par.tramas.size() - 1;
        if (k < par.respuestas.size() && !par.respuestas[k].isEmpty()) {
            const QByteArray& r = par.respuestas[k];
            if (write(par.maestro, r.constData(), size_t(r.size())) != r.size())
                std::abort();
        }
    }
}

[[noreturn]] void Fallar(const char* que)
{
    std::fprintf(stderr, "transaction: %s (%lld frames, %lld replies)\n", que,
                 static_cast<long long>(par.tramas.size()), static_cast<long long>(par.respuestas.size()));
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char nombre[] = "fuzz_transaccion";
    static char* argv[] = {nombre, nullptr};
    new QCoreApplication(argc, argv);
    carpeta = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/qzl-fuzz-XXXXXX"));
    FijarCarpetaPrograma(carpeta->path());

    par.maestro = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (par.maestro < 0 || grantpt(par.maestro) != 0 || unlockpt(par.maestro) != 0)
        std::abort();
    const QString esclavo = QString::fromLocal8Bit(ptsname(par.maestro));
    if (!QFile::link(esclavo, carpeta->filePath(QStringLiteral("com1"))))
        std::abort();
    par.aviso = new QSocketNotifier(qintptr(par.maestro), QSocketNotifier::Read);
    QObject::connect(par.aviso, &QSocketNotifier::activated, [] { Responder(); });

    // Failed tries give up after 20 ms; the pacing pauses are instant (no calibration).
    FactorEsperas = 0.01;
    CuentaMilisegundo = 0;
    if (!FijarPuerto(1) || !AbrirCom())
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    if (tamano < 3)
        return 0;
    ComandoQZL comando{};
    comando.Comando = datos[0];
    comando.Indice = datos[1];
    comando.Dato = datos[2];
    par.respuestas.clear();
    for (size_t i = 3; i < tamano && par.respuestas.size() < IntentosTransaccion;) {
        const size_t largo = std::min<size_t>(datos[i] % 33, tamano - i - 1);
        par.respuestas.append(QByteArray(reinterpret_cast<const char*>(datos + i + 1), qsizetype(largo)));
        i += 1 + largo;
    }
    par.tramas.clear();
    par.entrada.clear();

    const RespuestaQZL r = EnviarComando(comando);
    QCoreApplication::processEvents();  // frames still on their way to the peer

    if (r.Estado != EstadoRespuesta && r.Estado != EstadoSinRespuesta)
        Fallar("Estado is neither 6 nor 21");
    if (r.Estado == EstadoSinRespuesta && (r.Valor || r.Comando || r.Indice || r.Dato))
        Fallar("a failed transaction carries reply bytes");
    if (r.Estado == EstadoRespuesta) {
        bool deUna = false;
        for (const QByteArray& resp : par.respuestas) {
            for (qsizetype p = 0; p + LongitudTrama <= resp.size(); ++p) {
                const auto b = [&resp, p](int i) { return uint8_t(resp[p + i]); };
                deUna = deUna
                    || (r.Valor == b(2) * 256 + b(3) && r.Comando == b(4) && r.Indice == b(5) && r.Dato == b(6));
            }
        }
        if (!deUna)
            Fallar("the answer is no single reply of eight bytes or more");
    }
    if (par.tramas.isEmpty() || par.tramas.size() > IntentosTransaccion)
        Fallar("not one to three frames on the line");
    for (const QByteArray& t : par.tramas)
        if (t != TramaComando(comando))
            Fallar("a frame on the line is not the command's frame");
    if (r.Estado == EstadoSinRespuesta && par.tramas.size() != IntentosTransaccion)
        Fallar("a failed transaction did not try three times");
    if (Reintentos != 0)
        Fallar("Reintentos is not 0 after the transaction");
    if (!MSCommDestellador().isOpen())
        Fallar("the port closed under a live line");
    return 0;
}
