#include "extract/cubo.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "util/afinado.h"
#include "util/memoria.h"
#include "util/paralelo.h"

namespace tralmix {
namespace {

// Lead bytes EE and EF start U+E000–U+FFFF; moved above F0–F4 (the characters beyond U+FFFF),
// bytes compare as UTF-16 code units do. Valid UTF-8 never holds F5–FF, so nothing collides, and
// at the first differing byte of two valid texts both bytes are lead bytes or both continue the
// same character.
constexpr std::uint8_t peso(std::uint8_t b) {
    return b == 0xEE || b == 0xEF ? static_cast<std::uint8_t>(b + 0x10) : b;
}

// For splitting a stretch by one byte: 0 where the text has ended, otherwise the rank of the
// byte's weight among the weights valid UTF-8 can have, from 1 on. They fit in one byte.
struct Clases {
    std::array<std::uint8_t, 256> de{};
};

constexpr Clases crearClases() {
    std::array<bool, 256> usado{};
    for (unsigned b = 0; b <= 0xF4; ++b) {
        usado[peso(static_cast<std::uint8_t>(b))] = true;
    }
    std::array<std::uint8_t, 256> rango{};
    unsigned siguiente = 1;
    for (unsigned w = 0; w < 256; ++w) {
        if (usado[w]) {
            rango[w] = static_cast<std::uint8_t>(siguiente++);
        }
    }
    Clases c;
    for (unsigned b = 0; b < 256; ++b) {
        c.de[b] = b <= 0xF4 ? rango[peso(static_cast<std::uint8_t>(b))] : std::uint8_t{255};
    }
    c.de[static_cast<unsigned char>(Arreglo::kFin)] = 0;
    return c;
}

constexpr Clases kClases = crearClases();
static_assert(kClases.de[0] == 1 && kClases.de[0xF4] < kClases.de[0xEE] &&
              kClases.de[0xEE] < kClases.de[0xEF] && kClases.de[0xEF] < 255);

// A text from a depth on: its first eight bytes by weight as one number (zeros past its end),
// its place, and how much of those eight it fills (9: all, and it goes on).
struct Registro {
    std::uint64_t clave;
    std::uint32_t lugar;
    std::uint32_t lleno;
};

struct Tramo {
    std::size_t inicio;
    std::size_t n;
    std::size_t profundidad;  // bytes every text of the stretch shares at its start
};

// A most-significant-byte-first sort: large stretches are split in place by their next byte,
// small ones sorted by keys. Two of them may sort disjoint stretches of one array at once: the one
// with avance speaks for both, counting the other's elements done in ajenos, and tells it to stop
// through parar.
class Ordenador {
  public:
    Ordenador(Arreglo& arreglo, Avance* avance, std::atomic<std::size_t>& ajenos,
              std::atomic<bool>& parar)
        : arreglo_(arreglo),
          lugares_(arreglo.lugares()),
          bytes_(arreglo.bytes()),
          fin_(arreglo.bytes() + arreglo.tamanoBytes()),
          avance_(avance),
          ajenos_(ajenos),
          parar_(parar) {}

    void agregar(const Tramo& t) { pendientes_.push_back(t); }

    // Splits the one stretch there is by its first byte, and hands over about half the elements
    // of the stretches that gives.
    std::vector<Tramo> repartir() {
        const Tramo todo = pendientes_.back();
        pendientes_.pop_back();
        porByte(todo);
        std::sort(pendientes_.begin(), pendientes_.end(),
                  [](const Tramo& a, const Tramo& b) { return a.n > b.n; });
        std::vector<Tramo> propios;
        std::vector<Tramo> cedidos;
        std::size_t enPropios = 0;
        std::size_t enCedidos = 0;
        for (const Tramo& t : pendientes_) {
            if (enPropios <= enCedidos) {
                propios.push_back(t);
                enPropios += t.n;
            } else {
                cedidos.push_back(t);
                enCedidos += t.n;
            }
        }
        pendientes_ = std::move(propios);
        return cedidos;
    }

