#include <array>
#include <string>

#include "extract/formatos/formatos.h"

namespace tralmix::formatos {
namespace {

// The headers that name people; never trace or id headers (Received, Message-ID, References…),
// whose addresses are machines' and ids.
constexpr std::array<std::string_view, 6> kCabeceras{"from", "sender", "reply-to",
                                                     "to",   "cc",     "bcc"};

char minuscula(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool igualesSinMayusculas(std::string_view a, std::string_view minusculas) {
    if (a.size() != minusculas.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (minuscula(a[i]) != minusculas[i]) {
            return false;
        }
    }
    return true;
}

bool cabeceraDePersonas(std::string_view nombre) {
    if (nombre.size() > 7 && igualesSinMayusculas(nombre.substr(0, 7), "resent-")) {
        nombre.remove_prefix(7);
    }
    for (const std::string_view c : kCabeceras) {
        if (igualesSinMayusculas(nombre, c)) {
            return true;
        }
    }
    return false;
}

// Past a comment "( … )" that starts at i, nested ones and "\)" included.
std::size_t trasComentario(std::string_view t, std::size_t i) {
    int hondo = 0;
    for (; i < t.size(); ++i) {
        if (t[i] == '\\') {
            ++i;
        } else if (t[i] == '(') {
            ++hondo;
        } else if (t[i] == ')' && --hondo == 0) {
            return i + 1;
        }
    }
    return t.size();
}

// Past a quoted string that starts at i.
std::size_t trasComillas(std::string_view t, std::size_t i) {
    for (++i; i < t.size(); ++i) {
        if (t[i] == '\\') {
            ++i;
        } else if (t[i] == '"') {
            return i + 1;
        }
    }
    return t.size();
}

// Past an encoded word "=?charset?enc?text?=" that starts at i, or i when there is none.
std::size_t trasPalabraCodificada(std::string_view t, std::size_t i) {
    if (!t.substr(i).starts_with("=?")) {
        return i;
    }
    std::size_t q = i + 2;
    for (int k = 0; k < 2; ++k) {
        q = t.find('?', q);
        if (q == std::string_view::npos) {
            return i;
        }
        ++q;
    }
    const std::size_t fin = t.find("?=", q);
    return fin == std::string_view::npos ? i : fin + 2;
}

bool espacio(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// An address list: mailboxes ("Name <a@b>", "a@b (Name)", "a@b") and groups ("Name: a@b, c@d;")
// separated by commas. Display names, quoted strings (which may hold "," and "@"), comments and
// encoded words are passed over; of a mailbox only what is between "<" and ">" counts, or,
// without brackets, its last word. palabra: that address without brackets, its last word so far;
// angulo: what stands between "<" and ">"; both the caller's, so that a mailbox of many headers
// reuses their memory.
void leerLista(std::string_view t, Direcciones& direcciones, std::string& palabra,
               std::string& angulo) {
    palabra.clear();
    angulo.clear();
    bool enAngulo = false;
    bool conAngulo = false;
    bool separado = false;  // white space since the last character of palabra
    auto terminar = [&] {
        direcciones.ofrecer(conAngulo ? angulo : palabra);
        palabra.clear();
        angulo.clear();
        enAngulo = conAngulo = separado = false;
    };
    for (std::size_t i = 0; i < t.size();) {
        const char c = t[i];
        if (c == '(') {
            i = trasComentario(t, i);
            separado = true;
            continue;
        }
        if (c == '"') {
            const std::size_t fin = trasComillas(t, i);
            // A quoted local part stays with its address; a quoted name is a name.
            if (enAngulo) {
                angulo.append(t.substr(i, fin - i));
            } else {
                palabra.clear();
                separado = true;
            }
            i = fin;
            continue;
        }
        if (const std::size_t fin = trasPalabraCodificada(t, i); fin != i) {
            if (!enAngulo) {
                palabra.clear();
                separado = true;
            }
            i = fin;
            continue;
        }
        ++i;
        if (enAngulo) {
            if (c == '>') {
                enAngulo = false;
            } else if (c == ':') {
                angulo.clear();  // an old source route, "@relay:user@host"
            } else if (!espacio(c)) {
                angulo += c;
            }
            continue;
        }
        switch (c) {
            case '<':
                enAngulo = conAngulo = true;
                angulo.clear();
                break;
            case ',':
            case ';':  // also the end of a group
                terminar();
                break;
            case ':':  // a group's name ends
                palabra.clear();
                conAngulo = separado = false;
                break;
            default:
                if (espacio(c)) {
                    separado = true;
                    break;
                }
                // Words apart make a phrase, whose last word may be the address; "a @ b" and
                // "a . b" stay one.
                if (separado && !palabra.empty() && palabra.back() != '@' &&
                    palabra.back() != '.' && c != '@' && c != '.') {
                    palabra.clear();
                }
                separado = false;
                palabra += c;
        }
    }
    terminar();
}

}  // namespace

void leerListaDeDirecciones(std::string_view t, Direcciones& direcciones) {
    std::string palabra;
    std::string angulo;
    leerLista(t, direcciones, palabra, angulo);
}

namespace {

// Messages' headers, unfolded; bodies are passed over. In an mbox every line that begins with
// "From " starts a message (a body's own such lines are written ">From "), so only headers'
// lines are ever parsed and the body's escapes need no undoing.
class LectorCorreo final : public Lector {
  public:
    LectorCorreo(Direcciones& direcciones, bool mbox) : direcciones_(direcciones), mbox_(mbox) {}

    void linea(std::string_view l) override {
        const bool separador = l.starts_with("From ");
        if (enCuerpo_) {
            // A saved message's body is never read; an mbox's ends at the next "From " line.
            if (mbox_ && separador) {
                enCuerpo_ = false;
                primera_ = true;
            }
            return;
        }
        if (primera_) {
            primera_ = false;
            if (separador) {
                return;  // the envelope line, in an mbox or a saved message alike
            }
        }
        if (!l.empty() && (l.front() == ' ' || l.front() == '\t')) {
            if (tomando_) {
                cabecera_.append(l);
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
        std::string_view nombre = l.substr(0, dos);
        while (!nombre.empty() && (nombre.back() == ' ' || nombre.back() == '\t')) {
            nombre.remove_suffix(1);
        }
        if (cabeceraDePersonas(nombre)) {
            tomando_ = true;
            cabecera_.assign(l.substr(dos + 1));
        }
    }

    void fin() override { terminarCabecera(); }

  private:
    void terminarCabecera() {
        if (tomando_) {
            tomando_ = false;
            leerLista(cabecera_, direcciones_, palabra_, angulo_);
        }
    }

    Direcciones& direcciones_;
    bool mbox_;
    bool enCuerpo_ = false;
    bool primera_ = true;
    bool tomando_ = false;  // the header being unfolded is one of kCabeceras
    std::string cabecera_;
    std::string palabra_;
    std::string angulo_;
};

}  // namespace

std::unique_ptr<Lector> crearLectorCorreo(Direcciones& direcciones, bool mbox) {
    return std::make_unique<LectorCorreo>(direcciones, mbox);
}

}  // namespace tralmix::formatos
