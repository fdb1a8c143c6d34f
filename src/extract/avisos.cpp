// Warnings on addresses. The work per address is bounded: a domain is split once, compared by
// its ending with a small table of providers, and measured against a name only when their
// lengths and letters leave room for a near miss.

#include "extract/avisos.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace tralmix {
namespace {

constexpr std::size_t kMaxDominio = 253;

// The endings the providers have, longest first so that ".com.mx" is not taken for ".mx".
enum Final : std::uint8_t { kComMx = 1, kComAr = 2, kCom = 4, kEs = 8 };
struct Terminacion {
    std::string_view texto;
    Final final;
};
constexpr std::array<Terminacion, 4> kTerminaciones = {{
    {".com.mx", kComMx},
    {".com.ar", kComAr},
    {".com", kCom},
    {".es", kEs},
}};

struct Proveedor {
    std::string_view nombre;
    std::size_t ediciones;  // how many edits away a name still counts as this one
    std::uint8_t finales;   // the endings its domains have
};
constexpr std::array<Proveedor, 6> kProveedores = {{
    {"gmail", 1, kCom},
    {"hotmail", 2, kCom | kEs | kComAr},
    {"outlook", 2, kCom | kEs | kComAr},
    {"live", 0, kCom | kComMx | kComAr},
    {"yahoo", 1, kCom | kEs | kComMx | kComAr},
    {"icloud", 1, kCom},
}};

// Real domains a near miss away from a provider's, sorted.
constexpr std::array<std::string_view, 6> kReales = {
    "cloud.com", "email.com", "gail.com", "hotmart.com", "mail.com", "ymail.com",
};

// "com" mistyped into what no top-level domain is, sorted.
constexpr std::array<std::string_view, 8> kComErrados = {"cmo", "comm", "con", "coom",
                                                         "cpm", "ocm",  "vom", "xom"};

// Local parts of role accounts, sorted.
constexpr std::array<std::string_view, 60> kRoles = {
    "abuse",
    "admin",
    "administracion",
    "administrador",
    "administrator",
    "atencionalcliente",
    "ayuda",
    "billing",
    "comercial",
    "compras",
    "contact",
    "contacto",
    "correo",
    "customerservice",
    "do-not-reply",
    "donotreply",
    "email",
    "empleo",
    "equipo",
    "facturacion",
    "finance",
    "hello",
    "help",
    "helpdesk",
    "hola",
    "hostmaster",
    "hr",
    "info",
    "informacion",
    "jobs",
    "mail",
    "mailer-daemon",
    "marketing",
    "newsletter",
    "no-reply",
    "no_reply",
    "noreply",
    "noticias",
    "office",
    "oficina",
    "pedidos",
    "postmaster",
    "prensa",
    "press",
    "privacidad",
    "privacy",
    "recepcion",
    "reservas",
    "root",
    "rrhh",
    "sales",
    "secretaria",
    "security",
    "seguridad",
    "soporte",
    "support",
    "suscripciones",
    "team",
    "ventas",
    "webmaster",
};

static_assert(std::is_sorted(kReales.begin(), kReales.end()));
static_assert(std::is_sorted(kComErrados.begin(), kComErrados.end()));
static_assert(std::is_sorted(kRoles.begin(), kRoles.end()));

// For each first letter of a role, the lengths of the roles that begin with it, a bit each: most
// local parts are no role by these two alone.
constexpr std::array<std::uint32_t, 26> kLargosDeRoles = [] {
    std::array<std::uint32_t, 26> t{};
    for (const std::string_view rol : kRoles) {
        t[static_cast<std::size_t>(rol[0] - 'a')] |= std::uint32_t{1} << rol.size();
    }
    return t;
}();
static_assert(std::all_of(kRoles.begin(), kRoles.end(), [](std::string_view r) {
    return r.size() < 32 && r[0] >= 'a' && r[0] <= 'z';
}));

template <std::size_t N>
bool enTabla(const std::array<std::string_view, N>& tabla, std::string_view s) {
    return std::binary_search(tabla.begin(), tabla.end(), s);
}

// The letters and digits a text holds, one bit each (others share one bit).
std::uint64_t letras(std::string_view s) {
    std::uint64_t m = 0;
    for (const char c : s) {
        if (c >= 'a' && c <= 'z') {
            m |= std::uint64_t{1} << (c - 'a');
        } else if (c >= '0' && c <= '9') {
            m |= std::uint64_t{1} << (26 + (c - '0'));
        } else {
            m |= std::uint64_t{1} << 36;
        }
    }
    return m;
}

// Edits (a letter left out, added, changed, or two neighbours swapped) from a to b; both are
// at most a few letters longer than a provider's name.
std::size_t ediciones(std::string_view a, std::string_view b) {
    constexpr std::size_t kMax = 16;
    if (a.size() >= kMax || b.size() >= kMax) {
        return kMax;
    }
    std::array<std::array<std::size_t, kMax>, kMax> d{};
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cambio = a[i - 1] == b[j - 1] ? 0 : 1;
            std::size_t v = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cambio});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                v = std::min(v, d[i - 2][j - 2] + 1);
            }
            d[i][j] = v;
        }
    }
    return d[a.size()][b.size()];
}

// What a lower-case domain is to the providers: one's own domain, or a near miss of one.
struct Parecido {
    const Proveedor* proveedor = nullptr;
    std::string_view final;
    bool exacto = false;

    std::string dominio() const { return std::string(proveedor->nombre) + std::string(final); }
};

