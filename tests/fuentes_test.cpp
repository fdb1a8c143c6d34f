#include "extract/fuentes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include "extract/corredor.h"
#include "extract/informe.h"
#include "extract/proceso.h"
#include "puerto_falso.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix {
namespace {

namespace fs = std::filesystem;

TEST(Exclusion, WordsDomainsAndCase) {
    Exclusion ex;
    EXPECT_EQ(ex.agregarLinea("Ana@X.com, <bob@y.com>; mailto:Carl@Z.com"), 3u);
    EXPECT_EQ(ex.agregarLinea("ana@x.com"), 0u) << "the same address in another case";
    EXPECT_EQ(ex.agregarLinea("@Dominio.es"), 1u);
    EXPECT_EQ(ex.agregarLinea("  *@otro.org\t"), 1u);
    EXPECT_EQ(ex.agregarLinea("jos\xC3\xA9@\xC3\x81RBOL.es o'brien@w.com"), 2u);
    EXPECT_EQ(ex.agregarLinea("sin arroba, x@, @, *@, @a b, @example.com en una frase"), 0u);
    // Only a line of its own names a domain: never what a reading cut out of "k..@example.com".
    EXPECT_EQ(ex.agregarDirecciones("k @example.com *@example.org"), 0u);
    const std::vector<std::pair<const char*, bool>> casos = {
        {"ana@x.com", true},
        {"ANA@x.COM", true},
        {"De  Ana  ana@x.com", true},
        {"\"Ana\" <ana@x.com>", true},
        {"MAILTO:ana@x.com", true},
        {"ana@x.com.", true},
        {"'bob@y.com'", true},
        {"carl@z.com", true},
        {"luis@dominio.es", true},
        {"LUIS@DOMINIO.ES", true},
        {"x@otro.org", true},
        {"JOS\xC3\x89@\xC3\xA1rbol.es", true},
        {"o'brien@w.com", true},
        {"zz@example.com", false},
        {"zz@example.org", false},
        {"luis@sub.dominio.es", false},  // a domain is that domain only
        {"dominio.es@w.com", false},
        {"ana@x.com.ar", false},
        {"ana2@x.com", false},
        {"brien@w.com", false},  // another person: the "'" is part of the address
        {"sin arroba", false},
        {"", false},
    };
    for (const auto& [entrada, excluida] : casos) {
        EXPECT_EQ(ex.excluye(entrada), excluida) << entrada;
    }
    EXPECT_FALSE(Exclusion().excluye("ana@x.com"));
}

// The list is judged many bytes at a time: whatever byte lies wherever in an entry, and however
// long the entry, it is left out exactly when the judge of one entry says so.
TEST(Exclusion, AListIsJudgedAsEachEntryAlone) {
    Exclusion ex;
    std::vector<std::string> nombres;
    for (std::size_t largo = 1; largo <= 36; ++largo) {
        nombres.push_back(std::string(largo, 'a') + "@x.es");
        ex.agregarLinea(nombres.back());
    }
    Arreglo lineas;
    for (const std::string& nombre : nombres) {
        lineas.agregar(nombre);
        for (std::size_t en = 0; en < nombre.size(); ++en) {
            for (const char otro : std::string_view("A ,\"<;[]\x7F\t.-")) {
                std::string cambiado = nombre;
                cambiado[en] = otro;
                lineas.agregar(cambiado);
            }
            lineas.agregar(nombre.substr(0, en) + "\xC3\xA1" + nombre.substr(en));
        }
    }
    std::vector<bool> esperadas;
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        esperadas.push_back(ex.excluye(lineas[i]));
    }
    const Arreglo antes = lineas;
    const auto cuantas =
        static_cast<std::uint64_t>(std::count(esperadas.begin(), esperadas.end(), true));
    ASSERT_GT(cuantas, nombres.size());  // capitals at least, and a full stop at the end
    EXPECT_EQ(ex.aplicar(lineas), cuantas);
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        EXPECT_EQ(lineas[i].empty(), esperadas[i]) << antes[i];
    }
}

