// The text module on Windows: the system's own conversions (MultiByteToWideChar and
// WideCharToMultiByte for UTF-8 and code page 1252) and its file-system casing (LCMapStringEx with
// the invariant locale). Where Windows and the Unicode full mapping differ (final sigma, U+0130,
// U+1E9E, U+01C5), docs/windows.md lists it.

#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "util/ascii.h"
#include "util/texto.h"
#include "util/texto_plataforma.h"
#include "util/texto_propio.h"

namespace tralmix::texto {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

constexpr UINT kCp1252 = 1252;

int comoLongitud(std::size_t n) {
    if (n > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("texto demasiado largo para una conversión");
    }
    return static_cast<int>(n);
}

const wchar_t* ancho(const char16_t* p) {
    return reinterpret_cast<const wchar_t*>(p);
}

wchar_t* ancho(char16_t* p) {
    return reinterpret_cast<wchar_t*>(p);
}

// Multi-byte text to UTF-16 in the given code page; flags 0 replaces what does not decode.
bool aAncho(UINT paginaCodigos, DWORD banderas, std::string_view bytes, std::u16string& salida) {
    if (bytes.empty()) {
        salida.clear();
        return true;
    }
    const int n = comoLongitud(bytes.size());
    // One byte never gives more than one UTF-16 code unit in these code pages.
    std::u16string buffer(bytes.size(), u'\0');
    const int escritos =
        ::MultiByteToWideChar(paginaCodigos, banderas, bytes.data(), n, ancho(buffer.data()), n);
    if (escritos <= 0) {
        return false;
    }
    buffer.resize(static_cast<std::size_t>(escritos));
    salida = std::move(buffer);
    return true;
}

}  // namespace

// The system's file-system casing: the invariant locale, so no ASCII "I" ever becomes a dotless
// one, and one code unit for one (the text never changes length).
std::u16string minusculasNoAscii(std::u16string_view texto) {
    if (texto.empty()) {
        return {};
    }
    const int n = comoLongitud(texto.size());
    std::u16string salida(texto.size(), u'\0');
    const int escritos =
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, ancho(texto.data()), n,
                        ancho(salida.data()), n, nullptr, nullptr, 0);
    if (escritos <= 0) {
        throw FalloConversion("minúsculas fallidas: error " + std::to_string(::GetLastError()));
    }
    salida.resize(static_cast<std::size_t>(escritos));
    return salida;
}

std::u16string desdeUtf16(std::string_view bytes, bool grandeAlFinal) {
    return propio::desdeUtf16(bytes, grandeAlFinal);
}

bool esUtf8(std::string_view bytes) {
    const std::size_t ascii = prefijoAscii(bytes);
    if (ascii == bytes.size()) {
        return true;
    }
    // The strict flag refuses overlong forms, encoded surrogates, code points above U+10FFFF and
    // truncated sequences, as ICU does; asked for the length only, it writes nothing.
    const std::string_view resto = bytes.substr(ascii);
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, resto.data(),
                                 comoLongitud(resto.size()), nullptr, 0) > 0;
}

bool desdeUtf8NoAscii(std::string_view bytes, std::u16string& salida) {
    return aAncho(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, salida);
}

std::u16string desde1252(std::string_view bytes) {
    std::u16string salida;
    // Windows maps the five bytes that 1252 leaves undefined to the C1 controls of equal value.
    if (!aAncho(kCp1252, 0, bytes, salida)) {
        throw FalloConversion("conversión fallida desde 1252: error " +
                              std::to_string(::GetLastError()));
    }
    return salida;
}

void agregarUtf8NoAscii(std::string& salida, std::u16string_view texto) {
    const std::size_t inicio = salida.size();
    // Every UTF-16 code unit takes at most three UTF-8 bytes. Since Vista an unpaired surrogate
    // becomes U+FFFD, so the output is always valid UTF-8.
    const int n = comoLongitud(texto.size());
    const int capacidad = comoLongitud(texto.size() * 3);
    salida.resize(inicio + texto.size() * 3);
    const int escritos = ::WideCharToMultiByte(CP_UTF8, 0, ancho(texto.data()), n,
                                               salida.data() + inicio, capacidad, nullptr, nullptr);
    if (escritos <= 0) {
        salida.resize(inicio);
        throw FalloConversion("conversión a UTF-8 fallida: error " +
                              std::to_string(::GetLastError()));
    }
    salida.resize(inicio + static_cast<std::size_t>(escritos));
}

std::u16string desdeUtf8Reemplazando(std::string_view bytes) {
    std::u16string salida;
    aAncho(CP_UTF8, 0, bytes, salida);
    return salida;
}

void agregarMinusculasUtf8NoAscii(std::string& salida, std::string_view texto) {
    agregarUtf8(salida, minusculasNoAscii(desdeUtf8OReemplazo(texto)));
}

}  // namespace tralmix::texto
