// For the benchmarks (bench/run): with SUIREI_BENCH_TRACE set, a window tells
// standard error when it was first painted and how long each click took to
// reach the screen, in two kinds of line:
//   first-paint <realtime ns>   once the window's first frame is painted
//   click-paint <ns>            from a button's mouse release to the end of
//                               the first repaint after it reported the click
// The game's window and the benchmarks' floor window trace alike.
#pragma once

class QWidget;

namespace suirei {

// Installs the trace on `window` and on every button it holds, when
// SUIREI_BENCH_TRACE is set; otherwise does nothing at all.
void traceIfAsked(QWidget* window);

}  // namespace suirei