// Thousands of texts, grown through many sizes and joined from two sets that overlap.
TEST(Textos, GrowAndJoin) {
    Textos pares;
    Textos tercios;
    for (int i = 0; i < 20000; ++i) {
        const std::string t = "t" + std::to_string(i) + "@x";
        if (i % 2 == 0) {
            EXPECT_TRUE(pares.insertar(t));
            EXPECT_FALSE(pares.insertar(t));
        }
        if (i % 3 == 0) {
            tercios.insertar(t);
        }
    }
    EXPECT_EQ(pares.size(), 10000u);
    pares.unir(std::move(tercios));
    // NOLINTNEXTLINE(bugprone-use-after-move): unir leaves the set it takes empty
    EXPECT_TRUE(tercios.empty());
    EXPECT_EQ(pares.size(), 10000u + 3333u);  // multiples of 3 that are odd
    for (int i = 0; i < 20000; ++i) {
        const std::string t = "t" + std::to_string(i) + "@x";
        EXPECT_EQ(pares.contiene(t), i % 2 == 0 || i % 3 == 0) << t;
    }
    EXPECT_FALSE(pares.contiene(""));
    EXPECT_FALSE(pares.contiene("t1@"));
}

TEST(Informe, Json) {
    Informe informe;
    EXPECT_EQ(informeJson(informe),
              "{\"version\": 1, \"archivos\": [], \"exclusiones\": [], \"encontradas\": 0, "
              "\"repetidas\": 0, \"excluidas\": 0, \"listadas\": 0, \"grupos\": 0, "
              "\"depurada\": false, \"descartadas\": 0, \"corregidas\": 0, \"dudosas\": 0, "
              "\"avisos\": []}\n");
    informe.archivos = {{u"/a/\"raro\"\\v\u00e9\t\x01.txt", "lista", 3},
                        {u"b.vcf", "vcard", 12345678901}};
    informe.exclusiones = {{u"bajas.txt", "mensajes", 2}};
    informe.encontradas = 12345678904;
    informe.repetidas = 1;
    informe.excluidas = 2;
    informe.listadas = 12345678901;
    informe.grupos = 257201644;
    informe.depurada = true;
    informe.descartadas = 4;
    informe.corregidas = 5;
    informe.avisos = {{"a@gmil.con", Motivo::DominioParecido, "gmail.com"},
                      {"info@x.com", Motivo::Rol, ""}};
    EXPECT_EQ(informeJson(informe),
              "{\"version\": 1, \"archivos\": [{\"ruta\": "
              "\"/a/\\\"raro\\\"\\\\v\xC3\xA9\\t\\u0001.txt\", \"formato\": \"lista\", "
              "\"direcciones\": 3}, {\"ruta\": \"b.vcf\", \"formato\": \"vcard\", "
              "\"direcciones\": 12345678901}], \"exclusiones\": [{\"ruta\": \"bajas.txt\", "
              "\"formato\": \"mensajes\", \"direcciones\": 2}], \"encontradas\": 12345678904, "
              "\"repetidas\": 1, \"excluidas\": 2, \"listadas\": 12345678901, \"grupos\": "
              "257201644, \"depurada\": true, \"descartadas\": 4, \"corregidas\": 5, "
              "\"dudosas\": 0, \"avisos\": [{\"direccion\": \"a@gmil.con\", \"motivo\": "
              "\"dominio-parecido\", \"sugerencia\": \"gmail.com\"}, {\"direccion\": "
              "\"info@x.com\", \"motivo\": \"rol\", \"sugerencia\": null}]}\n");
}

TEST(Informe, Summary) {
    struct Caso {
        std::uint64_t listadas, grupos, repetidas, excluidas;
        std::vector<std::uint64_t> porArchivo;  // addresses each input gave
        std::u16string esperado;
    };
    const std::vector<Caso> casos = {
        {1234,
         26,
         210,
         15,
         {1, 1459},
         u"Resumen: 1.234 direcciones en 26 grupos; 210 repetidas y 15 excluidas quitadas"},
        {1, 1, 0, 0, {1}, u"Resumen: 1 dirección en 1 grupo"},
        {48, 1, 1, 0, {49}, u"Resumen: 48 direcciones en 1 grupo; 1 repetida quitada"},
        {2, 1, 0, 1, {3}, u"Resumen: 2 direcciones en 1 grupo; 1 excluida quitada"},
        {2, 1, 1, 1, {4}, u"Resumen: 2 direcciones en 1 grupo; 1 repetida y 1 excluida quitadas"},
        {1000000,
         20834,
         0,
         3,
         {1000003},
         u"Resumen: 1.000.000 direcciones en 20.834 grupos; 3 excluidas quitadas"},
        {0, 0, 0, 7, {7}, u"Resumen: ninguna dirección en la lista; 7 excluidas quitadas"},
        {0, 0, 0, 0, {0}, u"Resumen: ninguna dirección en la lista"},
        {5,
         1,
         0,
         0,
         {0, 5, 0},
         u"Resumen: 5 direcciones en 1 grupo; sin direcciones: a0.txt, a2.txt"},
    };
    for (const Caso& c : casos) {
        Informe informe;
        informe.listadas = c.listadas;
        informe.grupos = c.grupos;
        informe.repetidas = c.repetidas;
        informe.excluidas = c.excluidas;
        for (std::size_t i = 0; i < c.porArchivo.size(); ++i) {
            informe.archivos.push_back(
                {u"/d/a" + prueba::u16(std::to_string(i)) + u".txt", "lista", c.porArchivo[i]});
        }
        EXPECT_EQ(resumen(informe), c.esperado);
    }
    EXPECT_EQ(conMillares(0), u"0");
    EXPECT_EQ(conMillares(999), u"999");
    EXPECT_EQ(conMillares(1000), u"1.000");
}

