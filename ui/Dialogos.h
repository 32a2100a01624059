#pragma once
// Every message box, file dialog and colour chooser of the program goes through
// here, so that tests can answer them without a nested event loop. Dialogs are
// Qt's own (never the platform's native ones), which screen readers can drive.
#include "ui/Estado.h"

#include <QColor>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;

struct PeticionDialogo {
    enum Tipo { Mensaje, GuardarArchivo, AbrirArchivo, Color, Eleccion, Imprimir };
    Tipo tipo = Mensaje;
    QMessageBox::Icon icono = QMessageBox::NoIcon;
    QString texto;       // message text
    QString titulo;      // window title
    QString filtro;      // file dialogs: "Parametros (*.qzl)"
    QString propuesto;   // save dialog: proposed file name
    QColor inicial;      // colour chooser: starting colour
    QStringList botones; // choice: the buttons, left to right; the last one cancels
    QString casilla;     // choice: a check box under the question, when not empty
    bool marcada = false;  // its state as the box opens
    QStringList lateral; // file dialogs: the extra folders of the side bar
};

struct RespuestaDialogo {
    bool aceptado = true;  // false: cancelled
    QString archivo;       // file dialogs
    QColor color;          // colour chooser
    int eleccion = 0;      // choice: the button pressed
    bool marcada = false;  // choice: the check box's state when it closed
    // The print dialog: a file name is the dialog's own "print to file" (PDF) choice.
};

using ContestadorDialogos = std::function<RespuestaDialogo(const PeticionDialogo&)>;

// Tests install an answerer; with none set the real dialog is shown.
void FijarContestadorDialogos(ContestadorDialogos contestador);
// Every dialog shown since the last clear, oldest first.
QList<PeticionDialogo>& DialogosMostrados();

// Modal message box with an OK button; the default title is the application's.
void MsgBox(const QString& texto, QMessageBox::Icon icono = QMessageBox::NoIcon,
            const QString& titulo = QString());
// Folders the file dialogs add to their side bar (the reads' history).
extern QStringList CarpetasLateralesArchivo;
// File dialogs: the chosen path, or an empty string when cancelled.
QString DialogoGuardarArchivo(const QString& filtro, const QString& propuesto = QString());
QString DialogoAbrirArchivo(const QString& filtro);
// A question answered by one of its buttons: the button's index, or -1 for the last
// one (which cancels) and for a closed box.
int DialogoEleccion(const QString& texto, const QStringList& botones, const QString& titulo = QString());
// The same with a check box under the question; marcada gives its state as the box opens
// and takes it back as the box closes.
int DialogoEleccion(const QString& texto, const QStringList& botones, const QString& casilla, bool& marcada);
// Qt's print dialog on impresora: true when the technician prints.
bool DialogoImprimir(QPrinter& impresora);
// Colour chooser: true with the colour chosen, false when cancelled.
bool DialogoColor(const QColor& inicial, QColor& elegido);

// Beeps given by Pitido (ui/Estado.h), so that tests hear them.
int PitidosDados();
void ReiniciarPitidos();
