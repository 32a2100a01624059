// Protocol core and state file of the controller simulator.
#include "sim/Simulador.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

bool operator==(const EstadoSimulador& a, const EstadoSimulador& b)
{
    return a.Celdas == b.Celdas && a.Presencia == b.Presencia && a.Estado0 == b.Estado0
        && a.Estado1 == b.Estado1 && a.CorrienteActual == b.CorrienteActual
        && a.VelocidadActual == b.VelocidadActual && a.CorrienteLeds == b.CorrienteLeds
        && a.Entradas == b.Entradas && a.Salidas == b.Salidas && a.Salidas9a11 == b.Salidas9a11
        && a.Segmentos == b.Segmentos && a.UltimaOrden == b.UltimaOrden;
}

// ---------------------------------------------------------------------------------
// Presence and flash table
// ---------------------------------------------------------------------------------
void FijarPresente(EstadoSimulador& e, int direccion, bool presente)
{
    if (direccion < 0 || direccion > 255)
        return;
    const uint8_t bit = uint8_t(1u << (direccion % 8));
    if (presente)
        e.Presencia[direccion / 8] |= bit;
    else
        e.Presencia[direccion / 8] &= uint8_t(~bit);
}

bool EsPresente(const EstadoSimulador& e, int direccion)
{
    if (direccion < 0 || direccion > 255)
        return false;
    return (e.Presencia[direccion / 8] >> (direccion % 8)) & 1;
}

static bool FilaValida(int fila) { return fila >= 1 && fila <= 8; }

// Segment and base offset of a flash row: odd rows at 0, even rows at 128.
static std::array<uint8_t, 256>& SegmentoFila(EstadoSimulador& e, int fila, int& base)
{
    base = (fila % 2 == 1) ? 0 : 128;
    return e.Segmentos[(fila - 1) / 2];
}

void FijarColorFila(EstadoSimulador& e, int fila, uint32_t color)
{
    if (!FilaValida(fila))
        return;
    int base = 0;
    auto& s = SegmentoFila(e, fila, base);
    s[base] = uint8_t(color >> 16);     // blue
    s[base + 1] = uint8_t(color >> 8);  // green
    s[base + 2] = uint8_t(color);       // red
}

uint32_t ColorFila(const EstadoSimulador& e, int fila)
{
    if (!FilaValida(fila))
        return 0;
    int base = 0;
    auto& s = SegmentoFila(const_cast<EstadoSimulador&>(e), fila, base);
    return (uint32_t(s[base]) << 16) | (uint32_t(s[base + 1]) << 8) | s[base + 2];
}

void FijarEntradaTabla(EstadoSimulador& e, int fila, int columna, uint16_t valor)
{
    if (!FilaValida(fila) || columna < 1 || columna > 32)
        return;
    int base = 0;
    auto& s = SegmentoFila(e, fila, base);
    s[base + 2 * columna + 1] = uint8_t(valor >> 8);
    s[base + 2 * columna + 2] = uint8_t(valor);
}

uint16_t EntradaTabla(const EstadoSimulador& e, int fila, int columna)
{
    if (!FilaValida(fila) || columna < 1 || columna > 32)
        return 0;
    int base = 0;
    auto& s = SegmentoFila(const_cast<EstadoSimulador&>(e), fila, base);
    return uint16_t((s[base + 2 * columna + 1] << 8) | s[base + 2 * columna + 2]);
}

