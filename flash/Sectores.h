#pragma once
// The flash table drawn as the light's sectors, inside the decoration square of the
// flash-table page: one ring per row (row 1 outermost), each segment an arc from its
// start to its end bearing in the row's colour (0 at the top, clockwise; an end below
// its start wraps through 0). Entries that are not angles, or lack their partner, draw
// nothing; a row whose colour was never set draws as a neutral outline. The drawing's
// accessible description says the same in words.
#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

class QLabel;
class QPainter;

// A row's colour is set once one was read, loaded or chosen (its grid header carries it).
bool FilaConColor(int fila);

struct Sector {
    int inicio;
    int fin;
};
// The row's whole segments (both entries angles), left to right.
QList<Sector> SectoresDeFila(int fila);

// The sectors drawn into the square centred in area, on any painter (the window's picture,
// the service report): neutro draws the 0 bearing and contorno every band's outline.
void PintarSectores(QPainter& p, const QRectF& area, const QColor& neutro, const QColor& contorno,
                    qreal trazo = 1.0);

// Redraws from TablaPautas, TablaColores and the rows' colour state. Called after
// every change of the table or of a colour.
void DibujarSectores();
// The drawing (created over the square on first use); null before the window exists.
QLabel* DibujoSectores();
// The table in words, as the drawing's description carries it:
// "Row 1, colour 255: 0 to 90, 180 to 270; Row 3, no colour: 45 to 135", or "No sectors".
QString DescripcionSectores();
