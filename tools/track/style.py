"""Fonts and picture format shared by the maps and the views."""
import os

from PIL import ImageFont

FONT_DIR = os.environ.get("FONT_DIR", "/usr/share/fonts/truetype/dejavu")
FONT = os.path.join(FONT_DIR, "DejaVuSans.ttf")
BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
COND = os.path.join(FONT_DIR, "DejaVuSansCondensed.ttf")
COND_BOLD = os.path.join(FONT_DIR, "DejaVuSansCondensed-Bold.ttf")

SS = 3  # every picture is drawn this much larger, then scaled down: smooth edges

_fonts = {}


def font(path, px):
    """The font at px pixels of the final picture."""
    key = (path, px)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(path, round(px * SS))
    return _fonts[key]


def save_jpeg(img, path, text=True, quality=88):
    # Full-resolution colour keeps small coloured text crisp; the views can spare it.
    img.save(path, "JPEG", quality=quality, subsampling=0 if text else 2, optimize=True)


def wrap_after_slashes(name, fits):
    """Lines of `name`, broken after its slashes, each as long as fits(line) allows."""
    parts = name.split("/")
    lines, cur = [], ""
    for i, p in enumerate(parts):
        w = p + ("/" if i < len(parts) - 1 else "")
        if cur and not fits((cur + w).rstrip("/")):
            lines.append(cur)
            cur = ""
        cur += w
    return lines + [cur]
