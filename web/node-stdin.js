// Standard input and output for the play driver under node, byte for byte as
// the native driver reads and writes them. (Debian's emscripten reads stdin
// through a handle a single-file build never opens, so it would see no input.)
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

// Standard output and error written straight to their file descriptors, each
// line whole before the next is read: console.log to a pipe may still hold
// output in memory when the program exits, and lose it.
(function () {
  var fs = require('fs');
  function writer(fd) {
    return function (line) {
      var bytes = Buffer.from(line + '\n', 'utf-8');
      var at = 0;
      while (at < bytes.length) {
        try {
          at += fs.writeSync(fd, bytes, at, bytes.length - at);
        } catch (e) {
          if (e.code !== 'EAGAIN') throw e;  // a full non-blocking pipe: try again
        }
      }
    };
  }
  Module['print'] = writer(1);
  Module['printErr'] = writer(2);
})();