// ---------------------------------------------------------------------------------
// Demo controller
// ---------------------------------------------------------------------------------
EstadoSimulador EstadoDemo()
{
    EstadoSimulador e;
    for (int a = 0; a <= 60; ++a) FijarPresente(e, a);
    for (int a = 221; a <= 225; ++a) FijarPresente(e, a);
    for (int a = 231; a <= 255; ++a) FijarPresente(e, a);

    auto pon = [&e](int a, std::initializer_list<int> v) {
        for (int x : v) e.Celdas[size_t(a++)] = uint8_t(x);
    };
    pon(0, {0, 48, 212});      // user speed 1: 1.2500 RPM
    pon(3, {0, 97, 168});      // user speed 2: 2.5000
    pon(6, {0, 195, 80});      // user speed 3: 5.0000
    pon(9, {1, 134, 160});     // user speed 4: 10.0000
    pon(12, {0, 9, 246});      // reducer ratio 25.50
    pon(15, {0, 200});         // pulses per revolution 200
    pon(17, {1, 0});           // light ON: photocell count 256 = 50 lux
    pon(19, {0, 192});         // light OFF: count 192 = 100 lux
    pon(21, {0, 50});          // daylight sensor delay 5.0 s
    pon(23, {1, 121});         // lamp alarm level: count 377 = 20 lux
    pon(25, {0, 100});         // delay lamp failure 10.0 s
    pon(27, {1});              // changer type RVT02
    pon(28, {0, 100, 0, 150}); // delays lamp 1 and 2: 10.0 s, 15.0 s
    pon(32, {0, 100, 0, 200}); // mains failure 10.0 s, mains restart 20.0 s
    pon(36, {0, 30});          // lamp photocell delay 3.0 s
    pon(38, {0, 1, 1, 1});     // lamp 1 DC, lamp 2 AC, main lamp 1, photocell
    pon(42, {0, 150, 0, 20});  // LED current max 1.50 A, min 0.20 A
    pon(46, {1});              // second port RS485
    pon(47, {0, 20});          // acceleration 2.0 s
    pon(49, {80});             // PWM 80 %
    pon(50, {0});              // stepper motor
    pon(51, {0, 50});          // speed tolerance 0.50
    pon(53, {3});              // failed turns
    pon(54, {1});              // emergency lantern
    pon(55, {1});              // 24 hours ON
    pon(56, {40});             // night attenuation 40 %
    pon(57, {0, 30});          // recovery after hibernation 30 min
    pon(59, {10});             // sync pulse 10 s
    pon(60, {4});              // LED levels
    pon(221, {0, 90});         // degrees offset
    pon(223, {100});           // LED brightness
    pon(224, {36});            // disc teeth
    const char* ident = "QZL DEMO BEACON ";
    for (int i = 0; i < 16; ++i) e.Celdas[size_t(231 + i)] = uint8_t(ident[i]);
    pon(247, {23, 24});        // week 23 of (20)24
    pon(249, {4, 210});        // manufacturing number 1234
    pon(251, {7, 52, 3});      // model 7, firmware 52, hardware 3
    pon(254, {18, 52});        // ID number 4660

    e.Estado0 = 0x03;          // lamp on, motor on
    e.Estado1 = 0x21;          // lamp 1 present and on
    e.CorrienteActual = 234;   // 2.34
    e.VelocidadActual = 1250;  // 12.50
    e.CorrienteLeds = 85;      // 0.85
    e.Entradas = 0x05;
    e.Salidas = 0x03;
    e.Salidas9a11 = 0x01;

    for (int f = 1; f <= 8; ++f)
        for (int c = 1; c <= 32; ++c)
            FijarEntradaTabla(e, f, c, 511);
    FijarColorFila(e, 1, 0xFFFFFF);  // white
    FijarEntradaTabla(e, 1, 1, 0);
    FijarEntradaTabla(e, 1, 2, 90);
    FijarEntradaTabla(e, 1, 3, 180);
    FijarEntradaTabla(e, 1, 4, 270);
    FijarColorFila(e, 2, 0x0000FF);  // red
    FijarEntradaTabla(e, 2, 1, 90);
    FijarEntradaTabla(e, 2, 2, 180);
    FijarColorFila(e, 3, 0x00FF00);  // green
    FijarEntradaTabla(e, 3, 1, 270);
    FijarEntradaTabla(e, 3, 2, 359);
    return e;
}

