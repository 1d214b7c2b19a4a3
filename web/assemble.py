#!/usr/bin/python3
"""Makes the browser edition's one HTML file: the page's markup with its
style, its script, the WebAssembly module (inside emscripten's script) and the
faces the window and the page use, each cut down to the characters a user may
type or the window shows, inlined as WOFF2.

With two more arguments, it also makes a folder for a static web host: the
same page as index.html, installable as an app and kept for use offline.

usage: assemble.py WEB_SOURCE_DIR MODULE_JS OUTPUT_HTML [SITE_DIR SITE_MODULE_JS]
"""
import base64
import hashlib
import io
import json
import pathlib
import re
import subprocess
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

# The faces, by the name the style sheet gives them, and their files.
FACES = {
    ("Solvara Narrow", "normal"): "LiberationSansNarrow-Regular.ttf",
    ("Solvara Sans", "normal"): "LiberationSans-Regular.ttf",
    ("Solvara Sans", "bold"): "LiberationSans-Bold.ttf",
    ("Solvara Serif", "bold"): "LiberationSerif-Bold.ttf",
}
FONT_DIR = pathlib.Path("/usr/share/fonts")
# Printable ASCII and Latin-1, and what degrees, minutes and seconds, the
# minus sign, pasted quotes and blanks and the delta of the declinations take.
CHARACTERS = (
    list(range(0x20, 0x7F))
    + list(range(0xA0, 0x100))
    + [0x2B9, 0x2BA, 0x394, 0x3B4, 0x2009, 0x2018, 0x2019, 0x201C, 0x201D, 0x2026,
       0x202F, 0x2032, 0x2033, 0x2212]
)


def find_face(name):
    found = sorted(FONT_DIR.rglob(name))
    if not found:
        sys.exit(f"assemble.py: {name} not found under {FONT_DIR} (package fonts-liberation)")
    return found[0]


def woff2(path):
    options = subset.Options()
    options.flavor = "woff2"
    options.name_IDs = ["*"]  # keeps the copyright and licence names
    options.layout_features = ["*"]
    options.drop_tables += ["FFTM"]  # a font editor's time stamps
    font = TTFont(path)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=CHARACTERS)
    subsetter.subset(font)
    out = io.BytesIO()
    font.flavor = "woff2"
    font.save(out)
    return out.getvalue()


def font_faces():
    """The faces' rules, each face inlined; and the same rules naming each
    face's file instead, with those files, for the site."""
    inline, linked, files = [], [], {}
    for (family, weight), name in FACES.items():
        data = woff2(find_face(name))
        file = f"{name.removesuffix('.ttf')}.woff2"
        files[file] = data
        rule = f'@font-face {{ font-family: "{family}"; font-weight: {weight}; src: url(%s) format("woff2"); }}'
        inline.append(rule % f"data:font/woff2;base64,{base64.b64encode(data).decode('ascii')}")
        linked.append(rule % file)
    return "\n".join(inline), "\n".join(linked), files


def licences():
    """The faces' copyright and licence, as Debian ships them."""
    texts = []
    for package in ("fonts-liberation", "fonts-liberation-sans-narrow", "fonts-liberation2"):
        path = pathlib.Path("/usr/share/doc") / package / "copyright"
        if path.exists():
            texts.append(path.read_text(encoding="utf-8"))
    if not texts:
        sys.exit("assemble.py: the faces' copyright file is missing")
    return "\n".join(texts).replace("--", "- -")


def hashes(page, element):
    """The Content-Security-Policy sources that let exactly the page's own
    inline scripts (or style) run: the SHA-256 of each element's text."""
    texts = re.findall(rf"<{element}>(.*?)</{element}>", page, re.DOTALL)
    if not texts:
        sys.exit(f"assemble.py: page.html has no <{element}>")
    digests = (base64.b64encode(hashlib.sha256(t.encode("utf-8")).digest()).decode("ascii") for t in texts)
    return " ".join(f"'sha256-{d}'" for d in digests)