// The summary, then what the clean-up did or would do, then at most ten warnings.
TEST(Informe, LinesEveryFrontEndShows) {
    struct Caso {
        bool depurada;
        std::uint64_t descartadas, corregidas, dudosas;
        std::vector<std::u16string> despues;  // the lines after the summary
    };
    const std::vector<Caso> casos = {
        {false, 0, 0, 0, {}},
        {false, 0, 0, 3, {u"3 entradas no parecen direcciones: active «Depurar la lista»"}},
        {false, 0, 0, 1, {u"1 entrada no parece una dirección: active «Depurar la lista»"}},
        {true, 0, 0, 0, {u"Lista depurada: todas las entradas eran direcciones"}},
        {true, 3, 1, 0, {u"Lista depurada: 3 entradas descartadas y 1 corregida"}},
        {true, 1, 0, 0, {u"Lista depurada: 1 entrada descartada"}},
        {true, 0, 1234, 0, {u"Lista depurada: 1.234 entradas corregidas"}},
    };
    for (const Caso& c : casos) {
        Informe informe;
        informe.listadas = 2;
        informe.grupos = 1;
        informe.depurada = c.depurada;
        informe.descartadas = c.descartadas;
        informe.corregidas = c.corregidas;
        informe.dudosas = c.dudosas;
        std::vector<std::u16string> esperadas = {u"Resumen: 2 direcciones en 1 grupo"};
        esperadas.insert(esperadas.end(), c.despues.begin(), c.despues.end());
        EXPECT_EQ(lineasDelResumen(informe), esperadas);
    }
    Informe informe;
    informe.dudosas = 2;
    informe.avisos = {{"ana@gmial.com", Motivo::DominioParecido, "gmail.com"}};
    for (int k = 0; k < 11; ++k) {
        informe.avisos.push_back({"info" + std::to_string(k) + "@x.es", Motivo::Rol, ""});
    }
    const auto lineas = lineasDelResumen(informe, u"--depurar");
    ASSERT_EQ(lineas.size(), 1u + 1u + kAvisosMostrados + 1u);
    EXPECT_EQ(lineas[1],
              u"2 entradas no parecen direcciones: active «Depurar la lista» (--depurar)");
    EXPECT_EQ(lineas[2], u"Aviso: ana@gmial.com: ¿quiso decir gmail.com?");
    EXPECT_EQ(lineas[3], u"Aviso: info0@x.es: cuenta de función (no es de una persona)");
    EXPECT_EQ(lineas.back(), u"y 2 más");
}

TEST(Informe, FormatWords) {
    const std::vector<std::tuple<std::u16string, bool, std::string>> casos = {
        {u"a.txt", false, "lista"},   {u"a.TXT", true, "mensajes"}, {u"a.Ctt", false, "ctt"},
        {u"a.vcard", false, "vcard"}, {u"a.tsv", false, "csv"},     {u"a.ldif", false, "ldif"},
        {u"a.EML", false, "eml"},     {u"a.mbox", false, "mbox"},   {u"a.dat", true, "mensajes"},
    };
    for (const auto& [ruta, mensajes, palabra] : casos) {
        EXPECT_EQ(formatoDeInforme(ruta, mensajes), palabra) << prueba::u8(ruta);
    }
}

class Fuentes : public ::testing::Test {
  protected:
    prueba::CarpetaTemporal entrada;
    prueba::CarpetaTemporal temporal;
    prueba::CarpetaTemporal resultado;
    prueba::PuertoFalso puerto;
    Estado estado;

