#pragma once
// Parameter files (*.qzl): the parameter image of the window's fields, then the flash
// table with its colours, one decimal integer per line, CR LF, 520 lines.
//   lines 1 to 256     cell 0 to 255 of the image
//   lines 257 to 520   for each row r = 1 to 8: its colour code, then entries (r, 1) to (r, 32)
#include "params/Catalogo.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

constexpr int LineasArchivoQZL = 520;
constexpr int PrimeraLineaTablaQZL = 257;  // colour of row 1
// Far above any parameter file (520 short lines); a larger file is refused unread.
constexpr qint64 TamanoMaximoArchivoQZL = 64 * 1024;
// The dialogs' one filter entry.
inline QString FiltroArchivoQZL() { return QStringLiteral("Parametros (*.qzl)"); }

// What a file holds, as the load applies it.
struct ContenidoArchivoQZL {
    ImagenParametros imagen;
    int32_t colores[9] = {};      // rows 1 to 8
    int32_t tabla[9][33] = {};    // entries; 511 for an item the load does not accept
};

// The file's bytes for an image and a flash table. With progreso, panel 1 shows each
// cell number and then each row number as its lines are composed.
QByteArray TextoArchivoQZL(const ImagenParametros& imagen, const int32_t colores[9],
                           const int32_t tabla[9][33], bool progreso = false);
// Reads a file's bytes. Image lines must be whole numbers; flash lines are taken by
// their numeric prefix: a colour is that number rounded, an entry is accepted when
// 0 <= x < 361 (rounded; a text without a number is no 0), any other entry becomes 511. Lines after 520 are ignored.
// False with the reason when the text cannot be a parameter file; contenido is then
// untouched. Pure: it reports nothing; celdasLeidas, when given, says how many image
// lines were taken before it ended.
bool InterpretarArchivoQZL(const QByteArray& datos, ContenidoArchivoQZL& contenido, QString& error,
                           int* celdasLeidas = nullptr);
// Opens and reads a file, refusing one larger than TamanoMaximoArchivoQZL without reading it
// whole; panel 1 then counts the image lines taken (" 0" to " 255").
bool LeerArchivoQZL(const QString& ruta, ContenidoArchivoQZL& contenido, QString& error);
// Writes the file atomically: a failed write, a short one (a full disk) included, leaves
// any earlier file of that name as it was. Panel 1 shows the lines' progress unless
// progreso is false (the history keeps a read's "Ended").
bool EscribirArchivoQZL(const QString& ruta, const ImagenParametros& imagen, const int32_t colores[9],
                        const int32_t tabla[9][33], QString& error, bool progreso = true);

// The image a save stores: every field of the window encoded as a write encodes it,
// plus the manufacturing data and TNumeroID; a night attenuation above 255 becomes
// "100" in its field first. Like a write it starts from the image of the last read or
// load, and a field still showing what was put there keeps its cells. False with the
// reason when a strict field holds no number or a value does not fit its cells.
bool CodificarVentanaArchivo(ImagenParametros& imagen, QString& error);
// Whether the window can take the image (a check state 0 to 2 in cell 54, list indexes,
// identifier codes); false with the reason.
bool ComprobarImagenArchivo(const ImagenParametros& imagen, QString& error);
// Fills the grid, the colours and the fields from a file's contents.
void AplicarArchivoQZL(const ContenidoArchivoQZL& contenido);

// The save dialog proposes this name; a name typed without an extension gets ".qzl".
QString NombrePropuestoArchivoQZL();
QString ConExtensionQZL(const QString& ruta);

void GuardarArchivoQZL();
void AbrirArchivoQZL();
void CGuardar_Click();
// Does nothing while a colour transfer runs (TablaPautasBloqueada).
void CAbrir_Click();
