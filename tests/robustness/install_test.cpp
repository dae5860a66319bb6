// Broken installs: the real game, and the probe that plays the real window to
// any picture, copied into a scratch program folder with one picture spoiled.
// Each must end with a message on standard error naming the picture and what
// is wrong with it, and status 1: no crash, no sanitizer report, no dialog
// left waiting for a click.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "check.hpp"

namespace suirei {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

struct Outcome {
    bool finished = false;
    QProcess::ExitStatus how = QProcess::CrashExit;
    int status = -1;
    QString out;
    QString err;
};

// Waits up to two minutes for a started program, then kills it.
Outcome wait_for(QProcess& p) {
    Outcome o;
    o.finished = p.waitForFinished(120'000);
    if (!o.finished) {
        p.kill();
        p.waitForFinished();
    }
    o.how = p.exitStatus();
    o.status = p.exitCode();
    o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(p.readAllStandardError());
    return o;
}

// A program folder as the package installs it: the game, the probe and the
// eighteen pictures. The pictures come from the build when it made them all;
// otherwise they are stand-ins of the same size and depth.
class ProgramFolder {
public:
    ProgramFolder() {
        for (const char* program : {SUIREI_GAME, SUIREI_PROBE}) {
            const QString target = dir_.filePath(QFileInfo(QString::fromUtf8(program)).fileName());
            EXPECT_TRUE(QFile::copy(QString::fromUtf8(program), target)) << program;
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                              QFileDevice::ExeOther);
        }
        const QDir built(QStringLiteral(SUIREI_PICTURE_DIR));
        bool all_built = true;
        for (std::string_view f : kPictureFiles) all_built = all_built && built.exists(qs(f));
        for (std::string_view f : kPictureFiles) {
            if (all_built) {
                EXPECT_TRUE(QFile::copy(built.filePath(qs(f)), path(qs(f))));
            } else {
                QImage stand_in(143, 119, QImage::Format_RGB888);
                stand_in.fill(QColor(60, 120, 80));
                EXPECT_TRUE(stand_in.save(path(qs(f)), "BMP"));
            }
        }
        // Unprivileged checks and the game itself may need to look inside.
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                               QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                               QFileDevice::ReadOther | QFileDevice::ExeOther);
    }
    ~ProgramFolder() {
        // A picture made unreadable must not stop the folder being removed.
        for (std::string_view f : kPictureFiles)
            QFile::setPermissions(path(qs(f)), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    QString path(const QString& file) const { return dir_.filePath(file); }

    // Runs a program of the folder from somewhere else, as a desktop launcher
    // would, with `wrapper` (if any) in front of it.
    Outcome run(const QString& program, const QStringList& args, const QStringList& wrapper = {}) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(elsewhere_.path());
        const QString exe = dir_.filePath(QFileInfo(program).fileName());
        if (wrapper.isEmpty())
            p.start(exe, args);
        else
            p.start(wrapper.first(), wrapper.mid(1) + QStringList{exe} + args);
        return wait_for(p);
    }
    Outcome game(const QStringList& wrapper = {}) const { return run(QStringLiteral(SUIREI_GAME), {}, wrapper); }
    Outcome probe(const QString& picture, const QStringList& options = {}) const {
        return run(QStringLiteral(SUIREI_PROBE), QStringList{picture} + options);
    }
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QTemporaryDir elsewhere_;
};

// The failure as the player and the log see it.
void expect_reported(const Outcome& o, const QString& file, const QString& detail) {
    ASSERT_TRUE(o.finished) << "still running after two minutes: a dialog waiting, or a hang\n"
                            << o.err.toStdString();
    EXPECT_EQ(o.how, QProcess::NormalExit) << o.err.toStdString();
    EXPECT_EQ(o.status, 1) << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(QStringLiteral("suirei: 画像ファイル「%1」を表示できません。").arg(file)))
        << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(detail)) << "expected \"" << detail.toStdString() << "\" in\n" << o.err.toStdString();
    EXPECT_FALSE(o.err.contains(QStringLiteral("Sanitizer"))) << o.err.toStdString();
    EXPECT_FALSE(o.err.contains(QStringLiteral("runtime error:"))) << o.err.toStdString();
    EXPECT_FALSE(o.out.startsWith(QStringLiteral("reached")));
}

