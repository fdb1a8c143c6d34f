#include "extract/formatos/formatos.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "extract/entrada.h"
#include "puerto_falso.h"

namespace tralmix::formatos {
namespace {

using Lista = std::vector<std::string>;

struct Caso {
    const char* nombre;
    std::string texto;
    Lista esperado;  // sorted
};

Lista comoLista(const Arreglo& a) {
    Lista l;
    for (std::size_t i = 0; i < a.size(); ++i) {
        l.emplace_back(a[i]);
    }
    std::sort(l.begin(), l.end());
    return l;
}

Lista leer(Formato formato, std::string_view texto) {
    Arreglo salida;
    Direcciones direcciones(salida);
    auto lector = crearLector(formato, direcciones);
    paraCadaLinea(texto, [&](std::string_view l) { lector->linea(l); });
    lector->fin();
    return comoLista(salida);
}

void probar(Formato formato, const std::vector<Caso>& casos) {
    for (const Caso& c : casos) {
        EXPECT_EQ(leer(formato, c.texto), c.esperado) << c.nombre;
    }
}

TEST(Formatos, ByExtensionInAnyCase) {
    const std::vector<std::pair<std::u16string, Formato>> casos = {
        {u"/a/b.TXT", Formato::Texto}, {u"c.Ctt", Formato::Texto},      {u"x.vcf", Formato::Vcard},
        {u"x.VCARD", Formato::Vcard},  {u"x.csv", Formato::Csv},        {u"x.Tsv", Formato::Csv},
        {u"x.ldif", Formato::Ldif},    {u"x.EML", Formato::Correo},     {u"x.mbox", Formato::Mbox},
        {u"x.doc", Formato::Ninguno},  {u"x.csv.gz", Formato::Ninguno}, {u"vcf", Formato::Ninguno},
    };
    for (const auto& [ruta, formato] : casos) {
        EXPECT_EQ(formatoDe(ruta), formato) << prueba::u8(ruta);
    }
}

TEST(Formatos, OneAddress) {
    for (const char* si :
         {"a@b.c", " Ann.Lee@x.example\t", "josé@dominio.es", "a+b@c-d.e", "contact1@invalid"}) {
        EXPECT_TRUE(esDireccion(si)) << si;
    }
    for (const char* no : {"", "@b.c", "a@", "a@@b.c", "a b@c.d", "<a@b.c>", "a@b..c", ".a@b.c",
                           "a@.b.c", "a@-b.c", "mailto:a@b.c", "a@b.c,", "(a)@b.c"}) {
        EXPECT_FALSE(esDireccion(no)) << no;
    }
}

TEST(Formatos, Vcard) {
    probar(Formato::Vcard,
           {
               {"plain, lower-cased",
                "BEGIN:VCARD\r\nEMAIL:Ann@X.example\r\nEND:VCARD\r\n",
                {"ann@x.example"}},
               {"folded in the address, CRLF and LF",
                "EMAIL;TYPE=work:john.\r\n doe@ibm.com\n"
                "EMAIL:a@\n\tb.c\n",
                {"a@b.c", "john.doe@ibm.com"}},
               {"group prefix, quoted parameter with ':' and ';'",
                "item1.EMAIL;TYPE=\"a:b;c\":x@y.z\r\nitem1.X-ABLabel:_$!<Other>!$_\r\n",
                {"x@y.z"}},
               {"quoted-printable with soft break and charset",
                "EMAIL;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:jos=E9@=\r\nx.es\r\n"
                "EMAIL;QUOTED-PRINTABLE:=D1=D1=D1\r\n",
                {"jos\xC3\xA9@x.es"}},
               {"mailto and escapes",
                "EMAIL;VALUE=uri:mailto:m@n.o\r\nEMAIL:p\\,q@r.s\r\n",
                {"m@n.o"}},
               {"only EMAIL: ids, notes and IM",
                "UID:urn:uuid:1-877e370c11@martin.example\r\n"
                "NOTE:write to n@o.p\r\nX-AIM:q@r.s\r\n"
                "EMAIL-X:a@b.c\r\n",
                {}},
           });
}

TEST(Formatos, Csv) {
    probar(
        Formato::Csv,
        {
            {"e-mail columns by name, values split on :::",
             "Name,E-mail 1 - Value,Notes,E-mail 2 - Value\n"
             "Ann,a@b.c ::: d@e.f,n@o.p,\"g@h.i\"\n",
             {"a@b.c", "d@e.f", "g@h.i"}},
            {"quotes: separators, doubled quotes, line breaks",
             "\"Nombre\";\"Correo electrónico\";\"Nota\"\r\n"
             "\"Lee; Ann\";\"x@y.z\";\"a\r\nb \"\"q@r.s\"\"\"\r\n"
             "Bo;\"m@n.o\";\n",
             {"m@n.o", "x@y.z"}},
            {"an invisible control keeps an address out", "a\xE2\x80\x8B@b.c\nd@e.f\n", {"d@e.f"}},
            {"tabs, empty fields",
             "one\t\tcontact1@invalid.example\n",
             {"contact1@invalid.example"}},
            {"a first line with an address is data",
             "mail@x.example,Ann\nb@y.example,Bo\n",
             {"b@y.example", "mail@x.example"}},
            {"no header: every field that is one address",
             "a@b.c\nAnn <d@e.f>\nx,g@h.i,\"j@k.l\"\n",
             {"a@b.c", "g@h.i", "j@k.l"}},
            {"display-name column is not an address",
             "E-mail Display Name,Email\nAnn (a@b.c),d@e.f\n",
             {"d@e.f"}},
        });
}

TEST(Formatos, Ldif) {
    probar(Formato::Ldif,
           {
               {"mail, second mail, folding, base64, options",
                "dn: cn=Ann,mail=a@b.c\r\nmail: ann@x.\r\n example\r\nmozillaSecondEmail:: "
                "Yi5sZWVAeS5leGFtcGxl\r\nmail;lang-es: c@d.e\r\n",
                {"ann@x.example", "b.lee@y.example", "c@d.e"}},
               {"never dn, member or comments",
                "dn: mail=primaryemail@host.invalid\nmember: cn=x,mail=m@n.o\n# mail: q@r.s\n"
                "mailer: t@u.v\n",
                {}},
           });
}

TEST(Formatos, MailHeaders) {
    probar(
        Formato::Correo,
        {
            {"display names, quotes with commas and @, comments",
             "From: \"Joe Q. Public\" <john.q.public@example.com>\r\n"
             "To: Mary Smith <mary@x.test>, jdoe@example.org, \"Giant; \\\"Big\\\" Box\" "
             "<sysservices@example.net>, \"a@b, c\" <d@e.f>\r\n"
             "Cc: Pete(A wonderful \\) chap) <pete(his account)@silly.test(his host)>\r\n"
             "\r\nTo: body@not.read\r\n",
             {"d@e.f", "jdoe@example.org", "john.q.public@example.com", "mary@x.test",
              "pete@silly.test", "sysservices@example.net"}},
            {"groups, empty groups, folding, encoded names",
             "To: A Group:Chris <c@a.test>,\r\n joe@where.test;\r\nCc: undisclosed-recipients:;\r\n"
             "Bcc: =?utf-8?q?Ana_Lee?= <ana@x.test>, b@y.test (Bo)\r\n",
             {"ana@x.test", "b@y.test", "c@a.test", "joe@where.test"}},
            {"never ids nor trace",
             "Message-ID: <1@id.test>\r\nReferences: <2@id.test>\r\nIn-Reply-To: <3@id.test>\r\n"
             "Received: from a by b for <root@localhost.test>\r\n"
             "Authentication-Results: x; smtp.mail=test@trace.test\r\n"
             "Resent-To: r@s.test\r\nReply-To: Mikel@Lindsaar <raas@x.test>\r\nFrom: foo\r\n",
             {"r@s.test", "raas@x.test"}},
        });
    probar(Formato::Mbox,
           {
               {"messages after From lines, bodies skipped",
                "From a@b.c Sat Jan  3 01:05:34 1996\nFrom: one@x.test\n\nFrom: body@x.test\n"
                ">From two@x.test\nFrom b@c.d Sat Jan  3 01:05:34 1996\nTo: two@x.test\n\n",
                {"one@x.test", "two@x.test"}},
           });
}

TEST(Formatos, Decoders) {
    EXPECT_EQ(desdeBase64("YUBiLmM="), "a@b.c");
    EXPECT_EQ(desdeBase64("YU\r\nBiLmM"), "a@b.c");
    EXPECT_EQ(desdeQuotedPrintable("a=40b=2Ec="), "a@b.c");
}

TEST(Formatos, OtherCodePagesTold) {
    const std::vector<std::pair<std::string, bool>> casos = {
        // Shift_JIS read as 1252.
        {"\xE2\x80\x93\xC2\xBC\xE2\x80\x93\xC2\xB3\xE2\x80\x9A\xC2\xB5@host.invalid", true},
        // 0x81, undefined in 1252.
        {"x\xC2\x81y", true},
        {"Müller,Größe,François,Ñandú,a@b.c", false},
        {"plain ASCII", false},
    };
    for (const auto& [texto, ajena] : casos) {
        VigiaCodificacion v;
        v.mirar(texto);
        EXPECT_EQ(v.ajena(), ajena) << texto;
    }
}

}  // namespace
}  // namespace tralmix::formatos
