#!/usr/bin/python3
"""Draws the game's two art files, Media/worldtexture.png and Media/dashboard.png,
and the desktop icons in packaging/icons, made from the world texture.

Run from anywhere:  /usr/bin/python3 tools/make_art.py
Needs Pillow (Debian: python3-pil) and DejaVu Sans Mono Bold
(Debian: fonts-dejavu-core). The output is deterministic: every "random"
detail comes from a fixed integer hash, so a re-run rewrites identical pixels.
The PNGs are committed; run this only after changing the art.
"""

import math
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MEDIA = os.path.join(REPO, "Media")
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"

# ---------------------------------------------------------------- helpers


def hash01(*ints):
    """A fixed pseudo-random value in [0, 1) for a tuple of integers."""
    h = 0x811C9DC5
    for v in ints:
        h ^= v & 0xFFFFFFFF
        h = (h * 0x01000193) & 0xFFFFFFFF
        h ^= h >> 15
        h = (h * 0x2C1B3C6D) & 0xFFFFFFFF
        h ^= h >> 12
    return (h & 0xFFFFFF) / float(0x1000000)


def smooth(t):
    return t * t * (3.0 - 2.0 * t)


def value_noise(x, y, cells, period, seed):
    """Smooth noise in [0, 1) that repeats every `period` pixels; `cells`
    lattice cells per period (cells must divide the period evenly in spirit,
    the lattice itself wraps)."""
    fx = x * cells / period
    fy = y * cells / period
    ix, iy = int(math.floor(fx)), int(math.floor(fy))
    tx, ty = smooth(fx - ix), smooth(fy - iy)

    def lat(i, j):
        return hash01(seed, i % cells, j % cells)

    a = lat(ix, iy) + (lat(ix + 1, iy) - lat(ix, iy)) * tx
    b = lat(ix, iy + 1) + (lat(ix + 1, iy + 1) - lat(ix, iy + 1)) * tx
    return a + (b - a) * ty


def fractal(x, y, period, seed, octaves=(4, 8, 16)):
    total, weight, w = 0.0, 0.0, 1.0
    for k, cells in enumerate(octaves):
        total += w * value_noise(x, y, cells, period, seed + 101 * k)
        weight += w
        w *= 0.5
    return total / weight


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def clamp8(v):
    return max(0, min(255, int(round(v))))


def rgb(c, scale=1.0):
    return tuple(clamp8(v * scale) for v in c[:3])


# ---------------------------------------------------------------- world texture
#
# 512 x 512, a 4 x 4 grid of 128-pixel tiles. A world face shows only the
# middle 64 x 64 of its tile, so every surface pattern repeats every 64
# pixels with its period starting at the tile's quarter mark: the texels just
# outside the patch (reached by linear filtering and by coarse mipmaps) then
# continue the pattern seamlessly.

ATLAS = 512
TILE = ATLAS // 4
PATCH = TILE // 2
INSET = TILE // 4


def edge_distance(u, v):
    """Distance in pixels from (u, v) in the patch to the patch's nearest edge,
    measured from pixel centres (0.5 for the outermost ring)."""
    return min(u + 0.5, v + 0.5, PATCH - u - 0.5, PATCH - v - 0.5)


def water(u, v):
    deep = (24, 74, 152)
    light = (110, 182, 230)
    # Two crossing sets of ripples, bent by slow noise, make a caustic net.
    t = 2.0 * math.pi / PATCH
    a = t * (u + v) + 5.0 * fractal(u, v, PATCH, 12, (2, 4))
    b = t * (u - 2 * v) + 5.0 * fractal(u, v, PATCH, 13, (2, 4))
    crest = min(1.0, (1.0 - abs(math.sin(a))) ** 4 + (1.0 - abs(math.sin(b))) ** 4)
    n = fractal(u, v, PATCH, 11)
    return rgb(mix(deep, light, 0.3 * n + 0.5 * crest))


def ground(u, v):
    grass = (88, 128, 52)
    dry = (122, 118, 60)
    soil = (104, 80, 48)
    n = fractal(u, v, PATCH, 21)
    c = mix(grass, dry, smooth(min(1.0, max(0.0, (n - 0.35) * 2.5))))
    speck = hash01(22, u, v)
    if speck < 0.07:
        c = mix(c, soil, 0.7)
    elif speck > 0.93:
        c = mix(c, (150, 184, 80), 0.6)
    # A faint darkening at the quad edges lets the eye follow the relief of
    # the unlit ground.
    d = edge_distance(u, v)
    c = tuple(x * (0.84 + 0.16 * smooth(min(1.0, d / 5.0))) for x in c)
    return rgb(c)


