#include "params/Conversiones.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

// A decimal number held exactly: (negativo ? -1 : 1) × digitos × 10^exponente,
// digitos without leading zeros (empty for zero).
struct Decimal {
    bool negativo = false;
    std::string digitos;
    int64_t exponente = 0;
};

// Exponents beyond this make every number zero or far out of any range we use;
// saturating keeps the arithmetic below from overflowing.
constexpr int64_t ExponenteMaximo = 100000;

void SumarDigitoExponente(int64_t& e, int d)
{
    if (e < ExponenteMaximo)
        e = e * 10 + d;
}

void QuitarCerosIniciales(Decimal& n)
{
    const auto p = n.digitos.find_first_not_of('0');
    n.digitos.erase(0, p == std::string::npos ? n.digitos.size() : p);
}

// Rounds a non-negative quotient to the nearest whole number, halves to even.
int64_t DividirRedondeoPar(int64_t numerador, int64_t divisor)
{
    const int64_t q = numerador / divisor;
    const int64_t r = numerador % divisor;
    if (2 * r > divisor || (2 * r == divisor && (q % 2) != 0))
        return q + 1;
    return q;
}

double RedondeoPar(double x)
{
    const double abajo = std::floor(x);
    const double resto = x - abajo;
    if (resto > 0.5)
        return abajo + 1.0;
    if (resto < 0.5)
        return abajo;
    return std::fmod(abajo, 2.0) == 0.0 ? abajo : abajo + 1.0;
}

bool EsBlancoPrefijo(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool EsDigitoAscii(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The longest leading number of the text, blanks, tabs and line feeds ignored.
Decimal LeerPrefijo(const QString& texto)
{
    QString s;
    s.reserve(texto.size());
    for (const QChar c : texto) {
        if (!EsBlancoPrefijo(c))
            s += c;
    }
    Decimal n;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        n.negativo = s[i] == u'-';
        ++i;
    }
    bool hayDigitos = false;
    int64_t decimales = 0;
    while (i < s.size() && EsDigitoAscii(s[i])) {
        n.digitos += static_cast<char>(s[i].unicode());
        hayDigitos = true;
        ++i;
    }
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && EsDigitoAscii(s[i])) {
            n.digitos += static_cast<char>(s[i].unicode());
            hayDigitos = true;
            ++decimales;
            ++i;
        }
    }
    if (!hayDigitos)
        return Decimal{};
    // An exponent counts only when at least one digit follows its letter and sign.
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        bool negativo = false;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) {
            negativo = s[j] == u'-';
            ++j;
        }
        if (j < s.size() && EsDigitoAscii(s[j])) {
            int64_t e = 0;
            while (j < s.size() && EsDigitoAscii(s[j])) {
                SumarDigitoExponente(e, s[j].digitValue());
                ++j;
            }
            n.exponente = negativo ? -e : e;
        }
    }
    n.exponente -= decimales;
    QuitarCerosIniciales(n);
    return n;
}

bool EmpiezaCon(const QString& s, qsizetype i, const QString& que)
{
    return !que.isEmpty() && QStringView(s).mid(i).startsWith(que, Qt::CaseInsensitive);
}

bool EsMarcaDireccion(QChar c)
{
    return c == QChar(0x061C) || c == QChar(0x200E) || c == QChar(0x200F);
}

