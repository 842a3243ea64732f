#!/usr/bin/python3
"""Regenerates tests/data/corpus/: small pictures (13 x 7) written by other programs in
the layouts those programs choose, for the foreign-files test.

Made with ImageMagick 6.9.11-60 Q16 (`convert`, Debian 12 package imagemagick) and
Pillow 9.4.0 (Debian 12 package python3-pil), both from Debian 12. Run from anywhere:

    /usr/bin/python3 tests/data/make-corpus.py

Every picture is one of the fixed patterns below; tests/core/image/CorpusTest.cpp
computes the same patterns and compares. Keep the two in step.
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

W, H = 13, 7
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")


def colour(x, y):
    """91 distinct colours: fits a 256-colour palette exactly."""
    return (x * 20 + 5, y * 40 + 10, (x * 7 + y * 31) & 0xFF)


SIXTEEN = [(i * 17, 255 - i * 17, (i * 5 % 16) * 17) for i in range(16)]


def colour16(x, y):
    return SIXTEEN[(x + 2 * y) % 16]


def mono(x, y):
    return (255, 255, 255) if (x * 3 + y * 5) % 7 < 3 else (0, 0, 0)


def gray(x, y):
    return x * 18 + y * 5


def alpha(x, y):
    return 255 - x * 15 - y * 5


def pattern_image(kind):
    if kind == "gray":
        im = Image.new("L", (W, H))
        im.putdata([gray(x, y) for y in range(H) for x in range(W)])
        return im
    if kind == "grayalpha":
        im = Image.new("LA", (W, H))
        im.putdata([(gray(x, y), alpha(x, y)) for y in range(H) for x in range(W)])
        return im
    if kind == "rgba":
        im = Image.new("RGBA", (W, H))
        im.putdata([colour(x, y) + (alpha(x, y),) for y in range(H) for x in range(W)])
        return im
    f = {"colour": colour, "colour16": colour16, "mono": mono}[kind]
    im = Image.new("RGB", (W, H))
    im.putdata([f(x, y) for y in range(H) for x in range(W)])
    return im


def write_pnm(path, kind, sixteen=False):
    """The pattern as a PPM, PGM or PAM file: ImageMagick's input."""
    scale = 257 if sixteen else 1
    maxval = 65535 if sixteen else 255

    def sample(v):
        v *= scale
        return bytes([v >> 8, v & 0xFF]) if sixteen else bytes([v])

    body = b""
    for y in range(H):
        for x in range(W):
            if kind == "gray":
                body += sample(gray(x, y))
            elif kind == "grayalpha":
                body += sample(gray(x, y)) + sample(alpha(x, y))
            elif kind == "rgba":
                body += b"".join(sample(c) for c in colour(x, y) + (alpha(x, y),))
            else:
                f = {"colour": colour, "colour16": colour16, "mono": mono}[kind]
                body += b"".join(sample(c) for c in f(x, y))
    if kind in ("grayalpha", "rgba"):
        depth, tuple_type = (2, "GRAYSCALE_ALPHA") if kind == "grayalpha" else (4, "RGB_ALPHA")
        head = f"P7\nWIDTH {W}\nHEIGHT {H}\nDEPTH {depth}\nMAXVAL {maxval}\nTUPLTYPE {tuple_type}\nENDHDR\n"
    elif kind == "gray":
        head = f"P5\n{W} {H}\n{maxval}\n"
    else:
        head = f"P6\n{W} {H}\n{maxval}\n"
    with open(path, "wb") as f:
        f.write(head.encode() + body)


