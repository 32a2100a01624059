#include "app/FormLoad.h"

#include "app/ListaPuertos.h"
#include "app/ModuloKX.h"
#include "flash/Pautas.h"
#include "link/Calibracion.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "params/TablaLux.h"
#include "ui/Ayuda.h"
#include "ui/Estado.h"
#include "ui/Fuentes.h"
#include "ui/Idioma.h"
#include "ui/OcultaControles.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

static constexpr int TwipsPorPixel = 15;

static int Pixeles(int twips)
{
    return twips / TwipsPorPixel;
}

QString TituloVentana()
{
    return QStringLiteral("QZL %1.%2.%3  ").arg(QZL_VERSION_MAJOR).arg(QZL_VERSION_MINOR).arg(QZL_VERSION_PATCH);
}

void Form_Load()
{
    frmMain* f = FormPrincipal();
    Ui::frmMain& v = Ventana();

    // 1. No polling while the window is built; it stays hidden until step 16.
    TimerEstado()->stop();
    f->hide();

    // 2. Flash grid
    FormatearGrid();
    BorrarDatosGrid();

    // 3. Device-dependent controls hidden until an identification shows them; the start
    //    texts are nobody's values
    OcultaControles();
    RecordarProcedencia(OrigenValores::Ninguno);

    // 4. Start picture
    v.PictureInicio->move(Pixeles(1800), Pixeles(2760));
    v.PictureInicio->show();
    v.PictureInicio->raise();

    // 5, 6, 7, 8. Lists (their selections run their handlers) and the light-level table
    IniciarComboIdioma();
    IniciarComboCom();
    LlenarListasParametros();
    CargarTablaLux();

    // 9, 10, 11. Centred for a width of 10300 twips, then narrowed to 10200.
    const QRect pantalla = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                            : QRect(0, 0, 1024, 768);
    const int anchoPantalla = pantalla.width() * TwipsPorPixel;
    const int altoPantalla = pantalla.height() * TwipsPorPixel;
    f->move(Pixeles((anchoPantalla - 10300) / 2), Pixeles((altoPantalla - 7575) / 2));
    f->setWindowTitle(TituloVentana());
    f->setFixedSize(Pixeles(10200), f->height());

    // 12. The pages are the strip's own, laid out in the form; the selected tab's page is shown
    FrameActual = static_cast<int16_t>(PestanaSeleccionada());
    v.TabStrip1->update();

    // 13. Help file of the current language
    FijarArchivoAyuda();

    // 14. String-table texts
    AplicarTextos();
    AjustarFuentes(f);

    // 15, 16.
    Panel1(QStringLiteral("Start reading the device"));
    f->show();

    // 17. Pacing delay calibrated last, with the window on screen
    TestVelocidad();
}
