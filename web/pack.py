#!/usr/bin/python3
"""Puts the browser editions together, one step at a time (web/CMakeLists.txt
runs each step again only when its inputs change):

  engine  what the engine tells the build: the window's description, the
          scene pictures (the opening one first) and every text the game shows
  font    Suirei Gothic: IPAGothic cut down to the characters the game and
          the page show, renamed as its licence asks
  page    the page's modules bundled into one, then
            site/         index.html with the opening page in it (made by the
                          engine at build time, its picture and the glyphs it
                          paints inline), suirei.js (the page's script), the
                          engine (suirei-engine.wasm), the font and its
                          licence, the web app manifest, the service worker;
                          beside the scene drawings (pictures/*.svg) and icons
                          (icons/) that the build draws
            suirei.html   all of it in one file, for file:// with no network

Run with Debian's python3 (it has fontTools and brotli).
"""
import argparse
import base64
import hashlib
import html
import json
import os
import re
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
# The classic script that keeps the window working before the engine is in.
EARLY = 'early.js'


def die(message):
    sys.exit('web/pack.py: ' + message)


def read(path, mode='r'):
    with open(path, mode, encoding=None if 'b' in mode else 'utf-8') as f:
        return f.read()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path + '.part', 'wb') as f:
        f.write(data if isinstance(data, bytes) else data.encode('utf-8'))
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
    window = json.loads(node(args.strings, '--window'))
    pictures = node(args.strings, '--pictures').split()
    texts = node(args.strings).split('\n')
    write(args.out, json.dumps({'window': window, 'pictures': pictures, 'texts': texts}, ensure_ascii=False, indent=1))


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


def cut_font(source, chars):
    """Suirei Gothic with only `chars`: from IPAGothic, renamed as its licence
    asks, or from Suirei Gothic itself. WOFF2 bytes."""
    from fontTools import subset
    from fontTools.ttLib import TTFont
    import brotli  # noqa: F401  (WOFF2 needs it)
    import io
    options = subset.Options()
    options.layout_features = []          # horizontal text, no alternates needed
    options.drop_tables += ['vhea', 'vmtx']
    options.name_IDs = ['*']
    options.name_languages = ['*']
    options.notdef_outline = True
    options.hinting = False
    face = TTFont(source, recalcTimestamp=False)  # the same font from the same sources
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=chars)
    subsetter.subset(face)
    # A derived font may not carry the original's name (IPA Font License 3.1 (4)).
    names = {1: FAMILY, 3: FAMILY + ' 003.03', 4: FAMILY, 6: FAMILY.replace(' ', '-'), 16: FAMILY}
    table = face['name']
    for name_id in (1, 3, 4, 6, 16, 17, 18, 21, 22):
        table.removeNames(nameID=name_id)
    for name_id, value in names.items():
        table.setName(value, name_id, 3, 1, 0x409)
        table.setName(value, name_id, 1, 0, 0)
    table.setName('Suirei Gothic is a Derived Program of IPAGothic, made for the game 翠嶺秘抄 '
                  'with only the characters it shows. Licensed under the IPA Font License Agreement v1.0.',
                  10, 3, 1, 0x409)
    face.flavor = 'woff2'
    out = io.BytesIO()
    face.save(out)
    return out.getvalue()


def font(args):
    told = json.loads(read(args.engine))
    chars = characters(told['texts'])
    write(args.out, cut_font(args.source, chars))
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


def script(code, kind=''):
    return f'<script{kind}>\n' + code.replace('</script', '<\\/script') + '</script>'


def json_script(value):
    text = json.dumps(value, ensure_ascii=False, separators=(',', ':')).replace('</', '<\\/')
    return '<script type="application/json" id="suirei-files">' + text + '</script>'


def fill(template, parts):
    for marker, text in parts.items():
        if template.count(marker) != 1:
            die(f'index.html must hold {marker} once')
        template = template.replace(marker, text)
    return template


def b64(data):
    return base64.b64encode(data).decode('ascii')


def data_url(kind, data):
    return f'data:{kind};base64,' + b64(data)


def words(template):
    """What the page's markup says in words, for the glyphs that come inline."""
    text = template
    for pattern in (r'<script\b.*?</script>', r'<noscript\b.*?</noscript>', r'<!--.*?-->', r'<[^>]*>'):
        text = re.sub(pattern, '', text, flags=re.S)
    return html.unescape(text)


