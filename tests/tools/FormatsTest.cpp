// madplay.exe on the formats it reads besides MP3, told by their content.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using Formats = ToolTest;

} // namespace

TEST_F(Formats, EachFormatConvertsToItsLengthAndToneWhateverItsName)
{
    const char *files[] = {"tone-8bit.wav", "tone.flac", "tone.ogg",  "tone.opus", "tone.m4a",
                           "tone.aac",      "video.mp4", "video.mkv", "video.webm", "video.avi"};
    for (const char *file : files) {
        const QString original = fixtureFile(file);
        const QString renamed = folder.filePath("song.mp3");
        QFile::remove(renamed);
        ASSERT_TRUE(QFile::copy(original, renamed));

        for (const QString &input : {original, renamed}) {
            SCOPED_TRACE(input.toStdString());
            const std::vector<std::int16_t> samples = decodedCleanly(input);
            expectLengthNear(samples.size(), referenceSampleCount(file));
            // 1.5 s of 1 kHz at half of full scale; away from the ends, where lossy coders
            // fade in and out.
            expectTone(samples, 0.3, 1.2, 0.5);
        }
    }
}
