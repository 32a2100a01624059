#pragma once
// qzl.ini beside the program: five values, one per line, CR LF.
#include <QString>

QString RutaConfiguracion();
// Reads the five settings; missing, empty or unreadable values take 1, 0, 0, "1", 0.
void LeerConfiguracion();
// Rewrites the whole file from the five globals; false when it cannot be written.
bool EscribirConfiguracion();
// The parser behind LeerConfiguracion, on text already read.
void InterpretarConfiguracion(const QByteArray& contenido);
