#pragma once
// The history of reads: every parameter read and every colour read that ended well is
// kept at once as a parameter file in the per-user data folder, so that what the
// controller held before a write is never lost. Nothing is ever deleted here.
#include "params/Catalogo.h"

#include <QDateTime>
#include <QString>

// AppDataLocation/history (on Linux ~/.local/share/QZL/QZL/history), or the folder a
// test set.
QString CarpetaHistorial();
void FijarCarpetaHistorial(const QString& carpeta);

// YYYY-MM-DD_HHMMSS_ID<n>.qzl, n being cell 254 x 256 + cell 255 in decimal.
QString NombreArchivoHistorial(const QDateTime& cuando, const ImagenParametros& imagen);

// Keeps a parameter read: its cells, with the flash table and colours last read from the
// controller in this run, or else the window's. A folder that cannot be written costs
// one text in panel 1, which still begins with "Ended"; the read is not failed for it.
void GuardarLecturaParametros(const ImagenParametros& imagen);
// Keeps a colour read: the cells last read from the controller in this run, or else the
// image of the window's last read or file, with the flash table and colours just read.
void GuardarLecturaColores(const int32_t colores[9], const int32_t tabla[9][33]);

// The path of the last file kept, empty when none (tests read it).
QString UltimoArchivoHistorial();

// Start-up: hooks the history to the reads and offers its folder in the file dialogs.
void ConectarHistorial();
