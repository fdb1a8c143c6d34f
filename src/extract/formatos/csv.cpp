#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "extract/formatos/formatos.h"
#include "util/texto.h"

namespace tralmix::formatos {
namespace {

// Words of the e-mail columns' headers in the exporters' languages, lower-cased. A column whose
// values are kinds or display names is named so too; its values are no addresses and so give
// nothing.
constexpr std::array<std::string_view, 9> kPalabrasCorreo{
    "mail",      // E-mail Address, Primary Email, E-Mail-Adresse, Adresse e-mail, Email Home
    "correo",    // Correo electrónico
    "courriel",  //
    "posta",     // Posta elettronica
    "メール",    // メールアドレス
    "邮件",      // 电子邮件
    "郵件",      // 電子郵件
    "邮箱",      //
    "почта",     // Электронная почта
};

// Values of one field: Google's exports join several with " ::: ".
constexpr std::string_view kVarios = " ::: ";

bool esColumnaCorreo(std::string_view encabezado) {
    std::string t;
    texto::agregarMinusculasUtf8(t, encabezado);
    for (const std::string_view palabra : kPalabrasCorreo) {
        if (t.find(palabra) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// RFC 4180 records, a line at a time: quoted fields may hold separators, doubled quotes and line
// breaks. The separator is the one of "," ";" and TAB the first line holds most of outside quotes.
class LectorCsv final : public Lector {
  public:
    LectorCsv(Direcciones& direcciones, char preferido)
        : direcciones_(direcciones), separador_(preferido) {}

    void linea(std::string_view l) override {
        if (l.empty() && !comillas_) {
            return;
        }
        if (!decidido_) {
            decidir(l);
        }
        if (!comillas_) {
            numero_ = 0;
            campos(0).clear();
        } else {
            campos(numero_) += '\n';
        }
        for (const char c : l) {
            if (comillas_) {
                if (c == '"') {
                    comillas_ = false;
                    recienCerradas_ = true;
                } else {
                    campos(numero_) += c;
                }
                continue;
            }
            if (c == '"') {
                // A doubled quote inside a quoted field; a quote that opens a field.
                if (recienCerradas_) {
                    campos(numero_) += '"';
                }
                comillas_ = true;
                recienCerradas_ = false;
                continue;
            }
            recienCerradas_ = false;
            if (c == separador_) {
                campos(++numero_).clear();
            } else {
                campos(numero_) += c;
            }
        }
        recienCerradas_ = false;
        if (!comillas_) {
            registro();
        }
    }

    void fin() override {
        if (comillas_) {
            comillas_ = false;
            registro();
        }
    }

  private:
    std::string& campos(std::size_t i) {
        if (i >= campos_.size()) {
            campos_.resize(i + 1);
        }
        return campos_[i];
    }

    void decidir(std::string_view l) {
        decidido_ = true;
        std::size_t cuenta[3] = {0, 0, 0};
        constexpr char kCandidatos[3] = {',', ';', '\t'};
        bool dentro = false;
        for (const char c : l) {
            dentro = c == '"' ? !dentro : dentro;
            for (int k = 0; k < 3; ++k) {
                cuenta[k] += !dentro && c == kCandidatos[k];
            }
        }
        const char preferido = separador_;
        std::size_t mejor = 0;
        for (int k = 0; k < 3; ++k) {
            if (cuenta[k] > mejor ||
                (cuenta[k] == mejor && mejor > 0 && kCandidatos[k] == preferido)) {
                mejor = cuenta[k];
                separador_ = kCandidatos[k];
            }
        }
    }

    void registro() {
        const std::size_t n = numero_ + 1;
        if (primero_) {
            primero_ = false;
            // A first line that holds an address is data, whatever words it has.
            const bool datos =
                std::any_of(campos_.begin(), campos_.begin() + static_cast<std::ptrdiff_t>(n),
                            [](const std::string& c) { return esDireccion(c); });
            for (std::size_t i = 0; i < n && !datos; ++i) {
                if (esColumnaCorreo(campos_[i])) {
                    columnas_.push_back(i);
                }
            }
            // With a header, its names are no addresses; without one, the first record is data.
            if (!columnas_.empty()) {
                return;
            }
        }
        if (columnas_.empty()) {
            // No address holds "," ";" or a tab: lines written with another separator than
            // the first one's still give theirs.
            for (std::size_t i = 0; i < n; ++i) {
                std::string_view v = campos_[i];
                for (std::size_t corte = v.find_first_of(",;\t"); corte != std::string_view::npos;
                     corte = v.find_first_of(",;\t")) {
                    direcciones_.ofrecer(v.substr(0, corte));
                    v.remove_prefix(corte + 1);
                }
                direcciones_.ofrecer(v);
            }
            return;
        }
        for (const std::size_t i : columnas_) {
            if (i >= n) {
                break;
            }
            std::string_view v = campos_[i];
            for (std::size_t corte = v.find(kVarios); corte != std::string_view::npos;
                 corte = v.find(kVarios)) {
                direcciones_.ofrecer(v.substr(0, corte));
                v.remove_prefix(corte + kVarios.size());
            }
            direcciones_.ofrecer(v);
        }
    }

    Direcciones& direcciones_;
    char separador_;
    bool decidido_ = false;
    bool primero_ = true;
    bool comillas_ = false;
    bool recienCerradas_ = false;
    std::vector<std::string> campos_;
    std::size_t numero_ = 0;  // the field being filled
    std::vector<std::size_t> columnas_;
};

}  // namespace

std::unique_ptr<Lector> crearLectorCsv(Direcciones& direcciones, char separadorPreferido) {
    return std::make_unique<LectorCsv>(direcciones, separadorPreferido);
}

}  // namespace tralmix::formatos
