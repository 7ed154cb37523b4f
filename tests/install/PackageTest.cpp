// `cpack -G DEB` on the build: a package for /usr that holds the program beside its tool
// folder and depends on the Debian packages of the libraries they load, so that apt
// brings everything a conversion needs, and says in a machine-readable copyright file
// under which licences the program and what is linked into it may be passed on.

#include "ToolRun.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The paragraphs of a Debian control file, such as a machine-readable copyright file:
// each field's value with its continuation lines, unindented, and " ." as an empty line.
QList<QMap<QString, QString>> paragraphs(const QString &text)
{
    QList<QMap<QString, QString>> result;
    for (const QString &block : text.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        QMap<QString, QString> fields;
        QString field;
        for (const QString &line : block.split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u' ')) {
                fields[field] += u'\n' + (line == QStringLiteral(" .") ? QString() : line.mid(1));
            } else {
                field = line.section(u':', 0, 0);
                fields[field] = line.section(u':', 1).trimmed();
            }
        }
        result.append(fields);
    }
    return result;
}

// The package, packed and unpacked once for the whole suite.
class DebianPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        output = new QTemporaryDir;
        ASSERT_TRUE(output->isValid());
        const ToolRun cpack = runTool(CPACK_COMMAND, {"-G", "DEB", "--config", BUILD_DIR "/CPackConfig.cmake",
                                                      "-B", output->path()});
        ASSERT_EQ(cpack.exitCode, 0) << cpack.errorOutput.toStdString();
        const QStringList packages = QDir(output->path()).entryList({"*.deb"}, QDir::Files);
        ASSERT_EQ(packages.size(), 1);
        deb = output->filePath(packages.first());
        ASSERT_EQ(runTool("dpkg-deb", {"-x", deb, output->filePath("unpacked")}).exitCode, 0);
    }
    static void TearDownTestSuite() { delete output; }

    void SetUp() override { ASSERT_FALSE(deb.isEmpty()); }

    // A file that the package installs, by its path below the root.
    static QString installed(const QString &path) { return output->filePath("unpacked/" + path); }

    static inline QTemporaryDir *output = nullptr;
    static inline QString deb;
};

} // namespace

TEST_F(DebianPackage, HoldsTheProgramAndItsToolsAndDependsOnTheirLibraries)
{
    // Each package by its name and the blank before its version; FFmpeg's libraries, which
    // the decoder's module loads, by the start of a name that carries the library's version.
    QProcess dpkg;
    dpkg.start("dpkg-deb", {"-f", deb, "Depends"});
    ASSERT_TRUE(dpkg.waitForFinished(60000));
    const QStringList depends = QString::fromUtf8(dpkg.readAllStandardOutput()).split(u',');
    for (const QString package : {"libqt6core6 ", "libqt6gui6 ", "libqt6widgets6 ", "libmpg123-0 ", "libsoxr0 ",
                                  "libopencore-amrnb0 ", "libavformat", "libavcodec", "libavutil"}) {
        EXPECT_TRUE(std::any_of(depends.begin(), depends.end(),
                                [&](const QString &item) { return (item.trimmed() + u' ').startsWith(package); }))
            << package.toStdString();
    }

    for (const QString path : {"usr/bin/amrconvert", "usr/bin/batchrun", "usr/bin/amr/madplay.exe",
                               "usr/bin/amr/converter", "usr/bin/amr/ffmpeg-formats.so"})
        EXPECT_TRUE(QFileInfo::exists(installed(path))) << path.toStdString();
}

TEST_F(DebianPackage, SaysInItsCopyrightFileThatTheProgramIsUnderTheGpl3AndWhatTheToolsLinkIn)
{
    const QList<QMap<QString, QString>> all =
        paragraphs(QString::fromUtf8(contentsOf(installed("usr/share/doc/amrconvert/copyright"))));
    ASSERT_GE(all.size(), 3) << "no usr/share/doc/amrconvert/copyright of three paragraphs";
    EXPECT_EQ(all.first().value("Format"), "https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/");

    // Which licence each file has, and the text of each licence named.
    QMap<QString, QMap<QString, QString>> files;
    QMap<QString, QString> licenceTexts;
    for (const auto &paragraph : all.mid(1)) {
        if (paragraph.contains("Files")) {
            for (const QString &pattern : paragraph.value("Files").split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
                files[pattern] = paragraph;
        } else {
            const QString license = paragraph.value("License");
            licenceTexts[license.section(u'\n', 0, 0)] = license.section(u'\n', 1);
        }
    }
    ASSERT_TRUE(files.contains("*"));
    EXPECT_EQ(files["*"].value("License"), "GPL-3+");
    for (const QString tool : {"usr/bin/amr/madplay.exe", "usr/bin/amr/converter"}) {
        SCOPED_TRACE(tool.toStdString());
        ASSERT_TRUE(files.contains(tool)) << "the GCC runtime linked into it is not named";
        EXPECT_TRUE(QFile::exists(installed(tool)));
        EXPECT_TRUE(files[tool].value("Copyright").contains("Free Software Foundation"));
        EXPECT_TRUE(files[tool].value("License").contains("GCC-Runtime-Library")) << files[tool].value("License").toStdString();
    }
    for (const auto &paragraph : files) {
        for (const QString &licence : paragraph.value("License").split(" and ")) {
            SCOPED_TRACE(licence.toStdString());
            EXPECT_GT(licenceTexts.value(licence).size(), 1000) << "no text of its own";
        }
    }
    const QString gpl = licenceTexts.value("GPL-3+");
    EXPECT_TRUE(gpl.contains("GNU GENERAL PUBLIC LICENSE") && gpl.contains("Version 3, 29 June 2007"));
}
