// suirei-describe: the page's engine under node, for the build. It prints the
// window's description (suirei_window(): title, size, colour, the largest
// file, every control and every scene picture) as the page receives it at
// load, so that the page's title, its manifest and its files table can be
// made from it ahead of time.
Module['onRuntimeInitialized'] = function () {
  process.stdout.write(UTF8ToString(Module['_suirei_window']()) + '\n');
};
