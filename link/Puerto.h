#pragma once
// The serial port to the controller: its number, line settings, opening and closing,
// and what the system knows of the devices behind the numbers. The port list that
// chooses the number is the start-up's (app/ListaPuertos.h).
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QSerialPort;

// What the system reports of one serial device.
struct DispositivoSerie {
    QString ruta;         // what opening it takes: /dev/ttyUSB0, COM3
    QString descripcion;  // the adapter's description
    QString fabricante;
    QString numeroSerie;
};

// The port numbers a technician can choose.
constexpr int PrimerPuerto = 1;
constexpr int UltimoPuerto = 9;

// The one port object. Closed between operations.
QSerialPort& MSCommDestellador();

// The serial devices present, in the order that numbers the ports without a link:
// plug-in adapters (every device but /dev/ttyS*) first, then the built-in /dev/ttyS*
// ports; each group by its path, numbers compared as numbers (ttyUSB2 before ttyUSB10).
QList<DispositivoSerie> DispositivosSerie();
// Where DispositivosSerie takes the devices from, in any order; null: the system's
// own list (Qt's serial port information). Tests put a fixed list in its place.
void FijarFuenteDispositivos(std::function<QList<DispositivoSerie>()> fuente);

// Device behind port number n (1 to 9): on Windows COMn; elsewhere the device the
// symbolic link comn in the program's folder points to, else the n-th device of
// DispositivosSerie. Empty for a number outside 1 to 9 or when fewer than n devices
// are present (the port is then not available).
QString DispositivoPuerto(int numero);
// For the port list, port by port from PrimerPuerto, from one look at the devices: the
// device each port opens and what the system knows of it, or that nothing is there.
QStringList DescripcionesPuertos();

// Sets the port number while the port is closed; false for a number outside 1 to 9
// or an open port (the number is then unchanged).
bool FijarPuerto(int numero);
// The number set last (0 before any).
int PuertoFijado();

// Opens the port on the number set last, if it is closed: 9600 baud, 8 data bits,
// no parity, 1 stop bit, no flow control, binary, DTR asserted (a line without modem
// lines, such as a pseudo-terminal, counts as done). Does nothing if already open.
// True when the port is open afterwards; callers report the failure themselves.
bool AbrirCom();
// Closes the port, discarding whatever is still in its buffers. Nothing if closed,
// or while a transaction waits for its reply (the port is that transaction's).
void CerrarCom();

// "Serial Port  N  Not Avalaible" for port N.
QString TextoPuertoNoDisponible(int numero);
