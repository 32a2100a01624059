#pragma once
// Every command the program sends the controller, in one place. All travel in the
// frame of link/Transaccion.h (ValorAlto and ValorBajo 0); the answer, where there is
// one, is the reply's Dato. Nothing else in the program writes a command number.
#include <cstdint>

// --- Parameter cells: Indice is the address (0 to 255) ---
constexpr uint8_t ComandoLeerParametro = 1;      // answer: the cell
constexpr uint8_t ComandoEscribirParametro = 2;  // Dato: the cell's new value; no answer

// --- Status bytes, measured values and live states: Indice says which, Dato 0 ---
constexpr uint8_t ComandoEstado = 5;
constexpr uint8_t IndiceEstado0 = 0;
constexpr uint8_t IndiceEstado1 = 1;
// Measured values in hundredths: the high byte at the index given, the low byte at the next.
constexpr uint8_t IndiceCorrienteActual = 2;
constexpr uint8_t IndiceVelocidadActual = 4;
constexpr uint8_t IndiceCorrienteLeds = 6;
// Bits of inputs 1 to 8, outputs 1 to 8, outputs 9 to 11.
constexpr uint8_t IndiceEntradas = 8;
constexpr uint8_t IndiceSalidas1a8 = 9;
constexpr uint8_t IndiceSalidas9a11 = 10;

// --- Operating commands: Indice is the function, Dato its state; no answer ---
constexpr uint8_t ComandoOrden = 6;
constexpr uint8_t FuncionCambiador = 0;  // DatoApagado, DatoEncendido
constexpr uint8_t FuncionDiaNoche = 1;   // DatoNormal, DatoDia, DatoNoche
constexpr uint8_t FuncionFalloRed = 2;   // mains-failure sector: DatoApagado, DatoEncendido
constexpr uint8_t FuncionMotor = 3;      // DatoMotor1, DatoMotor2
constexpr uint8_t DatoApagado = 0;
constexpr uint8_t DatoEncendido = 1;
constexpr uint8_t DatoNormal = 0;
constexpr uint8_t DatoDia = 1;
constexpr uint8_t DatoNoche = 2;
constexpr uint8_t DatoMotor1 = 0;
constexpr uint8_t DatoMotor2 = 1;

// --- Presence map: Indice is the byte number (0 to 31); answer: that byte ---
constexpr uint8_t ComandoPresencia = 128;
constexpr int BytesPresencia = 32;

// --- Flash-table segments 1 to 4: Indice is the offset (0 to 66 or 128 to 194) ---
// Writing one byte (Dato) of segment s is command 130 + s (131 to 134), no answer;
// reading it is command 134 + s (135 to 138), answer: the byte.
constexpr uint8_t ComandoEscribirSegmento = 130;
constexpr uint8_t ComandoLeerSegmento = 134;
constexpr uint8_t ComandoEscribirSegmentoN(int segmento)
{
    return static_cast<uint8_t>(ComandoEscribirSegmento + segmento);
}
constexpr uint8_t ComandoLeerSegmentoN(int segmento)
{
    return static_cast<uint8_t>(ComandoLeerSegmento + segmento);
}
