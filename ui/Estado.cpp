#include "ui/Estado.h"

#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

static QPointer<QLabel> etiquetaPanel1;
static QString textoPanel1 = QStringLiteral("Estado");
static QStringList historial;
static constexpr int MaximoHistorial = 20000;

// "The program ends when the write is done"
static constexpr int TextoCierreTrasEscritura = 2007;
static bool escrituraEnCurso = false;
static bool cierreAplazado = false;
// What the write said while the notice stood in its place; put back at its end.
static QString textoRetenido;

static void MostrarPanel1(const QString& texto)
{
    textoPanel1 = texto;
    if (historial.size() >= MaximoHistorial)
        historial.remove(0, MaximoHistorial / 2);
    historial.append(texto);
    if (etiquetaPanel1 && etiquetaPanel1->text() != texto) {
        // The panel has no fixed accessible name, so the label itself announces its new
        // text as a name change: a screen reader reads the message as it appears.
        etiquetaPanel1->setText(texto);
    }
}

void Panel1(const QString& texto)
{
    // The notice stays until the window goes: the technician is told why it is still there.
    if (cierreAplazado) {
        textoRetenido = texto;
        return;
    }
    MostrarPanel1(texto);
}

QString TextoPanel1()
{
    return textoPanel1;
}

QStringList& HistorialPanel1()
{
    return historial;
}

void FijarEtiquetaPanel1(QLabel* etiqueta)
{
    etiquetaPanel1 = etiqueta;
    if (etiqueta)
        etiqueta->setText(textoPanel1);
}

QString ConBlanco(int n)
{
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}

void DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void EmpiezaEscritura()
{
    escrituraEnCurso = true;
    cierreAplazado = false;
}

void TerminaEscritura()
{
    escrituraEnCurso = false;
    if (!cierreAplazado)
        return;
    cierreAplazado = false;
    MostrarPanel1(textoRetenido);
    if (frmMain* f = FormPrincipal())
        f->close();
}

bool AplazarCierre()
{
    if (!escrituraEnCurso)
        return false;
    if (!cierreAplazado) {
        textoRetenido = textoPanel1;
        MostrarPanel1(TextoRecurso(TextoCierreTrasEscritura));
        cierreAplazado = true;
    }
    return true;
}