def manifest(window, css):
    """The web app manifest: the game's names, the page's colour around the
    window (the style sheet's --page) and the window's own as the theme."""
    page_colour = re.search(r'--page:\s*(#[0-9a-fA-F]{6})', css)
    if not page_colour:
        die('suirei.css gives no --page colour')
    return json.dumps({
        'name': window['title'], 'short_name': window['shortTitle'], 'lang': 'ja',
        'start_url': './', 'scope': './', 'display': 'fullscreen', 'orientation': 'landscape',
        'background_color': page_colour[1], 'theme_color': '#%02x%02x%02x' % tuple(window['background']),
        'icons': [{'src': 'icons/suirei-192.png', 'sizes': '192x192', 'type': 'image/png'},
                  {'src': 'icons/suirei-512.png', 'sizes': '512x512', 'type': 'image/png'},
                  {'src': 'icons/suirei.svg', 'sizes': 'any', 'type': 'image/svg+xml'}],
    }, ensure_ascii=False, indent=1) + '\n'


def service_worker(site):
    """The service worker with its build's hash and every file of the site."""
    files = sorted(os.path.relpath(os.path.join(d, f), site).replace(os.sep, '/')
                   for d, _, fs in os.walk(site) for f in fs
                   if not f.endswith('.part') and f != 'service-worker.js')
    digest = hashlib.sha256()
    for f in files:
        digest.update(f.encode('utf-8') + b'\0' + read(os.path.join(site, f), 'rb'))
    head = (f'const VERSION = {json.dumps(digest.hexdigest()[:16])};\n'
            f'const FILES = {json.dumps(files, indent=1)};\n')
    return head + read(os.path.join(HERE, 'app', 'service-worker.js'))


