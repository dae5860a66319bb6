// Standard input, output and error for the tools under node, byte for byte as
// the native tools read and write them, failures included. Debian's
// emscripten reads standard input through a handle a single-file build never
// opens, and turns every failure of a standard stream into "I/O error"; here
// each read and write goes straight to its file descriptor, and a failure
// reaches the program with its own error number, so that it says what the
// native program says ("Bad file descriptor", "No space left on device"…).
(function () {
  var fs = require('fs');

  // The error numbers of emscripten's C library (those of WASI) for what a
  // standard stream can meet; anything else is an I/O error.
  var ERRNO = {
    EACCES: 2, EBADF: 8, ECONNRESET: 15, EDQUOT: 19, EFBIG: 22, EINVAL: 28, EIO: 29,
    EISDIR: 31, ENOSPC: 51, ENXIO: 60, EPERM: 63, EPIPE: 64,
  };
  var failure = function (e) { return new FS.ErrnoError(ERRNO[e.code] || ERRNO.EIO); };

  // Node opens /dev/null for reading and writing in place of a standard
  // stream that was closed when it started, so reading gives nothing and
  // writing goes nowhere; a shell's redirection opens /dev/null one way only.
  // Such a stream counts as closed, as it does for the native program.
  function closedAtStart(fd) {
    try {
      var flags = /^flags:\s*([0-7]+)/m.exec(fs.readFileSync('/proc/self/fdinfo/' + fd, 'utf8'));
      return !!flags && (parseInt(flags[1], 8) & 3) === 2 && fs.fstatSync(fd).rdev === fs.statSync('/dev/null').rdev;
    } catch (e) {
      return false;  // no /proc to ask: the stream is as it seems
    }
  }

  // A non-blocking pipe with nothing in it yet, or full: try again.
  function again(io) {
    for (;;) {
      try {
        return io();
      } catch (e) {
        if (e.code !== 'EAGAIN') throw failure(e);
      }
    }
  }

  Module['onRuntimeInitialized'] = function () {
    [0, 1, 2].forEach(function (fd) {
      var stream = FS.getStream(fd);
      var closed = closedAtStart(fd);
      var ops = Object.assign({}, stream.stream_ops);
      ops.read = function (stream, buffer, offset, length) {
        if (closed) throw new FS.ErrnoError(ERRNO.EBADF);
        return again(function () { return fs.readSync(fd, buffer, offset, length, null); });
      };
      ops.write = function (stream, buffer, offset, length) {
        if (closed) throw new FS.ErrnoError(ERRNO.EBADF);
        for (var done = 0; done < length;) {
          done += again(function () { return fs.writeSync(fd, buffer, offset + done, length - done); });
        }
        return length;
      };
      stream.stream_ops = ops;
    });
  };
})();
