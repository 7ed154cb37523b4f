// `cpack -G DEB` on the build: a package for /usr that holds the program beside its tool
// folder and depends on the Debian packages of the libraries they load, so that apt
// brings everything a conversion needs.

#include "ToolRun.h"

#include <algorithm>

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString standardOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << "could not run " << program.toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The package names of a Depends field, without their versions.
QSet<QString> packageNames(const QString &field)
{
    QSet<QString> names;
    for (const QString &item : field.split(u',', Qt::SkipEmptyParts))
        names.insert(item.trimmed().section(u' ', 0, 0));
    return names;
}

} // namespace

TEST(DebianPackage, HoldsTheProgramAndItsToolsAndDependsOnTheirLibraries)
{
    QTemporaryDir output;
    ASSERT_TRUE(output.isValid());
    const ToolRun cpack = runTool(CPACK_COMMAND, {"-G", "DEB", "--config", BUILD_DIR "/CPackConfig.cmake",
                                                  "-B", output.path()});
    ASSERT_EQ(cpack.exitCode, 0) << cpack.errorOutput.toStdString();
    const QStringList packages = QDir(output.path()).entryList({"*.deb"}, QDir::Files);
    ASSERT_EQ(packages.size(), 1);
    const QString deb = output.filePath(packages.first());

    const QSet<QString> depends = packageNames(standardOutput("dpkg-deb", {"-f", deb, "Depends"}));
    for (const QString package : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libmpg123-0", "libsoxr0",
                                  "libopencore-amrnb0"})
        EXPECT_TRUE(depends.contains(package)) << package.toStdString();
#ifdef FFMPEG_MODULE_PATH
    // The decoder's FFmpeg module loads these; their names carry the library's version.
    for (const QString library : {"libavformat", "libavcodec", "libavutil"}) {
        EXPECT_TRUE(std::any_of(depends.begin(), depends.end(),
                                [&](const QString &package) { return package.startsWith(library); }))
            << library.toStdString();
    }
#endif

    const QStringList contents = standardOutput("dpkg-deb", {"-c", deb}).split(u'\n');
    QStringList paths{"./usr/bin/amrconvert", "./usr/bin/batchrun", "./usr/bin/amr/madplay.exe", "./usr/bin/amr/converter"};
#ifdef FFMPEG_MODULE_PATH
    paths.append("./usr/bin/amr/ffmpeg-formats.so");
#endif
    for (const QString &path : paths) {
        EXPECT_TRUE(std::any_of(contents.begin(), contents.end(),
                                [&](const QString &line) { return line.endsWith(u' ' + path); }))
            << path.toStdString();
    }
}
