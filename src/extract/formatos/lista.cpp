// The address list of a mail header, read a piece at a time: every character is looked at once
// or, past an "=?" that begins no encoded word, a few times, so a header of any length is read
// in time that grows with it and never held whole.

#include "extract/formatos/formatos.h"

namespace tralmix::formatos {
namespace {

bool espacio(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Past an encoded word "=?charset?enc?text?=" that starts at i, or i when there is none. None of
// its parts holds "?" or white space, so a "=?" never closed ends at the next blank (the
// addresses after it are read) and no search goes past the word's fourth "?". A word never spans
// two pieces: a folded line begins with a blank.
std::size_t trasPalabraCodificada(std::string_view t, std::size_t i) {
    if (i + 1 >= t.size() || t[i] != '=' || t[i + 1] != '?') {
        return i;
    }
    int preguntas = 1;
    for (std::size_t j = i + 2; j < t.size(); ++j) {
        if (espacio(t[j])) {
            return i;
        }
        if (t[j] == '?' && ++preguntas == 4) {
            return j + 1 < t.size() && t[j + 1] == '=' ? j + 2 : i;
        }
    }
    return i;
}

}  // namespace

void ListaDeDirecciones::agregar(std::string_view t) {
    for (std::size_t i = 0; i < t.size();) {
        if (dentro_ == Dentro::Nada) {
            if (const std::size_t fin = trasPalabraCodificada(t, i); fin != i) {
                if (!enAngulo_) {
                    palabra_.clear();
                    separado_ = true;
                }
                i = fin;
                continue;
            }
        }
        caracter(t[i]);
        ++i;
    }
}

void ListaDeDirecciones::caracter(char c) {
    switch (dentro_) {
        case Dentro::Comentario:
            // Nested comments, and "\)" that does not end one.
            if (escape_) {
                escape_ = false;
            } else if (c == '\\') {
                escape_ = true;
            } else if (c == '(') {
                ++hondo_;
            } else if (c == ')' && --hondo_ == 0) {
                dentro_ = Dentro::Nada;
            }
            return;
        case Dentro::Comillas:
            // A quoted local part stays with its address; a quoted name is a name.
            if (enAngulo_) {
                angulo_ += c;
            }
            if (escape_) {
                escape_ = false;
            } else if (c == '\\') {
                escape_ = true;
            } else if (c == '"') {
                dentro_ = Dentro::Nada;
            }
            return;
        case Dentro::Nada:
            break;
    }
    if (c == '(') {
        dentro_ = Dentro::Comentario;
        hondo_ = 1;
        separado_ = true;
        return;
    }
    if (c == '"') {
        dentro_ = Dentro::Comillas;
        if (enAngulo_) {
            angulo_ += c;
        } else {
            palabra_.clear();
            separado_ = true;
        }
        return;
    }
    if (enAngulo_) {
        if (c == '>') {
            enAngulo_ = false;
        } else if (c == ':') {
            angulo_.clear();  // an old source route, "@relay:user@host"
        } else if (!espacio(c)) {
            angulo_ += c;
        }
        return;
    }
    switch (c) {
        case '<':
            enAngulo_ = conAngulo_ = true;
            angulo_.clear();
            break;
        case ',':
        case ';':  // also the end of a group
            direcciones_.ofrecer(conAngulo_ ? angulo_ : palabra_);
            palabra_.clear();
            angulo_.clear();
            enAngulo_ = conAngulo_ = separado_ = false;
            break;
        case ':':  // a group's name ends
            palabra_.clear();
            conAngulo_ = separado_ = false;
            break;
        default:
            if (espacio(c)) {
                separado_ = true;
                break;
            }
            // Words apart make a phrase, whose last word may be the address; "a @ b" and
            // "a . b" stay one.
            if (separado_ && !palabra_.empty() && palabra_.back() != '@' &&
                palabra_.back() != '.' && c != '@' && c != '.') {
                palabra_.clear();
            }
            separado_ = false;
            palabra_ += c;
    }
}

void ListaDeDirecciones::terminar() {
    direcciones_.ofrecer(conAngulo_ ? angulo_ : palabra_);
    palabra_.clear();
    angulo_.clear();
    dentro_ = Dentro::Nada;
    hondo_ = 0;
    escape_ = enAngulo_ = conAngulo_ = separado_ = false;
}

void leerListaDeDirecciones(std::string_view lista, Direcciones& direcciones) {
    ListaDeDirecciones lector(direcciones);
    lector.agregar(lista);
    lector.terminar();
}

}  // namespace tralmix::formatos
