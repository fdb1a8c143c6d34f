#include "extract/limpieza.h"

#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "util/cadenas.h"

namespace tralmix {
namespace {

// Order matters: whole tags first, so that an exact tag leaves no trace before its punctuation
// is blanked.
constexpr std::array<FilaTabla, 33> kTabla{{
    {u"<?xml version=\"1.0\"?>", u""},
    {u"<messenger>", u""},
    {u"<service name=\".NET Messenger Service\">", u""},
    {u"<contactlist>", u""},
    {u"<contact type=\"1\">", u""},
    {u"<contact type=\"32\">", u""},
    {u"</contactlist>", u""},
    {u"</contact>", u""},
    {u"</service>", u""},
    {u"</messenger>", u""},
    {u"!", u""},
    {u"\"", u""},
    {u"#", u""},
    {u"$", u""},
    {u"%", u" "},
    {u"&", u" "},
    {u"'", u" "},
    {u"*", u" "},
    {u"+", u" "},
    {u"/", u" "},
    {u":", u" "},
    {u"=", u" "},
    {u"<", u" "},
    {u">", u" "},
    {u"?", u" "},
    {u"[", u" "},
    {u"\\", u" "},
    {u"]", u" "},
    {u"^", u" "},
    {u"{", u" "},
    {u"|", u" "},
    {u"}", u" "},
    {u"~", u" "},
}};

// The rows after the tags each turn one character into nothing or a space. None of them can
// produce a character another one seeks (a space is sought by none), so applied one after the
// other they act as one map from each character to its replacement: one pass does them all.
constexpr std::size_t kPrimeraDeUnCaracter = 10;

enum class Accion : unsigned char { Copiar, Borrar, Espacio };

struct MapaCaracteres {
    std::array<Accion, 128> accion{};
};

constexpr MapaCaracteres crearMapa() {
    MapaCaracteres m;
    for (std::size_t i = kPrimeraDeUnCaracter; i < kTabla.size(); ++i) {
        m.accion[kTabla[i].buscado[0]] =
            kTabla[i].reemplazo.empty() ? Accion::Borrar : Accion::Espacio;
    }
    return m;
}

constexpr MapaCaracteres kMapa = crearMapa();

constexpr bool mapaCubreLaTabla() {
    for (std::size_t i = kPrimeraDeUnCaracter; i < kTabla.size(); ++i) {
        const FilaTabla& f = kTabla[i];
        if (f.buscado.size() != 1 || f.buscado[0] >= 128 || f.buscado[0] == u' ' ||
            !(f.reemplazo.empty() || f.reemplazo == u" ")) {
            return false;
        }
    }
    for (std::size_t i = 0; i < kPrimeraDeUnCaracter; ++i) {
        if (!kTabla[i].buscado.starts_with(u"<") || !kTabla[i].reemplazo.empty()) {
            return false;
        }
    }
    return true;
}
static_assert(mapaCubreLaTabla(),
              "the one-pass map assumes single ASCII characters after the tags");

// The tags as bytes (all ASCII), made once.
struct EtiquetaBytes {
    std::array<char, 64> c{};
    std::size_t n = 0;
};

constexpr std::array<EtiquetaBytes, kPrimeraDeUnCaracter> crearEtiquetas() {
    std::array<EtiquetaBytes, kPrimeraDeUnCaracter> e{};
    for (std::size_t i = 0; i < kPrimeraDeUnCaracter; ++i) {
        for (const char16_t c : kTabla[i].buscado) {
            e[i].c[e[i].n++] = static_cast<char>(c);
        }
    }
    return e;
}

constexpr bool etiquetasAscii() {
    for (std::size_t i = 0; i < kPrimeraDeUnCaracter; ++i) {
        if (kTabla[i].buscado.size() > 64) {
            return false;
        }
        for (const char16_t c : kTabla[i].buscado) {
            if (c >= 128) {
                return false;
            }
        }
    }
    return true;
}
static_assert(etiquetasAscii());

constexpr auto kEtiquetas = crearEtiquetas();

template <typename Caracter>
std::basic_string_view<Caracter> etiqueta(std::size_t i) {
    if constexpr (sizeof(Caracter) == 1) {
        return {kEtiquetas[i].c.data(), kEtiquetas[i].n};
    } else {
        return kTabla[i].buscado;
    }
}

// Every tag starts with "<" and the tag rows only delete, so a line without "<" is left as it is
// by all of them, and a row can only find its tag where the line has a "<". The places of the
// "<" are taken once, and again after a row has deleted something.
template <typename Caracter>
void quitarEtiquetas(std::basic_string<Caracter>& t) {
    using Vista = std::basic_string_view<Caracter>;
    constexpr std::size_t kMaximo = 16;
    std::array<std::size_t, kMaximo> lugares{};
    std::size_t cuantos = 0;
    bool muchos = false;
    auto buscarLugares = [&] {
        cuantos = 0;
        muchos = false;
        const Vista v(t);
        for (std::size_t p = v.find(static_cast<Caracter>('<')); p != Vista::npos;
             p = v.find(static_cast<Caracter>('<'), p + 1)) {
            if (cuantos == kMaximo) {
                muchos = true;
                return;
            }
            lugares[cuantos++] = p;
        }
    };
    buscarLugares();
    for (std::size_t i = 0; i < kPrimeraDeUnCaracter; ++i) {
        const Vista buscado = etiqueta<Caracter>(i);
        bool esta = false;
        if (muchos) {
            esta = Vista(t).find(buscado) != Vista::npos;
        } else {
            for (std::size_t k = 0; k < cuantos && !esta; ++k) {
                esta = Vista(t).substr(lugares[k]).starts_with(buscado);
            }
        }
        if (esta) {
            reemplazarEnSitio(t, buscado, Vista{});
            buscarLugares();
        }
    }
}

// The map for bytes, without branches: what each byte becomes, whether it stays, and whether it
// is a "," or ";" (which no row touches). Bytes from 0x80 on are parts of characters beyond ASCII
// and stay as they are.
struct MapaBytes {
    std::array<char, 256> destino{};
    std::array<unsigned char, 256> queda{};
    std::array<bool, 256> separador{};
};

constexpr MapaBytes crearMapaBytes() {
    MapaBytes m;
    for (std::size_t b = 0; b < 256; ++b) {
        const Accion a = b < 128 ? kMapa.accion[b] : Accion::Copiar;
        m.destino[b] = a == Accion::Espacio ? ' ' : static_cast<char>(b);
        m.queda[b] = a == Accion::Borrar ? 0 : 1;
        m.separador[b] = b == ',' || b == ';';
    }
    return m;
}

constexpr MapaBytes kMapaBytes = crearMapaBytes();

bool conWww(std::string_view t) {
    return t.find("www.") != std::string_view::npos;
}

bool conWww(std::u16string_view t) {
    return t.find(u"www.") != std::u16string_view::npos;
}

template <typename Caracter>
MarcasLimpieza aplicarMapa(std::basic_string<Caracter>& salida,
                           std::basic_string_view<Caracter> linea) {
    using Sin = std::make_unsigned_t<Caracter>;
    const std::size_t inicio = salida.size();
    salida.resize(inicio + linea.size());
    Caracter* destino = salida.data() + inicio;
    std::size_t n = 0;
    bool separador = false;
    if constexpr (sizeof(Caracter) == 1) {
        for (const Caracter c : linea) {
            const auto u = static_cast<unsigned char>(c);
            destino[n] = kMapaBytes.destino[u];
            n += kMapaBytes.queda[u];
            separador = separador || kMapaBytes.separador[u];
        }
    } else {
        for (const Caracter c : linea) {
            const auto u = static_cast<Sin>(c);
            const Accion a = u < 128 ? kMapa.accion[u] : Accion::Copiar;
            if (a == Accion::Copiar) {
                destino[n++] = c;
                separador = separador || c == ',' || c == ';';
            } else if (a == Accion::Espacio) {
                destino[n++] = static_cast<Caracter>(' ');
            }
        }
    }
    salida.resize(inicio + n);
    return {conWww(std::basic_string_view<Caracter>(salida).substr(inicio)), separador};
}

template <typename Caracter>
MarcasLimpieza agregarLimpia(std::basic_string<Caracter>& salida,
                             std::basic_string_view<Caracter> linea) {
    if (linea.find(static_cast<Caracter>('<')) == std::basic_string_view<Caracter>::npos) {
        return aplicarMapa(salida, linea);
    }
    std::basic_string<Caracter> t(linea);
    quitarEtiquetas(t);
    return aplicarMapa(salida, std::basic_string_view<Caracter>(t));
}

}  // namespace

std::span<const FilaTabla> tablaLimpieza() {
    return kTabla;
}

std::u16string limpieza(std::u16string qLimpiar) {
    std::u16string salida;
    salida.reserve(qLimpiar.size());
    agregarLimpia(salida, std::u16string_view(qLimpiar));
    return salida;
}

MarcasLimpieza agregarLimpiezaUtf8(std::string& salida, std::string_view linea) {
    return agregarLimpia(salida, linea);
}

}  // namespace tralmix