    void SetUp() override {
        puerto.temporal = temporal.u16();
        puerto.resultado = resultado.u16();
        puerto.preparar(estado);
    }
    std::u16string archivo(const std::string& nombre, std::string_view bytes) {
        return archivos::desdeRuta(entrada.escribir(nombre, bytes));
    }
    fs::path rutaLista() const { return resultado.ruta() / "Mails_20050305.txt"; }
    std::string lista() const { return prueba::leer(rutaLista()); }
    // The texts of the boxes shown, in order.
    std::vector<std::u16string> textos() const {
        std::vector<std::u16string> t;
        for (const auto& m : puerto.mensajes) {
            t.push_back(m.texto);
        }
        return t;
    }
    static std::u16string creado(const fs::path& ruta, std::u16string_view cierre) {
        return u"Se ha creado el archivo:\r\n" + archivos::desdeRuta(ruta) + u"\r\n\r\n" +
               std::u16string(cierre);
    }
};

// Files of every kind make one list: every address once, lower-cased, sorted; the report counts
// what each gave and what went.
TEST_F(Fuentes, SeveralInputsMakeOneList) {
    // "İ" lower-cases to two characters where the full mapping is used: the entry grows.
    const std::string ilker = prueba::u8(texto::minusculas(u"\u0130lker@y.com"));
    const auto plana =
        archivo("Plana.txt", "Ana@X.com\r\nbob@y.com\r\nana@x.com\r\n\xC4\xB0LKER@y.com \r\n");
    const auto pegado = archivo("pegado.txt", "De: Carl <CARL@z.com>, bob@y.com\r\n");
    const auto tarjeta = archivo("c.vcf", "BEGIN:VCARD\r\nEMAIL:dora@w.com\r\nEND:VCARD\r\n");
    const auto nada = archivo("nada.txt", "sin direcciones\r\n");
    const auto vacio = archivo("vacio.txt", "");
    EXPECT_EQ(procesarArchivos(estado, puerto, {plana, pegado, tarjeta, nada, vacio, plana}),
              Desenlace::Escrito);
    EXPECT_EQ(lista(),
              "ana@x.com\r\n\r\nbob@y.com, carl@z.com, dora@w.com, " + ilker + "\r\n\r\n\r\n");
    EXPECT_EQ(textos(), std::vector<std::u16string>{creado(rutaLista(), kCierreMasivo)});
    EXPECT_EQ(puerto.abiertos, std::vector<std::u16string>{archivos::desdeRuta(rutaLista())});
    EXPECT_EQ(puerto.caja, u"");
    // Each text input keeps its working file, as after a run on it alone.
    for (const char* nombre : {"plana.txt", "pegado.txt", "nada.txt", "vacio.txt"}) {
        EXPECT_TRUE(fs::exists(temporal.ruta() / nombre)) << nombre;
    }
    ASSERT_EQ(puerto.informes.size(), 1u);
    const Informe& informe = puerto.informes[0];
    std::vector<std::tuple<std::u16string, std::string, std::uint64_t>> archivosVistos;
    for (const auto& a : informe.archivos) {
        archivosVistos.emplace_back(a.ruta, a.formato, a.direcciones);
    }
    const decltype(archivosVistos) esperados = {
        {plana, "lista", 4}, {pegado, "mensajes", 2}, {tarjeta, "vcard", 1},
        {nada, "lista", 0},  {vacio, "lista", 0},     {plana, "lista", 4},
    };
    EXPECT_EQ(archivosVistos, esperados);
    EXPECT_EQ(informe.encontradas, 11u);
    EXPECT_EQ(informe.repetidas, 6u);
    EXPECT_EQ(informe.excluidas, 0u);
    EXPECT_EQ(informe.listadas, 5u);
    EXPECT_EQ(informe.grupos, 1u);
    EXPECT_EQ(resumen(informe),
              u"Resumen: 5 direcciones en 1 grupo; 6 repetidas quitadas; sin "
              u"direcciones: nada.txt, vacio.txt");

    // The dialog may answer several files as well.
    prueba::PuertoFalso p;
    p.respuesta = {true, plana, {plana, tarjeta}};
    Estado e;
    puerto.preparar(e);
    EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::Escrito);
    EXPECT_TRUE(p.dialogos.at(0).varios);
    EXPECT_EQ(lista(), "ana@x.com\r\n\r\nbob@y.com, dora@w.com, " + ilker + "\r\n\r\n\r\n");
}

