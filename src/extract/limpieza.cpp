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

// Every tag starts with "<" and the tag rows only delete, so a line without "<" is left as it is
// by all of them.
template <typename Caracter>
void quitarEtiquetas(std::basic_string<Caracter>& t) {
    for (std::size_t i = 0; i < kPrimeraDeUnCaracter; ++i) {
        const std::basic_string<Caracter> buscado(kTabla[i].buscado.begin(),
                                                  kTabla[i].buscado.end());
        // The library's search jumps from "<" to "<", which are few.
        if (std::basic_string_view<Caracter>(t).find(buscado) !=
            std::basic_string<Caracter>::npos) {
            reemplazarEnSitio(t, buscado, std::basic_string_view<Caracter>{});
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
