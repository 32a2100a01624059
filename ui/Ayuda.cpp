#include "ui/Ayuda.h"

#include "app/Cierre.h"
#include "app/ModuloKX.h"
#include "ui/Dialogos.h"
#include "ui/Idioma.h"
#include "ui/frmAyuda.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

QString ArchivoAyuda;

#ifdef Q_OS_WIN
static QString visor = QStringLiteral("hh");
#else
static QString visor;
#endif

static QPointer<frmAyuda> ventana;

void FijarVisorAyuda(const QString& programa)
{
    visor = programa;
}

void FijarArchivoAyuda()
{
    ArchivoAyuda = CarpetaPrograma() + QDir::separator() + TextoRecurso(2000);
}

QUrl PaginaAyuda(const QString& archivo)
{
    // The build compiles each help file's pages into the program under the file's own name.
    QString carpeta = QStringLiteral(":/ayuda/") + QFileInfo(archivo).completeBaseName();
    if (!QFileInfo::exists(carpeta + QStringLiteral("/index.html")))
        carpeta = QStringLiteral(":/ayuda/helpQZL");
    return QUrl(QStringLiteral("qrc") + carpeta + QStringLiteral("/index.html"));
}

frmAyuda* VentanaAyuda()
{
    return ventana;
}

static void MostrarVentanaAyuda()
{
    if (!ventana) {
        ventana = new frmAyuda;
        RegistrarFormulario(ventana);
        static bool borrarAlFinal = false;
        if (!borrarAlFinal) {
            borrarAlFinal = true;
            // A window without a parent must go before the application does.
            qAddPostRoutine([] { delete ventana.data(); });
        }
    }
    const QUrl inicio = PaginaAyuda(ArchivoAyuda);
    // A window already open stays on the page being read; a closed one starts again.
    if (!ventana->isVisible() || ventana->Inicio() != inicio)
        ventana->AbrirGuia(inicio);
    if (ventana->isMinimized())
        ventana->showNormal();
    else
        ventana->show();
    ventana->raise();
    ventana->activateWindow();
}

void CAyuda_Click()
{
    if (visor.isEmpty()) {
        MostrarVentanaAyuda();
        return;
    }
    // The path travels as one argument, never through a shell: blanks and quotes are harmless.
    QProcess proceso;
    proceso.setProgram(visor);
    proceso.setArguments({ArchivoAyuda});
    if (!proceso.startDetached())
        MsgBox(proceso.errorString());
}