def bevel_frame(u, v, face, light, dark_line, width=5):
    """A dark seam on the outer ring, then a lit bevel fading into the face."""
    d = edge_distance(u, v)
    if d < 1.0:
        return dark_line
    if d < 1.0 + width:
        t = (d - 1.0) / width
        return mix(light, face, smooth(t))
    return face


def falling(u, v):
    amber = (238, 134, 30)
    red = (176, 52, 28)
    # Hazard stripes, 16 pixels per pair so that they repeat in the patch.
    stripe = ((u + v) % 16) < 8
    n = fractal(u, v, PATCH, 31, (8, 16))
    face = mix(amber if stripe else red, (255, 255, 255), 0.06 * (n - 0.5))
    c = bevel_frame(u, v, face, (255, 206, 120), (70, 22, 10), width=4)
    return rgb(c)


def block(u, v):
    stone = (146, 144, 136)
    n = fractal(u, v, PATCH, 41)
    face = mix(stone, (176, 174, 164), n - 0.3)
    pit = hash01(42, u, v)
    if pit < 0.05:
        face = mix(face, (92, 90, 84), 0.6)
    d = edge_distance(u, v)
    # The inner face is gently darker towards its rim, so two faces meeting at
    # an edge keep a visible crease even when drawn unlit.
    face = tuple(x * (0.92 + 0.08 * smooth(min(1.0, max(0.0, (d - 6.0) / 20.0)))) for x in face)
    c = bevel_frame(u, v, face, (206, 204, 194), (48, 46, 44), width=5)
    return rgb(c)


# Spare tiles, unused by the game today.

def sand(u, v):
    n = fractal(u, v, PATCH, 51)
    return rgb(mix((214, 190, 132), (232, 212, 160), n) if hash01(52, u, v) > 0.04 else (180, 150, 100))


def dirt(u, v):
    n = fractal(u, v, PATCH, 61)
    return rgb(mix((96, 66, 40), (128, 92, 58), n) if hash01(62, u, v) > 0.06 else (70, 50, 32))