def page(args):
    out = args.out
    site = os.path.join(out, 'site')
    obj = os.path.join(out, 'obj')
    told = json.loads(read(args.engine))
    window, pictures = told['window'], told['pictures']
    opening = pictures[0]
    whole_js, main_js = bundle(args.glue, args.esbuild, os.path.join(obj, 'page'))
    early_js = read(os.path.join(PAGE, EARLY))
    wasm = read(os.path.splitext(args.glue)[0] + '.wasm', 'rb')
    licence = ''.join(read(os.path.join(HERE, 'font', f)) for f in LICENCE_FILES)
    template = read(os.path.join(PAGE, 'index.html'))
    css = read(os.path.join(PAGE, 'suirei.css'))
    drawing_of = {p: 'pictures/' + os.path.splitext(p)[0] + '.svg' for p in pictures}
    for p, rel in drawing_of.items():
        if not os.path.isfile(os.path.join(site, rel)):
            die(f'site/{rel} is missing: the engine shows {p}, which no drawing in assets/ makes')
    # Pictures an earlier build left behind would be served and kept offline
    # by the service worker with the rest of the site.
    for f in os.listdir(os.path.join(site, 'pictures')):
        if 'pictures/' + f not in drawing_of.values():
            os.remove(os.path.join(site, 'pictures', f))
    icon = read(os.path.join(site, 'icons', 'suirei.svg'), 'rb')

    # The opening page as the engine leaves it at start-up, with its picture
    # inline, and the glyphs it paints (and the page's own words around it)
    # in a font of their own, inline too: the page is drawn from its first
    # bytes, before the engine, the full font and the other pictures arrive.
    prerendered = json.loads(node(args.prerender, FAMILY,
                                  data_url('image/svg+xml', read(os.path.join(site, drawing_of[opening]), 'rb'))))
    first_glyphs = cut_font(args.font, ''.join(sorted(set(prerendered['characters'] + words(template)) - set('\r\n\t'))))
    style = ('<style>\n' + prerendered['style'] + '\n'
             f'@font-face{{font-family:"{FAMILY}";src:url({data_url("font/woff2", first_glyphs)}) format("woff2")}}\n'
             + css + '</style>')
    common = {'<!--@TITLE@-->': html.escape(window['title']),
              '<!--@EARLY@-->': script(early_js),
              '<!--@WINDOW@-->': prerendered['window'],
              '<!--@WHOLE@-->': script(whole_js, ' type="module"')}

    def file_table(place, **more):
        """The page's files, each where place(its path in site/) says; the
        opening picture is inside the page."""
        return {'engine': place('suirei-engine.wasm'), 'maxBytes': window['maxFileBytes'],
                'font': {'family': FAMILY, **place(os.path.basename(args.font))}, **more,
                'pictures': {p: {'inline': True} if p == opening else place(rel) for p, rel in drawing_of.items()}}

    # The site: the page with its style inline, its script, the engine, the
    # font, the drawings and the icons beside it.
    write(os.path.join(site, 'suirei.js'), main_js)
    write(os.path.join(site, 'suirei-engine.wasm'), wasm)
    write(os.path.join(site, 'LICENSE-font.txt'), licence)
    write(os.path.join(site, 'manifest.webmanifest'), manifest(window, css))
    files = file_table(lambda rel: {'url': rel}, worker='service-worker.js')
    links = ('<link rel="icon" href="icons/suirei.svg" type="image/svg+xml">\n'
             '<link rel="apple-touch-icon" href="icons/suirei-180.png">\n'
             '<link rel="manifest" href="manifest.webmanifest">\n')
    # The script and the engine are asked for once the opening page has
    # arrived (on a slow network they would hold it back), the full font once
    # the engine is in.
    fetch_next = ('<link rel="modulepreload" href="suirei.js">\n'
                  '<link rel="preload" href="suirei-engine.wasm" as="fetch" type="application/wasm" crossorigin>\n')
    write(os.path.join(site, 'index.html'), fill(template, {
        **common,
        '<!--@STYLE@-->': links + style,
        '<!--@SCRIPTS@-->': fetch_next + json_script(files) + '\n<script type="module" src="suirei.js"></script>',
        '<!--@LICENCE@-->': ''}))
    write(os.path.join(site, 'service-worker.js'), service_worker(site))

    # The single file: everything inline, nothing fetched. The font's
    # licence closes the file, before the mark that says the file is whole.
    files = file_table(lambda rel: {'data': b64(read(os.path.join(site, rel), 'rb'))})
    head = ('<!--\n  ' + window['title'] + ' — the whole game in one file.\n'
            '  The text is set in Suirei Gothic, a subset of IPAGothic, under the IPA Font\n'
            '  License Agreement v1.0; its full text is at the end of this file.\n-->\n')
    single = fill(template, {
        **common,
        '<!--@STYLE@-->': f'<link rel="icon" href="{data_url("image/svg+xml", icon)}">\n' + style,
        '<!--@SCRIPTS@-->': json_script(files) + '\n' + script(main_js, ' type="module"'),
        '<!--@LICENCE@-->': '<!--\n' + licence.replace('--', '‐‐') + '\n-->'})
    write(os.path.join(out, 'suirei.html'), single.replace('<!DOCTYPE html>\n', '<!DOCTYPE html>\n' + head, 1))

    size = os.path.getsize
    site_total = sum(size(os.path.join(d, f)) for d, _, fs in os.walk(site) for f in fs)
    print('  site/: %d bytes in all (engine %d, drawings %d); the opening page\'s own glyphs %d bytes' % (
        site_total, len(wasm), sum(size(os.path.join(site, rel)) for rel in drawing_of.values()), len(first_glyphs)))
    print('  suirei.html: %d bytes' % size(os.path.join(out, 'suirei.html')))


def main():
    ap = argparse.ArgumentParser()
    steps = ap.add_subparsers(dest='step', required=True)
    told = "the engine step's output"
    # Each step's options, every one required, with what it names.
    for step, options in ((engine, {'strings': 'suirei-strings.js', 'out': None}),
                          (font, {'engine': told, 'source': 'ipag.ttf', 'out': None}),
                          (page, {'engine': told, 'glue': 'suirei-engine.js, with its .wasm beside it', 'esbuild': None,
                                  'font': None, 'prerender': 'suirei-prerender.js', 'out': 'build-web'})):
        s = steps.add_parser(step.__name__)
        s.set_defaults(run=step)
        for name, what in options.items():
            s.add_argument('--' + name, required=True, help=what)
    args = ap.parse_args()
    args.run(args)


if __name__ == '__main__':
    main()
