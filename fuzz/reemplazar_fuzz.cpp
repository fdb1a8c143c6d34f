// reemplazar and buscarAtras with arbitrary arguments, against plain references written straight
// from their definitions.

#include <fuzzer/FuzzedDataProvider.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "comun.h"
#include "util/cadenas.h"
#include "util/texto.h"

using namespace tralmix;

namespace {

bool iguales(char16_t a, char16_t b, int modo) {
    if (a == b) {
        return true;
    }
    if (modo == kCompararExacto || U16_IS_SURROGATE(a) || U16_IS_SURROGATE(b)) {
        return false;
    }
    return u_foldCase(a, U_FOLD_CASE_DEFAULT) == u_foldCase(b, U_FOLD_CASE_DEFAULT);
}

bool coincide(const std::u16string& t, std::size_t p, std::u16string_view s, int modo) {
    if (p + s.size() > t.size()) {
        return false;
    }
    for (std::size_t k = 0; k < s.size(); ++k) {
        if (!iguales(t[p + k], s[k], modo)) {
            return false;
        }
    }
    return true;
}

// Step by step as defined: splice each occurrence, go on after the inserted text.
std::u16string reemplazarReferencia(std::u16string texto, std::u16string_view buscado,
                                    std::u16string_view reemplazo, std::int64_t inicio,
                                    std::int64_t cantidad, int modo) {
    if (inicio < 1) {
        inicio = 1;
    }
    if (inicio > static_cast<std::int64_t>(texto.size())) {
        return {};
    }
    if (buscado.empty()) {
        return texto;
    }
    std::size_t desde = static_cast<std::size_t>(inicio - 1);
    std::int64_t hechos = 0;
    while (cantidad < 0 || hechos < cantidad) {
        std::size_t p = desde;
        while (p + buscado.size() <= texto.size() && !coincide(texto, p, buscado, modo)) {
            ++p;
        }
        if (p + buscado.size() > texto.size()) {
            break;
        }
        texto = texto.substr(0, p) + std::u16string(reemplazo) + texto.substr(p + buscado.size());
        desde = p + reemplazo.size();
        ++hechos;
    }
    return texto;
}

std::int64_t buscarAtrasReferencia(const std::u16string& texto, std::u16string_view buscado,
                                   int modo) {
    if (texto.empty() || buscado.size() > texto.size()) {
        return 0;
    }
    const std::size_t ultima = texto.size() - buscado.size() + 1;
    if (buscado.empty()) {
        return static_cast<std::int64_t>(ultima);
    }
    for (std::size_t p = ultima; p >= 1; --p) {
        if (coincide(texto, p - 1, buscado, modo)) {
            return static_cast<std::int64_t>(p);
        }
    }
    return 0;
}

std::u16string pieza(FuzzedDataProvider& fdp, std::size_t maximo) {
    const std::string b = fdp.ConsumeRandomLengthString(maximo);
    return fuzz::textoDeBytes(reinterpret_cast<const std::uint8_t*>(b.data()), b.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    FuzzedDataProvider fdp(datos, n);
    const int modo = fdp.ConsumeBool() ? kCompararSinMayusculas : kCompararExacto;
    const auto inicio = fdp.ConsumeIntegralInRange<std::int64_t>(-3, 300);
    const auto cantidad = fdp.ConsumeIntegralInRange<std::int64_t>(-2, 20);
    const std::u16string buscado = pieza(fdp, 8);
    const std::u16string reemplazo = pieza(fdp, 12);
    const std::u16string texto = pieza(fdp, 2000);

    const std::u16string r = reemplazar(texto, buscado, reemplazo, inicio, cantidad, modo);
    fuzz::exigir(r == reemplazarReferencia(texto, buscado, reemplazo, inicio, cantidad, modo),
                 "reemplazar equals the step-by-step reference");
    if (buscado.empty() && inicio <= static_cast<std::int64_t>(texto.size())) {
        fuzz::exigir(r == texto, "an empty search returns the text");
    }

    // The defaults: from the start, all of them, exact.
    const std::u16string todos = reemplazar(texto, buscado, reemplazo);
    fuzz::exigir(todos == reemplazarReferencia(texto, buscado, reemplazo, 1, -1, kCompararExacto),
                 "reemplazar with defaults equals the reference");
    std::u16string enSitio = texto;
    reemplazarEnSitio(enSitio, buscado, reemplazo);
    fuzz::exigir(enSitio == todos, "reemplazarEnSitio equals reemplazar");
    if (buscado.size() == 1 && reemplazo.empty()) {
        fuzz::exigir(!fuzz::contiene(todos, buscado), "a deleted character is gone");
    }

    // The UTF-8 form, for ASCII search texts and replacements no longer than them.
    const auto ascii = [](const std::u16string& t) {
        return std::all_of(t.begin(), t.end(), [](char16_t c) { return c < 0x80; });
    };
    // A text with an unpaired surrogate has no exact UTF-8 form, so it is left out.
    if (!buscado.empty() && ascii(buscado) && ascii(reemplazo) &&
        reemplazo.size() <= buscado.size() &&
        texto::desdeUtf8OReemplazo(texto::aUtf8(texto)) == texto) {
        std::string bytes = texto::aUtf8(texto);
        reemplazarEnSitio(bytes, texto::aUtf8(buscado), texto::aUtf8(reemplazo));
        fuzz::exigir(bytes == texto::aUtf8(todos), "the UTF-8 reemplazarEnSitio equals reemplazar");
    }

    fuzz::exigir(
        buscarAtras(texto, buscado, -1, modo) == buscarAtrasReferencia(texto, buscado, modo),
        "buscarAtras equals the reference");
    return 0;
}
