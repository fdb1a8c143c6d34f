#include "extract/entrada.h"

#include <cstring>

#include <cerrno>

#include "extract/mensajes.h"
#include "util/afinado.h"
#include "util/texto.h"

namespace tralmix {

archivos::Fallo LectorTexto::abrir(std::u16string_view ruta) {
    lleno_ = 0;
    dado_ = 0;
    consumidos_ = 0;
    finArchivo_ = false;
    primera_ = true;
    parte_ = false;
    entero_ = false;
    std::string().swap(texto_);
    enTexto_ = 0;
    posicion_ = 0;
    desde_ = 0;
    auto fallo = lector_.abrir(ruta);
    hasta_ = lector_.tamano();
    return fallo;
}

archivos::Fallo LectorTexto::acotar(std::uint64_t desde, std::uint64_t hasta) {
    primera_ = desde == 0;  // only the first part can begin with a byte-order mark
    parte_ = true;
    desde_ = desde;
    hasta_ = std::min(hasta, lector_.tamano());
    posicion_ = desde;
    return lector_.irA(desde);
}

std::uint64_t LectorTexto::leidos() const {
    if (!entero_) {
        return consumidos_;
    }
    return texto_.empty() ? tamano()
                          : static_cast<std::uint64_t>(static_cast<double>(tamano()) *
                                                       static_cast<double>(enTexto_) /
                                                       static_cast<double>(texto_.size()));
}

archivos::Fallo LectorTexto::leerHastaLlenar() {
    while (!finArchivo_ && lleno_ < bufer_.size()) {
        // A part ends where the next one begins; a whole file where the reads end.
        std::size_t pedir = bufer_.size() - lleno_;
        if (parte_) {
            pedir = static_cast<std::size_t>(std::min<std::uint64_t>(pedir, hasta_ - posicion_));
        }
        std::size_t n = 0;
        if (pedir > 0) {
            if (auto fallo = lector_.leer(bufer_.data() + lleno_, pedir, n)) {
                return fallo;
            }
        }
        finArchivo_ = n == 0;
        lleno_ += n;
        posicion_ += n;
    }
    return {};
}

// Just after the last line end of the buffer, never between the CR and the LF of one line end;
// 0 when there is none.
std::size_t LectorTexto::corteEntreLineas() const {
    for (std::size_t q = lleno_; q > 0; --q) {
        const char c = bufer_[q - 1];
        if (c == '\n' || (c == '\r' && (q < lleno_ || finArchivo_))) {
            return q;
        }
    }
    return 0;
}

archivos::Fallo LectorTexto::decodificarEntero(bool ancho) {
    // Windows-1252 may triple in UTF-8: too large a file is refused before its text is written.
    if (!ancho && lector_.tamano() > archivos::kTamanoMaximo1252) {
        return {EFBIG, std::u16string(kDemasiadoGrande)};
    }
    if (auto fallo = lector_.irA(0)) {
        return fallo;
    }
    std::string bytes;
    if (auto fallo = archivos::leerResto(lector_, bytes)) {
        return fallo;
    }
    std::string().swap(bufer_);
    try {
        texto_ = texto::decodificarUtf8(std::move(bytes));
    } catch (const texto::FalloConversion&) {
        return {EILSEQ, std::u16string(kSinConversion)};
    }
    enTexto_ = 0;
    entero_ = true;
    return {};
}

archivos::Fallo LectorTexto::siguiente(Paso& paso, std::string_view& pieza) {
    pieza = {};
    if (entero_) {
        if (enTexto_ >= texto_.size()) {
            paso = Paso::Fin;
            return {};
        }
        // Pieces of the decoded text, cut after a line end as they are from the file.
        std::size_t corte = std::min(texto_.size(), enTexto_ + afinado::kTrozo);
        while (corte < texto_.size() && texto_[corte - 1] != '\n' &&
               !(texto_[corte - 1] == '\r' && texto_[corte] != '\n')) {
            ++corte;
        }
        pieza = std::string_view(texto_).substr(enTexto_, corte - enTexto_);
        enTexto_ = corte;
        paso = Paso::Pieza;
        return {};
    }
    // What the last piece gave goes; what followed it moves to the front.
    if (dado_ > 0) {
        std::memmove(bufer_.data(), bufer_.data() + dado_, lleno_ - dado_);
        lleno_ -= dado_;
        dado_ = 0;
    }
    if (bufer_.empty()) {
        bufer_.resize(afinado::trozoPara(lector_.tamano()));
    }
    std::size_t corte = 0;
    std::size_t inicio = 0;
    for (;;) {
        if (auto fallo = leerHastaLlenar()) {
            return fallo;
        }
        // Four bytes tell every mark apart (a UTF-32 one begins as a UTF-16 one does).
        if (primera_ && (lleno_ >= 4 || finArchivo_)) {
            primera_ = false;
            const texto::Marca marca = texto::marcaDeOrden(std::string_view(bufer_.data(), lleno_));
            if (texto::esAncha(marca)) {
                if (auto fallo = decodificarEntero(true)) {
                    return fallo;
                }
                return siguiente(paso, pieza);
            }
            if (marca == texto::Marca::Utf8) {
                inicio = 3;
            }
        }
        corte = finArchivo_ ? lleno_ : corteEntreLineas();
        if (corte > 0 || lleno_ == 0) {
            break;
        }
        bufer_.resize(bufer_.size() * 2);  // a line longer than the buffer
    }
    if (lleno_ == 0 || corte <= inicio) {
        consumidos_ += corte;
        dado_ = corte;
        paso = lleno_ == 0 ? Paso::Fin : Paso::Pieza;
        if (paso == Paso::Pieza && corte == lleno_ && finArchivo_) {
            paso = Paso::Fin;  // nothing but a byte-order mark
        }
        return {};
    }
    const std::string_view lineas(bufer_.data() + inicio, corte - inicio);
    if (!texto::esUtf8(lineas)) {
        if (parte_) {
            return {EILSEQ, std::u16string(kCambiado)};
        }
        if (auto fallo = decodificarEntero(false)) {
            return fallo;
        }
        paso = Paso::DeNuevo;
        return {};
    }
    consumidos_ += corte;
    dado_ = corte;
    pieza = lineas;
    paso = Paso::Pieza;
    return {};
}

}  // namespace tralmix
