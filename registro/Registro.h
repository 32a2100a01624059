#pragma once
// The records of the line, read: their texts in the window's language (operation,
// direction, outcome, what the frame means and what its answer says), and the daily
// service log in the per-user data folder. The monitor window shows the same records.
#include "link/RegistroLinea.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// --- Texts of a record, in the window's language ---
QString NombreOperacion(TipoOperacion tipo);
// The operation as a record names it: a direct command says which ("Direct command: Day Night control: Day").
QString OperacionDeRegistro(const RegistroLinea& r);
QString TextoSentido(SentidoLinea sentido);
QString TextoDestino(const RegistroLinea& r);
// "4B 58 00 00 01 11 00 B7"
QString BytesHex(const QByteArray& bytes);
// What the frame asks for ("Read parameter 17 Light level Beacon ON, high byte"), and for a
// reply taken, what its answer says.
QString SignificadoRegistro(const RegistroLinea& r);
// The caption of the field that holds a parameter address, with the address and the
// byte or character of the field it is ("17 Light level Beacon ON, high byte").
QString DescripcionDireccion(int direccion);

// --- The service log: AppDataLocation/logs/qzl-YYYY-MM-DD.log, one file per local day ---
constexpr int DiasRegistro = 90;
// The log's columns, tab-separated, as its header line names them.
QString CabeceraRegistro();
// A record as one line of the log (no line end): local time with date, milliseconds
// and UTC offset, then the columns of CabeceraRegistro. Tabs and line ends in texts become blanks.
QString LineaRegistro(const RegistroLinea& r);
// "2026-12-11 17:02:03.123 +01:00"
QString HoraRegistro(int64_t ms);

// The folder of the log files; tests point it elsewhere (empty: the per-user data folder).
QString CarpetaRegistro();
void FijarCarpetaRegistro(const QString& carpeta);
// The file that holds the records of the local day of ms.
QString ArchivoRegistro(int64_t ms);

// Start-up, once per run: takes the link's records, and removes the log files of days
// more than DiasRegistro before today (AhoraLinea). Nothing else in the folder is touched.
void IniciarRegistro();
void BorrarRegistrosAntiguos(int64_t ahora);
// Waits until every record handed over so far is in its file (or has failed to get there).
void VaciarRegistro();
// A file that cannot be written costs one message in panel 1, shown once no operation has
// run for 1.5 s (the operation's own outcome is read first), and again only after the log
// has been written in between. Its text, %1 the file.
constexpr int TextoRegistroNoEscrito = 2148;

// True while a device operation runs: the monitor paints less then (see monitor/Monitor.cpp).
bool LineaOcupada();

// The monitor's listener: every record, on the window's thread, after the log has it.
void FijarOyenteRegistro(void (*oyente)(const RegistroLinea& registro));
