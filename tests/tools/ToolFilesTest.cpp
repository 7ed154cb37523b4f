// What the decoder and the encoder do with files they did not make: inputs that are no
// files.

#include "ToolRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

class ToolFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QTemporaryDir folder;
};

// Each tool's command line on `input`, writing into `folder`.
std::vector<std::pair<QString, QStringList>> linesReading(const QString &input, const QTemporaryDir &folder)
{
    return {
        {DECODER_PATH, decoderArguments(folder.filePath("temp.wav"), input)},
        {ENCODER_PATH, {"wav2amr", input, folder.filePath("ring.amr"), "MR74"}},
        {ENCODER_PATH, {"amr2wav", input, folder.filePath("back.wav")}},
    };
}

} // namespace

TEST_F(ToolFilesTest, AnInputThatIsNoFileIsRefusedAtOnce)
{
    std::vector<std::pair<QString, QString>> inputs{{folder.path(), "it is a folder, not a file"}};
#ifndef _WIN32
    // A named pipe without a writer would keep its open waiting for ever, and a device
    // like /dev/zero would never end.
    const QString pipe = folder.filePath("pipe.mp3");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    inputs.emplace_back(pipe, "it is a named pipe, not a file");
    inputs.emplace_back("/dev/zero", "it is a device, not a file");
#endif
    for (const auto &[input, reason] : inputs) {
        for (const auto &[program, arguments] : linesReading(input, folder)) {
            SCOPED_TRACE(arguments.join(' ').toStdString());
            // A generous limit that only guards against waiting for ever.
            const ToolRun run = runTool(program, arguments, QProcessEnvironment::systemEnvironment(), {}, 20);
            EXPECT_EQ(run.exitCode, 1);
            ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
            EXPECT_TRUE(run.errorLines().front().endsWith(input + ": " + reason)) << run.errorOutput.toStdString();
        }
    }
}
