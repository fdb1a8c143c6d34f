#include <string>

#include "extract/formatos/formatos.h"
#include "util/ascii.h"

namespace tralmix::formatos {
namespace {

// "attr: value", "attr:: base64" or "attr:< url", folded lines going on after one space. Only
// mail and mozillaSecondEmail are addresses; dn and member values name entries, not mailboxes.
class LectorLdif final : public Lector {
  public:
    explicit LectorLdif(Direcciones& direcciones) : direcciones_(direcciones) {}

    void linea(std::string_view l) override {
        if (logica_.continua(l)) {
            logica_.agregar(l.substr(1));
            return;
        }
        terminarLinea();
        logica_.empezar(l);
    }

    void fin() override { terminarLinea(); }

  private:
    void terminarLinea() {
        if (!logica_.terminar()) {
            return;
        }
        const std::string_view l = logica_.texto();
        const std::size_t dos = l.find(':');
        if (l.empty() || l.front() == '#' || dos == std::string_view::npos) {
            return;
        }
        std::string_view nombre = l.substr(0, dos);
        nombre = nombre.substr(0, nombre.find(';'));  // options such as ";lang-es"
        if (!texto::igualesSinMayusculas(nombre, "mail") &&
            !texto::igualesSinMayusculas(nombre, "mozillaSecondEmail")) {
            return;
        }
        const std::string_view valor = l.substr(dos + 1);
        if (valor.starts_with(':')) {
            direcciones_.ofrecer(desdeBase64(valor.substr(1)));
        } else if (!valor.starts_with('<')) {
            direcciones_.ofrecer(valor);
        }
    }

    Direcciones& direcciones_;
    texto::LineaPlegada logica_{false};
};

}  // namespace

std::unique_ptr<Lector> crearLectorLdif(Direcciones& direcciones) {
    return std::make_unique<LectorLdif>(direcciones);
}

}  // namespace tralmix::formatos
