#include <string>

#include "extract/formatos/formatos.h"
#include "util/texto.h"

namespace tralmix::formatos {
namespace {

bool igualesAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        if (x >= 'a' && x <= 'z') {
            x = static_cast<char>(x - 'a' + 'A');
        }
        if (x != b[i]) {
            return false;
        }
    }
    return true;
}

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

// NAME;PARAM;PARAM=VALUE:value, the name perhaps after "group.".
bool partir(std::string_view linea, Propiedad& p) {
    const std::size_t dos = fueraDeComillas(linea, ':');
    if (dos == std::string_view::npos) {
        return false;
    }
    p.valor = linea.substr(dos + 1);
    const std::string_view cabeza = linea.substr(0, dos);
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
        if (igualesAscii(parametro, "CHARSET")) {
            p.charset = valor;
        } else if (igualesAscii(valor, "QUOTED-PRINTABLE")) {
            p.quotedPrintable = true;
        } else if (igualesAscii(parametro, "ENCODING") &&
                   (igualesAscii(valor, "B") || igualesAscii(valor, "BASE64"))) {
            p.base64 = true;
        }
    }
    return true;
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
    return charset.empty() || igualesAscii(charset, "ISO-8859-1") ||
           igualesAscii(charset, "WINDOWS-1252") || igualesAscii(charset, "CP1252") ||
           igualesAscii(charset, "US-ASCII");
}

class LectorVcard final : public Lector {
  public:
    explicit LectorVcard(Direcciones& direcciones) : direcciones_(direcciones) {}

    void linea(std::string_view l) override {
        // Folding: a line that begins with a space or tab goes on the line before, without it.
        if (!l.empty() && (l.front() == ' ' || l.front() == '\t') && hay_) {
            logica_.append(l.substr(1));
            return;
        }
        // vCard 2.1 quoted-printable values break lines with a final "=" instead.
        if (hay_ && logica_.ends_with('=') && quotedPrintable()) {
            logica_.pop_back();
            logica_.append(l);
            return;
        }
        terminarLinea();
        logica_.assign(l);
        hay_ = true;
    }

    void fin() override { terminarLinea(); }

  private:
    bool quotedPrintable() const {
        Propiedad p;
        return partir(logica_, p) && p.quotedPrintable;
    }

    void terminarLinea() {
        if (!hay_) {
            return;
        }
        hay_ = false;
        Propiedad p;
        if (!partir(logica_, p) || !igualesAscii(p.nombre, "EMAIL")) {
            return;
        }
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
        std::string_view v = valor;
        while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) {
            v.remove_prefix(1);
        }
        if (v.size() >= 7 && igualesAscii(v.substr(0, 7), "MAILTO:")) {
            v.remove_prefix(7);
        }
        direcciones_.ofrecer(v);
    }

    Direcciones& direcciones_;
    std::string logica_;  // the unfolded line so far
    bool hay_ = false;
};

}  // namespace

std::unique_ptr<Lector> crearLectorVcard(Direcciones& direcciones) {
    return std::make_unique<LectorVcard>(direcciones);
}

}  // namespace tralmix::formatos
