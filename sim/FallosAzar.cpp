#include "sim/FallosAzar.h"

#include <mutex>
#include <random>
#include <sstream>

namespace {
constexpr FalloTrama::Tipo TiposAzar[] = {
    FalloTrama::Silencio, FalloTrama::Tarde, FalloTrama::Parcial,
    FalloTrama::BytesAntes, FalloTrama::BytesDespues, FalloTrama::CortarLinea,
};
}  // namespace

const char* NombreTipoFallo(FalloTrama::Tipo tipo)
{
    switch (tipo) {
    case FalloTrama::Ninguno: return "none";
    case FalloTrama::Silencio: return "silent";
    case FalloTrama::Tarde: return "late";
    case FalloTrama::Parcial: return "partial";
    case FalloTrama::BytesAntes: return "stray-before";
    case FalloTrama::BytesDespues: return "stray-after";
    case FalloTrama::CortarLinea: return "line-pulled";
    }
    return "?";
}

bool LeerTiposFallo(const std::string& lista, std::vector<FalloTrama::Tipo>& tipos, std::string* error)
{
    std::vector<FalloTrama::Tipo> leidos;
    std::istringstream in(lista);
    for (std::string nombre; std::getline(in, nombre, ',');) {
        if (nombre == "all") {
            leidos.insert(leidos.end(), std::begin(TiposAzar), std::end(TiposAzar));
            continue;
        }
        bool conocido = false;
        for (const FalloTrama::Tipo t : TiposAzar) {
            if (nombre == NombreTipoFallo(t)) {
                leidos.push_back(t);
                conocido = true;
            }
        }
        if (!conocido) {
            if (error)
                *error = "unknown fault '" + nombre + "'";
            return false;
        }
    }
    if (leidos.empty()) {
        if (error)
            *error = "no fault named";
        return false;
    }
    tipos = leidos;
    return true;
}

SorteoFallos SorteoAzar(const OpcionesAzar& opciones, std::shared_ptr<std::atomic<bool>> lineaCortada)
{
    struct Estado {
        std::mutex m;
        std::mt19937_64 azar;
    };
    auto estado = std::make_shared<Estado>();
    estado->azar.seed(opciones.semilla);
    return [opciones, estado, lineaCortada](const Trama&, int) {
        std::lock_guard<std::mutex> l(estado->m);
        FalloTrama f;
        auto& azar = estado->azar;
        if (opciones.tipos.empty() || std::uniform_real_distribution<double>(0, 1)(azar) >= opciones.tasa)
            return f;
        auto entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
        f.tipo = opciones.tipos[static_cast<size_t>(entre(0, static_cast<int>(opciones.tipos.size()) - 1))];
        switch (f.tipo) {
        case FalloTrama::Tarde:
            f.Ms = opciones.tardeMs;
            break;
        case FalloTrama::Parcial:
            f.Bytes = entre(1, 7);
            break;
        case FalloTrama::BytesAntes:
        case FalloTrama::BytesDespues:
            // A line glitch: any bytes but the start of a header.
            for (int i = entre(1, 4); i > 0; --i) {
                uint8_t b = static_cast<uint8_t>(entre(0, 255));
                f.Sueltos.push_back(b == 0x4B ? uint8_t{0} : b);
            }
            f.Ms = opciones.pausaSueltosMs;
            break;
        case FalloTrama::CortarLinea:
            f.Contestar = entre(0, 1) == 1;
            if (lineaCortada)
                *lineaCortada = true;
            break;
        default:
            break;
        }
        return f;
    };
}