// An exclusion file of any kind a run reads leaves its people out of the list.
TEST_F(Fuentes, EveryReaderServesAsAnExclusionList) {
    const auto texto = archivo("a.txt", "ana@x.com\r\nluis@z.com\r\n");
    const auto tarjeta = archivo("b.vcf", "BEGIN:VCARD\r\nEMAIL:Ana@X.com\r\nEMAIL:bea@y.com\r\n");
    const std::vector<std::tuple<std::string, std::string, std::string>> casos = {
        {"bajas.txt", "Ana@X.com\r\n", "lista"},
        {"bajas2.txt", "De: Ana <ANA@x.com>; Otro\r\n", "mensajes"},
        {"bajas3.txt", "-----Mensaje original-----ana@x.comAdd sender to contacts\r\n", "lista"},
        {"dominio.txt", "@x.com\r\n", "lista"},
        {"asterisco.txt", "*@X.COM\r\n", "lista"},
        {"bajas.ctt",
         "<?xml version=\"1.0\"?>\r\n<messenger>\r\n<contactlist>\r\n"
         "<contact type=\"1\">ana@x.com</contact>\r\n</contactlist>\r\n</messenger>\r\n",
         "ctt"},
        {"bajas.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL;TYPE=work:Ana@x.com\r\nEND:VCARD\r\n",
         "vcard"},
        {"bajas.csv", "Nombre,Correo electr\xC3\xB3nico\r\nAna,ana@x.com\r\n", "csv"},
        {"bajas.ldif", "dn: cn=Ana,mail=ana@x.com\r\nmail: ana@x.com\r\n\r\n", "ldif"},
        {"baja.eml", "From: Ana <ana@x.com>\r\nSubject: baja\r\n\r\nquitar a luis@z.com\r\n",
         "eml"},
        {"bajas.mbox", "From ana@x.com Mon Jan  1 00:00:00 2024\r\nFrom: ana@x.com\r\n\r\nhola\r\n",
         "mbox"},
    };
    for (const auto& [nombre, contenido, formato] : casos) {
        SCOPED_TRACE(nombre);
        prueba::PuertoFalso p;
        Estado e;
        puerto.preparar(e);
        e.exclusiones = {archivo(nombre, contenido)};
        ASSERT_EQ(procesarArchivos(e, p, {texto, tarjeta}), Desenlace::Escrito);
        EXPECT_EQ(lista(), "bea@y.com\r\n\r\nluis@z.com\r\n\r\n\r\n");
        ASSERT_EQ(p.informes.size(), 1u);
        EXPECT_EQ(p.informes[0].excluidas, 2u) << "in both inputs: every entry counts";
        EXPECT_EQ(p.informes[0].repetidas, 0u);
        ASSERT_EQ(p.informes[0].exclusiones.size(), 1u);
        EXPECT_EQ(p.informes[0].exclusiones[0].formato, formato);
        EXPECT_GE(p.informes[0].exclusiones[0].direcciones, 1u);
    }
}

// With one input and exclusion lists the input keeps its own path and layout: a plain list its
// case and repeats; only the excluded entries go, also those holding more than the address.
TEST_F(Fuentes, OneInputKeepsItsPathMinusTheExcluded) {
    const auto bajas = archivo("bajas.txt", "ana@x.com\r\n@spam.org\r\n");
    estado.exclusiones = {bajas};
    struct Caso {
        const char* nombre;
        std::string contenido;
        Desenlace desenlace;
        std::string lista;  // empty: none written
        std::u16string_view cierre;
        std::uint64_t excluidas;
    };
    const std::vector<Caso> casos = {
        {"plain list", "Zed@q.com\r\nAna  ana@x.com\r\nzed@q.com\r\nZed@q.com\r\nx@Spam.org\r\n",
         Desenlace::Escrito, "Zed@q.com\r\n\r\nZed@q.com, zed@q.com\r\n\r\n\r\n", kCierreLista, 2},
        {"pasted messages", "De: Ana <ana@x.com>, Bob <bob@y.com>; x@spam.org\r\n",
         Desenlace::Escrito, "bob@y.com\r\n\r\n", kCierreMasivo, 2},
        {"everything excluded", "ANA@x.com\r\n", Desenlace::Rechazado, "", {}, 1},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        fs::remove(rutaLista());
        puerto.mensajes.clear();
        puerto.informes.clear();
        ASSERT_EQ(procesarArchivos(estado, puerto, {archivo("entrada.txt", c.contenido)}),
                  c.desenlace);
        ASSERT_EQ(puerto.mensajes.size(), 1u);
        if (c.lista.empty()) {
            EXPECT_FALSE(fs::exists(rutaLista()));
            EXPECT_EQ(puerto.mensajes[0].texto, kTodasExcluidas);
            EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Exclamacion);
        } else {
            EXPECT_EQ(lista(), c.lista);
            EXPECT_EQ(puerto.mensajes[0].texto, creado(rutaLista(), c.cierre));
        }
        ASSERT_EQ(puerto.informes.size(), 1u);
        EXPECT_EQ(puerto.informes[0].excluidas, c.excluidas);
        EXPECT_EQ(puerto.informes[0].archivos.size(), 1u);
    }
}

