// The two text-to-number conversions (numeric prefix and strict) on any text, in a
// locale with "." and one with "," as decimal separator. Beyond not crashing:
//  - the strict conversion never takes a text that "is a number" rejects;
//  - what a read shows (a cell value in its display format) is what a write takes back:
//    the strict conversion of the shown text gives the same value, for every scale,
//    so reading and writing a controller changes no cell nobody edited;
//  - the numeric prefix of an integer shown as such is that integer.
#include "params/Conversiones.h"

#include <QLocale>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Escala {
    int32_t escala;
    Formato formato;
};
// The scales of the memory map with the format their fields are shown in.
constexpr Escala Escalas[] = {
    {1, Formato::Entero}, {10, Formato::UnoDecimal}, {100, Formato::Dos},
    {100, Formato::DosDecimales}, {100, Formato::Fijo}, {10000, Formato::Cuatro},
};

const QLocale Locales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                           QLocale(QLocale::Spanish, QLocale::Spain), QLocale::c()};

[[noreturn]] void Fallar(const char* que, const QString& texto, long long esperado, long long obtenido)
{
    std::fprintf(stderr, "%s: \"%s\" (locale %s): expected %lld, got %lld\n", que, qPrintable(texto),
                 qPrintable(QLocale().name()), esperado, obtenido);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    if (tamano < 1)
        return 0;
    const uint8_t modo = datos[0];
    QLocale::setDefault(Locales[(modo >> 2) % 3]);
    ++datos;
    --tamano;

    if ((modo & 3) != 0) {
        // Any text.
        const QString texto = QString::fromUtf8(reinterpret_cast<const char*>(datos), qsizetype(tamano));
        (void)PrefijoNumerico(texto);
        (void)ValorPrefijo(texto);
        const bool numero = EsNumero(texto);
        for (const Escala& e : Escalas) {
            const std::optional<int32_t> v = ValorEstricto(texto, e.escala);
            if (v && !numero)
                Fallar("strict conversion took a text that is no number", texto, 0, *v);
        }
        return 0;
    }

    // A value as a read shows it, taken back as a write takes it.
    if (tamano < 5)
        return 0;
    int32_t valor;
    std::memcpy(&valor, datos, sizeof valor);
    const Escala& e = Escalas[datos[4] % (sizeof Escalas / sizeof Escalas[0])];
    const QString mostrado = MostrarValor(valor, e.escala, e.formato);
    const std::optional<int32_t> vuelta = ValorEstricto(mostrado, e.escala);
    if (!vuelta || *vuelta != valor)
        Fallar("shown value does not encode back", mostrado, valor, vuelta ? *vuelta : -1);
    if (!EsNumero(mostrado))
        Fallar("shown value is not a number", mostrado, valor, 0);
    if (e.escala == 1) {
        const std::optional<int32_t> prefijo = ValorPrefijo(mostrado);
        if (!prefijo || *prefijo != valor)
            Fallar("numeric prefix of a shown integer", mostrado, valor, prefijo ? *prefijo : -1);
    }
    return 0;
}