# name, pattern, 16-bit input, ImageMagick arguments (the output is the last one)
MAGICK = [
    ("im-rgb.png", "colour", False, ["PNG24:{out}"]),
    ("im-rgba.png", "rgba", False, ["PNG32:{out}"]),
    ("im-palette.png", "colour", False, ["PNG8:{out}"]),
    ("im-gray.png", "gray", False, ["-type", "Grayscale", "{out}"]),
    ("im-grayalpha.png", "grayalpha", False, ["-type", "GrayscaleAlpha", "{out}"]),
    ("im-16bit.png", "colour", True, ["-depth", "16", "PNG48:{out}"]),
    ("im-16bit-rgba.png", "rgba", True, ["-depth", "16", "PNG64:{out}"]),
    ("im-interlaced.png", "colour", False, ["-interlace", "PNG", "PNG24:{out}"]),
    ("im-mono.png", "mono", False, ["-type", "Bilevel", "{out}"]),
    ("im-baseline.jpg", "colour", False, ["-quality", "100", "-sampling-factor", "1x1", "{out}"]),
    ("im-progressive.jpg", "colour", False,
     ["-quality", "100", "-sampling-factor", "1x1", "-interlace", "JPEG", "{out}"]),
    ("im-gray.jpg", "gray", False, ["-quality", "100", "-type", "Grayscale", "{out}"]),
    ("im-cmyk.jpg", "colour", False,
     ["-quality", "100", "-sampling-factor", "1x1", "-colorspace", "CMYK", "{out}"]),
    ("im-none.tif", "colour", False, ["-compress", "None", "{out}"]),
    ("im-lzw.tif", "colour", False, ["-compress", "LZW", "{out}"]),
    ("im-deflate.tif", "colour", False, ["-compress", "Zip", "{out}"]),
    ("im-packbits.tif", "colour", False, ["-compress", "RLE", "{out}"]),
    ("im-16bit.tif", "colour", True, ["-depth", "16", "-compress", "LZW", "{out}"]),
    ("im-rgba.tif", "rgba", False, ["-compress", "LZW", "{out}"]),
    ("im-tiled.tif", "colour", False,
     ["-compress", "Zip", "-define", "tiff:tile-geometry=16x16", "{out}"]),
    ("im-planar.tif", "colour", False, ["-interlace", "Plane", "-compress", "LZW", "{out}"]),
    ("im-gray.tif", "gray", False, ["-type", "Grayscale", "-compress", "LZW", "{out}"]),
    ("im-palette.tif", "colour", False, ["-type", "Palette", "-compress", "LZW", "{out}"]),
    ("im-mono.tif", "mono", False, ["-type", "Bilevel", "-compress", "None", "{out}"]),
    ("im-1bit.bmp", "mono", False, ["-type", "Bilevel", "BMP3:{out}"]),
    ("im-4bit.bmp", "colour16", False, ["-type", "Palette", "-colors", "16", "BMP3:{out}"]),
    ("im-8bit.bmp", "colour", False, ["-type", "Palette", "-compress", "None", "BMP3:{out}"]),
    ("im-rle8.bmp", "colour", False, ["-type", "Palette", "-compress", "RLE", "BMP3:{out}"]),
    ("im-24bit.bmp", "colour", False, ["-type", "TrueColor", "BMP3:{out}"]),
    ("im-32bit.bmp", "rgba", False, ["-type", "TrueColorAlpha", "BMP:{out}"]),
    ("im-565.bmp", "colour", False, ["-define", "bmp:subtype=RGB565", "BMP:{out}"]),
    # Without an orientation ImageMagick writes the rows top first but marks them as
    # starting at the bottom; told, it marks them right.
    ("im-raw.tga", "colour", False, ["-orient", "TopLeft", "-compress", "None", "{out}"]),
    ("im-rle.tga", "colour", False, ["-orient", "TopLeft", "-compress", "RLE", "{out}"]),
    ("im-rgb.pcx", "colour", False, ["-type", "TrueColor", "{out}"]),
    ("im-palette.pcx", "colour", False, ["-type", "Palette", "{out}"]),
    ("im-mono.pcx", "mono", False, ["-type", "Bilevel", "{out}"]),
    ("im-rle.psd", "colour", False, ["-compress", "RLE", "{out}"]),
    ("im-raw.psd", "colour", False, ["-compress", "None", "{out}"]),
    ("im-rgba.psd", "rgba", False, ["{out}"]),
    ("im-16bit.psd", "colour", True, ["-depth", "16", "{out}"]),
    ("im-gray.psd", "gray", False, ["-type", "Grayscale", "{out}"]),
    ("im-cmyk.psd", "colour", False, ["-colorspace", "CMYK", "{out}"]),
    ("im-lossless.webp", "colour", False, ["-define", "webp:lossless=true", "{out}"]),
    ("im-lossy.webp", "colour", False, ["-quality", "90", "{out}"]),
]


