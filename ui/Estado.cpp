#include "ui/Estado.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

static QPointer<QLabel> etiquetaPanel1;
static QString textoPanel1 = QStringLiteral("Estado");
static QStringList historial;
static constexpr int MaximoHistorial = 20000;

void Panel1(const QString& texto)
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
