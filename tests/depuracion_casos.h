#pragma once

// The clean-up's rules as entries and what each becomes, shared by the native tests (Linux and
// Windows) and the browser's module, so that the three platforms' IDNA are held to one table.

#include <string>
#include <vector>

#include "extract/depuracion.h"

namespace tralmix::prueba {

struct CasoDepuracion {
    std::string entrada;
    Depuracion esperada;
    std::vector<std::string> direcciones;
};

inline std::vector<CasoDepuracion> casosDepuracion() {
    using enum Depuracion;
    const std::string ana = "ana@example.com";
    const std::string l64(64, 'l');
    const std::string e63(63, 'e');
    // 57 "ñ" give an ASCII form of exactly 63 bytes ("xn--ida" and 56 "a").
    std::string enes57;
    for (int i = 0; i < 57; ++i) {
        enes57 += "ñ";
    }
    // A domain of 252 bytes: with "a@" the address is 254 bytes long.
    const std::string d252 = e63 + "." + e63 + "." + e63 + "." + std::string(57, 'e') + ".es";
    // Thirty "ñ" labels: 92 bytes as written, 242 in the ASCII form; forty: 322.
    std::string enes30;
    std::string enes40;
    for (int i = 0; i < 40; ++i) {
        (i < 30 ? enes30 : enes40) += "ñ.";
    }
    enes40 = enes30 + enes40;
    return {
        // What people paste.
        {"De  Ana Ruiz  ana@example.com", Reducida, {ana}},
        {"mailto pepe@example.com", Reducida, {"pepe@example.com"}},
        {"<mailto:Pepe@Example.com?subject=Hola>", Reducida, {"pepe@example.com"}},
        {"bad@", Descartada, {}},
        {"@bad.com", Descartada, {}},
        {"foo@bar", Descartada, {}},
        {"user@ 192.168.1.1", Descartada, {}},
        {"user@192.168.1.1", Descartada, {}},
        {"user@[192.168.1.1]", Descartada, {}},
        {"ana@example.com\tluis@example.org", Reducida, {ana, "luis@example.org"}},
        {"marcos.ruiz@example.net]", Reducida, {"marcos.ruiz@example.net"}},
        {"image001.png@01da2b3c.4d5e6f70]", Descartada, {}},
        {"juan.perez@empresa.es.", Reducida, {"juan.perez@empresa.es"}},
        {"Ana@Example.com", Reducida, {ana}},
        {ana, SinCambios, {ana}},
        {"Ana Ruiz <ana@example.com>, Luis <LUIS@example.org>",
         Reducida,
         {ana, "luis@example.org"}},
        {"ana@example.com ana@example.com", Reducida, {ana, ana}},
        {"sin direcciones", Descartada, {}},
        {"", Descartada, {}},
        // Every wrapper, and what pasted text leaves at the end.
        {"<ana@example.com>", Reducida, {ana}},
        {"(ana@example.com)", Reducida, {ana}},
        {"[ana@example.com]", Reducida, {ana}},
        {"\"ana@example.com\"", Reducida, {ana}},
        {"'ana@example.com'", Reducida, {ana}},
        {"“ana@example.com”", Reducida, {ana}},
        {"‘ana@example.com’", Reducida, {ana}},
        {"«ana@example.com»", Reducida, {ana}},
        {"„ana@example.com“", Reducida, {ana}},
        {"ana@example.com,", Reducida, {ana}},
        {"ana@example.com;", Reducida, {ana}},
        {"ana@example.com:", Reducida, {ana}},
        {"ana@example.com...", Reducida, {ana}},
        {"(ana@example.com.)", Reducida, {ana}},
        {"\"Ruiz, Ana\" <ana@example.com>;", Reducida, {ana}},
        {"Para:ana@example.com", Reducida, {ana}},
        {"ana@example.com\xC2\xA0", Reducida, {ana}},
        {"ana@example.com\r", Reducida, {ana}},
        {std::string("ana@example.com\0x", 17), Reducida, {ana}},
        // Local parts.
        {"o'brien@example.com", SinCambios, {"o'brien@example.com"}},
        {"a.b+c_d-e!#$%&*/=?^`{|}~@example.com",
         SinCambios,
         {"a.b+c_d-e!#$%&*/=?^`{|}~@example.com"}},
        {".ana@example.com", Descartada, {}},
        {"ana.@example.com", Descartada, {}},
        {"an..a@example.com", Descartada, {}},
        {"\"ana luis\"@example.com", Descartada, {}},
        {"ana@@example.com", Descartada, {}},
        {"ana@luis@example.com", Descartada, {}},
        {"ana\\luis@example.com", Descartada, {}},
        {"josé@empresa.es", SinCambios, {"josé@empresa.es"}},
        {"JOSÉ@EMPRESA.ES", Reducida, {"josé@empresa.es"}},
        {"ana\xE2\x80\x8B@example.com", Descartada, {}},  // a zero-width space
        {"ana\xEF\xBF\xBD@example.com", Descartada, {}},  // a broken character
        {"ana\xC3@example.com", Descartada, {}},          // not UTF-8
        {l64 + "@example.com", SinCambios, {l64 + "@example.com"}},
        {l64 + "l@example.com", Descartada, {}},
        // Domains.
        {"ana@ex_ample.com", Descartada, {}},
        {"ana@-example.com", Descartada, {}},
        {"ana@example-.com", Descartada, {}},
        {"ana@ex--ample.com", SinCambios, {"ana@ex--ample.com"}},
        {"ana@example.c", Descartada, {}},
        {"ana@example.c0m", Descartada, {}},
        {"ana@example..com", Descartada, {}},
        {"ana@.example.com", Descartada, {}},
        {"ana@123.example.co.uk", SinCambios, {"ana@123.example.co.uk"}},
        {"ana@" + e63 + ".com", SinCambios, {"ana@" + e63 + ".com"}},
        {"ana@" + e63 + "e.com", Descartada, {}},
        {"a@" + d252, SinCambios, {"a@" + d252}},
        {"ab@" + d252, Descartada, {}},
        // Internationalised domains.
        {"ana@ñandú.es", SinCambios, {"ana@ñandú.es"}},
        {"ANA@ÑANDÚ.ES", Reducida, {"ana@ñandú.es"}},
        {"ana@xn--and-6ma2c.es", SinCambios, {"ana@xn--and-6ma2c.es"}},
        {"ana@XN--AND-6MA2C.ES", Reducida, {"ana@xn--and-6ma2c.es"}},
        {"ana@correo.españa", SinCambios, {"ana@correo.españa"}},
        {"ana@correo.xn--espaa-rta", SinCambios, {"ana@correo.xn--espaa-rta"}},
        {"ana@日本語.jp", SinCambios, {"ana@日本語.jp"}},
        {"ana@ñ-a.es", SinCambios, {"ana@ñ-a.es"}},
        {"ana@ñandú", Descartada, {}},
        {"ana@-ñ.es", Descartada, {}},
        {"ana@ñ-.es", Descartada, {}},
        {"ana@xn--ñ.es", Descartada, {}},
        {"ana@ñ\xC2\xADx.es", Descartada, {}},  // a soft hyphen
        {"ana@ñ。es", Descartada, {}},          // an ideographic full stop
        {"ana@ñ/a.es", Descartada, {}},
        {"ana@ｅｘａｍｐｌｅ.com", SinCambios, {"ana@ｅｘａｍｐｌｅ.com"}},
        {"ana@１２３.com", Descartada, {}},  // full-width digits: a number
        {"ana@" + enes57 + ".es", SinCambios, {"ana@" + enes57 + ".es"}},
        {"ana@" + enes57 + "ñ.es", Descartada, {}},
        {"a@" + enes30 + "es", SinCambios, {"a@" + enes30 + "es"}},
        {"a@" + enes40 + "es", Descartada, {}},
        // Labels in their ASCII form that are no such form.
        {"ana@xn--ida.es", SinCambios, {"ana@xn--ida.es"}},
        {"ana@xn--and-6ma2.es", Descartada, {}},  // cut short
        {"ana@xn--abc.es", Descartada, {}},       // decodes to control characters
        {"ana@xn--abc-.es", Descartada, {}},      // decodes to ASCII
        {"ana@xn--.es", Descartada, {}},
        {"ana@xn----rga.es", Descartada, {}},  // "-ñ"
        {"ana@xn--anda6ma2c.es", Descartada, {}},
        {"ana@xn--99999999999.es", Descartada, {}},  // beyond any code point
    };
}

// Each case whose result differs from the table, described; empty when all hold.
inline std::string fallosDepuracion() {
    std::string fallos;
    Depurador depurador;
    for (const CasoDepuracion& caso : casosDepuracion()) {
        const Depuracion d = depurador.depurar(caso.entrada);
        std::vector<std::string> direcciones;
        for (const std::string_view v : depurador.direcciones()) {
            direcciones.emplace_back(v);
        }
        if (d != caso.esperada || direcciones != caso.direcciones) {
            fallos += "[" + caso.entrada + "] dio " + std::to_string(static_cast<int>(d)) + ":";
            for (const std::string& x : direcciones) {
                fallos += " " + x;
            }
            fallos += "\n";
        }
    }
    return fallos;
}

}  // namespace tralmix::prueba
