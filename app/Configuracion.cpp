#include "app/Configuracion.h"

#include "app/ModuloKX.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <limits>

// A settings file is five short lines; anything far larger is not ours to read whole.
static constexpr qint64 TamanoMaximo = 64 * 1024;

QString RutaConfiguracion()
{
    return CarpetaPrograma() + QDir::separator() + QStringLiteral("qzl.ini");
}

// Values are separated by line ends, or by commas on one line; a quoted value
// keeps its blanks and may hold a comma. An empty line is an empty value, as between
// two commas, so the values after it keep their places; the line end that closes the
// file adds none.
static QStringList Valores(const QString& texto)
{
    QStringList valores;
    QString actual;
    bool entreComillas = false;
    bool hayValor = false;  // something, even an empty value, since the last line end
    auto cerrar = [&] {
        valores.append(actual);
        actual.clear();
    };
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (entreComillas) {
            actual += c;
            if (c == u'"')
                entreComillas = false;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n')
                ++i;  // CR LF is one line end
            cerrar();
            hayValor = false;
            continue;
        }
        hayValor = true;
        if (c == u',') {
            cerrar();
            continue;
        }
        if (c == u'"')
            entreComillas = true;
        actual += c;
    }
    if (hayValor || entreComillas)
        cerrar();
    return valores;
}

template <typename T>
static void Entero(const QStringList& v, int i, T& destino, T porDefecto)
{
    destino = porDefecto;
    if (i >= v.size())
        return;
    bool ok = false;
    const qlonglong n = v[i].trimmed().toLongLong(&ok);
    if (ok && n >= std::numeric_limits<T>::min() && n <= std::numeric_limits<T>::max())
        destino = static_cast<T>(n);
}

void InterpretarConfiguracion(const QByteArray& contenido)
{
    const QStringList v = Valores(QString::fromLatin1(contenido));
    Entero<int16_t>(v, 0, NumeroPuerto, 1);
    Entero<int32_t>(v, 1, Reservado1, 0);
    Entero<int32_t>(v, 2, Reservado2, 0);
    CodigoIdioma = QStringLiteral("1");
    if (v.size() > 3) {
        QString c = v[3].trimmed();
        if (c.size() >= 2 && c.startsWith(u'"') && c.endsWith(u'"'))
            c = c.mid(1, c.size() - 2);
        // A quote or a line end left inside (an unbalanced quote, or a quoted value running
        // over lines) is garbage, not a language: it could not be written back as one value.
        if (c.contains(u'"') || c.contains(u'\r') || c.contains(u'\n') || c.isEmpty())
            c = QStringLiteral("1");
        CodigoIdioma = c;
    }
    Entero<int16_t>(v, 4, CodigoServicio, 0);
}

void LeerConfiguracion()
{
    QFile f(RutaConfiguracion());
    QByteArray contenido;
    if (f.open(QIODevice::ReadOnly))
        contenido = f.read(TamanoMaximo);
    InterpretarConfiguracion(contenido);
}

bool EscribirConfiguracion()
{
    QSaveFile f(RutaConfiguracion());
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QString texto = QString::number(NumeroPuerto) + QStringLiteral("\r\n")
        + QString::number(Reservado1) + QStringLiteral("\r\n")
        + QString::number(Reservado2) + QStringLiteral("\r\n")
        + u'"' + CodigoIdioma + u'"' + QStringLiteral("\r\n")
        + QString::number(CodigoServicio) + QStringLiteral("\r\n");
    f.write(texto.toLatin1());
    return f.commit();
}
