// suirei-check: proves the story sound, draws its route map and prints its
// screenplay, with the same engine and script the game runs.
//
//   suirei-check                  explore, report findings and statistics
//   suirei-check --map route.svg  also draw the route map (needs Graphviz dot)
//   suirei-check --dot route.dot  also write the map's Graphviz source
//   suirei-check --screenplay     print the script route by route
//   suirei-check --quiet          findings only, no statistics
//
// Exit status: 0 when nothing was found, 1 on findings or when standard output
// cannot be written, 2 on a usage error or when the map cannot be drawn.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "exploration.hpp"
#include "findings.hpp"
#include "route_map.hpp"
#include "screenplay.hpp"
#include "stretches.hpp"

namespace {

using namespace suirei;
using namespace suirei::check;

constexpr std::string_view kUsage =
    "usage: suirei-check [--quiet] [--map FILE.svg] [--dot FILE] [--screenplay]\n"
    "\n"
    "Plays every reachable situation of the story (every visible button, breadth\n"
    "first from start-up) and reports what is wrong, one line per finding:\n"
    "  state 230 Command11 L2: what is wrong\n"
    "then statistics. Exits 1 when there are findings.\n"
    "\n"
    "  --map FILE.svg   draw the route map with Graphviz dot (package graphviz)\n"
    "  --dot FILE       write the route map as Graphviz source\n"
    "  --screenplay     print the whole script route by route, for proofreading\n"
    "  --quiet          print findings only\n"
    "  --help           this text\n";

#ifdef _WIN32
constexpr char kPathSeparator = ';';
constexpr std::string_view kExecutableSuffix = ".exe";
#else
constexpr char kPathSeparator = ':';
constexpr std::string_view kExecutableSuffix = "";
#endif

bool on_path(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::istringstream dirs(path);
    for (std::string dir; std::getline(dirs, dir, kPathSeparator);) {
        std::error_code ec;
        const auto candidate = std::filesystem::path(dir.empty() ? "." : dir) / (program + std::string(kExecutableSuffix));
        if (std::filesystem::is_regular_file(candidate, ec)) return true;
    }
    return false;
}

// Quotes a file name for the command interpreter std::system uses.
std::string shell_quote(const std::string& s) {
#ifdef _WIN32
    return '"' + s + '"';
#else
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
#endif
}

// Writes `text` to `file`; false, with a message, on failure.
bool write_file(const std::string& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    out.close();
    if (!out) std::cerr << "suirei-check: cannot write " << file << "\n";
    return static_cast<bool>(out);
}

// Runs `dot -Tsvg -o file` on the source; false, with a message, on failure.
bool draw(const std::string& source, const std::string& file) {
    if (!on_path("dot")) {
        std::cerr << "suirei-check: cannot draw " << file
                  << ": Graphviz `dot` is not on the PATH (install the graphviz package),"
                     " or write the source with --dot FILE and draw it elsewhere\n";
        return false;
    }
    // The source goes through a scratch file beside the map, so that the only
    // thing asked of the platform is to run a command.
    const std::string source_file = file + ".dot.tmp";
    if (!write_file(source_file, source)) return false;
    const int status = std::system(("dot -Tsvg -o " + shell_quote(file) + " " + shell_quote(source_file)).c_str());
    std::error_code ignored;
    std::filesystem::remove(source_file, ignored);
    if (status != 0) {
        std::cerr << "suirei-check: Graphviz dot failed to draw " << file << " (status " << status << ")\n";
        return false;
    }
    return true;
}

// Whether standard output took everything. A report that was lost (a full
// disk, say) is an error, never a quiet success: it says so, and the checker
// ends with status 1.
bool written() {
    if (std::cout.flush()) return true;
    const int saved = errno;
    std::cerr << "suirei-check: cannot write standard output: " << (saved ? std::strerror(saved) : "unknown error")
              << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    bool quiet = false, screenplay = false;
    std::string map_file, dot_file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return written() ? 0 : 1;
        } else if (arg == "--quiet" || arg == "-q") {
            quiet = true;
        } else if (arg == "--screenplay") {
            screenplay = true;
        } else if (arg == "--map" || arg == "--dot") {
            if (i + 1 >= argc) {
                std::cerr << "suirei-check: " << arg << " needs a file name\n" << kUsage;
                return 2;
            }
            (arg == "--map" ? map_file : dot_file) = argv[++i];
        } else {
            std::cerr << "suirei-check: unknown option " << arg << "\n" << kUsage;
            return 2;
        }
    }

    const auto started = std::chrono::steady_clock::now();
    const Exploration explored(story());
    const std::vector<Finding> findings = check_story(explored);
    const Statistics stats = statistics(explored);
    const std::chrono::duration<double, std::milli> time = std::chrono::steady_clock::now() - started;

    if (screenplay) {
        write_screenplay(std::cout, explored);
        if (!written()) return 1;
    }

    // Findings go to standard error when the screenplay holds standard output.
    std::ostream& report = screenplay ? std::cerr : std::cout;
    for (const Finding& f : findings) report << f.line() << "\n";
    if (!quiet) {
        report << "situations: " << stats.situations << "\n"
               << "clicks tried: " << stats.clicks << " (Quit offered in " << stats.quit_offered
               << " situations, not followed)\n"
               << "story states reached: " << stats.states_reached << "\n"
               << "rules: " << stats.rules << ", fired: " << stats.rules_fired << "\n"
               << "end states reached: " << stats.ends_reached.size() << " of " << kEndStates.size();
        for (std::size_t i = 0; i < stats.ends_reached.size(); ++i)
            report << (i ? ", " : " (") << stats.ends_reached[i] << (i + 1 == stats.ends_reached.size() ? ")" : "");
        report << "\n"
               << "findings: " << findings.size() << "\n"
               << "time: " << time.count() << " ms\n";
    }

    bool drawn = true;
    if (!map_file.empty() || !dot_file.empty()) {
        const std::string source = route_map_dot(explored);
        if (!dot_file.empty()) drawn = write_file(dot_file, source);
        if (!map_file.empty()) drawn = draw(source, map_file) && drawn;
    }

    if (!written()) return 1;
    if (!drawn) return 2;
    return findings.empty() ? 0 : 1;
}
