#pragma once
// The serial port to the controller: its number, line settings, opening and closing,
// and the port list ComboCom with its port test.
#include <QString>

class QSerialPort;

// The one port object. Closed between operations.
QSerialPort& MSCommDestellador();

// Device behind port number n (1 to 9): on Windows COMn; elsewhere the device the
// symbolic link comn in the program's folder points to, else /dev/ttyS(n-1).
// Empty for a number outside 1 to 9.
QString DispositivoPuerto(int numero);

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

// Start-up: fills ComboCom with "Com1:" to "Com9:", sets the port number from
// NumeroPuerto and selects its entry (Com1: for a number outside 1 to 9), which runs
// the port test.
void IniciarComboCom();
// The port list's handlers: test the chosen port, remember it in qzl.ini (Click only)
// and fall back to "Com1:" when it fails. While an operation runs they undo the
// change and do nothing else (the port must not be switched under a transaction).
void ComboCom_Click();
void ComboCom_Change();
