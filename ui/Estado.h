#pragma once
// What the device link uses of the window, and all it uses: panel 1 of the status bar
// (the system's message line), event processing, its buttons' clicks, the button guard,
// whether the window is still there, the beep and the critical message box. The rest of
// the window stays with the features that show it.
#include <QString>
#include <QStringList>

class QLabel;

// Replaces the whole text of panel 1.
void Panel1(const QString& texto);
QString TextoPanel1();
// Every text panel 1 has shown, oldest first (bounded); lets tests see passing messages.
QStringList& HistorialPanel1();
// The window hands over its panel label; before that the text is only remembered.
void FijarEtiquetaPanel1(QLabel* etiqueta);

// A number as panel 1 shows it: one leading blank for a positive one (" 37"), none
// before the minus sign of a negative one.
QString ConBlanco(int n);

// Processes pending window events (the window repaints and other handlers may run).
void DoEvents();
// Runs manejador on every click of the main window's button named nombre ("CDia").
// A name the window lacks stops the program at once: a renamed button must not
// quietly do nothing.
void AlPulsar(const char* nombre, void (*manejador)());

// The four file and transfer buttons, CAbrir, CGuardar, CLeer, CEscribir, and CComparar.
void DeshabilitaBotones();
void HabilitaBotones();
// False once the main window has been closed (it may close while a reply is awaited).
bool VentanaAbierta();

// A write holds the window: closing it (Exit, or the window's own close) while a write
// runs does not cut the write short. Panel 1 then says so and keeps saying it (the
// write's own texts are held back, the last one put back at its end), and the window
// closes as soon as the write ends. A second close while waiting does nothing more.
// The device link marks each write's start and end; the end carries out a close that
// was asked meanwhile.
void EmpiezaEscritura();
void TerminaEscritura();
// The window's close asks this first: true when the close must wait for the write.
bool AplazarCierre();

// The system beep (ui/Dialogos.h counts it for tests).
void Pitido();
// A modal message box with the critical icon and the application's title.
void MensajeCritico(const QString& texto);