// A number in the user's number format, held exactly. QLocale judges the form
// (separators, grouping, signs); the digits are then taken one by one so that
// no binary fraction ever touches the value.
std::optional<Decimal> LeerEstricto(const QString& texto)
{
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QLocale local;
    bool ok = false;
    const double d = local.toDouble(t, &ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;

    const QString coma = local.decimalPoint();
    const QString grupo = local.groupSeparator();
    const bool grupoEsBlanco = grupo.size() == 1 && grupo[0].isSpace();
    const QString exponencial = local.exponential();

    Decimal n;
    int64_t decimales = 0;
    bool enFraccion = false;
    bool enExponente = false;
    bool expNegativo = false;
    int64_t e = 0;
    bool hayDigitos = false;
    qsizetype i = 0;
    while (i < t.size()) {
        const QChar c = t[i];
        if (EsMarcaDireccion(c)) {
            ++i;
        } else if (c.isDigit()) {
            const int v = c.digitValue();
            if (enExponente) {
                SumarDigitoExponente(e, v);
            } else {
                n.digitos += static_cast<char>('0' + v);
                hayDigitos = true;
                if (enFraccion)
                    ++decimales;
            }
            ++i;
        } else if (!enExponente && !enFraccion && EmpiezaCon(t, i, coma)) {
            enFraccion = true;
            i += coma.size();
        } else if (!enExponente && !enFraccion && EmpiezaCon(t, i, grupo)) {
            i += grupo.size();
        } else if (!enExponente && !enFraccion && grupoEsBlanco && c.isSpace()) {
            ++i;
        } else if (c == u'-' || c == QChar(0x2212)) {
            (enExponente ? expNegativo : n.negativo) = true;
            ++i;
        } else if (c == u'+') {
            ++i;
        } else if (!enExponente && (c == u'e' || c == u'E')) {
            enExponente = true;
            ++i;
        } else if (!enExponente && EmpiezaCon(t, i, exponencial)) {
            enExponente = true;
            i += exponencial.size();
        } else {
            return std::nullopt;
        }
    }
    if (!hayDigitos)
        return std::nullopt;
    n.exponente = (expNegativo ? -e : e) - decimales;
    QuitarCerosIniciales(n);
    return n;
}

constexpr int DecimalesExactos = 4;
constexpr int64_t UnidadExacta = 10000;  // 10^DecimalesExactos
// Beyond 14 digits at four decimals the number exceeds 10^10, out of 32-bit range.
constexpr size_t DigitosMaximos = 14;

// n × 10^4 rounded to a whole number, halves to even; empty when too large.
std::optional<int64_t> DiezMilesimas(const Decimal& n)
{
    if (n.digitos.empty())
        return int64_t{0};
    const int64_t k = n.exponente + DecimalesExactos;
    int64_t v = 0;
    if (k >= 0) {
        if (static_cast<int64_t>(n.digitos.size()) + k > static_cast<int64_t>(DigitosMaximos))
            return std::nullopt;
        for (const char c : n.digitos)
            v = v * 10 + (c - '0');
        for (int64_t j = 0; j < k; ++j)
            v *= 10;
    } else {
        const int64_t quitar = -k;
        const int64_t largo = static_cast<int64_t>(n.digitos.size());
        std::string entera;
        std::string resto;
        if (quitar >= largo) {
            resto = std::string(static_cast<size_t>(quitar - largo), '0') + n.digitos;
        } else {
            entera = n.digitos.substr(0, static_cast<size_t>(largo - quitar));
            resto = n.digitos.substr(static_cast<size_t>(largo - quitar));
        }
        if (entera.size() > DigitosMaximos)
            return std::nullopt;
        for (const char c : entera)
            v = v * 10 + (c - '0');
        const bool restoSinCeros = resto.find_first_not_of('0', 1) == std::string::npos;
        const bool masDeMitad = resto[0] > '5' || (resto[0] == '5' && !restoSinCeros);
        const bool mitad = resto[0] == '5' && restoSinCeros;
        if (masDeMitad || (mitad && v % 2 != 0))
            ++v;
    }
    return n.negativo ? -v : v;
}

bool CabeEn32(int64_t v)
{
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

int DecimalesDe(Formato f)
{
    switch (f) {
    case Formato::Entero:
        return 0;
    case Formato::Cuatro:
        return 4;
    case Formato::UnoDecimal:
        return 1;
    case Formato::Dos:
    case Formato::DosDecimales:
    case Formato::Fijo:
        return 2;
    }
    return 0;
}

}  // namespace

double PrefijoNumerico(const QString& texto)
{
    const Decimal n = LeerPrefijo(texto);
    if (n.digitos.empty())
        return 0.0;
    // Magnitude first, so that the conversion never leaves the range of a double.
    const int64_t orden = static_cast<int64_t>(n.digitos.size()) + n.exponente;
    double v = 0.0;
    if (orden > 400) {
        v = std::numeric_limits<double>::infinity();
    } else if (orden >= -400) {
        const std::string s = n.digitos + "e" + std::to_string(n.exponente);
        // Out of range leaves v alone: too large is beyond every range, too small is 0.
        if (std::from_chars(s.data(), s.data() + s.size(), v).ec == std::errc::result_out_of_range)
            v = orden > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return n.negativo ? -v : v;
}

std::optional<int32_t> ValorPrefijo(const QString& texto)
{
    const double v = RedondeoPar(PrefijoNumerico(texto));
    if (!(v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(v);
}

std::optional<int32_t> ValorEstricto(const QString& texto, int32_t escala)
{
    // Scales are powers of ten up to 10^4; anything else is a caller's mistake.
    if (escala <= 0 || escala > UnidadExacta)
        return std::nullopt;
    const std::optional<Decimal> n = LeerEstricto(texto);
    if (!n)
        return std::nullopt;
    const std::optional<int64_t> exacto = DiezMilesimas(*n);
    if (!exacto)
        return std::nullopt;
    const int64_t producto = *exacto * escala;
    const int64_t r = producto < 0 ? -DividirRedondeoPar(-producto, UnidadExacta)
                                   : DividirRedondeoPar(producto, UnidadExacta);
    if (!CabeEn32(r))
        return std::nullopt;
    return static_cast<int32_t>(r);
}

bool EsNumero(const QString& texto)
{
    return LeerEstricto(texto).has_value();
}

QString MostrarValor(int64_t valor, int32_t escala, Formato formato)
{
    if (escala <= 0)
        escala = 1;
    const int decimales = DecimalesDe(formato);
    int64_t potencia = 1;
    for (int i = 0; i < decimales; ++i)
        potencia *= 10;
    const bool negativo = valor < 0;
    const uint64_t absoluto = negativo ? 0 - static_cast<uint64_t>(valor) : static_cast<uint64_t>(valor);
    // Whole part and the remainder kept apart, so a large value cannot overflow.
    uint64_t entero = absoluto / static_cast<uint64_t>(escala);
    const int64_t resto = static_cast<int64_t>(absoluto % static_cast<uint64_t>(escala));
    int64_t parteFraccion = resto * potencia / escala;
    const int64_t sobra = resto * potencia % escala;
    const bool impar = decimales > 0 ? parteFraccion % 2 != 0 : entero % 2 != 0;
    if (2 * sobra > escala || (2 * sobra == escala && impar))
        ++parteFraccion;
    if (parteFraccion >= potencia) {
        parteFraccion -= potencia;
        ++entero;
    }
    QString s;
    if (negativo && (entero != 0 || parteFraccion != 0))
        s += u'-';
    s += QString::number(entero);
    if (decimales > 0) {
        s += QLocale().decimalPoint();
        s += QStringLiteral("%1").arg(parteFraccion, decimales, 10, QChar(u'0'));
    }
    return s;
}
