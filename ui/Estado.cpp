#include "ui/Estado.h"

#include <QAccessible>
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
        etiquetaPanel1->setText(texto);
        // A label does not announce a new text by itself; a screen reader then reads the message.
        QAccessibleEvent cambio(etiquetaPanel1.data(), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&cambio);
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
