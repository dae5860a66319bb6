#!/usr/bin/python3
"""Puts the browser editions together, one step at a time (web/CMakeLists.txt
runs each step again only when its inputs change):

  engine  what the engine tells the build: the window's description, the
          scene pictures (the opening one first) and every text the game shows
  png     one scene picture as PNG, checked pixel for pixel against its BMP
  font    Suirei Gothic: IPAGothic cut down to the characters the game and
          the page show, renamed as its licence asks
  page    the page's modules bundled into one, then
            site/         index.html (style and script inline), the engine
                          (suirei-engine.wasm), pictures/*.png, the font and
                          its licence
            suirei.html   all of it in one file, for file:// with no network

Run with Debian's python3 (it has fontTools and brotli).
"""
import argparse
import base64
import html
import json
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PAGE = os.path.join(HERE, 'page')
FAMILY = 'Suirei Gothic'
LICENCE_FILES = ('README.txt', 'IPA_Font_License_Agreement_v1.0.txt')
# The page's two entry modules: the check that the file arrived whole, which
# must run even when the rest of the file is missing, and the page itself.
ENTRIES = ('whole.js', 'main.js')


def die(message):
    sys.exit('web/pack.py: ' + message)


def read(path, mode='r'):
    with open(path, mode, **({} if 'b' in mode else {'encoding': 'utf-8'})) as f:
        return f.read()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    binary = isinstance(data, bytes)
    with open(path + '.part', 'wb' if binary else 'w', **({} if binary else {'encoding': 'utf-8'})) as f:
        f.write(data)
    os.replace(path + '.part', path)


def node(script, *args):
    try:
        return subprocess.run(['node', script, *args], check=True, capture_output=True).stdout.decode('utf-8')
    except subprocess.CalledProcessError as e:
        die(f'{script} {" ".join(args)} failed: {e.stderr.decode("utf-8", "replace")}')


def page_files():
    return sorted(os.path.join(PAGE, f) for f in os.listdir(PAGE) if f.endswith(('.js', '.css', '.html')))


# ── engine ────────────────────────────────────────────────────────────────

def engine(args):
    window = json.loads(node(args.describe))
    pictures = node(args.strings, '--pictures').split()
    texts = node(args.strings).split('\n')
    described = {p['file'] for p in window['pictures']}
    if set(pictures) != described:
        die(f'the engine names the pictures {sorted(pictures)} but describes {sorted(described)}')
    write(args.out, json.dumps({'window': window, 'pictures': pictures, 'texts': texts}, ensure_ascii=False, indent=1))


# ── png ───────────────────────────────────────────────────────────────────

def png(args):
    if not os.path.isfile(args.bmp):
        die(f'{args.bmp} is missing: build the game first')
    os.makedirs(os.path.dirname(args.png), exist_ok=True)
    part = args.png + '.part.png'
    subprocess.run(['convert', args.bmp, '-strip', '-define', 'png:compression-level=9',
                    '-define', 'png:exclude-chunks=date,time', part], check=True)
    diff = subprocess.run(['compare', '-metric', 'AE', args.bmp, part, 'null:'], capture_output=True, text=True)
    if diff.stderr.strip() != '0':
        os.remove(part)
        die(f'{args.png} differs from {args.bmp} in {diff.stderr.strip()} pixels')
    os.replace(part, args.png)


# ── font ──────────────────────────────────────────────────────────────────

def characters(texts):
    """Every character the page can show: the engine's texts and whatever the
    page's own files say (its messages), with printable ASCII."""
    chars = set(''.join(texts))
    for path in page_files():
        chars |= {c for c in read(path) if ord(c) > 0x7e}
    chars |= {chr(c) for c in range(0x20, 0x7f)}
    chars -= {'\r', '\n', '\t'}
    return ''.join(sorted(chars))