void truncate(const QString& path, qint64 size) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(size));
}

void overwrite(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void replace_with_folder(const QString& path) {
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SUIREI_GAME), path + QStringLiteral("/inside")));
}

// The opening picture spoiled in each way a broken install spoils it; the
// real game meets it at start-up.
TEST(BrokenInstall, TheGameNamesASpoiledOpeningPictureAndEnds) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> spoil;
        const char* detail;
    };
    const Case cases[] = {
        {"missing", [](const QString& p) { ASSERT_TRUE(QFile::remove(p)); }, "no such file"},
        {"cut short", [](const QString& p) { truncate(p, QFileInfo(p).size() / 2); }, "truncated"},
        {"cut inside the header", [](const QString& p) { truncate(p, 20); }, "truncated"},
        {"not a bitmap", [](const QString& p) { overwrite(p, QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(4000, 'x')); },
         "no BM header"},
        {"empty", [](const QString& p) { overwrite(p, {}); }, "no BM header"},
        {"a folder", replace_with_folder, "is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder folder;
        c.spoil(folder.path(QStringLiteral("kuron.bmp")));
        expect_reported(folder.game(), QStringLiteral("kuron.bmp"), QString::fromUtf8(c.detail));
    }
}

// Root reads any file whatever its mode, so for root the game runs without
// the two capabilities that let it pass over file permissions; a user that
// owns the file and may not read it is then exactly what it is for everyone
// else. A FIFO would not do: opening one blocks until someone writes.
TEST(BrokenInstall, TheGameNamesAnUnreadableOpeningPictureAndEnds) {
    ProgramFolder folder;
    const QString picture = folder.path(QStringLiteral("kuron.bmp"));
    ASSERT_TRUE(QFile::setPermissions(picture, {}));
    QStringList wrapper;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) GTEST_SKIP() << "running as root and setpriv (util-linux) is missing";
        const QString caps = QStringLiteral("-dac_override,-dac_read_search");
        wrapper = {setpriv, QStringLiteral("--inh-caps=") + caps, QStringLiteral("--bounding-set=") + caps, QStringLiteral("--")};
        // The simulation holds only if the wrapped process really cannot read.
        QProcess cat;
        cat.start(setpriv, wrapper.mid(1) + QStringList{QStringLiteral("cat"), picture});
        cat.waitForFinished();
        if (cat.exitStatus() != QProcess::NormalExit || cat.exitCode() == 0)
            GTEST_SKIP() << "cannot drop the file-permission capabilities here: "
                         << QString::fromLocal8Bit(cat.readAllStandardError()).toStdString();
    }
    expect_reported(folder.game(wrapper), QStringLiteral("kuron.bmp"), QStringLiteral("Permission denied"));
}

// Every picture the story loads after start-up, missing in turn: the probe
// plays the real window to the click that loads it.
class MissingPicture : public ::testing::TestWithParam<std::string_view> {};

TEST_P(MissingPicture, IsNamedWhenTheStoryReachesIt) {
    ProgramFolder folder;
    const QString picture = qs(GetParam());
    ASSERT_TRUE(QFile::remove(folder.path(picture)));
    expect_reported(folder.probe(picture), picture, QStringLiteral("no such file"));
}

INSTANTIATE_TEST_SUITE_P(EveryPicture, MissingPicture, ::testing::ValuesIn(kPictureFiles),
                         [](const auto& info) {
                             std::string n(info.param);
                             return n.substr(0, n.find('.'));
                         });

