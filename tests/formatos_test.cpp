#include "extract/formatos/formatos.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "extract/entrada.h"
#include "puerto_falso.h"

namespace tralmix::formatos {
namespace {

using namespace std::string_literals;
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
               {"name and address, folded or not, as a mail header's mailbox",
                "EMAIL:\"Omega\" <omega@example.com>\r\nEMAIL;TYPE=work:Ann Lee <ann@x.\r\n "
                "example>\r\n",
                {"ann@x.example", "omega@example.com"}},
               {"a head folded before its ':', then soft breaks",
                "EMAIL;ENCO\r\n DING=QUOTED-PRINTABLE:jo=\r\nse=40x=\r\n.es\r\n",
                {"jose@x.es"}},
               {"undecodable: an '=' that escapes nothing stands, base64 cut short gives nothing",
                "EMAIL;ENCODING=QUOTED-PRINTABLE:thr=ZZee@x.com\r\n"
                "EMAIL;ENCODING=b:c2l4QHguY2\r\n",
                {"thr=zzee@x.com"}},
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
            {"a quote inside a field is a character; one after a closed quote too",
             "Name,Email\nJoe 5\" Smith,joe@x.com\n\"An\"n,\"ann\"@x.com\nBo,bo@x.com\n",
             {"ann@x.com", "bo@x.com", "joe@x.com"}},
            {"a quote inside a field of the first line leaves its separator seen",
             "Joe 5\" Smith;x@y.z\nAnn;a@b.c\n",
             {"a@b.c", "x@y.z"}},
            {"a line of empty fields, then a quoted field over lines in a column not read",
             "Notes,Email\n,,,,,,,,\n\"one\ntwo,q@r.s\",a@b.c\n",
             {"a@b.c"}},
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
               {"base64 cut short or out of its alphabet gives nothing",
                "mail:: c2l4QHguY2\nmail:: c2l4QH*uY29t\nmail:: c2l4QHguY29t\n",
                {"six@x.com"}},
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
            {"an encoded word never closed ends at a blank; quotes and comments over folds",
             "To: =?utf-8?q?Jos=C3=A9 <jose@x.com>, =?utf-8?q?Ana?= <ana@x.com>\r\n"
             "Cc: \"Lee,\r\n Ann\" <ann@x.test>, (a comment,\r\n still) bo@x.test\r\n",
             {"ana@x.com", "ann@x.test", "bo@x.test", "jose@x.com"}},
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
                ">From two@x.test\n\nFrom b@c.d Sat Jan  3 01:05:34 1996\nTo: two@x.test\n\n"
                "\nFrom - Mon Jan 05 10:00:00 2004\nCc: three@x.test\n",
                {"one@x.test", "three@x.test", "two@x.test"}},
               {"a body's own From lines begin no message",
                "From MAILER-DAEMON Sun Aug  7 11:40:37 2022\nFrom: one@x.test\n\n"
                "From what I heard, yes\nTo: body@x.test\n\nFrom me at 10:00\nCc: b2@x.test\n"
                "From x@y.z Sat Jan  3 01:05:34 1996 said:\nwe met\nTo: b3@x.test\n",
                {"one@x.test"}},
               {"no empty line between messages: an envelope that a header follows",
                "From a@b.c Sat Jan  3 01:05:34 1996\r\nFrom: one@x.test\r\n\r\n1234\r\n"
                "From b@c.d Sun Jul 16 15:06:25 2023\r\nTo: two@x.test\r\n",
                {"one@x.test", "two@x.test"}},
           });
}

TEST(Formatos, Decoders) {
    const std::vector<std::pair<std::string, std::string>> base64 = {
        {"YUBiLmM=", "a@b.c"},  {"YU\r\nBiLm M=", "a@b.c"},
        {"YUBiLmNv", "a@b.co"}, {"YUBiLg==", "a@b."},
        {"YUBiLmM", ""},        {"YUBiLmM==", ""},
        {"YU=BiLmM", ""},       {"YUBi-mM=", ""},
        {"YUBiLmM=YQ==", ""},
    };
    for (const auto& [entrada, salida] : base64) {
        EXPECT_EQ(desdeBase64(entrada), salida) << entrada;
    }
    const std::vector<std::pair<std::string, std::string>> qp = {
        {"a=40b=2Ec=", "a@b.c"},
        {"a=40b=2ec", "a@b.c"},
        {"thr=ZZee", "thr=ZZee"},
        {"x=4", "x=4"},
        {"=", ""},
    };
    for (const auto& [entrada, salida] : qp) {
        EXPECT_EQ(desdeQuotedPrintable(entrada), salida) << entrada;
    }
}

TEST(Formatos, EnvelopeLines) {
    for (const char* si :
         {"From MAILER-DAEMON  Wed Sep 17 22:25:40 2008", "From - Sat Jan 03 01:05:34 1996",
          "From a@b.c Sat Jan  3 01:05:34 1996 extra info", "From a@b.c Mon, 5 Jan 2004 10:00"}) {
        EXPECT_TRUE(pareceSobre(si)) << si;
    }
    for (const char* no : {"From what I heard, yes", "From time to time", "From me at 10:00",
                           "From: a@b.c Sat Jan  3 01:05:34 1996", "From a@b.c",
                           "From 9:30 to 10:00 in 2023", "From a@b.c Sat Jan 3 2610:05 1996"}) {
        EXPECT_FALSE(pareceSobre(no)) << no;
    }
}

