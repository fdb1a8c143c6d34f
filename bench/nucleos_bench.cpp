// Micro-benchmarks of the engine's hot kernels. The inputs are made here, deterministically, in
// the shapes the run meets: pasted messages, plain lists, contact-list lines.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "extract/cubo.h"
#include "extract/limpieza.h"
#include "extract/masivo.h"
#include "extract/resultado.h"
#include "util/cadenas.h"
#include "util/texto.h"

namespace tralmix {
namespace {

constexpr std::size_t kTamanoTexto = 1 << 20;

const std::vector<std::string> kNombres = {"ana",    "juan",  "maria", "carlos", "lucia",
                                           "maddie", "peter", "jose",  "ladder", "susan"};
const std::vector<std::string> kDominios = {"example.com", "correo.example.es", "example.org",
                                            "mail.example.co.uk"};

class Generador {
  public:
    std::size_t hasta(std::size_t n) { return motor_() % n; }

    std::string direccion() {
        // About a third of the addresses repeat an earlier one.
        if (!usadas_.empty() && hasta(3) == 0) {
            return usadas_[hasta(usadas_.size())];
        }
        std::string d = kNombres[hasta(kNombres.size())] + "." + kNombres[hasta(kNombres.size())] +
                        std::to_string(++siguiente_) + "@" + kDominios[hasta(kDominios.size())];
        usadas_.push_back(d);
        return d;
    }

    std::string mensaje() {
        std::string m = "-----Mensaje original-----\r\nDe: Jos\xC3\xA9 P\xC3\xA9rez <";
        m += mayusculas(direccion());
        m += ">\r\nEnviado: lunes, 7 de marzo de 2005 10:15\r\nPara: ";
        for (std::size_t i = 0, n = 1 + hasta(4); i < n; ++i) {
            m += (i ? "; \"Otro\" <" : "<") + direccion() + ">";
        }
        m += "\r\nCC: " + direccion() + ", " + direccion();
        m += "\r\nAsunto: RE: reuni\xC3\xB3n\r\n\r\nHola a todos, os env\xC3\xADo el resumen. "
             "M\xC3\xA1s "
             "en http://www.example.com/informe.html\r\n";
        m += "..........................\r\n" + direccion() + "Add sender to contacts\r\n\r\n";
        return m;
    }

    std::string mensajes(std::size_t tamano) {
        std::string t;
        while (t.size() < tamano) {
            t += mensaje();
        }
        return t;
    }

    std::vector<std::u16string> direcciones(std::size_t n) {
        std::vector<std::u16string> v;
        v.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            v.push_back(texto::desdeUtf8OReemplazo(direccion()));
        }
        return v;
    }

  private:
    std::string mayusculas(std::string s) {
        if (hasta(4) == 0) {
            for (char& c : s) {
                c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            }
        }
        return s;
    }

