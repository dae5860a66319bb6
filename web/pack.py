#!/usr/bin/python3
"""Puts the browser editions together from the compiled engine.

  build-web/site/      index.html, suirei.css, suirei.js, the engine
                       (suirei-engine.js + .wasm), suirei-assets.js, the
                       pictures as PNG, the font and its licence
  build-web/suirei.html  all of it in one file, for file:// with no network

The pictures come from the native build (build/bin/*.bmp) and are stored as
PNG only after checking that every pixel is the same. The font is IPAGothic
cut down to the characters the game shows, renamed as its licence asks.
Run with Debian's python3 (it has fontTools and brotli): web/build.sh does.
"""
import argparse
import base64
import json
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
PAGE = os.path.join(HERE, 'page')
IPAG = '/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf'
FAMILY = 'Suirei Gothic'
FONT_FILE = 'suirei-gothic'


def die(message):
    sys.exit('web/pack.py: ' + message)


def read(path, mode='r'):
    with open(path, mode, **({} if 'b' in mode else {'encoding': 'utf-8'})) as f:
        return f.read()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb' if isinstance(data, bytes) else 'w', **({} if isinstance(data, bytes) else {'encoding': 'utf-8'})) as f:
        f.write(data)


def node(script, *args):
    return subprocess.run(['node', script, *args], check=True, capture_output=True).stdout.decode('utf-8')


# ── Pictures ──────────────────────────────────────────────────────────────

def convert_pictures(names, bmp_dir, out_dir):
    """Each BMP as a PNG, checked pixel for pixel against its BMP."""
    os.makedirs(out_dir, exist_ok=True)
    result = {}
    for name in names:
        bmp = os.path.join(bmp_dir, name)
        if not os.path.isfile(bmp):
            die(f'{bmp} is missing: build the game first (scripts/setup)')
        png = os.path.join(out_dir, os.path.splitext(name)[0] + '.png')
        if not os.path.exists(png) or os.path.getmtime(png) < os.path.getmtime(bmp):
            subprocess.run(['convert', bmp, '-strip', '-define', 'png:compression-level=9',
                            '-define', 'png:exclude-chunks=date,time', png], check=True)
            diff = subprocess.run(['compare', '-metric', 'AE', bmp, png, 'null:'],
                                  capture_output=True, text=True)
            if diff.stderr.strip() != '0':
                os.remove(png)
                die(f'{png} differs from {bmp} in {diff.stderr.strip()} pixels')
        result[name] = png
    return result


# ── Font ──────────────────────────────────────────────────────────────────

def characters(texts, page_files):
    chars = set(''.join(texts))
    for path in page_files:
        chars |= {c for c in read(path) if ord(c) > 0x7e}
    chars |= {chr(c) for c in range(0x20, 0x7f)}
    chars -= {'\r', '\n', '\t'}
    return ''.join(sorted(chars))


def make_font(chars, out_base):
    from fontTools import subset
    from fontTools.ttLib import TTFont
    try:
        import brotli  # noqa: F401  (WOFF2 needs it)
        flavor = 'woff2'
    except ImportError:
        flavor = 'woff'
    options = subset.Options()
    options.flavor = flavor
    options.layout_features = []          # horizontal text, no alternates needed
    options.drop_tables += ['vhea', 'vmtx']
    options.name_IDs = ['*']
    options.name_languages = ['*']
    options.notdef_outline = True
    options.hinting = False
    font = TTFont(IPAG, recalcTimestamp=False)  # the same font from the same sources
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=chars)
    subsetter.subset(font)
    # A derived font may not carry the original's name (IPA Font License 3.1 (4)).
    names = {1: FAMILY, 3: FAMILY + ' 003.03', 4: FAMILY,
             6: FAMILY.replace(' ', '-'), 16: FAMILY}
    table = font['name']
    for record in list(table.names):
        if record.nameID in (1, 3, 4, 6, 16, 17, 18, 21, 22):
            table.removeNames(nameID=record.nameID)
    for name_id, value in names.items():
        table.setName(value, name_id, 3, 1, 0x409)
        table.setName(value, name_id, 1, 0, 0)
    table.setName('Suirei Gothic is a Derived Program of IPAGothic, made for the game 翠嶺秘抄 '
                  'with only the characters it shows. Licensed under the IPA Font License Agreement v1.0.',
                  10, 3, 1, 0x409)
    path = out_base + '.' + flavor
    os.makedirs(os.path.dirname(path), exist_ok=True)
    font.flavor = flavor
    font.save(path)
    for record in font['name'].names:
        if record.nameID in (1, 3, 4, 6, 16, 17, 18) and 'IPA' in record.toUnicode():
            die('the font subset still carries the name ' + record.toUnicode())
    return path, flavor


# ── Pages ─────────────────────────────────────────────────────────────────

def inline_script(code):
    if '</script' in code.lower():
        code = code.replace('</script', '<\\/script').replace('</SCRIPT', '<\\/SCRIPT')
    return '<script>\n' + code + '\n</script>'


