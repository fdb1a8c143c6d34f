#include <array>
#include <string>

#include "extract/formatos/formatos.h"
#include "util/ascii.h"

namespace tralmix::formatos {
namespace {

// The headers that name people; never trace or id headers (Received, Message-ID, References…),
// whose addresses are machines' and ids.
constexpr std::array<std::string_view, 6> kCabeceras{"from", "sender", "reply-to",
                                                     "to",   "cc",     "bcc"};

bool cabeceraDePersonas(std::string_view nombre) {
    if (nombre.size() > 7 && texto::empiezaSinMayusculas(nombre, "resent-")) {
        nombre.remove_prefix(7);
    }
    for (const std::string_view c : kCabeceras) {
        if (texto::igualesSinMayusculas(nombre, c)) {
            return true;
        }
    }
    return false;
}

// "Name: value", the name without blanks or controls.
bool esCabecera(std::string_view l) {
    const std::size_t dos = l.find(':');
    if (dos == 0 || dos == std::string_view::npos) {
        return false;
    }
    for (const char c : l.substr(0, dos)) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

// Messages' headers, unfolded; bodies are passed over. In an mbox a message begins at a line
// that looks like an envelope ("From sender date"): at the start or after an empty line, or
// else when a header follows it (some programs write no empty line between messages). A body's
// own "From " lines are written ">From " or are no such lines, so only headers' lines are ever
// parsed and the body's escapes need no undoing.
class LectorCorreo final : public Lector {
  public:
    LectorCorreo(Direcciones& direcciones, bool mbox) : mbox_(mbox), lista_(direcciones) {}

    void linea(std::string_view l) override {
        const bool trasVacia = vacia_;
        vacia_ = l.empty();
        if (enCuerpo_) {
            // A saved message's body is never read; an mbox's ends at the next message.
            const bool trasSobre = posibleSobre_;
            posibleSobre_ = false;
            if (!mbox_) {
                return;
            }
            if (trasSobre && esCabecera(l)) {
                enCuerpo_ = false;
            } else {
                if (l.starts_with("From ") && pareceSobre(l)) {
                    enCuerpo_ = !trasVacia;
                    posibleSobre_ = !trasVacia;
                    primera_ = false;
                }
                return;
            }
        }
        if (primera_) {
            primera_ = false;
            if (l.starts_with("From ") && pareceSobre(l)) {
                return;  // the envelope line, in an mbox or a saved message alike
            }
        }
        if (!l.empty() && texto::esBlanco(l.front())) {
            if (tomando_) {
                lista_.agregar(l);
            }
            return;
        }
        terminarCabecera();
        if (l.empty()) {
            enCuerpo_ = true;
            return;
        }
        const std::size_t dos = l.find(':');
        if (dos == std::string_view::npos) {
            return;
        }
        if (cabeceraDePersonas(texto::sinBlancos(l.substr(0, dos)))) {
            tomando_ = true;
            lista_.agregar(l.substr(dos + 1));
        }
    }

    void fin() override { terminarCabecera(); }

  private:
    void terminarCabecera() {
        if (tomando_) {
            tomando_ = false;
            lista_.terminar();
        }
    }

    bool mbox_;
    bool enCuerpo_ = false;
    bool primera_ = true;
    bool vacia_ = true;          // the line before was empty, or there was none
    bool posibleSobre_ = false;  // the body line before looked like an envelope
    bool tomando_ = false;       // the header being read is one of kCabeceras
    ListaDeDirecciones lista_;
};

}  // namespace

std::unique_ptr<Lector> crearLectorCorreo(Direcciones& direcciones, bool mbox) {
    return std::make_unique<LectorCorreo>(direcciones, mbox);
}

}  // namespace tralmix::formatos
