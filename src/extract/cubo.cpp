#include "extract/cubo.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
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
    unsigned cuantas = 0;
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
    c.cuantas = 256;
    return c;
}

constexpr Clases kClases = crearClases();
static_assert(kClases.de[0] == 1 && kClases.de[0xF4] < kClases.de[0xEE] &&
              kClases.de[0xEE] < kClases.de[0xEF] && kClases.de[0xEF] < 255);

// Eight bytes of a text from a depth on, by weight, as one number (zeros past its end), and how
// many of them the text has: 9 when it goes on past them.
struct Registro {
    std::uint64_t clave;
    std::uint32_t lugar;
    std::uint32_t largo;
};

Registro registro(const char* bytes, std::uint32_t lugar, std::size_t profundidad) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes + lugar + profundidad);
    constexpr auto kFin = static_cast<unsigned char>(Arreglo::kFin);
    std::uint64_t clave = 0;
    std::uint32_t n = 0;
    for (; n < 8 && p[n] != kFin; ++n) {
        clave = (clave << 8) | peso(p[n]);
    }
    if (n > 0 && n < 8) {
        clave <<= 8 * (8 - n);
    } else if (n == 8 && p[8] != kFin) {
        n = 9;
    }
    return {clave, lugar, n};
}

struct Tramo {
    std::size_t inicio;
    std::size_t n;
    std::size_t profundidad;  // bytes every text of the stretch shares at its start
};

// Equal keys of texts that go on past them share those bytes as well: they are sorted again from
// there. Keys of texts that end within them settle everything: equal keys and lengths are equal
// texts, and of two texts with equal keys the shorter is the beginning of the longer.
// Two of them may sort disjoint stretches of one array at once: the one with avance speaks for
// both, counting the other's elements done in ajenos, and tells it to stop through parar.
class Ordenador {
  public:
    Ordenador(Arreglo& arreglo, Avance* avance, std::atomic<std::size_t>& ajenos,
              std::atomic<bool>& parar)
        : arreglo_(arreglo),
          lugares_(arreglo.lugares()),
          bytes_(arreglo.bytes()),
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
            } else if (t.n <= afinado::kTramoPequeno) {
                porComparacion(t);
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

    void porComparacion(const Tramo& t) {
        std::uint32_t* l = lugares_.data() + t.inicio;
        std::array<std::pair<std::string_view, std::uint32_t>, afinado::kTramoPequeno> v;
        for (std::size_t i = 0; i < t.n; ++i) {
            v[i] = {texto(l[i], t.profundidad), l[i]};
        }
        // Insertion sort: few elements, and equal texts need not move.
        for (std::size_t i = 1; i < t.n; ++i) {
            const auto x = v[i];
            std::size_t j = i;
            while (j > 0 && menorComoUtf16(x.first, v[j - 1].first)) {
                v[j] = v[j - 1];
                --j;
            }
            v[j] = x;
        }
        for (std::size_t i = 0; i < t.n; ++i) {
            l[i] = v[i].second;
        }
        terminados(t.n);
    }

    void porClaves(const Tramo& t) {
        std::uint32_t* l = lugares_.data() + t.inicio;
        registros_.recortar(0);
        Registro* r = registros_.agrandar(t.n);
        for (std::size_t i = 0; i < t.n; ++i) {
            if (i + afinado::kAdelanto < t.n) {
                anticipar(bytes_ + l[i + afinado::kAdelanto] + t.profundidad);
            }
            r[i] = registro(bytes_, l[i], t.profundidad);
        }
        std::sort(r, r + t.n, [](const Registro& a, const Registro& b) {
            return a.clave != b.clave ? a.clave < b.clave : a.largo < b.largo;
        });
        std::size_t resueltos = t.n;
        for (std::size_t i = 0; i < t.n;) {
            std::size_t j = i + 1;
            while (j < t.n && r[j].clave == r[i].clave && r[j].largo == r[i].largo) {
                ++j;
            }
            if (j - i > 1 && r[i].largo == 9) {
                pendientes_.push_back({t.inicio + i, j - i, t.profundidad + 8});
                resueltos -= j - i;
            }
            i = j;
        }
        for (std::size_t i = 0; i < t.n; ++i) {
            l[i] = r[i].lugar;
        }
        terminados(resueltos);
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
