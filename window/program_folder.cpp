#include "program_folder.hpp"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <string>

#ifdef __linux__
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "controls.hpp"
#include "picture.hpp"

namespace suirei {

#ifdef __linux__
namespace {

// Where a symbolic link points, in raw bytes; empty when the kernel cannot
// spell it out (a path of 4096 bytes or more).
std::string readLink(const char* link) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link, target, PATH_MAX);
    if (n < 0 || n == PATH_MAX) return {};
    return std::string(target, static_cast<std::size_t>(n));
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The program as it was named on its command line.
std::string argv0() {
    std::string name;
    std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
    std::getline(cmdline, name, '\0');
    return name;
}

bool sameFile(const char* a, const char* b) {
    struct stat one {}, other {};
    return ::stat(a, &one) == 0 && ::stat(b, &other) == 0 && one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

}  // namespace

void enterProgramFolder() {
    // The folder by its bytes as the file system has them: a folder unzipped
    // from a Japanese Windows archive can be named in Shift_JIS, which no
    // decoded QString would name again.
    std::string folder = folderOf(readLink("/proc/self/exe"));
    int reason = errno;
    if (folder.empty()) {
        // A program folder deeper than a path may be: the program was started
        // by a shorter relative path from the current directory, which
        // nothing has changed yet. Taken only if it is the very same file.
        const std::string named = argv0();
        if (named.find('/') != std::string::npos && sameFile("/proc/self/exe", named.c_str())) folder = folderOf(named);
    }
    if (folder.empty())
        throw GameError(qs(bitmap::kFolderUnknown) +
                        QStringLiteral("\n(/proc/self/exe: %1)").arg(QString::fromLocal8Bit(std::strerror(reason))));
    if (::chdir(folder.c_str()) != 0) {
        reason = errno;
        throw GameError(qs(bitmap::kFolderUnreachable) +
                        QStringLiteral("\n(%1: %2)").arg(showBytes(QByteArray::fromStdString(folder)),
                                                          QString::fromLocal8Bit(std::strerror(reason))));
    }
    setPictureFolder(showBytes(QByteArray::fromStdString(folder)));
}
#else
void enterProgramFolder() {
    const QString folder = QCoreApplication::applicationDirPath();
    if (!QDir::setCurrent(folder))
        throw GameError(qs(bitmap::kFolderUnreachable) + QStringLiteral("\n(%1: cannot make it the current folder)")
                                                              .arg(QDir::toNativeSeparators(folder)));
    setPictureFolder(QDir::toNativeSeparators(folder));
}
#endif

}  // namespace suirei
