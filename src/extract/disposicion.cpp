#include "extract/disposicion.h"

#include <cstdio>

#include "extract/estado.h"
#include "util/texto.h"

namespace tralmix {
namespace {

constexpr std::string_view kSeparadorNoValido = "separador no válido: ";

Lectura<std::string> rechazoSeparador(std::string_view motivo) {
    return {std::nullopt, std::string(kSeparadorNoValido) + std::string(motivo)};
}

// "U+0085", and the character itself where it shows: "U+0061 «a»".
std::string nombrar(char32_t c, bool mostrar) {
    char numero[16];
    std::snprintf(numero, sizeof numero, "U+%04X", static_cast<unsigned>(c));
    std::string nombre(numero);
    if (mostrar) {
        std::u16string unidades;
        if (c < 0x10000) {
            unidades.push_back(static_cast<char16_t>(c));
        } else {
            unidades = {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                        static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
        }
        nombre += " «" + texto::aUtf8(unidades) + "»";
    }
    return nombre;
}

// The characters of a separator already known to be short and well formed.
Lectura<std::string> juzgarCaracteres(std::u16string_view t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        char32_t c = t[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (t[++i] - 0xDC00u);
        }
        if (c == U'@') {
            return rechazoSeparador(
                "no puede tener «@»: los programas de correo no sabrían dónde acaba cada "
                "dirección");
        }
        switch (texto::clase(c)) {
            case texto::Clase::Control:
                return rechazoSeparador(
                    "no puede tener saltos de línea ni caracteres de control, invisibles o de "
                    "dirección del texto (" +
                    nombrar(c, false) + ")");
            case texto::Clase::LetraOCifra:
                return rechazoSeparador(
                    "no puede tener letras ni cifras (" + nombrar(c, true) +
                    "): los programas de correo no sabrían dónde acaba cada dirección");
            case texto::Clase::Marca:
                return rechazoSeparador(
                    "no puede tener marcas que se combinan con el carácter "
                    "anterior (" +
                    nombrar(c, false) + ")");
            case texto::Clase::Otra:
                break;
        }
    }
    return {};
}

// Its length in UTF-8, an unpaired surrogate counted as the three bytes it would take.
std::size_t bytesUtf8(std::u16string_view t) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char16_t c = t[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 &&
            t[i + 1] <= 0xDFFF) {
            n += 4;
            ++i;
        } else {
            n += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
    }
    return n;
}

}  // namespace

Lectura<std::size_t> leerPorGrupo(std::string_view t) {
    Lectura<std::size_t> rechazo{std::nullopt, "tamaño de grupo no válido: " + std::string(t) +
                                                   " (se espera un número entero de 1 a " +
                                                   std::to_string(kPorGrupoMaximo) + ")"};
    if (t.empty() || t.size() > 4) {
        return rechazo;
    }
    std::size_t n = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') {
            return rechazo;
        }
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (n < 1 || n > kPorGrupoMaximo) {
        return rechazo;
    }
    return {n, {}};
}

// Judged in one order everywhere, the length before the encoding, so that the page, which hands
// over at most the first kSeparadorMaximo + 1 code units, gets the reason the whole text gets.
Lectura<std::string> leerSeparador(std::u16string_view t) {
    if (t.empty()) {
        return rechazoSeparador("está vacío");
    }
    if (bytesUtf8(t) > kSeparadorMaximo) {
        return rechazoSeparador("tiene más de " + std::to_string(kSeparadorMaximo) + " bytes");
    }
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char16_t c = t[i];
        const bool alto = c >= 0xD800 && c <= 0xDBFF;
        if (alto && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF) {
            ++i;
        } else if (alto || (c >= 0xDC00 && c <= 0xDFFF)) {
            return rechazoSeparador("no es texto Unicode válido (" + nombrar(c, false) +
                                    " sin su pareja)");
        }
    }
    if (auto rechazo = juzgarCaracteres(t); !rechazo.error.empty()) {
        return rechazo;
    }
    return {texto::aUtf8(t), {}};
}

Lectura<std::string> leerSeparador(std::string_view utf8) {
    if (utf8.empty()) {
        return rechazoSeparador("está vacío");
    }
    if (utf8.size() > kSeparadorMaximo) {
        return rechazoSeparador("tiene más de " + std::to_string(kSeparadorMaximo) + " bytes");
    }
    std::u16string t;
    if (!texto::desdeUtf8(utf8, t)) {
        return rechazoSeparador("no es texto UTF-8");
    }
    return leerSeparador(t);
}

std::string comoAviso(std::string_view error) {
    std::string aviso(error);
    if (!aviso.empty() && aviso[0] >= 'a' && aviso[0] <= 'z') {
        aviso[0] = static_cast<char>(aviso[0] - 'a' + 'A');
    }
    return aviso + ".";
}

}  // namespace tralmix