// The probe itself, on a whole install, reaches the last frame of the strike
// and ends well: its failures above are the pictures', not its own.
TEST(BrokenInstall, TheProbeReachesTheStrikeOnAWholeInstall) {
    ProgramFolder folder;
    const Outcome o = folder.probe(QStringLiteral("an4.bmp"));
    ASSERT_TRUE(o.finished);
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.startsWith(QStringLiteral("reached an4.bmp"))) << o.out.toStdString();
}

// A frame of the strike spoiled: the failure comes while the window is
// holding frames and dropping the player's clicks.
TEST(BrokenInstall, ASpoiledFrameOfTheStrikeIsNamed) {
    {
        ProgramFolder folder;
        truncate(folder.path(QStringLiteral("an3.bmp")), 300);
        expect_reported(folder.probe(QStringLiteral("an3.bmp")), QStringLiteral("an3.bmp"), QStringLiteral("truncated"));
    }
    {
        ProgramFolder folder;
        replace_with_folder(folder.path(QStringLiteral("an2.bmp")));
        expect_reported(folder.probe(QStringLiteral("an2.bmp")), QStringLiteral("an2.bmp"), QStringLiteral("is a directory"));
    }
}

// A picture file far larger than any picture is refused before it is read,
// at start-up and deep in the story alike: not an abort for want of memory,
// not gigabytes read first. The files are sparse and take no room on disk.
TEST(BrokenInstall, APictureFileFarTooLargeIsRefusedUnread) {
    for (qint64 size : {qint64{64} << 30, qint64{3} << 30}) {
        SCOPED_TRACE(size);
        {
            ProgramFolder folder;
            truncate(folder.path(QStringLiteral("kuron.bmp")), size);
            expect_reported(folder.game(), QStringLiteral("kuron.bmp"), QStringLiteral("too large"));
        }
        {
            ProgramFolder folder;
            truncate(folder.path(QStringLiteral("kou.bmp")), size);
            expect_reported(folder.probe(QStringLiteral("kou.bmp")), QStringLiteral("kou.bmp"), QStringLiteral("too large"));
        }
    }
}

// A frame that is there when the click checks it and gone when its turn
// comes, while the frames play.
TEST(BrokenInstall, AFrameGoneWhileTheStrikePlaysIsNamed) {
    ProgramFolder folder;
    const Outcome o = folder.probe(QStringLiteral("an3.bmp"), {QStringLiteral("--remove-after-last"), QStringLiteral("an3.bmp")});
    expect_reported(o, QStringLiteral("an3.bmp"), QStringLiteral("no such file"));
}

// The program folder deleted during a game: the message names the folder the
// game was started in, not a bare "/kou.bmp".
TEST(BrokenInstall, AProgramFolderDeletedDuringTheGameIsNamed) {
    ProgramFolder folder;
    const QString where = folder.folder();
    const Outcome o = folder.probe(QStringLiteral("kou.bmp"), {QStringLiteral("--remove-before-last"), QStringLiteral(".")});
    expect_reported(o, QStringLiteral("kou.bmp"), QStringLiteral("no such file"));
    EXPECT_TRUE(o.err.contains(QStringLiteral("(%1/kou.bmp: no such file)").arg(where))) << o.err.toStdString();
}

// Runs a shell script with the folder's programs at hand ($1 is the folder).
Outcome shell(const ProgramFolder& folder, const QString& script) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral("set -e\n") + script, QStringLiteral("shell"), folder.folder()});
    return wait_for(p);
}