    std::mt19937_64 motor_{20050305};
    std::vector<std::string> usadas_;
    std::uint64_t siguiente_ = 0;
};

// A count per iteration times the iterations, for the rates the report shows.
std::int64_t porVuelta(const benchmark::State& estado, std::size_t n) {
    return estado.iterations() * static_cast<std::int64_t>(n);
}

std::u16string textoMensajes() {
    Generador g;
    return texto::decodificar(g.mensajes(kTamanoTexto));
}

// reemplazar over a large text: a row found every few characters, one found once per message, and
// one that never occurs (one scan, no copy).
void BM_Reemplazar(benchmark::State& estado) {
    const std::u16string texto = textoMensajes();
    static const std::u16string_view kBuscados[] = {u"e", u"sender to contacts", u"zzz"};
    const std::u16string_view buscado = kBuscados[estado.range(0)];
    for (auto _ : estado) {
        benchmark::DoNotOptimize(reemplazar(texto, buscado, u" "));
    }
    estado.SetBytesProcessed(porVuelta(estado, texto.size() * 2));
}
BENCHMARK(BM_Reemplazar)->ArgName("often_rarely_never")->DenseRange(0, 2);

void BM_ReemplazarEnSitio(benchmark::State& estado) {
    Generador g;
    const std::string original = g.mensajes(kTamanoTexto);
    static const std::string_view kBuscados[] = {"e:", "sender to contacts", "zzz"};
    const std::string_view buscado = kBuscados[estado.range(0)];
    for (auto _ : estado) {
        estado.PauseTiming();
        std::string t = original;
        estado.ResumeTiming();
        reemplazarEnSitio(t, buscado, " ");
        benchmark::DoNotOptimize(t.data());
    }
    estado.SetBytesProcessed(porVuelta(estado, original.size()));
}
BENCHMARK(BM_ReemplazarEnSitio)->ArgName("often_rarely_never")->DenseRange(0, 2);

const std::vector<std::u16string> kLineas = {
    u"      <contact type=\"1\">ana.maria12@example.com</contact>",
    u"juan.perez@correo.example.es",
    u"\"Jos\u00E9 P\u00E9rez\" <JOSE@EXAMPLE.COM>; 'Luc\u00EDa' <lucia@example.net>",
    u"<?xml version=\"1.0\"?>",
    u"Hola a todos, os env\u00EDo el resumen: m\u00E1s en http://www.example.com/a.html",
};

// limpieza per line, in UTF-16 and on the UTF-8 the run uses.
void BM_Limpieza(benchmark::State& estado) {
    std::size_t bytes = 0;
    for (auto _ : estado) {
        for (const auto& l : kLineas) {
            benchmark::DoNotOptimize(limpieza(l));
            bytes += l.size() * 2;
        }
    }
    estado.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_Limpieza);

void BM_LimpiezaUtf8(benchmark::State& estado) {
    std::vector<std::string> lineas;
    for (const auto& l : kLineas) {
        lineas.push_back(texto::aUtf8(l));
    }
    std::string salida;
    std::size_t bytes = 0;
    for (auto _ : estado) {
        for (const auto& l : lineas) {
            salida.clear();
            agregarLimpiezaUtf8(salida, l);
            benchmark::DoNotOptimize(salida.data());
            bytes += l.size();
        }
    }
    estado.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_LimpiezaUtf8);

// The bulk table row by row over the whole lower-cased text (the literal form).
void BM_NormalizarMasivo(benchmark::State& estado) {
    std::u16string original = textoMensajes();
    texto::minusculasEnSitio(original);
    for (auto _ : estado) {
        estado.PauseTiming();
        std::u16string t = original;
        estado.ResumeTiming();
        normalizarMasivo(t);
        benchmark::DoNotOptimize(t.data());
    }
    estado.SetBytesProcessed(porVuelta(estado, original.size() * 2));
}
BENCHMARK(BM_NormalizarMasivo)->Unit(benchmark::kMillisecond);

// The word scan and the duplicate pass on the normalised text.
void BM_ExtraerYQuitarRepetidos(benchmark::State& estado) {
    std::u16string t = textoMensajes();
    texto::minusculasEnSitio(t);
    normalizarMasivo(t);
    std::vector<std::u16string> lineas;
    std::vector<std::u16string> copia;
    for (auto _ : estado) {
        extraerDirecciones(t, lineas);
        quitarRepetidos(lineas, copia);
        benchmark::DoNotOptimize(lineas.data());
    }
    estado.SetItemsProcessed(porVuelta(estado, lineas.size()));
}
BENCHMARK(BM_ExtraerYQuitarRepetidos)->Unit(benchmark::kMillisecond);

// What the run does instead: lower-casing, the table and the word scan line by line on UTF-8.
void BM_DireccionesUtf8(benchmark::State& estado) {
    Generador g;
    const std::string t = g.mensajes(kTamanoTexto);
    PalabrasUtf8 palabras;
    for (auto _ : estado) {
        direccionesUtf8(t, palabras);
        benchmark::DoNotOptimize(palabras.bytes.data());
    }
    estado.SetBytesProcessed(porVuelta(estado, t.size()));
}
BENCHMARK(BM_DireccionesUtf8)->Unit(benchmark::kMillisecond);

void BM_Cubo(benchmark::State& estado) {
    Generador g;
    const auto original = g.direcciones(static_cast<std::size_t>(estado.range(0)));
    for (auto _ : estado) {
        estado.PauseTiming();
        auto m = original;
        estado.ResumeTiming();
        Cubo(m, true);
        benchmark::DoNotOptimize(m.data());
    }
    estado.SetItemsProcessed(porVuelta(estado, original.size()));
}
BENCHMARK(BM_Cubo)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_OrdenarComoUtf16(benchmark::State& estado) {
    Generador g;
    std::vector<std::string> textos;
    for (const auto& d : g.direcciones(static_cast<std::size_t>(estado.range(0)))) {
        textos.push_back(texto::aUtf8(d));
    }
    const std::vector<std::string_view> original(textos.begin(), textos.end());
    for (auto _ : estado) {
        estado.PauseTiming();
        auto v = original;
        estado.ResumeTiming();
        ordenarComoUtf16(v);
        benchmark::DoNotOptimize(v.data());
    }
    estado.SetItemsProcessed(porVuelta(estado, original.size()));
}
BENCHMARK(BM_OrdenarComoUtf16)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The 48-group writer on a sorted list with its blanks first.
void BM_ComponerLista(benchmark::State& estado) {
    Generador g;
    auto lineas = g.direcciones(100000);
    lineas.insert(lineas.begin(), 30000, std::u16string());
    Cubo(lineas, true);
    std::size_t bytes = 0;
    for (auto _ : estado) {
        componerLista(lineas, [&](std::string_view trozo) { bytes += trozo.size(); });
    }
    estado.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ComponerLista)->Unit(benchmark::kMillisecond);

// The codec: UTF-8 and Windows-1252 in (to UTF-16 and to UTF-8), UTF-8 out.
void BM_Decodificar(benchmark::State& estado) {
    Generador g;
    std::string bytes = g.mensajes(kTamanoTexto);
    if (estado.range(0) == 1) {
        bytes = "Jos\xE9 \x80 " + bytes;  // one byte that is not UTF-8: the whole file is 1252
    }
    for (auto _ : estado) {
        benchmark::DoNotOptimize(texto::decodificar(bytes));
    }
    estado.SetBytesProcessed(porVuelta(estado, bytes.size()));
}
BENCHMARK(BM_Decodificar)->ArgName("utf8_cp1252")->DenseRange(0, 1);

void BM_DecodificarUtf8(benchmark::State& estado) {
    Generador g;
    std::string bytes = g.mensajes(kTamanoTexto);
    if (estado.range(0) == 1) {
        bytes = "Jos\xE9 \x80 " + bytes;
    }
    for (auto _ : estado) {
        benchmark::DoNotOptimize(texto::decodificarUtf8(bytes));
    }
    estado.SetBytesProcessed(porVuelta(estado, bytes.size()));
}
BENCHMARK(BM_DecodificarUtf8)->ArgName("utf8_cp1252")->DenseRange(0, 1);

void BM_AUtf8(benchmark::State& estado) {
    const std::u16string t = textoMensajes();
    for (auto _ : estado) {
        benchmark::DoNotOptimize(texto::aUtf8(t));
    }
    estado.SetBytesProcessed(porVuelta(estado, t.size() * 2));
}
BENCHMARK(BM_AUtf8);

void BM_MinusculasUtf8(benchmark::State& estado) {
    Generador g;
    const std::string t = g.mensajes(kTamanoTexto);
    std::string salida;
    for (auto _ : estado) {
        salida.clear();
        texto::agregarMinusculasUtf8(salida, t);
        benchmark::DoNotOptimize(salida.data());
    }
    estado.SetBytesProcessed(porVuelta(estado, t.size()));
}
BENCHMARK(BM_MinusculasUtf8);

}  // namespace
}  // namespace tralmix
