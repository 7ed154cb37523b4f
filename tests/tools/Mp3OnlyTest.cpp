// madplay.exe built without FFmpeg: a file of another format gets one line that says so,
// and the old WAV file is removed as after any failure.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using Mp3Only = ToolTest;

} // namespace

TEST_F(Mp3Only, AnotherFormatIsRefusedWithALineThatSaysThisBuildReadsMp3Only)
{
    for (const char *file : {"tone.flac", "video.mp4"}) {
        SCOPED_TRACE(file);
        writePreviousAudio(wav);
        const QString input = fixtureFile(file);
        const ToolRun run = runDecoder(wav, input);
        EXPECT_EQ(run.exitCode, 1);
        ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.contains(input + ": it is a ")) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.contains("this build of the decoder reads MP3 only")) << run.errorOutput.toStdString();
        EXPECT_FALSE(QFile::exists(wav));
    }
}
