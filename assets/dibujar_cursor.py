#!/usr/bin/env python3
"""Draws the hand pointer (32 x 32, monochrome, hot spot 7,1) as two XBM files.

'#' is a black pixel, '.' a white one, ' ' transparent. The fingertip of the pointing finger
sits at column 7, row 1.
"""
import pathlib

MANO = [
    "                                ",
    "      ###                       ",
    "     #...#                      ",
    "     #...#                      ",
    "     #...#                      ",
    "     #...#                      ",
    "     #...####                   ",
    "     #...#...###                ",
    "     #...#...#..###             ",
    "     #...#...#..#..#            ",
    " ### #...#...#..#...#           ",
    "#...##...#...#..#...#           ",
    "#....#..............#           ",
    " #...#..............#           ",
    "  #..#..............#           ",
    "  #.................#           ",
    "   #................#           ",
    "   #...............#            ",
    "    #..............#            ",
    "    #.............#             ",
    "     #............#             ",
    "     #...........#              ",
    "      #..........#              ",
    "      ############              ",
    "",
]


def filas():
    for fila in MANO[:32]:
        yield fila.ljust(32)[:32]
    for _ in range(32 - min(len(MANO), 32)):
        yield " " * 32


def xbm(nombre, encendido, x_hot=7, y_hot=1):
    bytes_ = []
    for fila in filas():
        for inicio in range(0, 32, 8):
            valor = 0
            for bit, c in enumerate(fila[inicio:inicio + 8]):
                if c in encendido:
                    valor |= 1 << bit
            bytes_.append(valor)
    cuerpo = ",\n   ".join(
        ", ".join(f"0x{b:02x}" for b in bytes_[i:i + 12]) for i in range(0, len(bytes_), 12))
    return (f"#define {nombre}_width 32\n#define {nombre}_height 32\n"
            f"#define {nombre}_x_hot {x_hot}\n#define {nombre}_y_hot {y_hot}\n"
            f"static unsigned char {nombre}_bits[] = {{\n   {cuerpo}}};\n")


if __name__ == "__main__":
    aqui = pathlib.Path(__file__).resolve().parent
    (aqui / "mano.xbm").write_text(xbm("mano", "#"))
    (aqui / "mano_mascara.xbm").write_text(xbm("mano_mascara", "#."))
