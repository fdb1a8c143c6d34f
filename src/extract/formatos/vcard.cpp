#include <string>

#include "extract/formatos/formatos.h"
#include "util/ascii.h"
#include "util/texto.h"

namespace tralmix::formatos {
namespace {

// The first c outside double quotes (parameter values may quote ":" and ";").
std::size_t fueraDeComillas(std::string_view t, char c, std::size_t desde = 0) {
    bool comillas = false;
    for (std::size_t i = desde; i < t.size(); ++i) {
        if (t[i] == '"') {
            comillas = !comillas;
        } else if (t[i] == c && !comillas) {
            return i;
        }
    }
    return std::string_view::npos;
}

struct Propiedad {
    std::string_view nombre;  // without its group prefix
    bool quotedPrintable = false;
    bool base64 = false;
    std::string_view charset;
    std::string_view valor;
};

// The head NAME;PARAM;PARAM=VALUE of a property, the name perhaps after "group.".
Propiedad partirCabeza(std::string_view cabeza) {
    Propiedad p;
    std::size_t fin = fueraDeComillas(cabeza, ';');
    std::string_view nombre = cabeza.substr(0, fin);
    if (const std::size_t punto = nombre.rfind('.'); punto != std::string_view::npos) {
        nombre.remove_prefix(punto + 1);
    }
    p.nombre = nombre;
    while (fin != std::string_view::npos) {
        const std::size_t inicio = fin + 1;
        fin = fueraDeComillas(cabeza, ';', inicio);
        std::string_view parametro =
            cabeza.substr(inicio, fin == std::string_view::npos ? fin : fin - inicio);
        std::string_view valor = parametro;
        if (const std::size_t igual = parametro.find('='); igual != std::string_view::npos) {
            valor = parametro.substr(igual + 1);
            parametro = parametro.substr(0, igual);
        }
        if (valor.size() >= 2 && valor.front() == '"' && valor.back() == '"') {
            valor = valor.substr(1, valor.size() - 2);
        }
        if (texto::igualesSinMayusculas(parametro, "CHARSET")) {
            p.charset = valor;
        } else if (texto::igualesSinMayusculas(valor, "QUOTED-PRINTABLE")) {
            p.quotedPrintable = true;
        } else if (texto::igualesSinMayusculas(parametro, "ENCODING") &&
                   (texto::igualesSinMayusculas(valor, "B") ||
                    texto::igualesSinMayusculas(valor, "BASE64"))) {
            p.base64 = true;
        }
    }
    return p;
}

// vCard 3 and 4 escape "," ";" and "\" in values.
std::string sinEscapes(std::string_view t) {
    std::string salida;
    salida.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\\' && i + 1 < t.size()) {
            ++i;
            salida += t[i] == 'n' || t[i] == 'N' ? '\n' : t[i];
        } else {
            salida += t[i];
        }
    }
    return salida;
}

bool esLatin1(std::string_view charset) {
    return charset.empty() || texto::igualesSinMayusculas(charset, "ISO-8859-1") ||
           texto::igualesSinMayusculas(charset, "WINDOWS-1252") ||
           texto::igualesSinMayusculas(charset, "CP1252") ||
           texto::igualesSinMayusculas(charset, "US-ASCII");
}

// Properties, one unfolded line each; only EMAIL's values are addresses. The head is read once,
// when its ":" comes, however many lines the value then takes.
class LectorVcard final : public Lector {
  public:
    explicit LectorVcard(Direcciones& direcciones) : direcciones_(direcciones) {}

    void linea(std::string_view l) override {
        // Folding: a line that begins with a space or tab goes on the line before, without it.
        if (logica_.continua(l)) {
            agregar(l.substr(1));
            return;
        }
        // vCard 2.1 quoted-printable values break lines with a final "=" instead.
        if (logica_.hay() && quotedPrintable_ && logica_.texto().ends_with('=')) {
            logica_.texto().pop_back();
            agregar(l);
            return;
        }
        terminarLinea();
        logica_.empezar({});
        dos_ = std::string::npos;
        explorado_ = 0;
        comillas_ = false;
        quotedPrintable_ = false;
        agregar(l);
    }

    void fin() override { terminarLinea(); }

  private:
    // Appends to the logical line and looks for the end of its head in what is new.
    void agregar(std::string_view resto) {
        logica_.agregar(resto);
        const std::string& t = logica_.texto();
        for (; dos_ == std::string::npos && explorado_ < t.size(); ++explorado_) {
            if (t[explorado_] == '"') {
                comillas_ = !comillas_;
            } else if (t[explorado_] == ':' && !comillas_) {
                dos_ = explorado_;
                quotedPrintable_ =
                    partirCabeza(std::string_view(t).substr(0, dos_)).quotedPrintable;
            }
        }
    }

    void terminarLinea() {
        if (!logica_.terminar() || dos_ == std::string::npos) {
            return;
        }
        const std::string_view t = logica_.texto();
        Propiedad p = partirCabeza(t.substr(0, dos_));
        if (!texto::igualesSinMayusculas(p.nombre, "EMAIL")) {
            return;
        }
        p.valor = t.substr(dos_ + 1);
        std::string valor;
        if (p.quotedPrintable || p.base64) {
            valor = p.base64 ? desdeBase64(p.valor) : desdeQuotedPrintable(p.valor);
            if (!texto::esUtf8(valor)) {
                // Only a Latin charset can be decoded without guessing.
                if (!esLatin1(p.charset)) {
                    return;
                }
                valor = texto::decodificarUtf8(std::move(valor));
            }
        } else {
            valor = sinEscapes(p.valor);
        }
        std::string_view v = texto::sinBlancos(valor);
        if (texto::empiezaSinMayusculas(v, "MAILTO:")) {
            v.remove_prefix(7);
        }
        // Some exporters write a name and the address, "Omega" <omega@example.com>: read as a
        // mail header's mailbox. Only such a value: "p\,q@r.s" is no list of two.
        if (!esDireccion(v) && v.find('<') != std::string_view::npos) {
            leerListaDeDirecciones(v, direcciones_);
            return;
        }
        direcciones_.ofrecer(v);
    }

    Direcciones& direcciones_;
    texto::LineaPlegada logica_{true};     // the unfolded line so far
    std::size_t dos_ = std::string::npos;  // the ":" that ends its head
    std::size_t explorado_ = 0;            // how far the head has been looked for
    bool comillas_ = false;                // within quotes there
    bool quotedPrintable_ = false;         // the head says so
};

}  // namespace

std::unique_ptr<Lector> crearLectorVcard(Direcciones& direcciones) {
    return std::make_unique<LectorVcard>(direcciones);
}

}  // namespace tralmix::formatos