// What a file is by its first bytes: binary files by their marks or NULs, UTF-16 and UTF-32
// text in spite of theirs, and (wanted for files without an extension) the text formats.
TEST(Formatos, JudgedByTheirFirstBytes) {
    struct Juicio {
        const char* que;
        std::string inicio;
        Formato formato;  // by content
        Binario binario;
    };
    const std::string mbox = "From MAILER-DAEMON Sun Aug  7 11:40:37 2022\r\nFrom: a@b.c\r\n";
    const std::vector<Juicio> casos = {
        {"zip", "PK\x03\x04\x14\0\x06\0"s, Formato::Ninguno, Binario::Zip},
        {"old office", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0"s, Formato::Ninguno, Binario::Ole},
        {"pdf", "%PDF-1.4\n%\xE2\xE3\n", Formato::Ninguno, Binario::Pdf},
        {"png", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, Formato::Ninguno, Binario::Imagen},
        {"gzip", "\x1F\x8B\x08\0"s, Formato::Ninguno, Binario::Comprimido},
        {"sqlite", "SQLite format 3\0\x10\0"s, Formato::Ninguno, Binario::BaseDeDatos},
        {"elf",
         "\x7F"
         "ELF\x02\x01\x01\0"s,
         Formato::Ninguno, Binario::Programa},
        {"exe", "MZ\x90\0\x03\0"s, Formato::Ninguno, Binario::Programa},
        {"NUL bytes", "a@b.c\r\n\0\0\0\x01"s, Formato::Ninguno, Binario::Otro},
        {"text", "a@b.c\r\nMZ and PK\x03\x04 later\r\n", Formato::Ninguno, Binario::No},
        {"UTF-16 with its mark",
         "\xFF\xFE"
         "a\0@\0b\0\r\0\n\0"s,
         Formato::Ninguno, Binario::No},
        {"UTF-32 with its mark",
         "\xFF\xFE\0\0"
         "a\0\0\0@\0\0\0"s,
         Formato::Ninguno, Binario::No},
        {"UTF-16 vCard without a mark", "\0B\0E\0G\0I\0N\0:\0V\0C\0A\0R\0D\0\r\0\n"s,
         Formato::Vcard, Binario::No},
        {"mailbox, a NUL in a header", mbox + "Subject: x\0\r\n"s, Formato::Mbox, Binario::No},
        {"vCard after a UTF-8 mark", "\xEF\xBB\xBF\r\n begin:vcard\r\n", Formato::Vcard,
         Binario::No},
        {"LDIF after comments", "# export\n\ndn: cn=Ann\nmail: a@b.c\n", Formato::Ldif,
         Binario::No},
        {"LDIF version", "version: 1\n", Formato::Ldif, Binario::No},
        {"a body's From line first", "From what I heard\nTo: a@b.c\n", Formato::Ninguno,
         Binario::No},
    };
    for (const Juicio& c : casos) {
        const Eleccion porContenido = juzgarInicio(c.inicio, true);
        EXPECT_EQ(porContenido.formato, c.formato) << c.que;
        EXPECT_EQ(porContenido.binario, c.binario) << c.que;
        EXPECT_EQ(juzgarInicio(c.inicio, false).formato, Formato::Ninguno) << c.que;
        EXPECT_EQ(motivoBinario(c.binario).empty(), c.binario == Binario::No) << c.que;
    }
    for (const char16_t* si : {u"Inbox", u"/a.b/Inbox", u".perfil", u"/x/Sent Messages"}) {
        EXPECT_TRUE(sinExtension(si)) << prueba::u8(si);
    }
    for (const char16_t* no : {u"x.txt", u"/a/Inbox.old", u"lista."}) {
        EXPECT_FALSE(sinExtension(no)) << prueba::u8(no);
    }
}

// The reading of a whole file: a UTF-8 mark followed by text that is no UTF-8 is no part of the
// text read again as Windows-1252.
TEST(Formatos, ReadFromTheirFiles) {
    prueba::CarpetaTemporal carpeta;
    const std::vector<std::tuple<const char*, Formato, std::string, Lista>> casos = {
        {"c.csv",
         Formato::Csv,
         "\xEF\xBB\xBF\xE1nn@x.com\nbob@x.com\n",
         {"bob@x.com", "\xC3\xA1nn@x.com"}},
        {"m.eml",
         Formato::Correo,
         "\xEF\xBB\xBFTo: \xE1nn@x.com\r\nCc: bob@x.com\r\n\r\n",
         {"bob@x.com", "\xC3\xA1nn@x.com"}},
        {"u.vcf",
         Formato::Vcard,
         std::string("E\0M\0A\0I\0L\0:\0a\0@\0b\0.\0c\0\r\0\n\0", 26),
         {"a@b.c"}},
    };
    for (const auto& [nombre, formato, bytes, esperado] : casos) {
        Arreglo salida;
        const Lectura l =
            leerDirecciones(archivos::desdeRuta(carpeta.escribir(nombre, bytes)), formato, salida);
        EXPECT_FALSE(l.fallo) << nombre;
        EXPECT_EQ(comoLista(salida), esperado) << nombre;
    }
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