// A run without any of the new options makes no report at all; asked for, one input has one.
TEST_F(Fuentes, AReportOnlyWhenOneIsMade) {
    const auto plana = archivo("plana.txt", "b@x.org\r\na@x.org\r\nb@x.org\r\n");
    EXPECT_EQ(procesarArchivos(estado, puerto, {plana}), Desenlace::Escrito);
    EXPECT_TRUE(puerto.informes.empty());
    EXPECT_FALSE(estado.recuento);

    estado.pedirInforme = true;
    estado.porGrupo = 2;
    EXPECT_EQ(procesarArchivos(estado, puerto, {plana}), Desenlace::Escrito);
    ASSERT_EQ(puerto.informes.size(), 1u);
    EXPECT_EQ(resumen(puerto.informes[0]), u"Resumen: 3 direcciones en 2 grupos");
    EXPECT_EQ(puerto.informes[0].archivos.at(0).formato, "lista");
}

TEST_F(Fuentes, TheReportFile) {
    const auto a = archivo("a.txt", "a@x.org\r\n");
    const auto b = archivo("b.txt", "b@x.org\r\n");
    estado.rutaInforme = resultado.u16() + u"/informe.json";
    ASSERT_EQ(procesarArchivos(estado, puerto, {a, b}), Desenlace::Escrito);
    ASSERT_EQ(puerto.informes.size(), 1u);
    EXPECT_EQ(prueba::leer(resultado.ruta() / "informe.json"), informeJson(puerto.informes[0]));

    // Never over a file the run reads, nor over the list: refused before anything is read.
    fs::remove(rutaLista());
    for (const std::u16string& destino :
         {b, archivos::desdeRuta(rutaLista()), resultado.u16() + u"/./Mails_20050305.txt"}) {
        prueba::PuertoFalso p;
        Estado e;
        puerto.preparar(e);
        e.rutaInforme = destino;
        EXPECT_EQ(procesarArchivos(e, p, {a, b}), Desenlace::FalloArchivo) << prueba::u8(destino);
        ASSERT_EQ(p.mensajes.size(), 1u);
        EXPECT_TRUE(p.mensajes[0].texto.starts_with(u"No se pudo crear el archivo:\r\n" + destino));
        EXPECT_EQ(prueba::leer(archivos::aRuta(b)), "b@x.org\r\n");
        EXPECT_FALSE(fs::exists(rutaLista()));
    }
    // A report that cannot be created stops the run before the list replaces an earlier one.
    fs::copy_file(archivos::aRuta(a), rutaLista());
    estado.rutaInforme = resultado.u16() + u"/no-existe/informe.json";
    puerto.mensajes.clear();
    EXPECT_EQ(procesarArchivos(estado, puerto, {a, b}), Desenlace::FalloArchivo);
    EXPECT_EQ(lista(), "a@x.org\r\n");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
}