    bool ordenar() {
        if (avance_ != nullptr && !avance_->seguir(0, lugares_.size())) {
            parar_ = true;
            return false;
        }
        while (!pendientes_.empty()) {
            const Tramo t = pendientes_.back();
            pendientes_.pop_back();
            if (t.n < 2) {
                terminados(t.n);
            } else if (t.n <= afinado::kTramoConClaves) {
                porClaves(t);
            } else {
                porByte(t);
            }
            if (hechos_ - avisados_ >= kCadaCuantos) {
                if (avance_ == nullptr) {
                    ajenos_ += hechos_ - avisados_;
                } else if (!avance_->seguir(hechos_ + ajenos_, lugares_.size())) {
                    parar_ = true;
                }
                avisados_ = hechos_;
                if (parar_) {
                    return false;
                }
            }
        }
        if (avance_ == nullptr) {
            ajenos_ += hechos_ - avisados_;
            return true;
        }
        return avance_->seguir(hechos_ + ajenos_, lugares_.size());
    }

  private:
    static constexpr std::size_t kCadaCuantos = std::size_t{1} << 16;

    std::string_view texto(std::uint32_t lugar, std::size_t profundidad) const {
        return arreglo_.textoEn(lugar).substr(profundidad);
    }

    void terminados(std::size_t n) { hechos_ += n; }

    // The key of the text at lugar from depth d: its next eight bytes by weight (zeros past its
    // end), and how much of the key it fills (9: all, and it goes on).
    void clave(std::uint32_t lugar, std::size_t d, Registro& r) const {
        const char* p = bytes_ + lugar + d;
        if constexpr (std::endian::native == std::endian::little) {
            // Nine bytes read at once where the block holds them: the text ends at its first
            // kFin, which UTF-8 never holds.
            if (p + 9 <= fin_) {
                std::uint64_t v = 0;
                std::memcpy(&v, p, 8);
                const std::uint64_t fines = iguales(v, static_cast<unsigned char>(Arreglo::kFin));
                std::uint32_t lleno = 9;
                if (fines != 0) {
                    const auto k = static_cast<unsigned>(std::countr_zero(fines)) / 8;
                    v &= (std::uint64_t{1} << (8 * k)) - 1;  // k < 8: the first byte of its end
                    lleno = k;
                } else if (p[8] == Arreglo::kFin) {
                    lleno = 8;
                }
                // EE and EF weigh 0x10 more (peso), on the bytes of v that are theirs.
                v += (iguales(v, 0xEE) | iguales(v, 0xEF)) >> 3;
                r = {__builtin_bswap64(v), lugar, lleno};
                return;
            }
        }
        const std::string_view resto = texto(lugar, d);
        std::uint64_t c = 0;
        for (std::size_t k = 0; k < 8; ++k) {
            c = (c << 8) | (k < resto.size() ? peso(static_cast<std::uint8_t>(resto[k])) : 0u);
        }
        r = {c, lugar, static_cast<std::uint32_t>(std::min<std::size_t>(resto.size(), 9))};
    }

    // By keys: most texts differ within their first eight bytes from the depth, and only equal
    // keys look further.
    void porClaves(const Tramo& t) {
        std::uint32_t* l = lugares_.data() + t.inicio;
        registros_.recortar(0);
        Registro* r = registros_.agrandar(t.n);
        const std::size_t d = t.profundidad;
        for (std::size_t i = 0; i < t.n; ++i) {
            if (i + afinado::kAdelanto < t.n) {
                anticiparTexto(bytes_ + l[i + afinado::kAdelanto] + d);
            }
            clave(l[i], d, r[i]);
        }
        // By key, and among equal keys by how much of the key the text fills: a text that ends
        // within the key is the beginning of every longer one with that key (the key holds zeros
        // past its end, as the other holds there).
        std::sort(r, r + t.n, [&](const Registro& a, const Registro& b) {
            return a.clave != b.clave ? a.clave < b.clave : a.lleno < b.lleno;
        });
        // Texts that go on past an equal key are told apart by what follows: few of them, most
        // often repeats of one address, so each run is sorted by its own.
        auto menorResto = [this, d](const Registro& a, const Registro& b) {
            return menorComoUtf16(texto(a.lugar, d + 8), texto(b.lugar, d + 8));
        };
        for (std::size_t i = 0; i < t.n;) {
            std::size_t j = i + 1;
            while (j < t.n && r[j].clave == r[i].clave && r[j].lleno == r[i].lleno) {
                ++j;
            }
            if (j - i > 1 && r[i].lleno == 9) {
                if (j - i <= 16) {
                    // Insertion: repeats need one comparison each.
                    for (std::size_t k = i + 1; k < j; ++k) {
                        const Registro x = r[k];
                        std::size_t m = k;
                        while (m > i && menorResto(x, r[m - 1])) {
                            r[m] = r[m - 1];
                            --m;
                        }
                        r[m] = x;
                    }
                } else {
                    std::sort(r + i, r + j, menorResto);
                }
            }
            i = j;
        }
        for (std::size_t i = 0; i < t.n; ++i) {
            l[i] = r[i].lugar;
        }
        terminados(t.n);
    }