def bricks(u, v):
    row = v // 16
    shift = 16 if row % 2 else 0
    bu, bv = (u + shift) % 32, v % 16
    if bu < 2 or bv < 2:
        return (176, 168, 150)
    n = fractal(u, v, PATCH, 71, (8, 16))
    tone = 0.9 + 0.2 * hash01(72, (u + shift) // 32, row)
    return rgb(mix((150, 62, 44), (176, 84, 60), n), tone)


def planks(u, v):
    board = v // 16
    if v % 16 == 0:
        return (62, 40, 24)
    grain = math.sin(2 * math.pi * (u / PATCH * 3 + 0.3 * value_noise(u, v, 8, PATCH, 81 + board)) * 2)
    tone = 0.9 + 0.2 * hash01(82, board)
    return rgb(mix((146, 100, 58), (176, 128, 78), 0.5 + 0.35 * grain), tone)


def snow(u, v):
    n = fractal(u, v, PATCH, 91)
    return rgb(mix((214, 222, 236), (246, 250, 255), n))


def moss(u, v):
    n = fractal(u, v, PATCH, 101)
    face = mix((110, 116, 104), (84, 128, 60), smooth(min(1.0, max(0.0, (n - 0.4) * 3.0))))
    return rgb(bevel_frame(u, v, face, (150, 160, 140), (40, 46, 36), width=4))


def cells(u, v, seed):
    """Tileable Voronoi cells, 4 x 4 per patch: the gap between the nearest
    two cell centres (small on a crack) and a shade picked per cell."""
    best, second, shade = 1e9, 1e9, 0.0
    for cx in range(4):
        for cy in range(4):
            px = (cx + 0.2 + 0.6 * hash01(seed, cx, cy)) * 16
            py = (cy + 0.2 + 0.6 * hash01(seed + 1, cx, cy)) * 16
            for ox in (-PATCH, 0, PATCH):
                for oy in (-PATCH, 0, PATCH):
                    d = math.hypot(u - px - ox, v - py - oy)
                    if d < best:
                        second, best = best, d
                        shade = hash01(seed + 2, cx, cy)
                    elif d < second:
                        second = d
    return second - best, shade


def cobble(u, v):
    gap, shade = cells(u, v, 111)
    if gap < 1.6:
        return (58, 58, 60)
    return rgb(mix((116, 116, 120), (150, 150, 156), shade))


def ice(u, v):
    n = fractal(u, v, PATCH, 121)
    c = mix((150, 200, 230), (210, 236, 250), n)
    if (u - v) % 32 == 0 or (u + 2 * v) % 64 == 0:
        c = mix(c, (255, 255, 255), 0.5)
    return rgb(c)


def metal(u, v):
    d = edge_distance(u, v)
    c = (120, 128, 138)
    if d < 1.0:
        c = (50, 54, 60)
    elif d < 3.0:
        c = (168, 176, 186)
    rivet = min(math.hypot(u - x, v - y) for x in (6, PATCH - 7) for y in (6, PATCH - 7))
    if rivet < 2.2:
        c = (190, 196, 204)
    return rgb(mix(c, (255, 255, 255), 0.05 * (hash01(131, u, v) - 0.5)))


def leaves(u, v):
    n = fractal(u, v, PATCH, 141, (8, 16, 32))
    return rgb(mix((30, 84, 30), (76, 140, 52), n))


def lava(u, v):
    gap, shade = cells(u, v, 151)
    glow = max(0.0, 1.0 - gap / 3.0)
    crust = mix((52, 30, 26), (78, 44, 34), shade)
    return rgb(mix(crust, (255, 150, 40), glow * glow))


def dark_stone(u, v):
    n = fractal(u, v, PATCH, 161)
    return rgb(bevel_frame(u, v, mix((60, 62, 70), (80, 82, 92), n), (110, 112, 124), (24, 24, 28), width=4))


MODEL_COLOUR = (172, 96, 222)


def model_material(u, v):
    return MODEL_COLOUR


# TILES[row][column]; the game uses the first column and the last tile.
TILES = [
    [water, sand, snow, lava],
    [ground, dirt, moss, leaves],
    [falling, bricks, cobble, dark_stone],
    [block, planks, ice, model_material],
]


def make_world_texture():
    img = Image.new("RGBA", (ATLAS, ATLAS))
    px = img.load()
    for row in range(4):
        for col in range(4):
            pattern = TILES[row][col]
            cache = {}
            for y in range(TILE):
                for x in range(TILE):
                    u, v = (x - INSET) % PATCH, (y - INSET) % PATCH
                    c = cache.get((u, v))
                    if c is None:
                        c = cache[(u, v)] = pattern(u, v)
                    px[col * TILE + x, row * TILE + y] = c + (255,)
    check_seamless(img)
    return img


def check_seamless(img):
    """The game repeats each tile's patch, and linear filtering reads one
    texel past each side of it: that texel must continue the pattern."""
    px = img.load()
    for y0 in range(INSET, ATLAS, TILE):
        for x0 in range(INSET, ATLAS, TILE):
            for k in range(PATCH):
                assert px[x0 + k, y0 + k][3] == 255
                assert px[x0 + PATCH, y0 + k] == px[x0, y0 + k]
                assert px[x0 - 1, y0 + k] == px[x0 + PATCH - 1, y0 + k]
                assert px[x0 + k, y0 + PATCH] == px[x0 + k, y0]
                assert px[x0 + k, y0 - 1] == px[x0 + k, y0 + PATCH - 1]


# ---------------------------------------------------------------- dashboard
#
# 1024 x 256 RGBA. Font cells (20 x 20) across the top 60 rows, panels and
# pointer in the next 60, then the two bars of 68 rows each.

DASH_W, DASH_H = 1024, 256
CELL = 20
BAND_LO, BAND_HI = 5, 14        # text advances 10 px: ink stays in these columns
BASELINE = 14
FONT_SIZE = 16
SS = 4                          # supersampling for the shapes


def glyph_image(ch, font):
    """One 20 x 20 cell: white glyph with a dark shadow and a soft dark rim,
    kept inside the 10-pixel advance band so that overlapping cells never
    cover a neighbour's ink."""
    mask = Image.new("L", (CELL, CELL), 0)
    ImageDraw.Draw(mask).text((BAND_LO, BASELINE), ch, font=font, fill=255, anchor="ls")
    bb = mask.getbbox()
    if bb is not None:
        # Pull glyphs that the font lets stick out back into the band; the
        # fill keeps one column free on the right for the shadow if it can.
        shift = 0
        if bb[0] < BAND_LO:
            shift = BAND_LO - bb[0]
        elif bb[2] > BAND_HI:
            shift = max(BAND_HI - bb[2], BAND_LO - bb[0])
        mask = ImageChops.offset(mask, shift, 0)
    # Firm up the anti-aliased edges: thin strokes (` ' , .) otherwise end
    # up as grey smudges at this size.
    mask = mask.point(lambda a: int(round(255.0 * (a / 255.0) ** 0.6)))
    rim = mask.filter(ImageFilter.MaxFilter(3)).point(lambda a: 150 if a > 0 else 0)
    shadow = ImageChops.offset(mask, 1, 1)
    cell = Image.new("RGBA", (CELL, CELL), (0, 0, 0, 0))
    cell.paste((12, 12, 20, 255), (0, 0), rim)
    cell.paste((12, 12, 20, 255), (0, 0), shadow)
    cell.paste((255, 255, 255, 255), (0, 0), mask)
    band = Image.new("L", (CELL, CELL), 0)
    ImageDraw.Draw(band).rectangle((BAND_LO, 0, BAND_HI, CELL - 1), fill=255)
    r, g, b, a = cell.split()
    return Image.merge("RGBA", (r, g, b, ImageChops.multiply(a, band)))


def draw_font(img):
    font = ImageFont.truetype(FONT, FONT_SIZE)
    for code in range(33, 127):
        g = code - 32
        img.alpha_composite(glyph_image(chr(code), font), (CELL * (g % 32), CELL * (g // 32)))


PANEL_STYLES = [
    # fill, border, top of border (lit), inner glow
    dict(fill=(22, 28, 42, 205), border=(178, 194, 218), lit=(226, 234, 246), glow=(60, 72, 96, 205)),
    dict(fill=(74, 44, 16, 220), border=(255, 196, 72), lit=(255, 236, 160), glow=(140, 90, 30, 220)),
    dict(fill=(10, 58, 50, 205), border=(96, 214, 170), lit=(190, 250, 226), glow=(36, 92, 80, 205)),
]
PANEL_OUTER = 4.0               # the visible box starts this far inside the piece
PANEL_RADIUS = 7.0


def rounded_box_distance(x, y, size):
    """Signed distance from (x, y) to a rounded square of side `size` - 2 *
    PANEL_OUTER, positive inside, and how much the nearest edge faces up
    (1 on the top edge, 0 on the sides and bottom, in between round the
    top corners)."""
    lo = PANEL_OUTER + PANEL_RADIUS
    hi = size - PANEL_OUTER - PANEL_RADIUS
    qx = max(lo - x, 0.0, x - hi)
    qy = max(lo - y, 0.0, y - hi)
    if qx > 0.0 and qy > 0.0:
        r = math.hypot(qx, qy)
        up = qy / r if y < lo else 0.0
        return PANEL_RADIUS - r, up
    inner_x = min(x - PANEL_OUTER, size - PANEL_OUTER - x)
    inner_y = min(y - PANEL_OUTER, size - PANEL_OUTER - y)
    if inner_x < inner_y:
        return inner_x, 0.0
    return inner_y, 1.0 if y < size / 2 else 0.0


def panel_colour(style, d, up):
    """Colour at depth d inside the box edge; the top border is lit."""
    s = PANEL_STYLES[style]
    if d < 1.0:
        return (8, 8, 12, 235)
    if d < 3.0:
        return tuple(clamp8(v) for v in mix(s["border"], s["lit"], up)) + (255,)
    if d < 4.0:
        return s["glow"]
    return s["fill"]


def draw_panels(img):
    size = 60
    for style in range(3):
        for y in range(size):
            for x in range(size):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SS):
                    for sx in range(SS):
                        fx = x + (sx + 0.5) / SS
                        fy = y + (sy + 0.5) / SS
                        d, up = rounded_box_distance(fx, fy, size)
                        if d <= 0.0:
                            continue
                        c = panel_colour(style, d, up)
                        a = c[3] / 255.0
                        for i in range(3):
                            acc[i] += c[i] * a
                        acc[3] += a
                n = SS * SS
                if acc[3] == 0.0:
                    continue
                colour = tuple(clamp8(acc[i] / acc[3]) for i in range(3))
                img.putpixel((60 * style + x, 60 + y), colour + (clamp8(255.0 * acc[3] / n),))


POINTER_X, POINTER_Y = 440, 60
HOT_X, HOT_Y = 12, 10
# The classic arrow, tip first, in pixels relative to the hot spot.
ARROW = [(0, 0), (0, 24), (5.5, 18.5), (10, 28), (14, 26.2), (9.6, 17), (17, 17)]


def draw_pointer(img):
    big = (40 * SS, 60 * SS)
    # Pixel centres: the tip lands on the middle of the hot-spot pixel.
    pts = [((HOT_X + 0.5 + ax) * SS, (HOT_Y + 0.5 + ay) * SS) for (ax, ay) in ARROW]
    shape = Image.new("L", big, 0)
    ImageDraw.Draw(shape).polygon(pts, fill=255)
    outline = shape.filter(ImageFilter.MaxFilter(2 * SS - 1))
    fill = shape.filter(ImageFilter.MinFilter(SS + 1))
    shadow = ImageChops.offset(outline, 2 * SS, 3 * SS).filter(ImageFilter.GaussianBlur(1.5 * SS))

    layer = Image.new("RGBA", big, (0, 0, 0, 0))
    layer.paste((0, 0, 0, 110), (0, 0), shadow)
    layer.paste((14, 16, 24, 255), (0, 0), outline)
    # A slight top-to-bottom shade on the white body.
    shade = Image.linear_gradient("L").resize(big).point(lambda t: 255 - t // 5)
    body = Image.merge("RGBA", (shade, shade, shade.point(lambda t: min(255, t + 6)), Image.new("L", big, 255)))
    layer.paste(body, (0, 0), fill)
    small = layer.resize((40, 60), Image.LANCZOS)
    # The hot spot is the arrow's top-left-most ink: clear the rim that the
    # outline grew above and left of it.
    px = small.load()
    for y in range(60):
        for x in range(40):
            if x < HOT_X or y < HOT_Y:
                px[x, y] = (0, 0, 0, 0)
    px[HOT_X, HOT_Y] = (14, 16, 24, 255)
    img.alpha_composite(small, (POINTER_X, POINTER_Y))


def bar_row_colour(r):
    """Colour of row r of the top bar, counted from its outer (screen) edge;
    the bottom bar uses the same rows mirrored."""
    if r >= 66:
        return (236, 178, 64, 255)          # accent line on the inner edge
    if r == 65:
        return (120, 92, 44, 245)
    t = r / 64.0
    top = (10, 13, 22)
    low = (30, 38, 58)
    c = mix(top, low, smooth(t))
    if r == 1:
        c = mix(c, (70, 80, 104), 0.6)      # faint highlight at the outer edge
    return tuple(clamp8(v) for v in c) + (236,)


def draw_bars(img):
    px = img.load()
    for r in range(68):
        c = bar_row_colour(r)
        for x in range(640):
            px[x, 120 + r] = c
            px[x, 188 + 67 - r] = c


def make_dashboard():
    img = Image.new("RGBA", (DASH_W, DASH_H), (0, 0, 0, 0))
    draw_font(img)
    draw_panels(img)
    draw_pointer(img)
    draw_bars(img)
    check_dashboard(img)
    return img


def check_dashboard(img):
    """What the game's drawing relies on: glyph cells are 20 wide but text
    advances by 10, so ink outside a cell's middle columns would cover its
    neighbours; the pointer sprite is drawn with its hot spot on the mouse
    position, so the tip is there and nothing lies above or left of it."""
    alpha = img.getchannel("A").load()
    for g in range(95):
        for y in range(CELL):
            for x in list(range(BAND_LO)) + list(range(BAND_HI + 1, CELL)):
                assert alpha[g % 32 * CELL + x, g // 32 * CELL + y] == 0, (chr(g + 32), x, y)
    assert alpha[POINTER_X + HOT_X, POINTER_Y + HOT_Y] == 255
    for y in range(60):
        for x in range(40):
            assert (x >= HOT_X and y >= HOT_Y) or alpha[POINTER_X + x, POINTER_Y + y] == 0, (x, y)


# ---------------------------------------------------------------- icons
#
# One block of the world seen from above a corner: the ground patch on top,
# the stone block patch on the two sides, cut from Media/worldtexture.png.
# Drawn once large and scaled down to each size the desktop looks for.

ICON_SIZES = (48, 128, 256)
# The Windows icon (windows/quillmoor.ico, in quillmoor.exe and the
# installer) holds the sizes Windows shows, each drawn from the large one.
WINDOWS_ICON_SIZES = (16, 24, 32, 48, 64, 256)
ICON_DRAW = 1024


def face(patch, origin, du, dv, shade):
    """The patch laid on the parallelogram origin + s*du + t*dv, s, t in [0, 1],
    its colours scaled by shade; transparent outside."""
    # Pillow's affine transform maps output pixels back to patch pixels, so
    # invert the 2 x 2 matrix whose columns are du and dv (in patch units).
    a, b = du[0] / PATCH, dv[0] / PATCH
    c, d = du[1] / PATCH, dv[1] / PATCH
    det = a * d - b * c
    ia, ib, ic, id_ = d / det, -b / det, -c / det, a / det
    ox, oy = origin
    coeffs = (ia, ib, -(ia * ox + ib * oy), ic, id_, -(ic * ox + id_ * oy))
    lit = patch.point(lambda v: clamp8(v * shade))
    layer = lit.transform((ICON_DRAW, ICON_DRAW), Image.AFFINE, coeffs, resample=Image.BICUBIC)
    mask = Image.new("L", (ICON_DRAW, ICON_DRAW), 0)
    corners = [origin, (ox + du[0], oy + du[1]), (ox + du[0] + dv[0], oy + du[1] + dv[1]), (ox + dv[0], oy + dv[1])]
    ImageDraw.Draw(mask).polygon(corners, fill=255)
    layer.putalpha(mask)
    return layer


def make_icons():
    atlas = Image.open(os.path.join(MEDIA, "worldtexture.png")).convert("RGB")

    def patch(pattern):
        row, col = next((r, c) for r in range(4) for c in range(4) if TILES[r][c] is pattern)
        x, y = col * TILE + INSET, row * TILE + INSET
        return atlas.crop((x, y, x + PATCH, y + PATCH))

    # An isometric cube of edge e: half-width e*cos 30, rise e*sin 30.
    e = ICON_DRAW * 0.47
    w, h = e * math.cos(math.pi / 6), e * 0.5
    top = (ICON_DRAW / 2, ICON_DRAW * 0.03)
    left = (top[0] - w, top[1] + h)
    near = (top[0], top[1] + 2 * h)
    img = Image.new("RGBA", (ICON_DRAW, ICON_DRAW), (0, 0, 0, 0))
    img.alpha_composite(face(patch(ground), top, (w, h), (-w, h), 1.0))
    img.alpha_composite(face(patch(block), left, (w, h), (0, e), 0.82))
    img.alpha_composite(face(patch(block), near, (w, -h), (0, e), 0.62))
    return {size: img.resize((size, size), Image.LANCZOS) for size in ICON_SIZES + WINDOWS_ICON_SIZES}


def save(img, name, folder=MEDIA):
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    img.save(path, optimize=True)
    print("wrote", path, img.size)


def main():
    which = sys.argv[1:] or ["world", "dashboard", "icons"]
    if "world" in which:
        save(make_world_texture(), "worldtexture.png")
    if "dashboard" in which:
        save(make_dashboard(), "dashboard.png")
    if "icons" in which:
        icons = make_icons()
        for size in ICON_SIZES:
            save(icons[size], "quillmoor.png", os.path.join(REPO, "packaging", "icons", "%dx%d" % (size, size)))
        # Largest first: Pillow writes the sizes from the image it is given.
        ico = os.path.join(REPO, "windows", "quillmoor.ico")
        icons[256].save(ico, sizes=[(s, s) for s in WINDOWS_ICON_SIZES],
                        append_images=[icons[s] for s in WINDOWS_ICON_SIZES if s != 256])
        print("wrote", ico, WINDOWS_ICON_SIZES)


if __name__ == "__main__":
    main()
