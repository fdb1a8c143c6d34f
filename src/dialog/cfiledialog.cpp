#include "dialog/cfiledialog.h"

#include <algorithm>
#include <limits>
#include <string>

#include "util/cadenas.h"

namespace tralmix {

namespace {

std::u16string numeroTexto(int numero) {
    std::u16string texto;
    for (char c : std::to_string(numero)) {
        texto.push_back(static_cast<char16_t>(c));
    }
    return texto;
}

// The value padded with NULs to the buffer's length; a value that leaves no room is refused,
// since the chooser would otherwise see a cut name.
std::u16string buferDe(const std::u16string& valor, std::u16string_view propiedad) {
    if (valor.size() > kLargoBufer) {
        throw ErrorDialogo{kErrorArgumento,
                           std::u16string(propiedad) + u" supera los 260 caracteres del búfer"};
    }
    std::u16string bufer = valor;
    bufer.resize(kLargoBufer, u'\0');
    return bufer;
}

}  // namespace

const std::u16string& CFileDialog::InitialDir() const {
    static const std::u16string vacio;
    return InitialDir_ ? *InitialDir_ : vacio;
}

std::u16string CFileDialog::convertirFiltro(std::u16string_view filtro) {
    // The position counter of the walk is a signed 16-bit number.
    if (filtro.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
        throw ErrorDialogo{kErrorDesbordamiento, u"Desbordamiento: el filtro es demasiado largo"};
    }
    std::u16string convertido;
    convertido.reserve(filtro.size() + 2);
    for (char16_t c : filtro) {
        convertido.push_back(c == u'|' ? u'\0' : c);
    }
    convertido.append(2, u'\0');
    return convertido;
}

RegistroLlamada CFileDialog::registro() const {
    RegistroLlamada r;
    r.lpstrTitle = DialogTitle_;
    r.Flags = Flags_;
    r.lpstrDefExt = DefaultExt_;
    r.lStructSize = kTamanoRegistro;
    r.nFilterIndex = FilterIndex_;
    r.lpstrFilter = convertirFiltro(Filter_);
    r.lpstrFile = buferDe(Filename_, u"Filename");
    r.nMaxFile = static_cast<std::uint32_t>(kLargoBufer);
    r.lpstrFileTitle = buferDe(FileTitle_, u"FileTitle");
    r.nMaxFileTitle = static_cast<std::uint32_t>(kLargoBufer);
    r.lpstrInitialDir = InitialDir_;
    r.hwndOwner = hWndParent_;
    if (varios_) {
        // The proposed name keeps its limit; the room beyond it is for the chosen names.
        r.Flags |= kOfnVarios | kOfnExplorador;
        r.lpstrFile.resize(kLargoBuferVarios, u'\0');
        r.nMaxFile = static_cast<std::uint32_t>(kLargoBuferVarios);
    }
    return r;
}

bool CFileDialog::Show(bool fOpen) {
    try {
        RegistroLlamada r = registro();
        if (!selector_.mostrar(r, fOpen)) {
            return false;
        }
        if (varios_) {
            Filenames_ = rutasElegidas(r.lpstrFile);
            if (Filenames_.empty()) {
                return false;  // a confirmed dialog that named nothing
            }
            Filename_ = Filenames_.front();
        } else {
            Filename_ = StripNulls(r.lpstrFile);
            Filenames_ = {Filename_};
        }
        FileTitle_ = StripNulls(r.lpstrFileTitle);
        return true;
    } catch (const ErrorDialogo& error) {
        aviso_.mostrar(u"Error: " + numeroTexto(error.numero) + u". " + error.descripcion,
                       u" Norvath");
        return false;
    }
}

std::u16string CFileDialog::StripNulls(std::u16string_view texto) {
    return std::u16string(texto.substr(0, texto.find(u'\0')));
}

std::vector<ParFiltro> paresFiltro(std::u16string_view filtroConvertido) {
    std::vector<ParFiltro> pares;
    std::size_t pos = 0;
    while (pos < filtroConvertido.size()) {
        const std::size_t finDescripcion = filtroConvertido.find(u'\0', pos);
        if (finDescripcion == pos || finDescripcion == std::u16string_view::npos) {
            break;  // the closing NUL, or text that was never ended
        }
        const std::size_t inicioPatron = finDescripcion + 1;
        const std::size_t finPatron = filtroConvertido.find(u'\0', inicioPatron);
        if (finPatron == inicioPatron || finPatron == std::u16string_view::npos) {
            break;
        }
        pares.push_back(
            {std::u16string(filtroConvertido.substr(pos, finDescripcion - pos)),
             std::u16string(filtroConvertido.substr(inicioPatron, finPatron - inicioPatron))});
        pos = finPatron + 1;
    }
    return pares;
}

std::vector<std::u16string> rutasElegidas(std::u16string_view respuesta) {
    std::vector<std::u16string> partes;
    std::size_t pos = 0;
    while (pos < respuesta.size() && respuesta[pos] != u'\0') {
        const std::size_t fin = std::min(respuesta.find(u'\0', pos), respuesta.size());
        partes.emplace_back(respuesta.substr(pos, fin - pos));
        pos = fin + 1;
    }
    if (partes.size() < 2) {
        return partes;
    }
    // The folder in its own way of writing paths; a drive's or the system's root ends in one.
    std::u16string carpeta = std::move(partes.front());
    if (carpeta.back() != u'\\' && carpeta.back() != u'/') {
        const bool barras = carpeta.find(u'/') != std::u16string::npos;
        const bool inversas = carpeta.find(u'\\') != std::u16string::npos;
        carpeta += barras == inversas ? kSeparador : barras ? u'/' : u'\\';
    }
    std::vector<std::u16string> rutas;
    rutas.reserve(partes.size() - 1);
    for (std::size_t i = 1; i < partes.size(); ++i) {
        rutas.push_back(carpeta + partes[i]);
    }
    return rutas;
}

RespuestaDialogo mostrarDialogo(SelectorArchivos& selector, AvisoError& aviso,
                                const AjustesDialogo& ajustes) {
    CFileDialog dialogo(selector, aviso);
    dialogo.InitialDir(ajustes.initialDir);
    dialogo.DialogTitle(ajustes.dialogTitle);
    dialogo.Filter(ajustes.filter);
    dialogo.FilterIndex(ajustes.filterIndex);
    dialogo.Flags(ajustes.flags);
    dialogo.hWndParent(ajustes.hWndParent);
    dialogo.Varios(ajustes.varios);
    RespuestaDialogo respuesta;
    respuesta.elegido = dialogo.Show(ajustes.abrir);
    if (respuesta.elegido) {
        respuesta.ruta = dialogo.Filename();
        if (ajustes.varios) {
            respuesta.rutas = dialogo.Filenames();
        }
    }
    return respuesta;
}

}  // namespace tralmix
