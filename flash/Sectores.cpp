#include "flash/Sectores.h"

#include "app/ModuloKX.h"
#include "flash/CodigoColor.h"
#include "flash/Pautas.h"
#include "ui/Ventana.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTableWidget>

static bool EsAnguloSector(int32_t e)
{
    return e >= 0 && e <= 359;
}

bool FilaConColor(int fila)
{
    const QTableWidget* g = Ventana().MSFlexGridPautas;
    const QTableWidgetItem* cabecera = g ? g->verticalHeaderItem(fila - 1) : nullptr;
    return cabecera && cabecera->background().style() != Qt::NoBrush;
}

// Segment k of a row is entries 2k - 1 (start) and 2k (end); both must be angles.
QList<Sector> SectoresDeFila(int fila)
{
    QList<Sector> s;
    for (int k = 1; k <= ColumnasPautas / 2; ++k) {
        const int32_t a = TablaPautas[fila][2 * k - 1];
        const int32_t b = TablaPautas[fila][2 * k];
        if (EsAnguloSector(a) && EsAnguloSector(b))
            s.append({a, b});
    }
    return s;
}

// Clockwise extent from start to end; an end below the start wraps through 0. Equal
// bearings mark a single degree so the entry stays visible.
static int Extension(const Sector& s)
{
    const int e = (s.fin - s.inicio + 360) % 360;
    return e == 0 ? 1 : e;
}

QString DescripcionSectores()
{
    QStringList filas;
    for (int r = 1; r <= FilasPautas; ++r) {
        const QList<Sector> sectores = SectoresDeFila(r);
        if (sectores.isEmpty())
            continue;
        QStringList partes;
        for (const Sector& s : sectores)
            partes << QStringLiteral("%1 to %2").arg(s.inicio).arg(s.fin);
        const QString color =
            FilaConColor(r) ? QStringLiteral("colour %1").arg(TablaColores[r]) : QStringLiteral("no colour");
        filas << QStringLiteral("Row %1, %2: %3").arg(r).arg(color, partes.join(QStringLiteral(", ")));
    }
    return filas.isEmpty() ? QStringLiteral("No sectors") : filas.join(QStringLiteral("; "));
}

QLabel* DibujoSectores()
{
    if (!FormPrincipal())
        return nullptr;
    QFrame* cuadrado = qobject_cast<QFrame*>(Control(QStringLiteral("Shape1")));
    if (!cuadrado)
        return nullptr;
    auto* dibujo = cuadrado->findChild<QLabel*>(QStringLiteral("DibujoSectores"), Qt::FindDirectChildrenOnly);
    if (!dibujo) {
        dibujo = new QLabel(cuadrado);
        dibujo->setObjectName(QStringLiteral("DibujoSectores"));
        dibujo->setAccessibleName(QStringLiteral("Sectors"));
        dibujo->setGeometry(cuadrado->contentsRect());
        dibujo->show();
    }
    return dibujo;
}

void PintarSectores(QPainter& p, const QRectF& area, const QColor& neutro, const QColor& colorContorno,
                    qreal trazo)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centro = area.center();
    const qreal radio = std::min(area.width(), area.height()) / 2.0 - 2.0 * trazo;
    // Eight rings and the hub's width; each ring a band with a thin gap to the next.
    const qreal paso = radio / (FilasPautas + 1);
    const qreal grosor = paso * 0.8;

    // The 0 bearing, so the drawing reads like a compass card.
    p.setPen(QPen(neutro, trazo));
    p.drawLine(centro, QPointF(centro.x(), centro.y() - radio));

    // Every band is outlined, so a light colour (white) still shows on the page.
    const QPen contorno(colorContorno, trazo);
    for (int r = 1; r <= FilasPautas; ++r) {
        const qreal fuera = radio - (r - 1) * paso;
        const qreal dentro = fuera - grosor;
        const QRectF aroFuera(centro.x() - fuera, centro.y() - fuera, 2 * fuera, 2 * fuera);
        const QRectF aroDentro(centro.x() - dentro, centro.y() - dentro, 2 * dentro, 2 * dentro);
        for (const Sector& s : SectoresDeFila(r)) {
            // Bearings run clockwise from the top; the painter's angles anticlockwise from 3 o'clock.
            const qreal desde = 90.0 - s.inicio;
            const qreal extension = -Extension(s);
            QPainterPath banda;
            banda.arcMoveTo(aroFuera, desde);
            banda.arcTo(aroFuera, desde, extension);
            banda.arcTo(aroDentro, desde + extension, -extension);
            banda.closeSubpath();
            // No colour yet: the band's outline only.
            p.setBrush(FilaConColor(r) ? QBrush(ColorDeCodigo(TablaColores[r])) : QBrush(Qt::NoBrush));
            p.setPen(contorno);
            p.drawPath(banda);
        }
    }
    p.restore();
}

void DibujarSectores()
{
    QLabel* dibujo = DibujoSectores();
    if (!dibujo)
        return;
    const QSize tamano = dibujo->size();
    const qreal escala = dibujo->devicePixelRatioF();
    QPixmap lienzo(tamano * escala);
    lienzo.setDevicePixelRatio(escala);
    lienzo.fill(Qt::transparent);

    QPainter p(&lienzo);
    PintarSectores(p, QRectF(QPointF(0, 0), QSizeF(tamano)), dibujo->palette().color(QPalette::WindowText),
                   dibujo->palette().color(QPalette::Dark));
    p.end();
    dibujo->setPixmap(lienzo);
    dibujo->setAccessibleDescription(DescripcionSectores());
}