def data_url(mime, data):
    return 'data:%s;base64,%s' % (mime, base64.b64encode(data).decode('ascii'))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--native', required=True, help='the native build folder (its bin/ holds the pictures)')
    ap.add_argument('--out', required=True, help='build-web')
    args = ap.parse_args()
    out = args.out
    obj = os.path.join(out, 'obj')
    site = os.path.join(out, 'site')
    os.makedirs(site, exist_ok=True)

    strings_tool = os.path.join(obj, 'suirei-strings.js')
    picture_names = node(strings_tool, '--pictures').split()
    texts = node(strings_tool).split('\n')

    # Pictures
    pngs = convert_pictures(picture_names, os.path.join(args.native, 'bin'), os.path.join(site, 'pictures'))

    # Font
    page_files = [os.path.join(PAGE, f) for f in ('index.html', 'suirei.js', 'suirei.css')]
    chars = characters(texts, page_files)
    font_path, flavor = make_font(chars, os.path.join(site, FONT_FILE))
    for stale in ('woff', 'woff2'):
        if stale != flavor and os.path.exists(os.path.join(site, FONT_FILE + '.' + stale)):
            os.remove(os.path.join(site, FONT_FILE + '.' + stale))
    licence = read(os.path.join(HERE, 'font', 'README.txt')) + read(
        os.path.join(HERE, 'font', 'IPA_Font_License_Agreement_v1.0.txt'))
    write(os.path.join(site, 'LICENSE-font.txt'), licence)

    template = read(os.path.join(PAGE, 'index.html'))
    css = read(os.path.join(PAGE, 'suirei.css'))
    page_js = read(os.path.join(PAGE, 'suirei.js'))
    engine_js = read(os.path.join(obj, 'suirei-engine.js'))
    wasm = read(os.path.join(obj, 'suirei-engine.wasm'), 'rb')
    for marker in ('<!--@STYLE@-->', '<!--@SCRIPTS@-->'):
        if template.count(marker) != 1:
            die('index.html must hold ' + marker + ' once')

    # The site: the page with its style and scripts in one file, the engine's
    # code, the font and the pictures beside it. The browser is told at once
    # to fetch the engine, the font and the opening picture.
    for stale in ('suirei.css', 'suirei.js', 'suirei-engine.js', 'suirei-assets.js'):
        if os.path.exists(os.path.join(site, stale)):
            os.remove(os.path.join(site, stale))
    write(os.path.join(site, 'suirei-engine.wasm'), wasm)
    site_assets = {'pictures': {n: 'pictures/' + os.path.basename(p) for n, p in pngs.items()},
                   'font': {'family': FAMILY, 'url': os.path.basename(font_path),
                            'licence': 'LICENSE-font.txt'}}
    opening = 'pictures/' + os.path.basename(pngs[picture_names[0]])
    font_file = os.path.basename(font_path)
    preload = ''.join('<link rel="preload" href="%s" as="%s"%s crossorigin>\n' % (href, kind, extra) for href, kind, extra in [
        ('suirei-engine.wasm', 'fetch', ' type="application/wasm"'),
        (font_file, 'fetch', ''),
        (opening, 'fetch', '')])
    html = template.replace('<!--@STYLE@-->', preload + '<style>\n' + css + '</style>')
    html = html.replace('<!--@SCRIPTS@-->', '\n'.join([
        inline_script('window.SuireiAssets = ' + json.dumps(site_assets) + ';'),
        inline_script(engine_js),
        inline_script(page_js)]))
    write(os.path.join(site, 'index.html'), html)

    # The single file: everything inline, nothing fetched.
    # The font goes to the page's script, which hands its bytes to the browser
    # at once (quicker than a style sheet's data: URL, which is fetched like a
    # file).
    single_assets = {'pictures': {n: data_url('image/png', read(p, 'rb')) for n, p in pngs.items()},
                     'wasm': base64.b64encode(wasm).decode('ascii'),
                     'font': {'family': FAMILY, 'data': base64.b64encode(read(font_path, 'rb')).decode('ascii'),
                              'licence': 'IPA Font License Agreement v1.0, at the end of this file'}}
    head = ('<!--\n  翠　嶺　秘　抄　～古代歴史ロマン～ — the whole game in one file.\n'
            '  The text is set in Suirei Gothic, a subset of IPAGothic, under the IPA Font\n'
            '  License Agreement v1.0; its full text is at the end of this file.\n-->\n')
    html = template.replace('<!--@STYLE@-->', '<style>\n' + css + '</style>')
    html = html.replace('<!--@SCRIPTS@-->', '\n'.join([
        inline_script('window.SuireiAssets = ' + json.dumps(single_assets) + ';'),
        inline_script(engine_js),
        inline_script(page_js)]))
    html = html.replace('<!DOCTYPE html>\n', '<!DOCTYPE html>\n' + head, 1)
    html += '<!--\n' + licence.replace('--', '‐‐') + '\n-->\n'
    write(os.path.join(out, 'suirei.html'), html)

    def size(path):
        return os.path.getsize(path)
    site_total = sum(size(os.path.join(d, f)) for d, _, fs in os.walk(site) for f in fs)
    print('  %s: %d characters, %d bytes' % (os.path.basename(font_path), len(chars), size(font_path)))
    print('  site/: %d bytes in all (engine %d, pictures %d)' % (
        site_total, size(os.path.join(site, 'suirei-engine.wasm')), sum(size(p) for p in pngs.values())))
    print('  suirei.html: %d bytes' % size(os.path.join(out, 'suirei.html')))


if __name__ == '__main__':
    main()
