// The page: one more front end of the game, beside the desktop window. It
// draws what the engine (compiled to WebAssembly) says and hands the player's
// clicks back to it. Everything shown in the window — captions, page text,
// which buttons are up, which picture, the frames of the strike — comes from
// the engine; nothing of the story lives here.
//
// The page's own state is <html data-game>: loading, ready (takes clicks),
// playing (the frames of the strike run; input is dropped), ended (after
// 終了) or error (#message says what went wrong).
//
// T1 is a <textarea>: its value is the engine's page text with every CR LF
// turned into LF, since a text box keeps line breaks as LF alone.
(function () {
  'use strict';

  var root = document.documentElement;
  var form = document.getElementById('Form6');
  var P1 = document.getElementById('P1');
  var T1 = document.getElementById('T1');
  var after = document.getElementById('after');
  var message = document.getElementById('message');
  var params = new URLSearchParams(location.search);
  var oneToOne = params.get('scale') === '1';
  var assets = window.SuireiAssets || { pictures: {} };

  var engine = null;       // the compiled game
  var storyPictures = [];  // the file names of every scene picture
  var buttons = {};        // id → <button>
  var pictures = {};       // file name → decoded <img>
  var pressedWhileBusy = false;

  function setGame(state) { root.dataset.game = state; }

  // Milestones of start-up, for the benchmarks: suirei:engine, suirei:font,
  // suirei:ready (the opening page is up), suirei:pictures (all of them).
  function mark(name) {
    if (window.performance && performance.mark) performance.mark('suirei:' + name);
  }

  // ── Failures: say what went wrong, never leave a half-drawn window ──
  function fail(text) {
    setGame('error');
    form.hidden = true;
    after.hidden = true;
    message.textContent = text;
    message.hidden = false;
  }

  function call(fn, arg) {
    var reply = JSON.parse(engine.UTF8ToString(arg === undefined ? engine[fn]() : engine[fn](arg)));
    if (reply.error) throw new Error(reply.error);
    return reply;
  }

  // ── Pictures. Each scene picture is fetched, checked whole and decoded
  // before it is shown; the opening one before the window appears, the others
  // while the player reads the first page. A missing or damaged file stops
  // the game as soon as it is found, naming the file, with the window hidden:
  // never a scene without its picture. ──
  var fetched = {};        // file name → promise of its decoded <img>

  function base64Bytes(text) {
    var chars = atob(text), bytes = new Uint8Array(chars.length);
    for (var i = 0; i < chars.length; ++i) bytes[i] = chars.charCodeAt(i);
    return bytes;
  }

  // Asking for a picture's bytes, and checking and showing it, are apart:
  // the pictures inside the page (the single file) start loading as images
  // while the engine compiles, so the opening one is ready when the engine
  // is; they are checked when needed.
  var requested = {};      // file name → { bytes: promise of Uint8Array, img }

  function request(file) {
    var url = assets.pictures[file];
    if (requested[file] || !url) return;
    var r = requested[file] = {};
    if (url.lastIndexOf('data:', 0) === 0) {
      r.img = newImage(url);
      r.bytes = null;  // decoded from the page's own text when checked
    } else {
      r.bytes = fetch(url).then(function (response) {
        if (!response.ok) throw new Error(response.status);
        return response.arrayBuffer();
      }).then(function (buffer) { return new Uint8Array(buffer); });
      r.bytes.catch(function () {});  // reported when the picture is needed
    }
  }

  function newImage(src) {
    var img = new Image();
    img.alt = '';
    img.draggable = false;
    img.decoding = 'sync';  // decoded as it is first drawn, never drawn half
    var loaded = new Promise(function (ok, broken) {
      img.onload = ok;
      img.onerror = broken;
    });
    loaded.catch(function () {});
    img.src = src;
    img.loaded = loaded;
    return img;
  }

  function fetchPicture(file) {
    var url = assets.pictures[file];
    if (!url) return Promise.reject(new PictureProblem(file, null));
    request(file);
    var r = requested[file];
    var bytes = r.bytes || Promise.resolve().then(function () {
      return base64Bytes(url.slice(url.indexOf(',') + 1));
    });
    return bytes.then(function (b) {
      // A browser draws what it can of a damaged picture; the game shows a
      // scene whole or not at all.
      if (!wholePng(b)) throw new Error('damaged');
      var img = r.img || newImage(URL.createObjectURL(new Blob([b], { type: 'image/png' })));
      return img.loaded.then(function () {
        if (!img.naturalWidth || !img.naturalHeight) throw new Error('empty');
        pictures[file] = img;
        return img;
      });
    }).then(null, function () {
      throw new PictureProblem(file, url);
    });
  }

  // The picture as a promise, fetched once.
  function picture(file) {
    if (!fetched[file]) fetched[file] = fetchPicture(file);
    return fetched[file];
  }

  // A PNG file is whole when it starts with the PNG signature and every chunk
  // up to the closing IEND is there with the checksum it carries.
  var crcTable = null;
  function crc32(bytes, from, to) {
    if (!crcTable) {
      crcTable = new Int32Array(256);
      for (var n = 0; n < 256; ++n) {
        var c = n;
        for (var k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        crcTable[n] = c;
      }
    }
    var crc = -1;
    for (var i = from; i < to; ++i) crc = crcTable[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
    return (crc ^ -1) >>> 0;
  }

  function wholePng(b) {
    var signature = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
    if (b.length < 8) return false;
    for (var i = 0; i < 8; ++i) if (b[i] !== signature[i]) return false;
    var at = 8;
    while (at + 12 <= b.length) {
      var length = ((b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3]) >>> 0;
      var end = at + 8 + length;
      if (end + 4 > b.length) return false;
      var stored = ((b[end] << 24) | (b[end + 1] << 16) | (b[end + 2] << 8) | b[end + 3]) >>> 0;
      if (crc32(b, at + 4, end) !== stored) return false;
      var type = String.fromCharCode(b[at + 4], b[at + 5], b[at + 6], b[at + 7]);
      if (type === 'IEND') return true;
      at = end + 4;
    }
    return false;
  }

  function PictureProblem(file, url) {
    this.file = file;
    this.url = url;
  }

  function pictureMessage(p) {
    var where = p.url && p.url.lastIndexOf('data:', 0) !== 0 ? '（' + p.url + '）' : '';
    return '場面の絵「' + p.file + '」' + where + 'を読み込めないため、表示できません。\n' +
      'ファイルが見つからないか、壊れています。ゲームのファイルをもう一度置き直してください。';
  }

  // ── Drawing ──
  function showPicture(file) {
    var img = pictures[file];
    if (!img) throw new PictureProblem(file, assets.pictures[file] || null);
    if (P1.firstChild !== img) P1.replaceChildren(img);
    P1.dataset.file = file;
  }

  function showButtons(visible) {
    for (var id in buttons) buttons[id].hidden = visible.indexOf(id) < 0;
  }

  function draw(view) {
    showPicture(view.picture);
    T1.value = view.text;
    T1.scrollTop = 0;
    T1.scrollLeft = 0;
    showButtons(view.visible);
  }

  // ── Clicks ──
  function click(id) {
    if (root.dataset.game !== 'ready') return;
    var focused = document.activeElement;
    var reply;
    try {
      reply = call('_suirei_click', Number(id.slice('Command'.length)));
    } catch (e) {
      fail('ゲームの処理が止まりました（' + e.message + '）。ページを読み込み直してください。');
      return;
    }
    var go = reply.frames.length
      ? function () { play(reply.frames, 0, function () { settle(reply, focused); }); }
      : function () { settle(reply, focused); };
    // On a slow connection a picture may still be on its way: input waits
    // with it, as during the strike.
    var waiting = reply.frames.map(function (f) { return f.picture; }).concat([reply.picture])
      .filter(function (file) { return !pictures[file]; });
    if (!waiting.length) { go(); return; }
    setGame('playing');
    Promise.all(waiting.map(picture)).then(go, failPicture);
  }

  function failPicture(e) {
    fail(e instanceof PictureProblem ? pictureMessage(e) : String(e && e.message ? e.message : e));
  }

  // The strike: each frame with its picture, its page and its buttons, held
  // for as long as the engine says; then what the click left.
  function play(frames, i, done) {
    setGame('playing');
    if (i >= frames.length) { done(); return; }
    try {
      draw(frames[i]);
    } catch (e) {
      failPicture(e);
      return;
    }
    form.dataset.frame = String(i + 1);
    setTimeout(function () { play(frames, i + 1, done); }, frames[i].hold);
  }

  function settle(reply, focused) {
    delete form.dataset.frame;
    try {
      draw(reply);
    } catch (e) {
      failPicture(e);
      return;
    }
    form.dataset.state = String(reply.state);
    if (reply.ended) { end(); return; }
    setGame('ready');
    // A button that hid itself under the keyboard focus, or that no longer
    // moves the story (Talk and Other speaks take turns), hands the focus on
    // to the button that does, never to 終了: Space after Space reads on.
    if (focused && focused.parentNode === form && focused.tagName === 'BUTTON' &&
        (focused.hidden || (reply.moving.indexOf(focused.id) < 0 && reply.next))) {
      if (reply.next) buttons[reply.next].focus({ preventScroll: true });
      else form.focus({ preventScroll: true });
    }
  }

  function end() {
    setGame('ended');
    form.inert = true;
    form.setAttribute('aria-disabled', 'true');
    for (var id in buttons) buttons[id].disabled = true;
    after.hidden = false;
    fit();
    document.getElementById('restart').focus({ preventScroll: true });
  }

  // Keys pressed while the frames play go nowhere, nor after the end, when
  // only the offer to begin again (which has the focus) takes them; the
  // browser's own shortcuts pass. A press that began while the frames played
  // does not turn into a click when it is released later.
  function dropWhilePlaying(e) {
    var game = root.dataset.game;
    if (game !== 'playing' && game !== 'ended') return;
    if (game === 'ended' && e.target && e.target.id === 'restart') return;
    if (e.ctrlKey || e.metaKey || e.altKey || /^F\d+$/.test(e.key || '')) return;
    e.preventDefault();
    e.stopImmediatePropagation();
  }
  ['keydown', 'keyup', 'keypress'].forEach(function (type) {
    window.addEventListener(type, dropWhilePlaying, true);
  });
  // Enter held down would click again and again, skipping pages unread; like
  // Space, it presses a button once per press.
  form.addEventListener('keydown', function (e) {
    if (e.repeat && e.key === 'Enter') e.preventDefault();
  });
  window.addEventListener('pointerdown', function (e) {
    pressedWhileBusy = root.dataset.game !== 'ready';
    if (root.dataset.game === 'playing') {
      e.preventDefault();
      e.stopImmediatePropagation();
    }
  }, true);
  window.addEventListener('click', function (e) {
    if (!form.contains(e.target)) return;
    if (root.dataset.game !== 'ready' || pressedWhileBusy) {
      pressedWhileBusy = false;
      e.preventDefault();
      e.stopImmediatePropagation();
    }
  }, true);

  // ── Size: 1:1 at the top-left with ?scale=1, otherwise as large as the
  // screen allows, proportions kept; after 終了 the offer to begin again
  // stands beside or below the window, outside it. ──
  var W = 477, H = 284, GAP = 8;
  function fit() {
    var s = 1, x = 0, y = 0;
    var ended = root.dataset.game === 'ended';
    var aw = after.offsetWidth || 0, ah = after.offsetHeight || 0;
    if (!oneToOne) {
      var vw = document.documentElement.clientWidth, vh = document.documentElement.clientHeight;
      s = Math.min(vw / W, vh / H);
      if (ended) {
        // Room to the right or below, whichever leaves the window larger.
        var right = Math.min((vw - aw - 2 * GAP) / W, vh / H);
        var below = Math.min(vw / W, (vh - ah - 2 * GAP) / H);
        var side = right >= below;
        s = Math.max(0.1, side ? right : below);
        x = side ? (vw - W * s - aw - GAP) / 2 : (vw - W * s) / 2;
        y = side ? (vh - H * s) / 2 : (vh - H * s - ah - GAP) / 2;
        after.style.left = (side ? x + W * s + GAP : Math.max(0, (vw - aw) / 2)) + 'px';
        after.style.top = (side ? (vh - ah) / 2 : y + H * s + GAP) + 'px';
      } else {
        x = (vw - W * s) / 2;
        y = (vh - H * s) / 2;
      }
      x = Math.max(0, x);
      y = Math.max(0, y);
    } else {
      after.style.left = GAP + 'px';
      after.style.top = H + GAP + 'px';
    }
    form.style.transform = s === 1 && x === 0 && y === 0 ? '' : 'translate(' + x + 'px,' + y + 'px) scale(' + s + ')';
  }
  window.addEventListener('resize', fit);

  // ── Start-up ──

  // The page's font, Suirei Gothic (assets.font: its bytes in the single
  // file, its file on the site). The window waits for it, three seconds at
  // most; without it the text shows in a Japanese font of the computer's.
  function loadFont() {
    var font = assets.font;
    if (!font || !window.FontFace || !document.fonts) return Promise.resolve();
    var bytes = font.data
      ? Promise.resolve(base64Bytes(font.data))
      : fetch(font.url).then(function (response) {
          if (!response.ok) throw new Error(response.status);
          return response.arrayBuffer();
        });
    var loaded = bytes.then(function (b) {
      var face = new FontFace(font.family, b);
      document.fonts.add(face);
      return face.load();
    });
    return Promise.race([loaded, new Promise(function (r) { setTimeout(r, 3000); })]).then(null, function () {});
  }

  function start() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      fail('このブラウザーは WebAssembly に対応していないため、ゲームを動かせません。\n' +
        'Chrome、Edge、Firefox、Safari などの新しいブラウザーで開いてください。');
      return;
    }
    if (location.protocol === 'file:' && !assets.wasm) {
      // A browser reads nothing beside a page opened from disk; the site's
      // files have to come from a web server.
      fail('このページはウェブサーバーから開いてください（たとえば ./scripts/web で http://127.0.0.1:8000/ ）。\n' +
        'ファイルを直接開いて遊ぶときは、一つのファイルにまとめた suirei.html を開いてください。');
      return;
    }
    if (typeof window.SuireiEngine !== 'function') {
      fail('ゲームの本体（suirei-engine.js）を読み込めませんでした。ゲームのファイルがそろっているか確かめてください。');
      return;
    }
    var options = {};
    if (assets.wasm) options.wasmBinary = base64Bytes(assets.wasm);
    options.print = options.printErr = function () {};
    var engineReady = window.SuireiEngine(options).then(null, function () {
      throw new Error('engine');
    });
    // Pictures inside the page start loading now; a site's are fetched when
    // needed (it has the browser fetch the opening one from the start).
    for (var file in assets.pictures) {
      if (assets.pictures[file].lastIndexOf('data:', 0) === 0) request(file);
    }
    var fontReady = loadFont();

    fontReady.then(function () { mark('font'); });
    engineReady.then(function (m) {
      engine = m;
      mark('engine');
      var window_ = call('_suirei_window');
      window_.buttons.forEach(function (b) {
        var el = document.getElementById(b.id);
        el.textContent = b.caption;
        buttons[b.id] = el;
        el.addEventListener('click', function () { click(b.id); });
      });
      var opening = call('_suirei_start');
      storyPictures = window_.pictures.map(function (p) { return p.file; });
      // The opening picture alone first, so nothing holds it up; the others
      // once the window is up.
      return Promise.all([picture(opening.picture), fontReady]).then(function () { return opening; });
    }).then(function (opening) {
      draw(opening);
      form.dataset.state = String(opening.state);
      form.hidden = false;
      fit();
      setGame('ready');
      mark('ready');
      // The rest one by one after the first page is on the screen, so that
      // neither its painting nor the player's first click waits for them.
      return new Promise(function (painted) {
        requestAnimationFrame(function () { setTimeout(painted, 0); });
      }).then(function () {
        return storyPictures.reduce(function (previous, file) {
          return previous.then(function () { return picture(file); });
        }, Promise.resolve());
      }).then(function () { mark('pictures'); });
    }).catch(function (e) {
      if (e instanceof PictureProblem) fail(pictureMessage(e));
      else if (e && e.message === 'engine')
        fail('ゲームの本体（suirei-engine.wasm）を読み込めませんでした。ゲームのファイルがそろっているか確かめてください。');
      else fail('ゲームを始められませんでした（' + (e && e.message ? e.message : e) + '）。');
    });
  }

  form.tabIndex = -1;
  document.getElementById('restart').addEventListener('click', function () { location.reload(); });
  fit();
  start();
})();
