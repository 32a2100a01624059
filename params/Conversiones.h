#pragma once
// Text-to-number conversions used when a field is encoded, and the display
// formats used when a decoded value is shown.
#include <QString>
#include <cstdint>
#include <optional>

// Numeric prefix: blanks, tabs and line feeds are ignored wherever they stand,
// and the longest leading number (sign, digits, one ".", exponent) is taken,
// with "." as the decimal point in every locale. No number (an empty text too) is 0.
double PrefijoNumerico(const QString& texto);
// The numeric prefix rounded to a whole number, halves to the even neighbour;
// empty only when the rounded number does not fit in a signed 32-bit integer.
std::optional<int32_t> ValorPrefijo(const QString& texto);
// A number rounded as ValorPrefijo rounds its prefix: halves to the even neighbour,
// empty when the result does not fit in a signed 32-bit integer.
std::optional<int32_t> EnteroPar(double x);

// Strict: the whole text must be a number in the user's number format (QLocale()).
// It is held exactly to four decimal places, multiplied by escala exactly and
// rounded to a whole number, halves to the even neighbour at both steps. Empty
// when the text is no number or the result does not fit in 32 bits.
std::optional<int32_t> ValorEstricto(const QString& texto, int32_t escala = 1);
// True when the text is a number in the user's number format, as ValorEstricto
// accepts it (whatever its size). An empty text is not a number.
bool EsNumero(const QString& texto);

// Display formats of decoded values.
enum class Formato {
    Entero,        // integer: "-" for negatives, no blanks
    Cuatro,        // "#0.0000"
    Dos,           // "#0.00"
    UnoDecimal,    // "##0.0"
    DosDecimales,  // "##0.00"
    Fijo,          // "fixed"
};
// valor / escala in the given format, with the user's decimal separator and
// no digit grouping. Exact for every scale that is a power of ten.
QString MostrarValor(int64_t valor, int32_t escala, Formato formato);
