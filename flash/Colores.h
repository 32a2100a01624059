#pragma once
// The eight row colours of the flash table (TablaColores, app/ModuloKX.h), their labels
// LColor 1 to 8, and the transfer of the whole flash table with its colours to and from
// the controller's four table segments.
#include <QColor>
#include <QString>
#include <array>
#include <cstdint>

// Colour codes: red in bits 0-7, green 8-15, blue 16-23.
inline QColor ColorDeCodigo(int32_t codigo)
{
    return QColor(codigo & 255, (codigo >> 8) & 255, (codigo >> 16) & 255);
}
inline int32_t CodigoDeColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}