// ---------------------------------------------------------------------------------
// Protocol core
// ---------------------------------------------------------------------------------
uint8_t ChecksumTrama(const uint8_t* t)
{
    return uint8_t(0xFF ^ t[2] ^ t[3] ^ t[4] ^ t[5] ^ t[6]);
}

Trama ConstruirTrama(uint8_t comando, uint8_t indice, uint8_t dato, uint8_t valorAlto,
                     uint8_t valorBajo)
{
    Trama t{0x4B, 0x58, valorAlto, valorBajo, comando, indice, dato, 0};
    t[7] = ChecksumTrama(t.data());
    return t;
}

bool TramaValida(const uint8_t* t)
{
    return t[0] == 0x4B && t[1] == 0x58 && t[7] == ChecksumTrama(t);
}

static uint8_t Alto(uint16_t v) { return uint8_t(v >> 8); }
static uint8_t Bajo(uint16_t v) { return uint8_t(v); }

static uint8_t RespuestaEstado(const EstadoSimulador& e, uint8_t indice)
{
    switch (indice) {
    case 0: return e.Estado0;
    case 1: return e.Estado1;
    case 2: return Alto(e.CorrienteActual);
    case 3: return Bajo(e.CorrienteActual);
    case 4: return Alto(e.VelocidadActual);
    case 5: return Bajo(e.VelocidadActual);
    case 6: return Alto(e.CorrienteLeds);
    case 7: return Bajo(e.CorrienteLeds);
    case 8: return e.Entradas;
    case 9: return e.Salidas;
    case 10: return e.Salidas9a11;
    default: return 0;
    }
}

Trama ResponderTrama(EstadoSimulador& e, const uint8_t* trama)
{
    const uint8_t comando = trama[4];
    const uint8_t indice = trama[5];
    const uint8_t dato = trama[6];
    uint8_t respuesta = 0;
    if (comando == 1) {
        respuesta = e.Celdas[indice];
    } else if (comando == 2) {
        e.Celdas[indice] = dato;
        respuesta = dato;
    } else if (comando == 5) {
        respuesta = RespuestaEstado(e, indice);
    } else if (comando == 6) {
        e.UltimaOrden[indice] = dato;
        respuesta = dato;
    } else if (comando == 128) {
        respuesta = indice < 32 ? e.Presencia[indice] : 0;
    } else if (comando >= 131 && comando <= 134) {
        e.Segmentos[size_t(comando - 131)][indice] = dato;
        respuesta = dato;
    } else if (comando >= 135 && comando <= 138) {
        respuesta = e.Segmentos[size_t(comando - 135)][indice];
    }
    Trama r{0x4B, 0x58, 0, 0, comando, indice, respuesta, 0};
    r[7] = ChecksumTrama(r.data());
    return r;
}

const char* NombreFalloAlmacen(FalloAlmacen fallo)
{
    switch (fallo) {
    case FalloAlmacen::Ninguno: return "off";
    case FalloAlmacen::NoGuarda: return "not-stored";
    case FalloAlmacen::BitCambiado: return "bit-flip";
    case FalloAlmacen::SoloAlgunas: return "some-addresses";
    case FalloAlmacen::SegmentoNoGuardado: return "segment-not-stored";
    }
    return "?";
}

bool AlcanzaFalloAlmacen(FalloAlmacen fallo, const uint8_t* trama)
{
    const uint8_t comando = trama[4];
    switch (fallo) {
    case FalloAlmacen::Ninguno: return false;
    case FalloAlmacen::NoGuarda:
    case FalloAlmacen::BitCambiado: return comando == 2;
    case FalloAlmacen::SoloAlgunas: return comando == 2 && trama[5] % 4 == 3;
    case FalloAlmacen::SegmentoNoGuardado: return comando >= 131 && comando <= 134;
    }
    return false;
}

