// The bulk path's words and duplicate pass against the literal table on the whole text: same
// words, same order, same blanks; and the text cut after any line end gives the same words.

#include <cstddef>
#include <cstdint>

#include "comun.h"
#include "extract/cubo.h"
#include "extract/palabras.h"
#include "extract/repetidos.h"
#include "referencia/literal.h"
#include "util/texto.h"

using namespace tralmix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::string bytes(reinterpret_cast<const char*>(datos), n);
    const std::string texto = texto::decodificarUtf8(bytes);
    const std::u16string ancho = texto::desdeUtf8OReemplazo(texto);
    std::u16string mensajes;
    for (const std::u16string_view linea : literal::lineasDeEntrada(ancho)) {
        mensajes += std::u16string(linea) + u"\r\n";
    }
    literal::Lineas esperado = literal::extraerDirecciones(mensajes);
    Arreglo obtenido;
    extraerDirecciones(texto, obtenido);
    fuzz::exigir(literal::comoLineas(obtenido) == esperado, "the words are the table's words");

    const std::size_t corte = texto.find('\n', texto.size() / 2);
    if (corte != std::string::npos) {
        Arreglo partes;
        extraerDirecciones(std::string_view(texto).substr(0, corte + 1), partes);
        extraerDirecciones(std::string_view(texto).substr(corte + 1), partes);
        fuzz::exigir(partes == obtenido, "pieces cut after a line end give the same words");
    }

    for (std::size_t i = 0; i < obtenido.size(); ++i) {
        fuzz::exigir(obtenido[i].find(' ') == std::string_view::npos, "no word holds a space");
    }
    const literal::Lineas encontradas = esperado;
    literal::quitarRepetidos(esperado);
    literal::Cubo(esperado, true);
    const Arreglo copiaObtenida = obtenido;
    Cubo(obtenido, true);
    quitarRepetidos(obtenido);
    fuzz::exigir(literal::comoLineas(obtenido) == esperado, "sorted, each address once");
    fuzz::exigir(literal::comoLineas(copiaObtenida) == encontradas,
                 "the copy is the words as found");
    return 0;
}
