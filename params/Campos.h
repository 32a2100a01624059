#pragma once
// The memory map's fields as the main window holds them: reading a field's
// content from its widget, showing a decoded value, encoding and decoding the
// whole window.
#include "params/Catalogo.h"

#include <QDateTime>

class QComboBox;
class QWidget;

// The widget of a row's field (a QLineEdit, QComboBox or QCheckBox).
QWidget* WidgetCampo(const FilaMapa& fila);

// A field's content. A list whose typed text matches none of its entries has no
// selection (-1); a typed text that matches an entry selects it.
ValorCampo LeerCampo(const FilaMapa& fila);
// The list's entry as LeerCampo sees it.
int IndiceLista(const QComboBox* lista);
// Selects a list entry as a user's choice would (the list's handlers run when
// the selection changes), and shows the entry's text in an editable list.
void SeleccionarEntrada(QComboBox* lista, int indice);

// The light sensor kind selected in ComboSensorLuz at this moment.
int SensorSeleccionado();

// --- What the last read or file load put into the window ---
// A write and a save start from the image that read or load took, and a field nobody
// touched that still shows what was put there (a light level with the same sensor
// kind) keeps its cells exactly: re-encoding a value nobody touched would move it (a
// count to the light table's steps, 1000 minutes to 999), and cells no field shows
// would be lost. A field the technician typed into, chose an entry of or clicked is
// encoded from what it shows, even when that reads as before: choosing "24 hours ON"
// means what the list says, not the cell value the list could not show.

// Takes the image as the new base; no field is marked yet.
void RecordarImagenBase(const ImagenParametros& imagen);
// Marks the row's field as showing the base, as it reads now (call it right after decoding).
void RecordarCampoMostrado(const FilaMapa& fila);
const ImagenParametros& ImagenBase();
// True when nobody has acted on the row's field since the last read or load put its
// value there, and it still shows that value.
bool CampoSinCambios(const FilaMapa& fila);
// An act of the technician on the row's field (or its raw-count field): it is edited.
void MarcarCampoTocado(const FilaMapa& fila);
// Connects every field's user acts (typing, choosing an entry, clicking) to MarcarCampoTocado.
void ConectarCamposTocados();
// Sets the row's cells of the image to 0.
void BorrarCeldas(const FilaMapa& fila, ImagenParametros& imagen);

// --- Where the window's values came from (the service report states it) ---
enum class OrigenValores { Ninguno, Controlador, Archivo };
struct ProcedenciaValores {
    OrigenValores origen = OrigenValores::Ninguno;  // nothing read or loaded yet
    QDateTime cuando;  // when the read ended or the file was opened
    QString archivo;   // the file, for OrigenValores::Archivo
    // Acts of the technician and whole writes, counted in one sequence so that their
    // order is known even within one clock tick: 0 for none since the read or load.
    qint64 ultimoCambio = 0;
    qint64 ultimaEscritura = 0;  // the last write that sent every address, at its encoding
    QDateTime cuandoEscritura;
};
// A read that ended well, or a file opened: a new origin, with no edit and no write yet.
void RecordarProcedencia(OrigenValores origen, const QString& archivo = QString());
// The mark a write takes before it encodes the window; RecordarEscrituraCompleta(mark)
// when every address went out, so that edits made during the write stay unwritten.
qint64 MarcaEscritura();
void RecordarEscrituraCompleta(qint64 marca);
const ProcedenciaValores& Procedencia();

// Encodes the fields of every row that goes to the controller, in cell order, into
// imagen, which starts as ImagenBase(); rows with CampoSinCambios keep its cells, the
// others are cleared and encoded. Free-text replacements are shown in the fields as
// they happen. Returns the first row whose conversion failed, or null when all
// succeeded; the rows after a failure are not encoded. Without mostrarCambios the
// fields are left as they are (a compare only looks).
const FilaMapa* CodificarVentana(ImagenParametros& imagen, bool mostrarCambios = true);
// Decodes one row into its field. Lists select like the user; a list value that
// selects nothing leaves the list alone. False when a cell holds what the field
// cannot take; the field is then unchanged.
bool DecodificarEnVentana(const FilaMapa& fila, const ImagenParametros& imagen);
