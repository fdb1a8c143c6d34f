#include "extract/avisos.h"

#include <gtest/gtest.h>

namespace tralmix {
namespace {

std::vector<Aviso> avisosDe(std::string_view direccion) {
    std::vector<Aviso> avisos;
    avisar(direccion, avisos);
    return avisos;
}

TEST(Avisos, MistypedDomainsAndRoleAccounts) {
    constexpr auto kParecido = Motivo::DominioParecido;
    const std::vector<std::pair<std::string, std::vector<Aviso>>> casos = {
        {"ana@gmial.com", {{"ana@gmial.com", kParecido, "gmail.com"}}},
        {"pepe@gmail.con", {{"pepe@gmail.con", kParecido, "gmail.com"}}},
        {"info@empresa.es", {{"info@empresa.es", Motivo::Rol, ""}}},
        {"Info@GMIAL.CON",
         {{"Info@GMIAL.CON", kParecido, "gmail.com"}, {"Info@GMIAL.CON", Motivo::Rol, ""}}},
        {"ana@gmai.com", {{"ana@gmai.com", kParecido, "gmail.com"}}},
        {"ana@gmaill.com", {{"ana@gmaill.com", kParecido, "gmail.com"}}},
        {"ana@hotmial.com", {{"ana@hotmial.com", kParecido, "hotmail.com"}}},
        {"ana@homtial.es", {{"ana@homtial.es", kParecido, "hotmail.es"}}},  // two swaps
        {"ana@hotmail.com.ra", {}},  // "ra" is no mistyped "com"
        {"ana@hotmal.com.ar", {{"ana@hotmal.com.ar", kParecido, "hotmail.com.ar"}}},
        {"ana@outlok.es", {{"ana@outlok.es", kParecido, "outlook.es"}}},
        {"ana@yaho.com.mx", {{"ana@yaho.com.mx", kParecido, "yahoo.com.mx"}}},
        {"ana@yahoo.con.mx", {{"ana@yahoo.con.mx", kParecido, "yahoo.com.mx"}}},
        {"ana@iclod.com", {{"ana@iclod.com", kParecido, "icloud.com"}}},
        {"ana@live.cmo", {{"ana@live.cmo", kParecido, "live.com"}}},
        {"ana@empresa.con", {{"ana@empresa.con", kParecido, "empresa.com"}}},
        {"ana@mail.empresa.ocm", {{"ana@mail.empresa.ocm", kParecido, "mail.empresa.com"}}},
        {"ana@ymail.con", {{"ana@ymail.con", kParecido, "ymail.com"}}},
        {"noreply@example.com", {{"noreply@example.com", Motivo::Rol, ""}}},
        {"No-Reply@example.com", {{"No-Reply@example.com", Motivo::Rol, ""}}},
        {"postmaster@example.com", {{"postmaster@example.com", Motivo::Rol, ""}}},
        {"webmaster@example.com", {{"webmaster@example.com", Motivo::Rol, ""}}},
        {"ventas@example.com", {{"ventas@example.com", Motivo::Rol, ""}}},
        {"contacto@example.com", {{"contacto@example.com", Motivo::Rol, ""}}},
        {"admin@example.com", {{"admin@example.com", Motivo::Rol, ""}}},
    };
    for (const auto& [direccion, esperados] : casos) {
        EXPECT_EQ(avisosDe(direccion), esperados) << direccion;
    }
    // One Avisador over all of them twice, the second time from what it kept.
    Avisador avisador;
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        for (const auto& [direccion, esperados] : casos) {
            std::vector<Aviso> avisos;
            avisador.avisar(direccion, avisos);
            EXPECT_EQ(avisos, esperados) << direccion;
        }
    }
    EXPECT_EQ(nombreMotivo(Motivo::DominioParecido), "dominio-parecido");
    EXPECT_EQ(nombreMotivo(Motivo::Rol), "rol");
}

// The providers' own domains, their regional ones, real domains next to theirs, short names
// that two edits reach from anything, and people.
TEST(Avisos, RealDomainsAndPeopleAreLeftAlone) {
    for (const char* dominio : {"gmail.com",     "hotmail.com", "hotmail.es",  "hotmail.com.ar",
                                "outlook.com",   "outlook.es",  "live.com",    "live.com.mx",
                                "live.com.ar",   "yahoo.com",   "yahoo.es",    "yahoo.com.mx",
                                "yahoo.com.ar",  "icloud.com",  "GMAIL.COM",   "hotmail.cl",
                                "hotmail.co.uk", "hotmail.de",  "live.es",     "gmail.co",
                                "gmail.es",      "outlook.co",  "yahoo.fr",    "gmx.es",
                                "gmx.com",       "gmx.net",     "ymail.com",   "mail.com",
                                "email.com",     "cloud.com",   "hotmart.com", "love.com",
                                "life.com",      "lve.com",     "pm.me",       "hey.com",
                                "sky.com",       "me.com",      "empresa.es",  "example.com",
                                "ñandú.es",      "gmaíl.com",   "co",          ".con"}) {
        EXPECT_EQ(avisosDe(std::string("ana@") + dominio), std::vector<Aviso>{}) << dominio;
    }
    for (const char* direccion :
         {"informes@example.com", "ana.info@example.com", "infoventas@example.com", "info"}) {
        EXPECT_EQ(avisosDe(direccion), std::vector<Aviso>{}) << direccion;
    }
}

}  // namespace
}  // namespace tralmix
