// The flash table drawn as the light's sectors in the square of the flash-table page:
// colours found along the bearings a row covers and nowhere else, row 1 outermost,
// wrapping through 0, and redrawn after each way the table or a colour changes.
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/ArchivoQZL.h"
#include "flash/Colores.h"
#include "flash/Pautas.h"
#include "flash/Sectores.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QLabel>
#include <QtMath>
#include <QtTest>

namespace {

const QColor Rojo(255, 0, 0);
const QColor Verde(0, 255, 0);
const QColor Azul(0, 0, 255);

bool Parecido(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 && qAbs(a.blue() - b.blue()) <= 8 &&
           a.alpha() > 200;
}

// Distance from the centre (in pixels of the drawing) of the outermost pixel of that
// colour along the bearing (0 at the top, clockwise); -1 when the ray never meets it.
double DistanciaColor(const QColor& color, double rumbo)
{
    const QLabel* dibujo = DibujoSectores();
    const QImage imagen = dibujo->pixmap().toImage();
    const double cx = imagen.width() / 2.0;
    const double cy = imagen.height() / 2.0;
    const double rad = qDegreesToRadians(rumbo);
    double encontrada = -1;
    for (double d = 0; d < std::min(cx, cy); d += 0.5) {
        const int x = int(cx + d * std::sin(rad));
        const int y = int(cy - d * std::cos(rad));
        if (Parecido(imagen.pixelColor(x, y), color))
            encontrada = d;
    }
    return encontrada;
}

void ElegirColor(int fila, const QColor& color)
{
    ContestarDialogos(QString(), color);
    LColor_Click(fila);
    ContestarDialogos();
}

void Teclear(const QString& digitos)
{
    for (const QChar ch : digitos)
        MSFlexGridPautas_KeyPress(ch.unicode());
}

}  // namespace

class SectoresPrueba : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        CrearVentanaPrueba();
        std::fill(std::begin(TablaColores), std::end(TablaColores), 0);
    }
    void cleanupTestCase() { CerrarVentanaPrueba(); }

    // Over the decoration square, the whole of it, and nothing drawn at start.
    void sobreElCuadrado()
    {
        QLabel* dibujo = DibujoSectores();
        QVERIFY(dibujo);
        QWidget* cuadrado = Control(QStringLiteral("Shape1"));
        QVERIFY(cuadrado->isAncestorOf(dibujo));
        QCOMPARE(cuadrado->size(), QSize(2175 / 15, 2175 / 15));
        QVERIFY(dibujo->width() >= cuadrado->width() - 2 && dibujo->height() >= cuadrado->height() - 2);
        QCOMPARE(dibujo->accessibleDescription(), QStringLiteral("No sectors"));
        QVERIFY(!dibujo->pixmap().isNull());
    }

    // A table as a read from the controller leaves it.
    void tablaConocida()
    {
        ElegirColor(1, Rojo);
        ElegirColor(2, Verde);
        for (int r = 1; r <= FilasPautas; ++r)
            for (int c = 1; c <= ColumnasPautas; ++c)
                TablaPautas[r][c] = EntradaVacia;
        const int32_t fila1[] = {0, 90, 180, 270};
        std::copy(std::begin(fila1), std::end(fila1), &TablaPautas[1][1]);
        TablaPautas[2][1] = 300;  // wraps through 0
        TablaPautas[2][2] = 60;
        TablaPautas[3][1] = 45;  // no colour chosen: outline only
        TablaPautas[3][2] = 135;
        TablaPautas[4][1] = 400;  // not an angle: no segment
        TablaPautas[4][2] = 100;
        TablaPautas[5][1] = 10;  // no partner: no segment
        RedibujaGrid();

        QCOMPARE(DibujoSectores()->accessibleDescription(),
                 QStringLiteral("Row 1, colour 255: 0 to 90, 180 to 270; Row 2, colour 65280: 300 to 60; "
                                "Row 3, no colour: 45 to 135"));
        // Bearing 45: both rows, row 1 outside row 2.
        const double rojo45 = DistanciaColor(Rojo, 45);
        const double verde45 = DistanciaColor(Verde, 45);
        QVERIFY(rojo45 > 0 && verde45 > 0);
        QVERIFY2(rojo45 > verde45, qPrintable(QStringLiteral("%1 %2").arg(rojo45).arg(verde45)));
        // Bearings 225 (row 1's second segment) and 350 (row 2 across north).
        QVERIFY(DistanciaColor(Rojo, 225) > 0);
        QCOMPARE(DistanciaColor(Verde, 225), -1.0);
        QVERIFY(DistanciaColor(Verde, 350) > 0);
        QCOMPARE(DistanciaColor(Rojo, 350), -1.0);
        // Bearing 135 lies in neither coloured row: clockwise, not anticlockwise.
        QCOMPARE(DistanciaColor(Rojo, 135), -1.0);
        QCOMPARE(DistanciaColor(Verde, 135), -1.0);
        QCOMPARE(DistanciaColor(Verde, 180), -1.0);
    }

    // Typing a segment, choosing its colour, clearing the table, loading a file.
    void cambiosRedibujan()
    {
        FijarCeldaActualPautas(6, 1);
        Teclear(QStringLiteral("10"));
        FijarCeldaActualPautas(6, 2);
        QCOMPARE(DibujoSectores()->accessibleDescription(), QStringLiteral("No sectors"));
        Teclear(QStringLiteral("20"));
        FijarCeldaActualPautas(6, 3);  // the cell is left
        QCOMPARE(DibujoSectores()->accessibleDescription(), QStringLiteral("Row 6, no colour: 10 to 20"));
        QCOMPARE(DistanciaColor(Azul, 15), -1.0);

        ElegirColor(6, Azul);
        QCOMPARE(DibujoSectores()->accessibleDescription(), QStringLiteral("Row 6, colour 16711680: 10 to 20"));
        QVERIFY(DistanciaColor(Azul, 15) > 0);
        QCOMPARE(DistanciaColor(Azul, 30), -1.0);

        CBorrarTabla_Click();
        QCOMPARE(DibujoSectores()->accessibleDescription(), QStringLiteral("No sectors"));
        QCOMPARE(DistanciaColor(Azul, 15), -1.0);

        ContenidoArchivoQZL contenido;
        for (int r = 1; r <= FilasPautas; ++r) {
            contenido.colores[r] = r;
            for (int c = 1; c <= ColumnasPautas; ++c)
                contenido.tabla[r][c] = EntradaVacia;
        }
        contenido.colores[8] = CodigoDeColor(Verde);
        contenido.tabla[8][1] = 90;
        contenido.tabla[8][2] = 270;
        AplicarArchivoQZL(contenido);
        QCOMPARE(DibujoSectores()->accessibleDescription(), QStringLiteral("Row 8, colour 65280: 90 to 270"));
        QVERIFY(DistanciaColor(Verde, 180) > 0);
        QCOMPARE(DistanciaColor(Verde, 0), -1.0);
    }
};

QTEST_MAIN(SectoresPrueba)
#include "tst_sectores.moc"