def font(args):
    from fontTools import subset
    from fontTools.ttLib import TTFont
    import brotli  # noqa: F401  (WOFF2 needs it)
    told = json.loads(read(args.engine))
    chars = characters(told['texts'])
    options = subset.Options()
    options.flavor = 'woff2'
    options.layout_features = []          # horizontal text, no alternates needed
    options.drop_tables += ['vhea', 'vmtx']
    options.name_IDs = ['*']
    options.name_languages = ['*']
    options.notdef_outline = True
    options.hinting = False
    face = TTFont(args.source, recalcTimestamp=False)  # the same font from the same sources
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=chars)
    subsetter.subset(face)
    # A derived font may not carry the original's name (IPA Font License 3.1 (4)).
    names = {1: FAMILY, 3: FAMILY + ' 003.03', 4: FAMILY, 6: FAMILY.replace(' ', '-'), 16: FAMILY}
    table = face['name']
    for record in list(table.names):
        if record.nameID in (1, 3, 4, 6, 16, 17, 18, 21, 22):
            table.removeNames(nameID=record.nameID)
    for name_id, value in names.items():
        table.setName(value, name_id, 3, 1, 0x409)
        table.setName(value, name_id, 1, 0, 0)
    table.setName('Suirei Gothic is a Derived Program of IPAGothic, made for the game 翠嶺秘抄 '
                  'with only the characters it shows. Licensed under the IPA Font License Agreement v1.0.',
                  10, 3, 1, 0x409)
    for record in table.names:
        if record.nameID in (1, 3, 4, 6, 16, 17, 18) and 'IPA' in record.toUnicode():
            die('the font subset still carries the name ' + record.toUnicode())
    face.flavor = 'woff2'
    os.makedirs(os.path.dirname(args.out), exist_ok=True)
    face.save(args.out + '.part')
    os.replace(args.out + '.part', args.out)
    print('  %s: %d characters, %d bytes' % (os.path.basename(args.out), len(chars), os.path.getsize(args.out)))


# ── page ──────────────────────────────────────────────────────────────────

def bundle(glue, esbuild, stage):
    """The page's modules and the engine's glue as one module per entry."""
    shutil.rmtree(stage, ignore_errors=True)
    os.makedirs(stage)
    for path in page_files():
        if path.endswith('.js'):
            shutil.copy(path, stage)
    shutil.copy(glue, os.path.join(stage, 'suirei-engine.js'))
    out = os.path.join(stage, 'out')
    subprocess.run([esbuild, '--bundle', '--format=esm', '--target=es2022', '--charset=utf8',
                    '--log-level=warning', '--outdir=' + out, *(os.path.join(stage, e) for e in ENTRIES)], check=True)
    return [read(os.path.join(out, e)) for e in ENTRIES]


def module_script(code):
    return '<script type="module">\n' + code.replace('</script', '<\\/script') + '</script>'


def json_script(value):
    text = json.dumps(value, ensure_ascii=False, separators=(',', ':')).replace('</', '<\\/')
    return '<script type="application/json" id="suirei-files">' + text + '</script>'


def fill(template, parts):
    for marker, text in parts.items():
        if template.count(marker) != 1:
            die(f'index.html must hold {marker} once')
        template = template.replace(marker, text)
    return template


