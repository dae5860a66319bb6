// suirei-describe: the page's engine under node, for the build. It prints the
// window's description (suirei_window(): title, size, colour, font, every
// control and every scene picture) as the page receives it at load, so that
// the page's title and the font can be made from it ahead of time.
Module['onRuntimeInitialized'] = function () {
  process.stdout.write(UTF8ToString(Module['_suirei_window']()) + '\n');
};
