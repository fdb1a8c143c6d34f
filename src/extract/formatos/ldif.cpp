#include <string>

#include "extract/formatos/formatos.h"

namespace tralmix::formatos {
namespace {

bool igualesSinMayusculas(std::string_view a, std::string_view minusculas) {
    if (a.size() != minusculas.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != minusculas[i]) {
            return false;
        }
    }
    return true;
}

// "attr: value", "attr:: base64" or "attr:< url", folded lines going on after one space. Only
// mail and mozillaSecondEmail are addresses; dn and member values name entries, not mailboxes.
class LectorLdif final : public Lector {
  public:
    explicit LectorLdif(Direcciones& direcciones) : direcciones_(direcciones) {}

    void linea(std::string_view l) override {
        if (!l.empty() && l.front() == ' ' && hay_) {
            logica_.append(l.substr(1));
            return;
        }
        terminarLinea();
        logica_.assign(l);
        hay_ = true;
    }

    void fin() override { terminarLinea(); }

  private:
    void terminarLinea() {
        if (!hay_) {
            return;
        }
        hay_ = false;
        const std::string_view l = logica_;
        const std::size_t dos = l.find(':');
        if (l.empty() || l.front() == '#' || dos == std::string_view::npos) {
            return;
        }
        std::string_view nombre = l.substr(0, dos);
        nombre = nombre.substr(0, nombre.find(';'));  // options such as ";lang-es"
        if (!igualesSinMayusculas(nombre, "mail") &&
            !igualesSinMayusculas(nombre, "mozillasecondemail")) {
            return;
        }
        std::string_view valor = l.substr(dos + 1);
        if (valor.starts_with(':')) {
            const std::string decodificado = desdeBase64(valor.substr(1));
            direcciones_.ofrecer(decodificado);
        } else if (!valor.starts_with('<')) {
            direcciones_.ofrecer(valor);
        }
    }

    Direcciones& direcciones_;
    std::string logica_;
    bool hay_ = false;
};

}  // namespace

std::unique_ptr<Lector> crearLectorLdif(Direcciones& direcciones) {
    return std::make_unique<LectorLdif>(direcciones);
}

}  // namespace tralmix::formatos