Trama ResponderTrama(EstadoSimulador& e, const uint8_t* trama, FalloAlmacen fallo, int bit)
{
    if (!AlcanzaFalloAlmacen(fallo, trama))
        return ResponderTrama(e, trama);
    const uint8_t comando = trama[4];
    const uint8_t indice = trama[5];
    uint8_t& guardado = comando == 2 ? e.Celdas[indice] : e.Segmentos[size_t(comando - 131)][indice];
    const uint8_t antes = guardado;
    const Trama r = ResponderTrama(e, trama);
    guardado = fallo == FalloAlmacen::BitCambiado ? uint8_t(trama[6] ^ (1u << (bit & 7))) : antes;
    return r;
}

const char* NombreForma(FormaRespuesta forma)
{
    switch (forma) {
    case FormaRespuesta::Completa: return "full";
    case FormaRespuesta::ComandoCero: return "command-zero";
    case FormaRespuesta::ComandoRespuesta: return "command-answer";
    case FormaRespuesta::ComandoFijo: return "command-fixed";
    case FormaRespuesta::Ceros: return "zeros";
    case FormaRespuesta::SinCabecera: return "no-header";
    case FormaRespuesta::SinCabeceraComando: return "no-header-command";
    }
    return "?";
}

Trama DarForma(const Trama& r, FormaRespuesta forma)
{
    Trama t = r;
    const uint8_t respuesta = r[6];
    switch (forma) {
    case FormaRespuesta::Completa:
        return t;
    case FormaRespuesta::ComandoCero: t[5] = 0; break;
    case FormaRespuesta::ComandoRespuesta: t[5] = respuesta; break;
    case FormaRespuesta::ComandoFijo: t[5] = 0x5A; break;
    case FormaRespuesta::Ceros:
        t.fill(0);
        t[6] = respuesta;
        return t;
    case FormaRespuesta::SinCabecera: break;
    case FormaRespuesta::SinCabeceraComando: t[5] = respuesta; break;
    }
    if (forma == FormaRespuesta::SinCabecera || forma == FormaRespuesta::SinCabeceraComando) {
        t[0] = 0x00;
        t[1] = 0xFF;
    }
    t[7] = ChecksumTrama(t.data());
    return t;
}

std::string TramaHex(const uint8_t* bytes, size_t n)
{
    std::string s;
    char b[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
        s += b;
    }
    return s;
}

// ---------------------------------------------------------------------------------
// State file
// ---------------------------------------------------------------------------------
static bool LeerNumero(const std::string& s, long minimo, long maximo, long& v)
{
    if (s.empty())
        return false;
    // Decimal, or hex with 0x; a leading 0 does not mean octal.
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    size_t fin = 0;
    try {
        v = std::stol(s, &fin, hex ? 16 : 10);
    } catch (...) {
        return false;
    }
    return fin == s.size() && v >= minimo && v <= maximo;
}

static bool LeerRango(const std::string& s, long& desde, long& hasta)
{
    const size_t guion = s.find('-');
    if (guion == std::string::npos) {
        if (!LeerNumero(s, 0, 255, desde))
            return false;
        hasta = desde;
        return true;
    }
    return LeerNumero(s.substr(0, guion), 0, 255, desde)
        && LeerNumero(s.substr(guion + 1), 0, 255, hasta) && desde <= hasta;
}

