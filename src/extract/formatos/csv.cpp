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

// Calls cada with each part of v between the separators sep (a text) or, when sep is empty, any
// of "," ";" and TAB.
template <typename Cada>
void enPartes(std::string_view v, std::string_view sep, Cada&& cada) {
    const std::size_t largo = sep.empty() ? 1 : sep.size();
    for (std::size_t corte = sep.empty() ? v.find_first_of(",;\t") : v.find(sep);
         corte != std::string_view::npos;
         corte = sep.empty() ? v.find_first_of(",;\t") : v.find(sep)) {
        cada(v.substr(0, corte));
        v.remove_prefix(corte + largo);
    }
    cada(v);
}

// RFC 4180 records, a line at a time: quoted fields may hold separators, doubled quotes and line
// breaks. A quote opens a quoted field only where the field begins; elsewhere it is a character
// like any other (Joe 5" Smith), as spreadsheets read it. The separator is the one of "," ";" and
// TAB the first line holds most of outside quotes. Each field is dealt with as it ends, and only
// the fields that can give an address are kept meanwhile, one at a time.
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
            columna_ = 0;
            empezarCampo();
        } else if (guardar_) {
            campo_ += '\n';
        }
        for (const char c : l) {
            if (comillas_) {
                if (c == '"') {
                    comillas_ = false;
                    recienCerradas_ = true;
                } else if (guardar_) {
                    campo_ += c;
                }
                continue;
            }
            if (c == '"' && (recienCerradas_ || inicioCampo_)) {
                // A doubled quote inside a quoted field; a quote that opens a field.
                if (recienCerradas_ && guardar_) {
                    campo_ += '"';
                }
                comillas_ = true;
                recienCerradas_ = inicioCampo_ = false;
                continue;
            }
            recienCerradas_ = inicioCampo_ = false;
            if (c == separador_) {
                terminarCampo();
                ++numero_;
                empezarCampo();
            } else if (guardar_) {
                campo_ += c;
            }
        }
        recienCerradas_ = false;
        if (!comillas_) {
            terminarRegistro();
        }
    }

    void fin() override {
        if (comillas_) {
            comillas_ = false;
            terminarRegistro();
        }
    }

  private:
    void decidir(std::string_view l) {
        decidido_ = true;
        std::size_t cuenta[3] = {0, 0, 0};
        constexpr char kCandidatos[3] = {',', ';', '\t'};
        bool dentro = false;
        bool inicio = true;
        for (std::size_t i = 0; i < l.size(); ++i) {
            const char c = l[i];
            if (dentro) {
                if (c == '"' && i + 1 < l.size() && l[i + 1] == '"') {
                    ++i;
                } else if (c == '"') {
                    dentro = false;
                }
                continue;
            }
            if (c == '"' && inicio) {
                dentro = true;
                inicio = false;
                continue;
            }
            inicio = false;
            for (int k = 0; k < 3; ++k) {
                if (c == kCandidatos[k]) {
                    ++cuenta[k];
                    inicio = true;
                }
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

    void empezarCampo() {
        inicioCampo_ = true;
        campo_.clear();
        // With e-mail columns known, only theirs; before that, or without them, every field.
        guardar_ = primero_ || columnas_.empty() ||
                   (columna_ < columnas_.size() && columnas_[columna_] == numero_);
    }

    void terminarCampo() {
        if (primero_) {
            // Until the first record ends it is not known whether it is a header or data.
            datos_ = datos_ || esDireccion(campo_);
            if (esColumnaCorreo(campo_)) {
                columnas_.push_back(numero_);
            }
            enPartes(campo_, {}, [&](std::string_view v) {
                if (esDireccion(v)) {
                    pendientes_.emplace_back(v);
                }
            });
        } else if (columnas_.empty()) {
            // No address holds "," ";" or a tab: lines written with another separator than
            // the first one's still give theirs.
            enPartes(campo_, {}, [&](std::string_view v) { direcciones_.ofrecer(v); });
        } else if (guardar_) {
            enPartes(campo_, kVarios, [&](std::string_view v) { direcciones_.ofrecer(v); });
            ++columna_;
        }
    }

    void terminarRegistro() {
        terminarCampo();
        if (!primero_) {
            return;
        }
        primero_ = false;
        // A first line that holds an address is data, whatever words it has; with a header, its
        // names are no addresses.
        if (datos_ || columnas_.empty()) {
            columnas_.clear();
            for (const std::string& v : pendientes_) {
                direcciones_.ofrecer(v);
            }
        }
        pendientes_ = {};
    }

    Direcciones& direcciones_;
    char separador_;
    bool decidido_ = false;
    bool primero_ = true;  // the first record, header or data, is being read
    bool datos_ = false;   // one of its fields is an address
    bool comillas_ = false;
    bool recienCerradas_ = false;
    bool inicioCampo_ = true;  // nothing of the field yet: a quote would open it
    bool guardar_ = true;      // the field is one that is read
    std::string campo_;
    std::size_t numero_ = 0;   // the field being filled
    std::size_t columna_ = 0;  // the next of columnas_ to come in this record
    std::vector<std::size_t> columnas_;
    std::vector<std::string> pendientes_;  // the first record's addresses, if it is data
};

}  // namespace

std::unique_ptr<Lector> crearLectorCsv(Direcciones& direcciones, char separadorPreferido) {
    return std::make_unique<LectorCsv>(direcciones, separadorPreferido);
}

}  // namespace tralmix::formatos
