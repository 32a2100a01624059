#pragma once
// The command transaction with the controller: one 8-byte frame out, one 8-byte
// reply back, up to three tries; and Retardo, the pause that paces it.
#include <QByteArray>
#include <cstdint>

// Command record. Clear it ({}), then set Comando, Indice and Dato.
struct ComandoQZL {
    uint8_t ValorBajo = 0;  // frame byte 3
    uint8_t ValorAlto = 0;  // frame byte 2
    uint8_t Comando = 0;    // frame byte 4
    uint8_t Indice = 0;     // frame byte 5
    uint8_t Dato = 0;       // frame byte 6
};

// Reply record. Estado is set from what happened on the line: EstadoRespuesta (6)
// when 8 bytes arrived, EstadoSinRespuesta (21) when no try got a complete reply;
// the other fields are then 0.
struct RespuestaQZL {
    uint8_t Estado = 0;
    int32_t Valor = 0;     // reply byte 2 * 256 + byte 3
    uint8_t Comando = 0;   // reply byte 4
    uint8_t Indice = 0;    // reply byte 5
    uint8_t Dato = 0;      // reply byte 6, the answer
};

constexpr uint8_t EstadoRespuesta = 6;      // ACK
constexpr uint8_t EstadoSinRespuesta = 21;  // NAK
constexpr int LongitudTrama = 8;
constexpr int IntentosTransaccion = 3;

// 0xFF xor bytes 2 to 6 of the frame (the "K" "X" header is not included).
uint8_t ChecksumComando(const ComandoQZL& comando);
// The eight bytes written for a command: "K" "X" ValorAlto ValorBajo Comando Indice Dato checksum.
QByteArray TramaComando(const ComandoQZL& comando);
// Decodes the first 8 bytes taken from the line; header and checksum are not checked,
// real controllers may not carry them. Estado is left for the caller.
RespuestaQZL DecodificarRespuesta(const QByteArray& bytes);
// Where the reply starts in the bytes taken so far, or -1 while it is not complete.
// Stray bytes before a reply (a line glitch) are skipped: when "K" "X" stands later
// than position 0, the reply is the 8 bytes from there. Bytes without "K" "X" count
// from position 0, so a controller whose replies carry no header still works.
int InicioRespuesta(const QByteArray& bytes);

// One transaction on the open port (AbrirCom first): the frame's bytes 1 ms apart,
// each gap counted from the start of its byte's write (the write's own time, up to
// 0.1 ms, is not added to it); the reply wait of up to 2 s; then 20 ms counted from
// the moment the try ended, before the next try or the return. Reports "Time Out Transmision"
// and "Error R  1" to "Error R  3" in panel 1; leaves Reintentos at 0.
// Whatever is waiting in the receive buffer is discarded before each try. A reply may
// still come after its try gave up: until 1 s past the reply limit of every such try,
// what arrives is discarded before a transaction that such a reply could answer sends
// its frame (a retry of the same frame can take it: the answer is the same). Once a
// controller's replies have been seen to repeat the frame's command and index (three
// in a row to different indices, per command, while the port stays open), the frame
// goes out at once, and a reply that repeats instead an earlier frame, one of whose
// tries gave up while the port stayed open, is that frame's, however late: it is
// dropped and the wait goes on. Any other reply is taken, whatever its bytes 0 to 5
// and 7 hold: nothing is dropped while no earlier try is still awaiting its reply. "K" "X" later than position 0 of 8 or more bytes, with
// no whole reply after it, is either stray bytes before a reply on its way or a reply
// without header that holds 4B 58: the bytes from position 0 are taken once the line
// has been quiet for 40 ms, unless this controller's replies have carried the header.
// None of this adds a frame, a byte or a pause for a controller that answers in time.
// The reply wait blocks in Qt's event loop, processing window events on every pass.
// A port that is closed, or vanishes (adapter unplugged), fails its tries at once; a
// vanished port is closed. Called while another transaction waits, it touches
// nothing and returns a failed record (see OperacionEnCurso).
RespuestaQZL EnviarComando(const ComandoQZL& comando);

// Called on the transaction's thread with false right after each byte of a frame was
// handed to the system, and with true as soon as a reply has been taken; none by
// default. Lets a benchmark see the line from the tool's end: when each byte went out
// (a peer on a loaded machine may read it only later) and how long each reply took.
void FijarTestigoLinea(void (*testigo)(bool respuesta));

// Pause of ms milliseconds on the monotonic clock, exact whatever the load: it sleeps
// to just before the end and spins only the last fraction of a millisecond, so it
// keeps no core busy. Processes no window events: the window neither repaints nor
// reacts meanwhile. Returns at once when ms is 0 or less, and before the speed
// calibration has run (CuentaMilisegundo 0 or less), as the tests rely on.
void Retardo(int32_t ms);
// Asks the system, once per thread, to wake the calling thread on time from its sleeps
// and waits even while other programs keep every core busy. Retardo does it for the
// thread it runs on (the window's, which also waits for the replies); a peer thread
// that timestamps the line calls it too. Where the system offers nothing of the kind,
// the pauses stay exact, only more often a little long under load.
void PrepararHiloPuntual();
// The speed calibration's counting loop: counts 1 to hasta on a volatile counter,
// so that the compiler can neither remove nor shorten it.
void ContarVueltas(int32_t hasta);

// One device operation at a time.
// True while a transaction waits for its reply or an operation holds the port open
// (the port is open only during an operation). Every handler that would start a
// device operation (direct-command buttons, the interrogation button, timer ticks,
// the port list) returns at once without doing anything while this is true; a
// skipped timer tick simply comes again at its next period. There is no queue.
bool OperacionEnCurso();
// True only while EnviarComando runs (CerrarCom leaves the port alone meanwhile).
bool TransaccionEnCurso();
