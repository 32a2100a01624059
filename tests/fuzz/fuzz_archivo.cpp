// The parameter-file loader's read-and-check step on any bytes: the text read into an
// image and a flash table, then the check that the window can take the image. No
// window is built and none is needed. Beyond not crashing:
//  - the step is pure: it leaves nothing behind outside its result (panel 1 included;
//    state that grew with every input would also have libFuzzer stop after each one
//    to look for a leak, and fuzz at a few dozen inputs a second);
//  - a refused file leaves what the caller held untouched;
//  - an accepted table holds only angles 0 to 360 and the empty entry 511;
//  - what was accepted, saved again, loads back to exactly the same contents.
#include "flash/ArchivoQZL.h"
#include "ui/Estado.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Iguales(const ContenidoArchivoQZL& a, const ContenidoArchivoQZL& b)
{
    return std::memcmp(a.imagen.celda, b.imagen.celda, sizeof a.imagen.celda) == 0
        && std::memcmp(a.colores, b.colores, sizeof a.colores) == 0
        && std::memcmp(a.tabla, b.tabla, sizeof a.tabla) == 0;
}

[[noreturn]] void Fallar(const char* que)
{
    std::fprintf(stderr, "parameter file: %s\n", que);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    const QByteArray texto(reinterpret_cast<const char*>(datos), qsizetype(tamano));

    // What the caller held before: a recognisable pattern.
    ContenidoArchivoQZL previo;
    for (int i = 0; i < CeldasParametros; ++i)
        previo.imagen.celda[i] = -7 - i;
    for (int r = 0; r < 9; ++r) {
        previo.colores[r] = 1000 + r;
        for (int c = 0; c < 33; ++c)
            previo.tabla[r][c] = 7000 + r * 33 + c;
    }
    ContenidoArchivoQZL contenido = previo;
    QString error;
    const bool aceptado = InterpretarArchivoQZL(texto, contenido, error);
    if (!HistorialPanel1().isEmpty())
        Fallar("reading a file reported in panel 1");
    if (!aceptado) {
        if (!Iguales(contenido, previo))
            Fallar("a refused file changed what the caller held");
        if (error.isEmpty())
            Fallar("a refused file gives no reason");
        return 0;
    }

    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 32; ++c) {
            const int32_t e = contenido.tabla[r][c];
            if (e != 511 && (e < 0 || e > 360))
                Fallar("an accepted table entry is neither an angle 0 to 360 nor 511");
        }

    const QByteArray guardado = TextoArchivoQZL(contenido.imagen, contenido.colores, contenido.tabla);
    ContenidoArchivoQZL vuelta;
    if (!InterpretarArchivoQZL(guardado, vuelta, error))
        Fallar("a file saved from accepted contents is refused");
    if (!Iguales(vuelta, contenido))
        Fallar("accepted contents saved and loaded again differ");

    (void)ComprobarImagenArchivo(contenido.imagen, error);
    if (!HistorialPanel1().isEmpty())
        Fallar("checking an image reported in panel 1");
    return 0;
}