// A refused or unreadable file stops the whole run with its own message and no list; the earlier
// list stays, and a failed run leaves no working file behind.
TEST_F(Fuentes, AFailingFileStopsTheWholeRun) {
    const auto bueno = archivo("bueno.txt", "a@x.org\r\n");
    const auto otro = archivo("otro.txt", "b@x.org\r\n");
    const std::u16string falta = entrada.u16() + u"/falta.txt";
    const auto n1 = archivo("n1.txt", "x\r\n");
    const auto n2 = archivo("n2.csv", "y\r\n");
    const std::u16string laLista = archivos::desdeRuta(rutaLista());
    struct Caso {
        const char* nombre;
        std::vector<std::u16string> entradas;
        std::vector<std::u16string> exclusiones;
        Desenlace desenlace;
        std::u16string comienzo;  // how the one box begins
    };
    const std::vector<Caso> casos = {
        {"missing input",
         {bueno, falta},
         {},
         Desenlace::FalloArchivo,
         u"No se pudo leer el archivo:\r\n" + falta},
        {"missing exclusion list",
         {bueno, otro},
         {falta},
         Desenlace::FalloArchivo,
         u"No se pudo leer el archivo:\r\n" + falta},
        {"missing exclusion list, one input",
         {bueno},
         {falta},
         Desenlace::FalloArchivo,
         u"No se pudo leer el archivo:\r\n" + falta},
        {"an input is the list",
         {bueno, laLista},
         {},
         Desenlace::Rechazado,
         u"El archivo especificado es la lista que se va a crear...\r\n" + laLista},
        {"an exclusion list is the list",
         {bueno},
         {laLista},
         Desenlace::Rechazado,
         u"El archivo especificado es la lista que se va a crear...\r\n" + laLista},
        {"a name too short", {bueno, u"a.t"}, {}, Desenlace::Rechazado, u"Nombre no es valido !"},
        {"no address anywhere",
         {n1, n2},
         {},
         Desenlace::Rechazado,
         u"No se encontraron direcciones en el archivo:\r\n" + n1 + u"\r\n" + n2},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        std::ofstream(rutaLista(), std::ios::binary) << "earlier\r\n";
        for (const auto& f : fs::directory_iterator(temporal.ruta())) {
            fs::remove(f.path());
        }
        prueba::PuertoFalso p;
        Estado e;
        puerto.preparar(e);
        e.exclusiones = c.exclusiones;
        const Desenlace d = correr(
            e, p, [&](Estado& es, Puerto& pu) { return procesarArchivos(es, pu, c.entradas); });
        EXPECT_EQ(d, c.desenlace);
        ASSERT_EQ(p.mensajes.size(), 1u);
        EXPECT_TRUE(p.mensajes[0].texto.starts_with(c.comienzo)) << prueba::u8(p.mensajes[0].texto);
        EXPECT_EQ(lista(), "earlier\r\n");
        if (d == Desenlace::FalloArchivo) {
            EXPECT_TRUE(fs::is_empty(temporal.ruta()));
        }
    }
}

