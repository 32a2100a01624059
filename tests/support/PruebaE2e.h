#pragma once
// The controller simulator as a separate process (qzl-sim in the build folder), the way
// a technician meets a controller: on its own pseudo-terminal, linked as comN in the
// test's program folder, and changed from outside through its command lines on stdin
// (faults, state, log); and what the end-to-end tests read back from the window.
#include "sim/Simulador.h"

#include <QMap>
#include <QString>
#include <QStringList>

class QProcess;

struct SimExterno {
    QProcess* proceso = nullptr;
    int puerto = 0;        // N of comN
    QString dispositivo;   // the pseudo-terminal it serves
};

// qzl-sim: $QZL_SIM if set, else the build folder's (one level above the tests).
QString RutaQzlSim();
// Starts qzl-sim linked as comN in CarpetaPrueba(), its controller made of the state
// statements given (on top of the demo controller when demo is true). False, with the
// reason in *error, when it cannot start.
bool IniciarSimExterno(SimExterno& sim, int puerto, const QString& estado, bool demo = false,
                       QString* error = nullptr);
// Sends one command line and returns its answer line ("ok ..." or "error: ...");
// an empty string when the simulator did not answer within a few seconds.
QString OrdenSimExterno(SimExterno& sim, const QString& orden);
// The controller's whole state as the simulator holds it now.
EstadoSimulador EstadoSimExterno(SimExterno& sim);
// Frames received on the wire since start or the last clearlog, oldest first
// ("4B 58 00 00 01 25 00 DA"; "stray ..." for bytes that made no frame).
QStringList RegistroSimExterno(SimExterno& sim);
// Ends the process (quit, then kill if it lingers) and removes its comN link.
void DetenerSimExterno(SimExterno& sim);

// Cells of the parameter memory that differ between two states.
QList<int> CeldasDistintas(const EstadoSimulador& a, const EstadoSimulador& b);
// The frame's command and index bytes, from a log line; -1 when it is no frame.
int ComandoDeRegistro(const QString& linea);
int IndiceDeRegistro(const QString& linea);

// Every value the window's parameter fields show, by control name: texts of the text
// fields, index and text of the lists, state of the check boxes.
QMap<QString, QString> ValoresCampos();