def pil_variants():
    rgb, rgba = pattern_image("colour"), pattern_image("rgba")
    g, ga = pattern_image("gray"), pattern_image("grayalpha")
    pal = rgb.quantize(colors=256, method=Image.Quantize.FASTOCTREE, dither=Image.Dither.NONE)
    pal16 = pattern_image("colour16").quantize(colors=16, dither=Image.Dither.NONE)
    m = pattern_image("mono").convert("1", dither=Image.Dither.NONE)
    # A palette picture whose first colour is transparent (tRNS).
    trns = pal.copy()
    return [
        ("pil-rgb.png", rgb, {}),
        ("pil-rgba.png", rgba, {}),
        ("pil-palette.png", pal, {}),
        ("pil-palette-trns.png", trns, {"transparency": 0}),
        ("pil-gray.png", g, {}),
        ("pil-grayalpha.png", ga, {}),
        ("pil-16bit-gray.png", g.point(lambda v: v * 257, "I").convert("I;16"), {}),
        ("pil-optimized.png", rgb, {"optimize": True}),
        ("pil-baseline.jpg", rgb, {"quality": 100, "subsampling": 0}),
        ("pil-progressive.jpg", rgb, {"quality": 100, "subsampling": 0, "progressive": True}),
        ("pil-gray.jpg", g, {"quality": 100}),
        ("pil-lzw.tif", rgb, {"compression": "tiff_lzw"}),
        ("pil-deflate.tif", rgb, {"compression": "tiff_adobe_deflate"}),
        ("pil-packbits.tif", rgb, {"compression": "packbits"}),
        ("pil-rgba.tif", rgba, {"compression": "tiff_lzw"}),
        ("pil-1bit.bmp", m, {}),
        ("pil-8bit.bmp", pal, {}),
        ("pil-gray.bmp", g, {}),
        ("pil-24bit.bmp", rgb, {}),
        ("pil-32bit.bmp", rgba, {}),
        ("pil-bottom.tga", rgb, {}),
        ("pil-top.tga", rgb, {"orientation": 1}),
        ("pil-rle-bottom.tga", rgb, {"compression": "tga_rle"}),
        ("pil-rle-top.tga", rgb, {"compression": "tga_rle", "orientation": 1}),
        ("pil-palette.tga", pal, {"compression": "tga_rle"}),
        ("pil-gray.tga", g, {}),
        ("pil-rgba.tga", rgba, {"compression": "tga_rle"}),
        ("pil-rgb.pcx", rgb, {}),
        ("pil-palette.pcx", pal, {}),
        ("pil-16colour.pcx", pal16, {}),
        ("pil-gray.pcx", g, {}),
        ("pil-mono.pcx", m, {}),
        ("pil-lossless.webp", rgb, {"lossless": True}),
        ("pil-lossy.webp", rgb, {"quality": 90}),
    ]


def main():
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for name, kind, sixteen, args in MAGICK:
            ext = {"gray": "pgm", "grayalpha": "pam", "rgba": "pam"}.get(kind, "ppm")
            src = os.path.join(tmp, f"{kind}{16 if sixteen else 8}.{ext}")
            write_pnm(src, kind, sixteen)
            out = os.path.join(OUT, name)
            cmd = ["convert", src, "-strip"] + [a.replace("{out}", out) for a in args]
            subprocess.run(cmd, check=True)
    for name, im, options in pil_variants():
        im.save(os.path.join(OUT, name), **options)
    return 0


if __name__ == "__main__":
    sys.exit(main())