// The clean-up mode on both paths, one input or several: only addresses reach the list, each
// once, lower-cased; the exclusion lists apply to what the entries were reduced to.
TEST_F(Fuentes, TheCleanUpModeCounts) {
    const std::string plana =
        "De  Ana Ruiz  ana@example.com\r\nmailto pepe@example.com\r\nbad@\r\n@bad.com\r\n"
        "foo@bar\r\nuser@ 192.168.1.1\r\nana@example.com\tluis@example.org\r\nAna@Example.com\r\n"
        "juan.perez@empresa.es.\r\nJOS\xC3\x89@Empresa.es\r\n"
        // The cleaning blanks what an address may hold: never "brien@…" nor "etiqueta@…", also
        // where the line is no longer found as the list path shortened it (".htm").
        "o'brien@example.com\r\nusuario+etiqueta@example.com\r\nAna usuario+x@a.com.htm\r\n";
    const std::string pegado =
        "Para: Ana <ana@example.com>, juan.perez@empresa.es., "
        "image001.png@01da2b3c.4d5e6f70]\r\nCC: x@y; \"Pepe\" <PEPE@Example.com>\r\n";
    struct Caso {
        const char* nombre;
        std::vector<std::pair<std::string, std::string>> entradas;
        std::string bajas;  // an exclusion list, when not empty
        std::string lista;  // empty: none written
        std::u16string_view cierre;
        std::uint64_t descartadas, corregidas, repetidas, excluidas, listadas;
    };
    const std::vector<Caso> casos = {
        {"plain list",
         {{"plana.txt", plana}},
         "",
         "ana@example.com\r\n\r\njos\xC3\xA9@empresa.es, juan.perez@empresa.es, luis@example.org, "
         "o'brien@example.com, pepe@example.com, usuario+etiqueta@example.com\r\n\r\n\r\n",
         kCierreLista,
         5,
         6,
         2,
         0,
         7},
        {"pasted messages",
         {{"pegado.txt", pegado}},
         "",
         "ana@example.com\r\n\r\njuan.perez@empresa.es, pepe@example.com\r\n\r\n\r\n",
         kCierreMasivo,
         2,
         1,
         0,
         0,
         3},
        {"several, an exclusion list",
         {{"plana.txt", plana},
          {"c.vcf", "BEGIN:VCARD\r\nEMAIL:foo@bar\r\nEMAIL:Bea@Y.com\r\nEND:VCARD\r\n"}},
         "ana@example.com\r\n",
         "bea@y.com\r\n\r\njos\xC3\xA9@empresa.es, juan.perez@empresa.es, luis@example.org, "
         "o'brien@example.com, pepe@example.com, usuario+etiqueta@example.com\r\n\r\n\r\n",
         kCierreMasivo,
         6,
         6,
         0,
         3,
         7},
        {"nothing left", {{"malas.txt", "bad@\r\nfoo@bar\r\n"}}, "", "", {}, 2, 0, 0, 0, 0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        fs::remove(rutaLista());
        prueba::PuertoFalso p;
        Estado e;
        puerto.preparar(e);
        e.depurar = true;
        if (!c.bajas.empty()) {
            e.exclusiones = {archivo("bajas.txt", c.bajas)};
        }
        std::vector<std::u16string> rutas;
        for (const auto& [nombre, contenido] : c.entradas) {
            rutas.push_back(archivo(nombre, contenido));
        }
        const Desenlace d = procesarArchivos(e, p, rutas);
        ASSERT_EQ(p.informes.size(), 1u);
        const Informe& i = p.informes[0];
        EXPECT_TRUE(i.depurada);
        EXPECT_EQ(std::tuple(i.descartadas, i.corregidas, i.repetidas, i.excluidas, i.listadas),
                  std::tuple(c.descartadas, c.corregidas, c.repetidas, c.excluidas, c.listadas));
        EXPECT_EQ(i.dudosas, 0u);
        if (c.lista.empty()) {
            EXPECT_EQ(d, Desenlace::Rechazado);
            EXPECT_FALSE(fs::exists(rutaLista()));
            continue;
        }
        EXPECT_EQ(d, Desenlace::Escrito);
        EXPECT_EQ(lista(), c.lista);
        EXPECT_EQ(p.mensajes.at(0).texto, creado(rutaLista(), c.cierre));
    }
}

// Without the mode the list is as ever; the report counts what the mode would mend, and warns
// once of each listed address whatever its case, never of an entry that is no address.
TEST_F(Fuentes, WithoutTheModeWarningsAndTheNudge) {
    const auto plana =
        archivo("plana.txt",
                "Info@X.com\r\ninfo@x.com\r\nana@gmial.com\r\nPepe  pepe@gmail.con\r\n"
                "bad@\r\nluis@example.org\r\n");
    estado.pedirInforme = true;
    ASSERT_EQ(procesarArchivos(estado, puerto, {plana}), Desenlace::Escrito);
    EXPECT_EQ(lista(),
              "Info@X.com\r\n\r\nPepe  pepe@gmail.con, ana@gmial.com, bad@, info@x.com, "
              "luis@example.org\r\n\r\n\r\n");
    ASSERT_EQ(puerto.informes.size(), 1u);
    const Informe& i = puerto.informes[0];
    EXPECT_FALSE(i.depurada);
    EXPECT_EQ(i.dudosas, 2u);
    const std::vector<Aviso> avisos = {{"Info@X.com", Motivo::Rol, ""},
                                       {"ana@gmial.com", Motivo::DominioParecido, "gmail.com"}};
    EXPECT_EQ(i.avisos, avisos);
}

// A window that rewrites a file as soon as the run begins on its inputs, after the exclusion
// lists were read.
class PuertoQueCambia : public prueba::PuertoFalso {
  public:
    fs::path cambiar;
    void ponerTextoRuta(const std::u16string& texto) override {
        PuertoFalso::ponerTextoRuta(texto);
        if (!cambiar.empty()) {
            std::ofstream(std::exchange(cambiar, {}), std::ios::app) << "otra@x.org\r\n";
        }
    }
};

TEST_F(Fuentes, AFileChangedWhileReadWritesNoList) {
    const auto a = archivo("a.txt", "a@x.org\r\n");
    const auto b = archivo("b.txt", "b@x.org\r\n");
    const auto bajas = archivo("bajas.txt", "b@x.org\r\n");
    PuertoQueCambia p;
    p.cambiar = archivos::aRuta(bajas);
    estado.exclusiones = {bajas};
    EXPECT_EQ(procesarArchivos(estado, p, {a, b}), Desenlace::FalloArchivo);
    ASSERT_EQ(p.mensajes.size(), 1u);
    EXPECT_EQ(p.mensajes[0].texto, u"No se pudo procesar el archivo:\r\n" + bajas +
                                       u"\r\n\r\nMotivo: el archivo cambió mientras se procesaba");
    EXPECT_FALSE(fs::exists(rutaLista()));
}

}  // namespace
}  // namespace tralmix
