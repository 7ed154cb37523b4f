#pragma once

// Runs a program of the tool folder (or sox) the way the conversion script does, keeps
// what a user would see of it, and looks at the files it leaves.

#include "TestFiles.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct ToolRun {
    int exitCode = -1;
    QString errorOutput;

    // The lines the program printed on its error output.
    QStringList errorLines() const;
};

// A file of tests/fixtures.
QString fixtureFile(const QString &name);

// The decoder's command line as the conversion script writes it.
QStringList decoderArguments(const QString &wav, const QString &input);

// This process's environment with `name` set to `value`, as for AMR_DECODER_THREADS.
QProcessEnvironment environmentWith(const QString &name, const QString &value);

// Runs `program` in `workingFolder` (the test's own when empty); a test failure when it
// has not ended after `seconds`.
ToolRun runTool(const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                const QString &workingFolder = {}, int seconds = 120);

// Runs the decoder as the conversion script does, from `input` into `wav`.
ToolRun runDecoder(const QString &wav, const QString &input,
                   const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// What Debian's sox says about an audio file (soxi's `option`, such as "-s" for the
// sample count), independently of our own readers; empty when sox cannot read it.
QString soxInfo(const QString &path, const QString &option);

// A file that tests/tools/make-references made with Debian's sox or ffmpeg before the
// tests ran (ctest runs it first); a test failure when it is missing.
QString referenceFile(const QString &name);

// How many samples Debian's ffmpeg decodes from the fixture `fixtureName`, mixed to mono
// and resampled to 8000 Hz: the length of its audio by a decoder independent of ours, as
// make-references counted it; -1 when it is missing.
qint64 referenceSampleCount(const QString &fixtureName);

// The names of the files in `folder`, so tests can see that nothing was left behind.
QStringList filesIn(const QString &folder);

// A test of the tools in a temporary folder of its own, with their usual outputs there.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    // The samples the decoder makes of `input` in wav; a test failure unless it decodes
    // without a word.
    std::vector<std::int16_t> decodedCleanly(const QString &input,
                                             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

    QTemporaryDir folder;
    QString wav = folder.filePath("temp.wav");
    QString amr = folder.filePath("ring.amr");
};
