#include "ui/Ventana.h"

#include "ui/frmMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QPointer>
#include <QSignalBlocker>
#include <QTabWidget>

int16_t FrameActual = 1;

static QPointer<frmMain> principal;

void RegistrarFormPrincipal(frmMain* formulario)
{
    principal = formulario;
}

frmMain* FormPrincipal()
{
    return principal.data();
}

bool VentanaAbierta()
{
    return FormPrincipal() != nullptr;
}

Ui::frmMain& Ventana()
{
    Q_ASSERT(principal);
    return principal->ui;
}

QWidget* Control(const QString& nombre)
{
    if (!principal)
        return nullptr;
    if (principal->objectName() == nombre)
        return principal;
    return principal->findChild<QWidget*>(nombre);
}

void AlPulsar(const char* nombre, void (*manejador)())
{
    auto* boton = principal ? principal->findChild<QAbstractButton*>(QLatin1String(nombre)) : nullptr;
    if (!boton)
        qFatal("The main window has no button named %s", nombre);
    QObject::connect(boton, &QAbstractButton::clicked, boton, [manejador] { manejador(); });
}

template <typename T>
static T* Elemento(const char* arreglo, int i)
{
    return qobject_cast<T*>(Control(QStringLiteral("%1_%2").arg(QLatin1String(arreglo)).arg(i)));
}

QLabel* Label(int i) { return Elemento<QLabel>("Label", i); }
QLabel* LabelUnidades(int i) { return Elemento<QLabel>("LabelUnidades", i); }
QLabel* label1(int i) { return Elemento<QLabel>("label1", i); }
QGroupBox* FrameP(int i) { return Elemento<QGroupBox>("FrameP", i); }
QGroupBox* Frame1(int i) { return Elemento<QGroupBox>("Frame1", i); }
QLabel* LColor(int i) { return Elemento<QLabel>("LColor", i); }
QLabel* lblExterna(int i) { return Elemento<QLabel>("lblExterna", i); }
QLabel* lblSalida(int i) { return Elemento<QLabel>("lblSalida", i); }
QLabel* lblExternalbl(int i) { return Elemento<QLabel>("lblExternalbl", i); }
QLabel* lblSalidalbl(int i) { return Elemento<QLabel>("lblSalidalbl", i); }

QTimer* TimerEstado()
{
    return principal ? &principal->timerEstado : nullptr;
}

QTimer* tmrSpoolValoresInstantaneos()
{
    return principal ? &principal->timerSpoolValoresInstantaneos : nullptr;
}

void LlenarLista(QComboBox* lista, const QStringList& entradas)
{
    const QSignalBlocker bloqueo(lista);
    lista->clear();
    lista->addItems(entradas);
    lista->setCurrentIndex(-1);
}

int NumeroPestanas()
{
    return Ventana().TabStrip1->count();
}

// The strip's pages are FrameP 1 to 6 in the form, and tab position p always shows
// FrameP p. So taking a tab away drops the last page and moves the captions after it
// one place left, and putting one in adds the next page and moves them right; the
// selection follows its tab as when the strip itself removes or inserts one.
void QuitarPestana(int posicion)
{
    QTabWidget* tira = Ventana().TabStrip1;
    const int cuenta = tira->count();
    if (posicion < 1 || posicion > cuenta)
        return;
    const int seleccionada = PestanaSeleccionada();
    for (int p = posicion; p < cuenta; ++p)
        tira->setTabText(p - 1, tira->tabText(p));
    tira->removeTab(cuenta - 1);
    if (seleccionada > posicion)
        SeleccionarPestana(seleccionada - 1);
}

void InsertarPestana(int posicion, const QString& texto)
{
    QTabWidget* tira = Ventana().TabStrip1;
    const int cuenta = tira->count();
    QGroupBox* pagina = FrameP(cuenta + 1);
    if (posicion < 1 || posicion > cuenta + 1 || !pagina)
        return;
    const int seleccionada = PestanaSeleccionada();
    tira->addTab(pagina, cuenta >= posicion ? tira->tabText(cuenta - 1) : texto);
    for (int p = cuenta; p > posicion; --p)
        tira->setTabText(p - 1, tira->tabText(p - 2));
    tira->setTabText(posicion - 1, texto);
    if (cuenta > 0 && seleccionada >= posicion)
        SeleccionarPestana(seleccionada + 1);
}

void TextoPestana(int posicion, const QString& texto)
{
    Ventana().TabStrip1->setTabText(posicion - 1, texto);
}

int PestanaSeleccionada()
{
    return Ventana().TabStrip1->currentIndex() + 1;
}

void SeleccionarPestana(int posicion)
{
    Ventana().TabStrip1->setCurrentIndex(posicion - 1);
}

void TabStrip1_Click()
{
    const int p = PestanaSeleccionada();
    if (p == FrameActual || !FrameP(p))
        return;
    FrameP(p)->show();
    if (QGroupBox* anterior = FrameP(FrameActual); anterior && anterior != FrameP(p))
        anterior->hide();
    FrameActual = static_cast<int16_t>(p);
}

void DeshabilitaBotones()
{
    Ventana().CAbrir->setEnabled(false);
    Ventana().CGuardar->setEnabled(false);
    Ventana().CLeer->setEnabled(false);
    Ventana().CEscribir->setEnabled(false);
    Ventana().CComparar->setEnabled(false);
}

void HabilitaBotones()
{
    Ventana().CAbrir->setEnabled(true);
    Ventana().CGuardar->setEnabled(true);
    Ventana().CLeer->setEnabled(true);
    Ventana().CEscribir->setEnabled(true);
    Ventana().CComparar->setEnabled(true);
}
