// madplay.exe on the formats it reads besides MP3, told by their content: each converts
// to the length Debian's ffmpeg gives and keeps its tone, also when the file is called
// .mp3, without a warning.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString decoder = QStringLiteral(DECODER_PATH);

} // namespace

TEST(Formats, EachFormatConvertsToItsLengthAndToneWhateverItsName)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString wav = folder.filePath("temp.wav");
    const char *files[] = {"tone-8bit.wav", "tone.flac", "tone.ogg",  "tone.opus", "tone.m4a",
                           "tone.aac",      "video.mp4", "video.mkv", "video.webm", "video.avi"};
    for (const char *file : files) {
        const QString original = fixtureFile(file);
        const qint64 reference = referenceSampleCount(file);
        ASSERT_GT(reference, 0) << file << ": ffmpeg could not decode it";
        const QString renamed = folder.filePath("song.mp3");
        QFile::remove(renamed);
        ASSERT_TRUE(QFile::copy(original, renamed));

        for (const QString &input : {original, renamed}) {
            SCOPED_TRACE(input.toStdString());
            const ToolRun run = runTool(decoder, decoderArguments(wav, input));
            EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
            EXPECT_TRUE(run.errorOutput.isEmpty()) << run.errorOutput.toStdString();

            const std::vector<std::int16_t> samples = readPcm(wav);
            const double slack = std::max(0.01 * static_cast<double>(reference), 0.070 * 8000);
            EXPECT_NEAR(static_cast<double>(samples.size()), static_cast<double>(reference), slack);
            // 1.5 s of 1 kHz at half of full scale; away from the ends, where lossy coders
            // fade in and out.
            const auto part = between(samples, 0.3, 1.2);
            const double level = toneAmplitude(part, 1000);
            EXPECT_NEAR(decibels(level / 0.5), 0, 1.0) << "level " << level;
            EXPECT_GT(level * level / 2, 0.98 * rmsLevel(part) * rmsLevel(part));
        }
    }
}
