#pragma once
// The window's one font, and the step-down that keeps every text whole in its
// fixed-size control: captions, buttons, check boxes, lists, tab captions.
class QWidget;

// A narrow sans face, metric-compatible with the classic narrow faces the layout was
// drawn for; installed with the program's packages (fonts-liberation).
constexpr const char* FamiliaFuenteVentana = "Liberation Sans Narrow";
// Below this no text steps down, whatever its length: still readable on a service PC.
constexpr double PuntosFuenteMinimos = 6.5;

// Gives the window and everything in it the narrow face, keeping each control's size.
void AplicarFuenteVentana(QWidget* ventana);
// Steps the font of each control under raiz down, half a point at a time from the
// font it was designed with, until its text fits (lists: every entry fits the field;
// the drop-down itself opens as wide as its widest entry). Controls a layout sizes
// are left alone. Run again after texts change.
void AjustarFuentes(QWidget* raiz);