def page(args):
    out = args.out
    site = os.path.join(out, 'site')
    obj = os.path.join(out, 'obj')
    told = json.loads(read(args.engine))
    window, pictures = told['window'], told['pictures']
    whole_js, main_js = bundle(args.glue, args.esbuild, os.path.join(obj, 'page'))
    wasm = read(os.path.splitext(args.glue)[0] + '.wasm', 'rb')
    font_bytes = read(args.font, 'rb')
    licence = ''.join(read(os.path.join(HERE, 'font', f)) for f in LICENCE_FILES)
    template = read(os.path.join(PAGE, 'index.html'))
    css = read(os.path.join(PAGE, 'suirei.css'))
    png_of = {p: 'pictures/' + os.path.splitext(p)[0] + '.png' for p in pictures}
    for p, rel in png_of.items():
        if not os.path.isfile(os.path.join(site, rel)):
            die(f'site/{rel} is missing: the engine shows {p}, which no drawing in assets/ makes')

    common = {'<!--@TITLE@-->': html.escape(window['title']),
              '<!--@WHOLE@-->': module_script(whole_js)}

    # The site: the page with its style and scripts in one file, the engine,
    # the font and the pictures beside it. The browser is told at once to
    # fetch the engine, the font and the opening picture.
    write(os.path.join(site, 'suirei-engine.wasm'), wasm)
    write(os.path.join(site, 'LICENSE-font.txt'), licence)
    font_file = os.path.basename(args.font)
    files = {'engine': {'url': 'suirei-engine.wasm'}, 'opening': pictures[0],
             'font': {'family': FAMILY, 'url': font_file},
             'pictures': {p: {'url': rel} for p, rel in png_of.items()}}
    preload = ''.join(f'<link rel="preload" href="{href}" as="fetch"{extra} crossorigin>\n' for href, extra in [
        ('suirei-engine.wasm', ' type="application/wasm"'), (font_file, ''), (png_of[pictures[0]], '')])
    write(os.path.join(site, 'index.html'), fill(template, {
        **common,
        '<!--@STYLE@-->': preload + '<style>\n' + css + '</style>',
        '<!--@SCRIPTS@-->': json_script(files) + '\n' + module_script(main_js),
        '<!--@LICENCE@-->': ''}))

    # The single file: everything inline, nothing fetched. The font's
    # licence closes the file, before the mark that says the file is whole.
    b64 = lambda data: base64.b64encode(data).decode('ascii')  # noqa: E731
    files = {'engine': {'data': b64(wasm)}, 'opening': pictures[0],
             'font': {'family': FAMILY, 'data': b64(font_bytes)},
             'pictures': {p: {'data': b64(read(os.path.join(site, rel), 'rb'))} for p, rel in png_of.items()}}
    head = ('<!--\n  ' + window['title'] + ' — the whole game in one file.\n'
            '  The text is set in Suirei Gothic, a subset of IPAGothic, under the IPA Font\n'
            '  License Agreement v1.0; its full text is at the end of this file.\n-->\n')
    single = fill(template, {
        **common,
        '<!--@STYLE@-->': '<style>\n' + css + '</style>',
        '<!--@SCRIPTS@-->': json_script(files) + '\n' + module_script(main_js),
        '<!--@LICENCE@-->': '<!--\n' + licence.replace('--', '‐‐') + '\n-->'})
    write(os.path.join(out, 'suirei.html'), single.replace('<!DOCTYPE html>\n', '<!DOCTYPE html>\n' + head, 1))

    size = os.path.getsize
    site_total = sum(size(os.path.join(d, f)) for d, _, fs in os.walk(site) for f in fs)
    print('  site/: %d bytes in all (engine %d, pictures %d)' % (
        site_total, len(wasm), sum(size(os.path.join(site, rel)) for rel in png_of.values())))
    print('  suirei.html: %d bytes' % size(os.path.join(out, 'suirei.html')))


def main():
    ap = argparse.ArgumentParser()
    steps = ap.add_subparsers(dest='step', required=True)
    s = steps.add_parser('engine')
    s.add_argument('--strings', required=True, help='suirei-strings.js')
    s.add_argument('--describe', required=True, help='suirei-describe.js')
    s.add_argument('--out', required=True)
    s = steps.add_parser('png')
    s.add_argument('bmp')
    s.add_argument('png')
    s = steps.add_parser('font')
    s.add_argument('--engine', required=True, help="the engine step's output")
    s.add_argument('--source', required=True, help='ipag.ttf')
    s.add_argument('--out', required=True)
    s = steps.add_parser('page')
    s.add_argument('--engine', required=True, help="the engine step's output")
    s.add_argument('--glue', required=True, help='suirei-engine.js, with its .wasm beside it')
    s.add_argument('--esbuild', required=True)
    s.add_argument('--font', required=True)
    s.add_argument('--out', required=True, help='build-web')
    args = ap.parse_args()
    {'engine': engine, 'png': png, 'font': font, 'page': page}[args.step](args)


if __name__ == '__main__':
    main()