def fill(page, parts, site_sources):
    """The page with every mark replaced, and its Content-Security-Policy
    naming exactly the scripts and the style it ends up holding."""
    for mark in parts:
        if page.count(mark) != 1:
            sys.exit(f"assemble.py: page.html must hold {mark} once")
    # One pass, so that nothing inlined is taken for a mark.
    pattern = "|".join(re.escape(mark) for mark in parts)
    page = re.sub(pattern, lambda m: parts[m.group(0)], page)
    if "</script" in parts["/*MODULE*/"] + parts["/*SCRIPT*/"]:
        sys.exit("assemble.py: a script would end its element early")
    page = page.replace("SCRIPT_HASHES", hashes(page, "script"), 1)
    page = page.replace("STYLE_HASHES", hashes(page, "style"), 1)
    # A site may also load its own icons, manifest and worker.
    self_too = " 'self'" if site_sources else ""
    return page.replace("SITE_SELF", self_too).replace("SITE_SOURCES", site_sources, 1)


# The app's icons: the window's icon as it is, and on a ground of its own
# with room around it, for the launchers that cut an icon to their shape.
ICONS = {"icon-192.png": (192, False), "icon-512.png": (512, True)}


def icon(svg, size, grounded):
    if grounded:
        inner = re.sub(r"^.*?<svg[^>]*>|</svg>\s*$", "", svg, flags=re.DOTALL)
        svg = ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">'
               '<rect width="32" height="32" fill="#2a6fc9"/>'
               f'<g transform="translate(6.4 6.4) scale(0.6)">{inner}</g></svg>')
    return subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size)], input=svg.encode(),
                          capture_output=True, check=True).stdout


def write_site(source, site, page, parts, module, faces):
    """A folder for a static web host: the page (its WebAssembly module a
    file of its own), a web app manifest, its icons and a service worker
    that keeps them all for use offline."""
    site.mkdir(parents=True, exist_ok=True)
    register = (source / "site.js").read_text(encoding="utf-8")
    head = ('<link rel="manifest" href="manifest.webmanifest">\n'
            '<link rel="icon" href="icon-192.png">\n'
            '<link rel="apple-touch-icon" href="icon-512.png">\n'
            f"<script>\n{register}</script>")
    wasm = module.with_suffix(".wasm")
    linked, face_files = faces
    # The faces asked for at once, not once the script has built the window.
    head += "".join(f'\n<link rel="preload" href="{name}" as="font" type="font/woff2" crossorigin>'
                    for name in face_files)
    parts = parts | {"<!--SITE-->": head, "/*MODULE*/": module.read_text(encoding="utf-8"), "/*FACES*/": linked}
    files = {"index.html": fill(page, parts, "; manifest-src 'self'; worker-src 'self'").encode("utf-8"),
             wasm.name: wasm.read_bytes(), **face_files}
    svg = (source.parent / "ui" / "icons" / "solvara.svg").read_text(encoding="utf-8")
    files |= {name: icon(svg, size, grounded) for name, (size, grounded) in ICONS.items()}
    manifest = {
        "name": "Solvara", "short_name": "Solvara", "lang": "it", "dir": "ltr",
        "start_url": "./", "scope": "./", "display": "standalone",
        "background_color": "#d9d9d9", "theme_color": "#2a6fc9",
        "icons": [{"src": name, "sizes": f"{size}x{size}", "type": "image/png",
                   "purpose": "maskable" if grounded else "any"}
                  for name, (size, grounded) in ICONS.items()],
    }
    files["manifest.webmanifest"] = json.dumps(manifest, indent=1).encode("utf-8")
    build = hashlib.sha256(b"".join(files[name] for name in sorted(files))).hexdigest()[:16]
    worker = (source / "sw.js").read_text(encoding="utf-8")
    files["sw.js"] = (worker.replace("BUILD_HASH", build, 1)
                      .replace("FILE_LIST", json.dumps(["./", *sorted(files)]), 1).encode("utf-8"))
    for name, data in files.items():
        (site / name).write_bytes(data)


def main():
    source, module, output = (pathlib.Path(a) for a in sys.argv[1:4])
    page = (source / "page.html").read_text(encoding="utf-8")
    inline, linked, face_files = font_faces()
    parts = {
        "/*FACES*/": inline,
        "/*STYLE*/": (source / "window.css").read_text(encoding="utf-8"),
        "/*MODULE*/": module.read_text(encoding="utf-8"),
        "/*SCRIPT*/": (source / "window.js").read_text(encoding="utf-8"),
        "LICENCES": licences(),
    }
    output.write_text(fill(page, parts | {"<!--SITE-->": ""}, ""), encoding="utf-8")
    if len(sys.argv) > 5:
        write_site(source, pathlib.Path(sys.argv[4]), page, parts, pathlib.Path(sys.argv[5]),
                   (linked, face_files))


if __name__ == "__main__":
    main()
