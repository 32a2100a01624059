#include "link/Puerto.h"

#include "app/Configuracion.h"
#include "app/ModuloKX.h"
#include "link/Transaccion.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSignalBlocker>

static QSerialPort* puertoSerie = nullptr;
static int numeroFijado = 0;

static constexpr int PrimerPuerto = 1;
static constexpr int UltimoPuerto = 9;
// Line settings of the controller's serial line.
static constexpr qint32 Baudios = 9600;
static constexpr qint64 BufferRecepcion = 1024;
// Pause that lets a technician read the not-available message.
static constexpr int PausaFalloMs = 2000;

QSerialPort& MSCommDestellador()
{
    if (!puertoSerie) {
        puertoSerie = new QSerialPort;
        // A QObject must go before the application does.
        qAddPostRoutine([] {
            delete puertoSerie;
            puertoSerie = nullptr;
        });
    }
    return *puertoSerie;
}

QString DispositivoPuerto(int numero)
{
    if (numero < PrimerPuerto || numero > UltimoPuerto)
        return QString();
#ifdef Q_OS_WIN
    return QStringLiteral("COM") + QString::number(numero);
#else
    const QString enlace = CarpetaAjustes() + QDir::separator() + QStringLiteral("com")
        + QString::number(numero);
    const QFileInfo info(enlace);
    if (info.isSymLink()) {
        // The device itself, so that its lock names the real line whatever link leads to it.
        const QString destino = info.canonicalFilePath();
        return destino.isEmpty() ? enlace : destino;
    }
    return QStringLiteral("/dev/ttyS") + QString::number(numero - 1);
#endif
}

bool FijarPuerto(int numero)
{
    if (numero < PrimerPuerto || numero > UltimoPuerto || MSCommDestellador().isOpen())
        return false;
    numeroFijado = numero;
    return true;
}

int PuertoFijado()
{
    return numeroFijado;
}

bool AbrirCom()
{
    QSerialPort& puerto = MSCommDestellador();
    if (puerto.isOpen())
        return true;
    // The device is looked up at each opening: a link may have been re-pointed since.
    const QString dispositivo = DispositivoPuerto(numeroFijado);
    if (dispositivo.isEmpty())
        return false;
    puerto.setPortName(dispositivo);
    puerto.setBaudRate(Baudios);
    puerto.setDataBits(QSerialPort::Data8);
    puerto.setParity(QSerialPort::NoParity);
    puerto.setStopBits(QSerialPort::OneStop);
    puerto.setFlowControl(QSerialPort::NoFlowControl);
    puerto.setReadBufferSize(BufferRecepcion);
    if (!puerto.open(QIODevice::ReadWrite))
        return false;
    // A line without modem lines (a pseudo-terminal) cannot raise DTR; that is fine.
    puerto.setDataTerminalReady(true);
    puerto.clearError();
    return true;
}

void CerrarCom()
{
    QSerialPort& puerto = MSCommDestellador();
    // A handler run from inside a transaction's wait must not pull the port from under it.
    if (!puerto.isOpen() || TransaccionEnCurso())
        return;
    puerto.clear(QSerialPort::AllDirections);
    puerto.close();
    puerto.clearError();
}

// A number written as the system writes it: one leading blank for a positive one.
static QString ConBlanco(int n)
{
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}

QString TextoPuertoNoDisponible(int numero)
{
    return QStringLiteral("Serial Port ") + ConBlanco(numero) + QStringLiteral("  Not Avalaible");
}

// Failure steps of the port test: report, pause, fall back to "Com1:". Falling back
// when "Com1:" is already what the list shows changes nothing and tests nothing again.
static void PasosFallo()
{
    Panel1(TextoPuertoNoDisponible(NumeroPuerto));
    DoEvents();
    Retardo(EsperaMs(PausaFalloMs));
    QComboBox* lista = Ventana().ComboCom;
    if (lista->count() == 0)
        return;
    if (lista->currentIndex() != 0) {
        lista->setCurrentIndex(0);  // a change of selection: runs ComboCom_Click
    } else if (lista->currentText() != lista->itemText(0)) {
        // Text typed over the first entry: putting the entry back is a new selection.
        lista->setEditText(lista->itemText(0));
        ComboCom_Click();
    }
}

// Tests port NumeroPuerto: set it, open it (DTR raised), close it; with recordar,
// rewrite qzl.ini and report the port. Any failing step runs the failure steps
// once; the remaining steps still run, but a failed test never reports success.
static void PruebaPuerto(bool recordar)
{
    bool fallo = false;
    auto falla = [&] {
        if (!fallo) {
            fallo = true;
            PasosFallo();
        }
    };
    if (!FijarPuerto(NumeroPuerto))
        falla();
    else if (!AbrirCom())
        falla();
    CerrarCom();
    if (!recordar)
        return;
    if (!EscribirConfiguracion())
        falla();
    if (!fallo)
        Panel1(QStringLiteral("Serial Port ") + ConBlanco(NumeroPuerto));
}

// While an operation holds the port, the list goes back to the port in use.
static bool RechazarCambio(QComboBox* lista)
{
    if (!OperacionEnCurso())
        return false;
    const QSignalBlocker bloqueo(lista);
    lista->setCurrentIndex(NumeroPuerto - 1);
    if (lista->currentIndex() >= 0)
        lista->setEditText(lista->itemText(lista->currentIndex()));
    return true;
}

void ComboCom_Click()
{
    QComboBox* lista = Ventana().ComboCom;
    if (RechazarCambio(lista))
        return;
    NumeroPuerto = static_cast<int16_t>(lista->currentIndex() + 1);
    PruebaPuerto(true);
}

void ComboCom_Change()
{
    QComboBox* lista = Ventana().ComboCom;
    if (RechazarCambio(lista))
        return;
    // The typed text selects the entry it names, if any; none gives port 0, which fails.
    NumeroPuerto = static_cast<int16_t>(lista->findText(lista->currentText(), Qt::MatchFixedString) + 1);
    PruebaPuerto(false);
}

void IniciarComboCom()
{
    QComboBox* lista = Ventana().ComboCom;
    QStringList entradas;
    for (int n = PrimerPuerto; n <= UltimoPuerto; ++n)
        entradas.append(QStringLiteral("Com") + QString::number(n) + u':');
    LlenarLista(lista, entradas);
    FijarPuerto(NumeroPuerto);
    const int posicion = (NumeroPuerto >= PrimerPuerto && NumeroPuerto <= UltimoPuerto) ? NumeroPuerto - 1 : 0;
    if (lista->currentIndex() != posicion)
        lista->setCurrentIndex(posicion);  // runs ComboCom_Click
    else
        ComboCom_Click();
}
