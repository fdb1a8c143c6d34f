// Benchmarks of the engine's hot kernels beside their literal forms, and of whole runs at 10 MB
// (the regression guard of the run as a whole). The inputs are made here, deterministically, in
// the shapes the run meets: pasted messages, plain lists, contact-list lines.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <filesystem>
#include <fstream>

#include "extract/cubo.h"
#include "extract/limpieza.h"
#include "extract/palabras.h"
#include "extract/proceso.h"
#include "extract/repetidos.h"
#include "extract/resultado.h"
#include "referencia/literal.h"
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

    Arreglo direcciones(std::size_t n) {
        Arreglo a;
        for (std::size_t i = 0; i < n; ++i) {
            a.agregar(direccion());
        }
        return a;
    }

    // A plain list of short addresses, one per line: the hard case of the list path.
    std::string lista(std::size_t tamano) {
        std::string t;
        while (t.size() < tamano) {
            t += static_cast<char>('a' + hasta(26));
            for (std::size_t i = 0, n = 5 + hasta(8); i < n; ++i) {
                t += "abcdefghijklmnopqrstuvwxyz0123456789._"[hasta(38)];
            }
            t += "@" + kDominios[hasta(kDominios.size())] + "\n";
        }
        return t;
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

std::vector<std::string> lineasDeMensajes() {
    Generador g;
    const std::string t = g.mensajes(kTamanoTexto);
    std::vector<std::string> lineas;
    std::size_t inicio = 0;
    for (std::size_t p = t.find("\r\n"); p != std::string::npos; p = t.find("\r\n", inicio)) {
        lineas.push_back(t.substr(inicio, p - inicio));
        inicio = p + 2;
    }
    return lineas;
}

// Cleaning every line of pasted messages: the program's one pass, and the table row by row.
void BM_Limpieza(benchmark::State& estado) {
    const auto lineas = lineasDeMensajes();
    std::string limpia;
    std::size_t bytes = 0;
    for (const auto& l : lineas) {
        bytes += l.size();
    }
    for (auto _ : estado) {
        for (const auto& l : lineas) {
            limpia.clear();
            benchmark::DoNotOptimize(limpieza(l, limpia));
        }
    }
    estado.SetBytesProcessed(porVuelta(estado, bytes));
}
BENCHMARK(BM_Limpieza);

void BM_LimpiezaLiteral(benchmark::State& estado) {
    const auto lineas = lineasDeMensajes();
    std::vector<std::u16string> anchas;
    std::size_t bytes = 0;
    for (const auto& l : lineas) {
        anchas.push_back(texto::desdeUtf8OReemplazo(l));
        bytes += l.size();
    }
    for (auto _ : estado) {
        for (const auto& l : anchas) {
            benchmark::DoNotOptimize(literal::limpieza(l));
        }
    }
    estado.SetBytesProcessed(porVuelta(estado, bytes));
}
BENCHMARK(BM_LimpiezaLiteral)->Unit(benchmark::kMillisecond);

// The addresses of pasted messages: line by line, and the table on the whole text.
void BM_ExtraerDirecciones(benchmark::State& estado) {
    Generador g;
    const std::string t = g.mensajes(kTamanoTexto);
    for (auto _ : estado) {
        Arreglo a;
        extraerDirecciones(t, a);
        benchmark::DoNotOptimize(a.size());
    }
    estado.SetBytesProcessed(porVuelta(estado, t.size()));
}
BENCHMARK(BM_ExtraerDirecciones)->Unit(benchmark::kMillisecond);

void BM_ExtraerDireccionesLiteral(benchmark::State& estado) {
    Generador g;
    const std::u16string t = texto::desdeUtf8OReemplazo(g.mensajes(kTamanoTexto / 16));
    for (auto _ : estado) {
        benchmark::DoNotOptimize(literal::extraerDirecciones(t).size());
    }
    estado.SetBytesProcessed(porVuelta(estado, t.size()));
}
BENCHMARK(BM_ExtraerDireccionesLiteral)->Unit(benchmark::kMillisecond);

void BM_QuitarRepetidos(benchmark::State& estado) {
    Generador g;
    Arreglo palabras = g.direcciones(static_cast<std::size_t>(estado.range(0)));
    Cubo(palabras, true);
    for (auto _ : estado) {
        Arreglo lineas = palabras;
        quitarRepetidos(lineas);
        benchmark::DoNotOptimize(lineas.lugares().data());
    }
    estado.SetItemsProcessed(porVuelta(estado, palabras.size()));
}
BENCHMARK(BM_QuitarRepetidos)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Cubo(benchmark::State& estado) {
    Generador g;
    const Arreglo desordenadas = g.direcciones(static_cast<std::size_t>(estado.range(0)));
    for (auto _ : estado) {
        estado.PauseTiming();
        Arreglo a = desordenadas;
        estado.ResumeTiming();
        Cubo(a, true);
        benchmark::DoNotOptimize(a.lugares().data());
    }
    estado.SetItemsProcessed(porVuelta(estado, desordenadas.size()));
}
BENCHMARK(BM_Cubo)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_CuboLiteral(benchmark::State& estado) {
    Generador g;
    const literal::Lineas desordenadas =
        literal::comoLineas(g.direcciones(static_cast<std::size_t>(estado.range(0))));
    for (auto _ : estado) {
        literal::Lineas m = desordenadas;
        literal::Cubo(m, true);
        benchmark::DoNotOptimize(m.data());
    }
    estado.SetItemsProcessed(porVuelta(estado, desordenadas.size()));
}
BENCHMARK(BM_CuboLiteral)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ComponerLista(benchmark::State& estado) {
    Generador g;
    Arreglo a = g.direcciones(1000000);
    Cubo(a, true);
    for (auto _ : estado) {
        std::size_t bytes = 0;
        componerLista(a, [&](std::string_view t, std::size_t) {
            bytes += t.size();
            return true;
        });
        benchmark::DoNotOptimize(bytes);
    }
    estado.SetItemsProcessed(porVuelta(estado, a.size()));
}
BENCHMARK(BM_ComponerLista)->Unit(benchmark::kMillisecond);

// The decision and the decoding of a whole file: UTF-8 checked and kept, or Windows-1252.
void BM_DecodificarUtf8(benchmark::State& estado) {
    Generador g;
    std::string bytes = g.mensajes(kTamanoTexto);
    if (estado.range(0) == 1) {
        bytes += "\xE9";  // one byte that is not UTF-8 makes the whole file Windows-1252
    }
    for (auto _ : estado) {
        benchmark::DoNotOptimize(texto::decodificarUtf8(bytes).size());
    }
    estado.SetBytesProcessed(porVuelta(estado, bytes.size()));
}
BENCHMARK(BM_DecodificarUtf8)->ArgName("utf8_cp1252")->DenseRange(0, 1);

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

// A port that answers as the command does, and says nothing.
class PuertoCallado final : public Puerto {
  public:
    std::u16string textoRuta() const override { return caja_; }
    void ponerTextoRuta(const std::u16string& t) override { caja_ = t; }
    void mensaje(std::u16string_view, Estilo, std::u16string_view) override {}
    RespuestaDialogo mostrarDialogo(const AjustesDialogo&) override { return {}; }
    std::uintptr_t ventana() const override { return 0; }
    std::u16string abrirArchivo(const std::u16string&) override { return {}; }

  private:
    std::u16string caja_;
};

// Whole runs on 10 MB inputs of each shape, files and all: what a change to any stage costs.
void BM_Corrida(benchmark::State& estado) {
    namespace fs = std::filesystem;
    const fs::path carpeta = fs::temp_directory_path() / "tralmix-bench";
    fs::create_directories(carpeta);
    Generador g;
    constexpr std::size_t kTamano = 10'000'000;
    const bool mensajes = estado.range(0) == 1;
    const fs::path entrada = carpeta / (mensajes ? "mensajes.txt" : "lista.txt");
    std::ofstream(entrada, std::ios::binary) << (mensajes ? g.mensajes(kTamano) : g.lista(kTamano));
    const std::u16string ruta = texto::desdeUtf8OReemplazo(entrada.string());
    const std::u16string carpeta16 = texto::desdeUtf8OReemplazo(carpeta.string());
    PuertoCallado puerto;
    for (auto _ : estado) {
        Estado e;
        cargarCarpetaTemporal(e, carpeta16);
        e.carpetaResultado = carpeta16;
        e.fecha = Fecha{2005, 3, 5};
        if (procesarArchivo(e, puerto, ruta) != Desenlace::Escrito) {
            estado.SkipWithError("the run did not write its list");
        }
    }
    estado.SetBytesProcessed(porVuelta(estado, kTamano));
    fs::remove_all(carpeta);
}
BENCHMARK(BM_Corrida)->ArgName("lista_mensajes")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// Two lists of 5 MB minus an exclusion list of 1 MB (every fifth line of both) in one run: to be
// read beside BM_Corrida/lista_mensajes:0 (one list of 10 MB), which it should stay within 1.15
// times of.
void BM_CorridaVarias(benchmark::State& estado) {
    namespace fs = std::filesystem;
    const fs::path carpeta = fs::temp_directory_path() / "tralmix-bench-varias";
    fs::create_directories(carpeta);
    Generador g;
    constexpr std::size_t kTamano = 5'000'000;
    std::vector<std::u16string> rutas;
    std::string bajas;
    for (const char* nombre : {"lista1.txt", "lista2.txt"}) {
        const std::string lista = g.lista(kTamano);
        std::size_t inicio = 0;
        for (std::size_t n = 0; inicio < lista.size(); ++n) {
            const std::size_t fin = lista.find('\n', inicio) + 1;
            if (n % 5 == 0) {
                bajas.append(lista, inicio, fin - inicio);
            }
            inicio = fin;
        }
        std::ofstream(carpeta / nombre, std::ios::binary) << lista;
        rutas.push_back(texto::desdeUtf8OReemplazo((carpeta / nombre).string()));
    }
    std::ofstream(carpeta / "bajas.txt", std::ios::binary) << bajas;
    const std::u16string carpeta16 = texto::desdeUtf8OReemplazo(carpeta.string());
    PuertoCallado puerto;
    for (auto _ : estado) {
        Estado e;
        cargarCarpetaTemporal(e, carpeta16);
        e.carpetaResultado = carpeta16;
        e.fecha = Fecha{2005, 3, 5};
        e.exclusiones = {texto::desdeUtf8OReemplazo((carpeta / "bajas.txt").string())};
        if (procesarArchivos(e, puerto, rutas) != Desenlace::Escrito) {
            estado.SkipWithError("the run did not write its list");
        }
    }
    estado.SetBytesProcessed(porVuelta(estado, 2 * kTamano));
    fs::remove_all(carpeta);
}
BENCHMARK(BM_CorridaVarias)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tralmix
