#include "support/PruebaE2e.h"

#include "support/VentanaPrueba.h"
#include "ui/frmMain.h"
#include "ui/Ventana.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

static constexpr int EsperaRespuestaMs = 5000;

QString RutaQzlSim()
{
    const QString propia = QProcessEnvironment::systemEnvironment().value(QStringLiteral("QZL_SIM"));
    if (!propia.isEmpty())
        return propia;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../qzl-sim"));
}

// One line of the simulator's standard output, without its line end; empty on timeout.
static QString LeerLinea(QProcess* p, int ms = EsperaRespuestaMs)
{
    QDeadlineTimer plazo(ms);
    while (!p->canReadLine()) {
        if (plazo.hasExpired() || p->state() != QProcess::Running)
            return p->canReadLine() ? QString::fromLocal8Bit(p->readLine()).trimmed() : QString();
        p->waitForReadyRead(int(qMax<qint64>(1, plazo.remainingTime())));
    }
    return QString::fromLocal8Bit(p->readLine()).trimmed();
}

// Lines up to the closing "end" of "dump" and "log".
static QStringList LeerHastaFin(QProcess* p)
{
    QStringList lineas;
    for (;;) {
        const QString l = LeerLinea(p);
        if (l.isEmpty() && !p->canReadLine() && p->state() != QProcess::Running)
            break;
        if (l == QLatin1String("end"))
            break;
        if (l.startsWith(QLatin1String("error:"))) {
            lineas.append(l);
            break;
        }
        lineas.append(l);
        if (l.isEmpty() && lineas.size() > 100000)
            break;
    }
    return lineas;
}

bool IniciarSimExterno(SimExterno& sim, int puerto, const QString& estado, bool demo, QString* error)
{
    DetenerSimExterno(sim);
    const QString carpeta = CarpetaPrueba();
    const QString archivoEstado = QDir(carpeta).filePath(QStringLiteral("sim%1.state").arg(puerto));
    QFile f(archivoEstado);
    if (!f.open(QIODevice::WriteOnly) || f.write(estado.toLatin1()) < 0) {
        if (error)
            *error = QStringLiteral("cannot write ") + archivoEstado;
        return false;
    }
    f.close();

    QStringList argumentos{QStringLiteral("--link"), QDir(carpeta).filePath(QStringLiteral("com%1").arg(puerto)),
                           QStringLiteral("--state"), archivoEstado};
    if (demo)
        argumentos.prepend(QStringLiteral("--demo"));
    sim.proceso = new QProcess;
    sim.proceso->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.proceso->start(RutaQzlSim(), argumentos);
    sim.puerto = puerto;
    if (!sim.proceso->waitForStarted(EsperaRespuestaMs)) {
        if (error)
            *error = RutaQzlSim() + QStringLiteral(": ") + sim.proceso->errorString();
        DetenerSimExterno(sim);
        return false;
    }
    // Its first line is the device it serves; the link exists by then.
    sim.dispositivo = LeerLinea(sim.proceso);
    if (sim.dispositivo.isEmpty()) {
        if (error)
            *error = QStringLiteral("qzl-sim did not start (state file or link refused)");
        DetenerSimExterno(sim);
        return false;
    }
    return true;
}

QString OrdenSimExterno(SimExterno& sim, const QString& orden)
{
    if (!sim.proceso)
        return QString();
    sim.proceso->write(orden.toLocal8Bit() + '\n');
    sim.proceso->waitForBytesWritten(EsperaRespuestaMs);
    return LeerLinea(sim.proceso);
}

EstadoSimulador EstadoSimExterno(SimExterno& sim)
{
    EstadoSimulador e;
    if (!sim.proceso)
        return e;
    sim.proceso->write("dump\n");
    sim.proceso->waitForBytesWritten(EsperaRespuestaMs);
    const QStringList lineas = LeerHastaFin(sim.proceso);
    std::string error;
    if (!AplicarTextoEstado(e, lineas.join(u'\n').toStdString(), &error))
        qWarning("simulator dump not understood: %s", error.c_str());
    return e;
}

QStringList RegistroSimExterno(SimExterno& sim)
{
    if (!sim.proceso)
        return {};
    sim.proceso->write("log\n");
    sim.proceso->waitForBytesWritten(EsperaRespuestaMs);
    return LeerHastaFin(sim.proceso);
}

void DetenerSimExterno(SimExterno& sim)
{
    if (sim.proceso) {
        if (sim.proceso->state() == QProcess::Running) {
            sim.proceso->write("quit\n");
            sim.proceso->closeWriteChannel();
            if (!sim.proceso->waitForFinished(3000)) {
                sim.proceso->kill();
                sim.proceso->waitForFinished(3000);
            }
        }
        delete sim.proceso;
        sim.proceso = nullptr;
    }
    if (sim.puerto > 0)
        QFile::remove(QDir(CarpetaPrueba()).filePath(QStringLiteral("com%1").arg(sim.puerto)));
    sim.puerto = 0;
    sim.dispositivo.clear();
}

QList<int> CeldasDistintas(const EstadoSimulador& a, const EstadoSimulador& b)
{
    QList<int> celdas;
    for (int i = 0; i < 256; ++i)
        if (a.Celdas[size_t(i)] != b.Celdas[size_t(i)])
            celdas.append(i);
    return celdas;
}

static int ByteDeRegistro(const QString& linea, int posicion)
{
    const QStringList bytes = linea.split(u' ', Qt::SkipEmptyParts);
    if (bytes.size() != 8 || bytes[0] != QLatin1String("4B") || bytes[1] != QLatin1String("58"))
        return -1;
    bool ok = false;
    const int v = bytes[posicion].toInt(&ok, 16);
    return ok ? v : -1;
}

int ComandoDeRegistro(const QString& linea)
{
    return ByteDeRegistro(linea, 4);
}

int IndiceDeRegistro(const QString& linea)
{
    return ByteDeRegistro(linea, 5);
}

QMap<QString, QString> ValoresCampos()
{
    QMap<QString, QString> valores;
    frmMain* f = FormPrincipal();
    if (!f)
        return valores;
    for (const QLineEdit* t : f->findChildren<QLineEdit*>()) {
        // A list's own edit line is the list's value, below.
        if (!t->objectName().isEmpty() && !qobject_cast<QComboBox*>(t->parentWidget()))
            valores.insert(t->objectName(), t->text());
    }
    for (const QComboBox* c : f->findChildren<QComboBox*>())
        valores.insert(c->objectName(), QString::number(c->currentIndex()) + u' ' + c->currentText());
    for (const QCheckBox* c : f->findChildren<QCheckBox*>())
        valores.insert(c->objectName(), QString::number(int(c->checkState())));
    return valores;
}