// One statement, already stripped of its comment. Empty message when valid.
static std::string AplicarSentencia(EstadoSimulador& e, const std::string& linea)
{
    std::istringstream in(linea);
    std::string clave;
    in >> clave;
    std::vector<std::string> args;
    for (std::string a; in >> a;)
        args.push_back(a);

    auto numeros = [&](size_t desde, long minimo, long maximo, std::vector<long>& out) {
        for (size_t i = desde; i < args.size(); ++i) {
            long v = 0;
            if (!LeerNumero(args[i], minimo, maximo, v))
                return false;
            out.push_back(v);
        }
        return true;
    };

    struct Byte { const char* nombre; uint8_t EstadoSimulador::*campo; };
    static const Byte bytes[] = {
        {"status0", &EstadoSimulador::Estado0}, {"status1", &EstadoSimulador::Estado1},
        {"inputs", &EstadoSimulador::Entradas}, {"outputs", &EstadoSimulador::Salidas},
        {"outputs9", &EstadoSimulador::Salidas9a11}};
    struct Medida { const char* nombre; uint16_t EstadoSimulador::*campo; };
    static const Medida medidas[] = {
        {"current", &EstadoSimulador::CorrienteActual},
        {"speed", &EstadoSimulador::VelocidadActual},
        {"ledcurrent", &EstadoSimulador::CorrienteLeds}};

    for (const Byte& b : bytes)
        if (clave == b.nombre) {
            long v = 0;
            if (args.size() != 1 || !LeerNumero(args[0], 0, 255, v))
                return clave + " needs one value 0-255";
            e.*b.campo = uint8_t(v);
            return {};
        }
    for (const Medida& m : medidas)
        if (clave == m.nombre) {
            long v = 0;
            if (args.size() != 1 || !LeerNumero(args[0], 0, 65535, v))
                return clave + " needs one value 0-65535 (hundredths)";
            e.*m.campo = uint16_t(v);
            return {};
        }

    if (clave == "cell" || clave == "cells") {
        long a = 0;
        std::vector<long> v;
        if (args.size() < 2 || (clave == "cell" && args.size() != 2)
            || !LeerNumero(args[0], 0, 255, a) || !numeros(1, 0, 255, v))
            return clave + " needs an address 0-255 and values 0-255";
        if (a + long(v.size()) > 256)
            return "cells run past address 255";
        for (long x : v)
            e.Celdas[size_t(a++)] = uint8_t(x);
        return {};
    }
    if (clave == "text") {
        long a = 0;
        if (args.empty() || !LeerNumero(args[0], 0, 255, a))
            return "text needs an address 0-255 and a text";
        // The text is the rest of the line after one separating blank, blanks kept.
        const size_t pos = linea.find(args[0], linea.find("text") + 4) + args[0].size();
        const std::string t = pos < linea.size() ? linea.substr(pos + 1) : std::string();
        if (t.empty())
            return "text needs an address 0-255 and a text";
        if (a + long(t.size()) > 256)
            return "text runs past address 255";
        for (char c : t)
            e.Celdas[size_t(a++)] = uint8_t(c);
        return {};
    }
    if (clave == "present" || clave == "absent") {
        if (args.empty())
            return clave + " needs addresses or ranges such as 0-60";
        for (const std::string& r : args) {
            long d = 0, h = 0;
            if (!LeerRango(r, d, h))
                return "bad address range '" + r + "'";
            for (long x = d; x <= h; ++x)
                FijarPresente(e, int(x), clave == "present");
        }
        return {};
    }
    if (clave == "segment") {
        long s = 0, off = 0;
        std::vector<long> v;
        if (args.size() < 3 || !LeerNumero(args[0], 1, 4, s) || !LeerNumero(args[1], 0, 255, off)
            || !numeros(2, 0, 255, v))
            return "segment needs a segment 1-4, an offset 0-255 and values 0-255";
        if (off + long(v.size()) > 256)
            return "segment bytes run past offset 255";
        for (long x : v)
            e.Segmentos[size_t(s - 1)][size_t(off++)] = uint8_t(x);
        return {};
    }
    if (clave == "colour") {
        long f = 0, c = 0;
        if (args.size() != 2 || !LeerNumero(args[0], 1, 8, f) || !LeerNumero(args[1], 0, 0xFFFFFF, c))
            return "colour needs a row 1-8 and a 24-bit colour code";
        FijarColorFila(e, int(f), uint32_t(c));
        return {};
    }
    if (clave == "row") {
        long f = 0;
        std::vector<long> v;
        if (args.size() < 2 || args.size() > 33 || !LeerNumero(args[0], 1, 8, f)
            || !numeros(1, 0, 65535, v))
            return "row needs a row 1-8 and up to 32 entries 0-65535";
        for (size_t i = 0; i < v.size(); ++i)
            FijarEntradaTabla(e, int(f), int(i + 1), uint16_t(v[i]));
        return {};
    }
    if (clave == "order") {
        long f = 0, d = 0;
        if (args.size() != 2 || !LeerNumero(args[0], 0, 255, f) || !LeerNumero(args[1], -1, 255, d))
            return "order needs a function 0-255 and a state 0-255 (-1: none)";
        e.UltimaOrden[size_t(f)] = int16_t(d);
        return {};
    }
    return "unknown statement '" + clave + "'";
}

