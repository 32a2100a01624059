#pragma once
// The Compare button: what the window holds against the controller or a file.
#include "params/Catalogo.h"

#include <QString>
#include <vector>

// Asks what to compare with (the controller on the selected port, or a parameter file)
// and whether to include the flash table and colours, then compares and shows the
// Differences window. Nothing is written to the controller and nothing in the window
// changes. Does nothing while an operation with the controller runs.
void CComparar_Click();
// Identifies the controller and reads its present cells (and, when asked, its four
// table segments) into an image of its own, then shows the differences. A transfer that
// fails ends with its own text in panel 1 ("Identification Error in data N", "Reading
// Error in data N") and shows nothing.
void CompararConControlador(bool conPautas);
// Reads the file (as Open reads it, nothing applied) and shows the differences; a file
// that cannot be read shows why and nothing else.
void CompararConArchivo(const QString& ruta, bool conPautas);

// Shows the cells a verify found different, by field.
void MostrarVerificacionParametros(const ImagenParametros& enviada, const ImagenParametros& leida,
                                   const std::vector<int>& direcciones);
void MostrarVerificacionColores(const int32_t enviados[9], const int32_t tablaEnviada[9][33],
                                const int32_t leidos[9], const int32_t tablaLeida[9][33]);
