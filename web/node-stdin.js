// Standard input for the play driver under node, one byte at a time, as the
// native driver reads it. (Debian's emscripten reads stdin through a handle
// that a single-file build never opens, so it would see an empty input.)
Module['stdin'] = (function () {
  var fs = require('fs');
  var buffer = Buffer.alloc(65536);
  var at = 0, end = 0, done = false;
  return function () {
    if (at === end) {
      if (done) return null;
      for (;;) {
        try {
          end = fs.readSync(0, buffer, 0, buffer.length, null);
          break;
        } catch (e) {
          if (e.code === 'EAGAIN') continue;  // a non-blocking pipe with nothing in it yet
          if (e.code === 'EOF') { end = 0; break; }
          throw e;
        }
      }
      at = 0;
      if (end <= 0) { done = true; end = 0; return null; }
    }
    return buffer[at++];
  };
})();
