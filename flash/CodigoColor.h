#pragma once
// Colour codes as the controller, the files and TablaColores hold them: 24 bits, red
// in bits 0-7, green 8-15, blue 16-23.
#include <QColor>
#include <cstdint>

inline QColor ColorDeCodigo(int32_t codigo)
{
    return QColor(codigo & 255, (codigo >> 8) & 255, (codigo >> 16) & 255);
}
inline int32_t CodigoDeColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}