std::optional<Parecido> proveedorParecido(std::string_view dominio) {
    if (enTabla(kReales, dominio)) {
        return std::nullopt;
    }
    for (const Terminacion& t : kTerminaciones) {
        if (dominio.size() <= t.texto.size() || !dominio.ends_with(t.texto)) {
            continue;
        }
        const std::string_view nombre = dominio.substr(0, dominio.size() - t.texto.size());
        const std::uint64_t suyas = letras(nombre);
        Parecido elegido;
        std::size_t mejor = 0;
        bool empate = false;
        for (const Proveedor& p : kProveedores) {
            if ((p.finales & t.final) == 0) {
                continue;
            }
            if (nombre == p.nombre) {
                return Parecido{&p, t.texto, true};
            }
            // The early exits: each edit changes the length by one at most, and brings in or
            // takes out one letter at most.
            const std::size_t diferencia = nombre.size() > p.nombre.size()
                                               ? nombre.size() - p.nombre.size()
                                               : p.nombre.size() - nombre.size();
            const std::uint64_t otras = letras(p.nombre);
            if (p.ediciones == 0 || diferencia > p.ediciones ||
                static_cast<std::size_t>(std::popcount(otras & ~suyas)) > p.ediciones ||
                static_cast<std::size_t>(std::popcount(suyas & ~otras)) > p.ediciones) {
                continue;
            }
            const std::size_t e = ediciones(nombre, p.nombre);
            if (e > p.ediciones) {
                continue;
            }
            if (elegido.proveedor == nullptr || e < mejor) {
                elegido = {&p, t.texto, false};
                mejor = e;
                empate = false;
            } else if (e == mejor) {
                empate = true;
            }
        }
        if (elegido.proveedor == nullptr || empate) {
            return std::nullopt;
        }
        return elegido;
    }
    return std::nullopt;
}

}  // namespace

std::string_view nombreMotivo(Motivo motivo) {
    return motivo == Motivo::Rol ? "rol" : "dominio-parecido";
}

std::optional<std::string> dominioSugerido(std::string_view dominio) {
    if (dominio.empty() || dominio.size() > kMaxDominio) {
        return std::nullopt;
    }
    std::array<char, kMaxDominio> bajas{};
    for (std::size_t i = 0; i < dominio.size(); ++i) {
        const char c = dominio[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            return std::nullopt;
        }
        bajas[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    const std::string_view d(bajas.data(), dominio.size());
    const std::size_t punto = d.rfind('.');
    if (punto == std::string_view::npos || punto == 0) {
        return std::nullopt;
    }
    // A mistyped "com", last or before a country.
    std::optional<std::string> corregido;
    if (enTabla(kComErrados, d.substr(punto + 1))) {
        corregido = std::string(d.substr(0, punto)) + ".com";
    } else if (const std::string_view pais = d.substr(punto + 1); pais == "mx" || pais == "ar") {
        const std::size_t antes = d.rfind('.', punto - 1);
        if (antes != std::string_view::npos && antes > 0 &&
            enTabla(kComErrados, d.substr(antes + 1, punto - antes - 1))) {
            corregido = std::string(d.substr(0, antes)) + ".com." + std::string(pais);
        }
    }
    if (corregido) {
        const auto parecido = proveedorParecido(*corregido);
        return parecido ? parecido->dominio() : corregido;
    }
    const auto parecido = proveedorParecido(d);
    if (!parecido || parecido->exacto) {
        return std::nullopt;
    }
    return parecido->dominio();
}

bool esCuentaDeRol(std::string_view local) {
    constexpr std::size_t kMaxRol = 24;
    if (local.empty() || local.size() > kMaxRol) {
        return false;
    }
    const char primera =
        local[0] >= 'A' && local[0] <= 'Z' ? static_cast<char>(local[0] + 32) : local[0];
    if (primera < 'a' || primera > 'z' ||
        (kLargosDeRoles[static_cast<std::size_t>(primera - 'a')] >> local.size() & 1U) == 0) {
        return false;
    }
    std::array<char, kMaxRol> bajas{};
    for (std::size_t i = 0; i < local.size(); ++i) {
        const char c = local[i];
        bajas[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    return enTabla(kRoles, std::string_view(bajas.data(), local.size()));
}

namespace {

// The warnings of one address, its domain judged by sugerir.
template <typename Sugerir>
void avisarCon(std::string_view direccion, std::vector<Aviso>& avisos, Sugerir&& sugerir) {
    const std::size_t arroba = direccion.rfind('@');
    if (arroba == std::string_view::npos) {
        return;
    }
    if (auto sugerencia = sugerir(direccion.substr(arroba + 1))) {
        avisos.push_back({std::string(direccion), Motivo::DominioParecido, std::move(*sugerencia)});
    }
    if (esCuentaDeRol(direccion.substr(0, arroba))) {
        avisos.push_back({std::string(direccion), Motivo::Rol, {}});
    }
}

}  // namespace

void avisar(std::string_view direccion, std::vector<Aviso>& avisos) {
    avisarCon(direccion, avisos, [](std::string_view dominio) { return dominioSugerido(dominio); });
}

void Avisador::avisar(std::string_view direccion, std::vector<Aviso>& avisos) {
    avisarCon(direccion, avisos, [&](std::string_view dominio) {
        return sugerencias_.de(dominio, [](std::string_view d) { return dominioSugerido(d); });
    });
}

}  // namespace tralmix