    // In place by the next byte (American flag sort): each class gets its stretch, which is
    // sorted on from the byte after.
    void porByte(const Tramo& t) {
        std::uint32_t* l = lugares_.data() + t.inicio;
        clases_.recortar(0);
        std::uint8_t* c = clases_.agrandar(t.n);
        std::array<std::size_t, 257> cuenta{};
        for (std::size_t i = 0; i < t.n; ++i) {
            if (i + afinado::kAdelanto < t.n) {
                anticipar(bytes_ + l[i + afinado::kAdelanto] + t.profundidad);
            }
            c[i] = kClases.de[static_cast<unsigned char>(bytes_[l[i] + t.profundidad])];
            ++cuenta[c[i] + 1];
        }
        std::array<std::size_t, 256> siguiente{};
        std::array<std::size_t, 256> fin{};
        for (unsigned k = 0; k < 256; ++k) {
            cuenta[k + 1] += cuenta[k];
            siguiente[k] = cuenta[k];
            fin[k] = cuenta[k + 1];
        }
        for (unsigned k = 0; k < 256; ++k) {
            while (siguiente[k] < fin[k]) {
                std::uint32_t lugar = l[siguiente[k]];
                std::uint8_t clase = c[siguiente[k]];
                while (clase != k) {
                    const std::size_t destino = siguiente[clase]++;
                    std::swap(lugar, l[destino]);
                    std::swap(clase, c[destino]);
                }
                l[siguiente[k]] = lugar;
                c[siguiente[k]] = clase;
                ++siguiente[k];
            }
        }
        // Texts that end here are equal to one another: they stay first, in any order.
        terminados(fin[0]);
        for (unsigned k = 1; k < 256; ++k) {
            const std::size_t n = fin[k] - cuenta[k];
            if (n > 0) {
                pendientes_.push_back({t.inicio + cuenta[k], n, t.profundidad + 1});
            }
        }
    }

    const Arreglo& arreglo_;
    std::span<std::uint32_t> lugares_;
    const char* bytes_;
    const char* fin_;
    Avance* avance_;
    std::atomic<std::size_t>& ajenos_;
    std::atomic<bool>& parar_;
    std::vector<Tramo> pendientes_;
    Bloque<Registro> registros_;
    Bloque<std::uint8_t> clases_;
    std::size_t hechos_ = 0;
    std::size_t avisados_ = 0;
};

}  // namespace

bool Cubo(Arreglo& Matriz, bool Ascendente, Avance* avance) {
    if (Matriz.empty()) {
        return false;
    }
    std::atomic<std::size_t> ajenos{0};
    std::atomic<bool> parar{false};
    Ordenador ordenador(Matriz, avance, ajenos, parar);
    ordenador.agregar({0, Matriz.size(), 0});
    bool completo = false;
    if (Matriz.size() >= afinado::kOrdenEnDos) {
        // After the split by the first byte the stretches are independent: a second core sorts
        // about half of them, each in its own places of the array.
        Ordenador segundo(Matriz, nullptr, ajenos, parar);
        for (const Tramo& t : ordenador.repartir()) {
            segundo.agregar(t);
        }
        EnSegundoPlano tarea;
        tarea.empezar([&] { segundo.ordenar(); });
        completo = ordenador.ordenar();
        tarea.esperar();
        completo = completo && !parar;
    } else {
        completo = ordenador.ordenar();
    }
    if (!completo) {
        return true;
    }
    // Equal texts are identical, so the descending order is the ascending one reversed.
    if (!Ascendente) {
        std::reverse(Matriz.lugares().begin(), Matriz.lugares().end());
    }
    return true;
}

bool menorComoUtf16(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    const auto [pa, pb] =
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(n), b.begin());
    if (pa == a.begin() + static_cast<std::ptrdiff_t>(n)) {
        return a.size() < b.size();
    }
    return peso(static_cast<std::uint8_t>(*pa)) < peso(static_cast<std::uint8_t>(*pb));
}

}  // namespace tralmix
