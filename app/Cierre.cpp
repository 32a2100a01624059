#include "app/Cierre.h"

#include <QList>
#include <QPointer>
#include <QSettings>

static QList<QPointer<QWidget>> formularios;

void RegistrarFormulario(QWidget* formulario)
{
    formularios.removeAll(nullptr);
    if (!formularios.contains(formulario))
        formularios.append(formulario);
}

void GuardarUbicacion(QWidget* principal)
{
    constexpr int twipsPorPixel = 15;
    const QRect marco = principal->frameGeometry();
    QSettings s(QStringLiteral("QZL"), QStringLiteral("QZL"));
    s.beginGroup(QStringLiteral("Settings"));
    s.setValue(QStringLiteral("MainLeft"), QString::number(marco.x() * twipsPorPixel));
    s.setValue(QStringLiteral("MainTop"), QString::number(marco.y() * twipsPorPixel));
    s.setValue(QStringLiteral("MainWidth"), QString::number(marco.width() * twipsPorPixel));
    s.setValue(QStringLiteral("MainHeight"), QString::number(marco.height() * twipsPorPixel));
    s.endGroup();
    s.sync();
}

void Form_Unload(QWidget* principal)
{
    formularios.removeAll(nullptr);
    for (int i = formularios.size() - 1; i >= 0; --i) {
        QWidget* f = formularios[i];
        if (f && f != principal)
            f->close();
    }
    formularios.removeAll(nullptr);
    if (!principal->isMinimized())
        GuardarUbicacion(principal);
}