// Folders a player may well put the game in: one named in Shift_JIS bytes,
// as unzipping an archive made on a Japanese Windows machine leaves it, and
// folders deep in the file system. The game starts from them, from somewhere
// else, and plays into the story.
TEST(UnusualProgramFolder, ANameThatIsNotUtf8) {
    ProgramFolder folder;
    const Outcome o = shell(folder, QStringLiteral(
        "top=$(mktemp -d); trap 'rm -rf \"$top\"' EXIT\n"
        "sjis=$(printf '\\x90\\x95\\x97\\xe9\\x94\\xe9\\x8f\\xb4')\n"   // 翠嶺秘抄 in Shift_JIS
        "cp -a \"$1\" \"$top/$sjis\"\n"
        "cd \"$top\"\n"
        "\"$top/$sjis/suirei-install-probe\" kou.bmp\n"));
    ASSERT_TRUE(o.finished);
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.startsWith(QStringLiteral("reached kou.bmp"))) << o.out.toStdString() << o.err.toStdString();
}

TEST(UnusualProgramFolder, AFolderOfAnyDepth) {
    // Up to 4095 bytes, a path the kernel spells out whole, the program is
    // started by its name on the PATH, as the installed launcher starts it;
    // deeper than a path may be, by a shorter path from a folder nearby.
    struct Case {
        int folders;  // of 180 bytes each
        int least, most;
        const char* start;
    };
    const Case cases[] = {
        {2, 257, 4095, "PATH=\"$deep:$PATH\" suirei-install-probe"},
        {22, 257, 4095 - 21, "PATH=\"$deep:$PATH\" suirei-install-probe"},
        {25, 4097, 1 << 20, "../game/suirei-install-probe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folders);
        ProgramFolder folder;
        const Outcome o = shell(folder, QStringLiteral(
            "top=$(mktemp -d); trap 'rm -rf \"$top\"' EXIT\n"
            "cd \"$top\"\n"
            "name=$(printf '%.0s翠' $(seq 60))\n"
            "for i in $(seq %1); do mkdir \"$name\"; cd \"$name\"; done\n"
            "cp -a \"$1\" game\n"
            "deep=$(pwd)/game\n"
            "bytes=$(printf %s \"$deep\" | wc -c)\n"
            "[ \"$bytes\" -ge %2 ] && [ \"$bytes\" -le %3 ] || { echo \"$bytes bytes deep\" >&2; exit 3; }\n"
            "mkdir elsewhere; cd elsewhere\n"
            "%4 kou.bmp\n").arg(c.folders).arg(c.least).arg(c.most).arg(QString::fromUtf8(c.start)));
        ASSERT_TRUE(o.finished);
        EXPECT_EQ(o.status, 0) << o.err.toStdString();
        EXPECT_TRUE(o.out.startsWith(QStringLiteral("reached kou.bmp"))) << o.out.toStdString() << o.err.toStdString();
    }
}

// Where the folder truly cannot be entered, the message names it, its bytes
// shown safely, and says why.
TEST(UnusualProgramFolder, AFolderThatCannotBeEnteredIsNamedWithTheReason) {
    // Root enters any folder; without the two capabilities that let it pass
    // over permissions it is refused like anyone else.
    QString wrapper;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) GTEST_SKIP() << "running as root and setpriv (util-linux) is missing";
        wrapper = setpriv + QStringLiteral(" --inh-caps=-dac_override,-dac_read_search --bounding-set=-dac_override,-dac_read_search -- ");
    }
    ProgramFolder folder;
    const Outcome o = shell(folder, QStringLiteral(
        "top=$(mktemp -d); trap 'chmod -R u+rwx \"$top\"; rm -rf \"$top\"' EXIT\n"
        "sjis=$(printf '\\x90\\x95')\n"   // 翠 in Shift_JIS
        "cp -a \"$1\" \"$top/$sjis\"\n"
        "chmod a-x \"$top/$sjis\"\n"
        "cd \"$top\"\n"
        "%1\"$top/$sjis/suirei\"\n").arg(wrapper));
    ASSERT_TRUE(o.finished);
    EXPECT_EQ(o.status, 1) << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(QStringLiteral("プログラムのフォルダーに移れません。"))) << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(QStringLiteral("/\\x90\\x95: Permission denied)"))) << o.err.toStdString();
}

}  // namespace
}  // namespace suirei
