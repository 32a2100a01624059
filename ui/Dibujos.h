#pragma once
// The program's own artwork, drawn at start-up: logo, start picture, indicator lamps.
#include <QColor>
#include <QPixmap>
#include <QSize>

QPixmap DibujoLampara(const QColor& color);
QPixmap DibujoFaro(const QSize& tamano, bool conTexto);
// Puts the pictures on the main window's picture controls.
void PintarDibujos();
