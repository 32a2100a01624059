#include "ui/Ayuda.h"

#include "app/ModuloKX.h"
#include "ui/Dialogos.h"
#include "ui/Idioma.h"

#include <QDir>
#include <QProcess>

QString ArchivoAyuda;

#ifdef Q_OS_WIN
static QString visor = QStringLiteral("hh");
#else
static QString visor = QStringLiteral("xdg-open");
#endif

void FijarVisorAyuda(const QString& programa)
{
    visor = programa;
}

void FijarArchivoAyuda()
{
    ArchivoAyuda = CarpetaPrograma() + QDir::separator() + TextoRecurso(2000);
}

void CAyuda_Click()
{
    // The path travels as one argument, never through a shell: blanks and quotes are harmless.
    QProcess proceso;
    proceso.setProgram(visor);
    proceso.setArguments({ArchivoAyuda});
    if (!proceso.startDetached())
        MsgBox(proceso.errorString());
}
