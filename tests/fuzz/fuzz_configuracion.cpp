// qzl.ini reader on any bytes. Beyond not crashing, whatever it makes of a file must
// survive the rewrite: the values written back are read again unchanged, so a
// technician's port, reserved values, language code and service code never drift
// from one start to the next.
#include "app/Configuracion.h"
#include "app/ModuloKX.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

static QTemporaryDir* carpeta = nullptr;

struct Valores {
    int16_t puerto;
    int32_t reservado1;
    int32_t reservado2;
    QString idioma;
    int16_t servicio;
    bool operator==(const Valores&) const = default;
};

static Valores Actuales()
{
    return {NumeroPuerto, Reservado1, Reservado2, CodigoIdioma, CodigoServicio};
}

static void Fallar(const char* que, const Valores& a, const Valores& b)
{
    std::fprintf(stderr, "%s: %d %d %d \"%s\" %d became %d %d %d \"%s\" %d\n", que, a.puerto, a.reservado1,
                 a.reservado2, qPrintable(a.idioma), a.servicio, b.puerto, b.reservado1, b.reservado2,
                 qPrintable(b.idioma), b.servicio);
    std::abort();
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Files go to a scratch folder (in memory where the system has one), never beside the program.
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    carpeta = new QTemporaryDir(base + QStringLiteral("/qzl-fuzz-XXXXXX"));
    if (!carpeta->isValid())
        std::abort();
    FijarCarpetaPrograma(carpeta->path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    InterpretarConfiguracion(QByteArray(reinterpret_cast<const char*>(datos), qsizetype(tamano)));
    const Valores leidos = Actuales();

    if (!EscribirConfiguracion())
        std::abort();
    LeerConfiguracion();
    if (!(Actuales() == leidos))
        Fallar("rewritten qzl.ini reads back differently", leidos, Actuales());
    return 0;
}