bool AplicarTextoEstado(EstadoSimulador& e, const std::string& texto, std::string* error)
{
    std::istringstream in(texto);
    std::string linea;
    int numero = 0;
    while (std::getline(in, linea)) {
        ++numero;
        if (!linea.empty() && linea.back() == '\r')
            linea.pop_back();
        // A '#' starts a comment, except inside the text of a "text" statement.
        std::istringstream primera(linea);
        std::string clave;
        primera >> clave;
        if (clave != "text") {
            const size_t h = linea.find('#');
            if (h != std::string::npos)
                linea.erase(h);
        }
        if (linea.find_first_not_of(" \t") == std::string::npos)
            continue;
        const std::string fallo = AplicarSentencia(e, linea);
        if (!fallo.empty()) {
            if (error)
                *error = "line " + std::to_string(numero) + ": " + fallo;
            return false;
        }
    }
    return true;
}

bool CargarFicheroEstado(EstadoSimulador& e, const std::string& ruta, std::string* error)
{
    std::ifstream f(ruta, std::ios::binary);
    if (!f) {
        if (error)
            *error = "cannot read " + ruta;
        return false;
    }
    std::ostringstream contenido;
    contenido << f.rdbuf();
    EstadoSimulador nuevo;
    std::string fallo;
    if (!AplicarTextoEstado(nuevo, contenido.str(), &fallo)) {
        if (error)
            *error = ruta + ": " + fallo;
        return false;
    }
    e = nuevo;
    return true;
}

std::string VolcarEstado(const EstadoSimulador& e)
{
    std::ostringstream out;
    out << "# QZL simulator state\n";
    // Presence as ranges.
    std::string rangos;
    for (int a = 0; a < 256;) {
        if (!EsPresente(e, a)) { ++a; continue; }
        int b = a;
        while (b + 1 < 256 && EsPresente(e, b + 1)) ++b;
        rangos += " " + std::to_string(a) + (b > a ? "-" + std::to_string(b) : "");
        a = b + 1;
    }
    if (!rangos.empty())
        out << "present" << rangos << "\n";
    for (int a = 0; a < 256; a += 16) {
        out << "cells " << a;
        for (int i = 0; i < 16; ++i)
            out << ' ' << int(e.Celdas[size_t(a + i)]);
        out << "\n";
    }
    out << "status0 " << int(e.Estado0) << "\nstatus1 " << int(e.Estado1) << "\ncurrent "
        << e.CorrienteActual << "\nspeed " << e.VelocidadActual << "\nledcurrent " << e.CorrienteLeds
        << "\ninputs " << int(e.Entradas) << "\noutputs " << int(e.Salidas) << "\noutputs9 "
        << int(e.Salidas9a11) << "\n";
    for (int s = 0; s < 4; ++s)
        for (int off = 0; off < 256; off += 32) {
            bool vacio = true;
            for (int i = 0; i < 32; ++i)
                vacio = vacio && e.Segmentos[size_t(s)][size_t(off + i)] == 0;
            if (vacio)
                continue;
            out << "segment " << s + 1 << ' ' << off;
            for (int i = 0; i < 32; ++i)
                out << ' ' << int(e.Segmentos[size_t(s)][size_t(off + i)]);
            out << "\n";
        }
    for (int f = 0; f < 256; ++f)
        if (e.UltimaOrden[size_t(f)] >= 0)
            out << "order " << f << ' ' << e.UltimaOrden[size_t(f)] << "\n";
    return out.str();
}
