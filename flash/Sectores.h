#pragma once
// The flash table drawn as the light's sectors, inside the decoration square of the
// flash-table page: one ring per row (row 1 outermost), each segment an arc from its
// start to its end bearing in the row's colour (0 at the top, clockwise; an end below
// its start wraps through 0). Entries that are not angles, or lack their partner, draw
// nothing; a row whose colour was never set draws as a neutral outline. The drawing's
// accessible description says the same in words.
#include <QString>

class QLabel;

// Redraws from TablaPautas, TablaColores and the rows' colour state. Called after
// every change of the table or of a colour.
void DibujarSectores();
// The drawing (created over the square on first use); null before the window exists.
QLabel* DibujoSectores();
// The table in words, as the drawing's description carries it:
// "Row 1, colour 255: 0 to 90, 180 to 270; Row 3, no colour: 45 to 135", or "No sectors".
QString DescripcionSectores();
