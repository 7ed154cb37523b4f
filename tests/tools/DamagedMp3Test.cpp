// madplay.exe on MP3 files damaged the way they turn up on people's disks, each converted
// to the length that an independent decoder (Debian's ffmpeg) gives.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using DamagedMp3Test = ToolTest;

// The time of the first "at N.NN s" in `line`, or -1.
double timeIn(const QString &line)
{
    const auto match = QRegularExpression("at (\\d+\\.\\d\\d) s").match(line);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

} // namespace

TEST_F(DamagedMp3Test, EachKindOfDamageIsSkippedWithOneWarningThatSaysWhereAndTheRestConverts)
{
    // Each file, the warnings the decoder must print (words each contains and, where it
    // names a time, about which time; negative: none), and the stretches that hold the
    // undamaged 1 kHz tone at half of full scale.
    const std::tuple<const char *, std::vector<std::pair<QString, double>>, std::vector<std::pair<double, double>>>
        damages[] = {
        {"junk-between-frames.mp3", {{"skipped 300 bytes of junk", 1.0}}, {{0.2, 0.9}, {1.1, 1.8}}},
        {"junk-inside-a-frame.mp3", {{"bytes of junk", 1.0}}, {{0.2, 0.9}, {1.1, 1.8}}},
        {"last-frame-cut.mp3", {{"it is truncated", 2.0}}, {{0.2, 1.8}}},
        {"download-cut.mp3", {{"it is truncated", 1.2}}, {{0.2, 1.0}}},
        {"lame-header-announces-more.mp3", {{"it is truncated: the audio ends", 2.0}}, {{0.2, 1.8}}},
        {"joined-mono-stereo.mp3",
         {{"the audio runs on", -1}, {"the stream changes from 44100 Hz mono to 44100 Hz stereo", 1.0}},
         {{0.2, 0.9}, {1.2, 1.9}}},
        {"joined-44k-48k.mp3",
         {{"the audio runs on", -1}, {"the stream changes from 44100 Hz mono to 48000 Hz mono", 1.0}},
         {{0.2, 0.9}, {1.2, 1.9}}},
    };
    for (const auto &[file, warnings, tone] : damages) {
        SCOPED_TRACE(file);
        const QString mp3 = fixtureFile(file);
        const ToolRun run = runDecoder(wav, mp3);
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        const QStringList lines = run.errorLines();
        ASSERT_EQ(lines.size(), static_cast<qsizetype>(warnings.size())) << run.errorOutput.toStdString();
        for (const auto &[words, seconds] : warnings) {
            const QStringList matching = lines.filter(words);
            ASSERT_EQ(matching.size(), 1) << words.toStdString() << " in " << run.errorOutput.toStdString();
            EXPECT_TRUE(matching.front().startsWith("madplay.exe: warning: " + mp3 + ": ")) << matching.front().toStdString();
            if (seconds >= 0) {
                EXPECT_NEAR(timeIn(matching.front()), seconds, 0.1) << matching.front().toStdString();
            }
        }
        const std::vector<std::int16_t> samples = readPcm(wav);
        expectLengthNear(samples.size(), referenceSampleCount(file));
        for (const auto &[from, to] : tone)
            expectTone(samples, from, to, 0.5);
    }
}

TEST_F(DamagedMp3Test, AStreamThatEndsBeforeItsLameHeaderSaysIsTruncatedHoweverEarly)
{
    // music-44k.mp3's LAME header announces 12 s. Cut inside its first frame of audio, it
    // has none; cut a few frames later, a twentieth of a second, too little for the
    // stream to be believed without its header.
    const QByteArray music = contentsOf(fixtureFile("music-44k.mp3"));
    const QString cut = folder.filePath("cut.mp3");
    for (const auto &[bytes, exitCode] : {std::pair{1000, 1}, std::pair{2500, 0}}) {
        SCOPED_TRACE(bytes);
        writeFile(cut, music.left(bytes));
        const ToolRun run = runDecoder(wav, cut);
        EXPECT_EQ(run.exitCode, exitCode);
        ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
        const QString line = run.errorLines().front();
        EXPECT_TRUE(line.startsWith((exitCode == 0 ? "madplay.exe: warning: " : "madplay.exe: ") + cut + ": it is truncated: "))
            << line.toStdString();
        EXPECT_TRUE(line.endsWith("its LAME header announces 12.00 s" + QString(exitCode == 0 ? ")" : "")))
            << line.toStdString();
        EXPECT_LT(timeIn(line), 0.1);
    }
}

TEST_F(DamagedMp3Test, AfterTheLastFrameAndAroundJunkTheAudioIsTheUndamagedFiles)
{
    const std::vector<std::int16_t> undamaged = decodedCleanly(fixtureFile("undamaged.mp3"));
    ASSERT_EQ(undamaged.size(), 16000u);

    // After the last frame, a stray 0xFF, which starts like a frame header, 64 KB of
    // noise, whose bytes look like frame headers many times over, and the zeros and the
    // Lyrics3 tag that players leave there end the audio without a word. Junk inside the
    // stream (at 1 s; a frame lasts 36 ms) costs no more than the frames around it: a
    // tenth of a second after them the audio is the undamaged file's again.
    // Each file, and from where to where its audio may differ.
    const QByteArray mp3 = contentsOf(fixtureFile("undamaged.mp3"));
    const std::tuple<const char *, QByteArray, std::size_t, std::size_t> files[] = {
        {"stray-byte-after.mp3", contentsOf(fixtureFile("stray-byte-after.mp3")), 0, 0},
        {"noise-after.mp3", contentsOf(fixtureFile("noise-after.mp3")), 0, 0},
        {"zeros-after.mp3", mp3 + QByteArray(3000, '\0'), 0, 0},
        {"lyrics-after.mp3", mp3 + "LYRICSBEGININDsong by someone\r\nLYR00020no words to sing000041LYRICS200", 0, 0},
        {"junk-between-frames.mp3", contentsOf(fixtureFile("junk-between-frames.mp3")), 8000 - 800, 8000 + 1200},
        {"junk-inside-a-frame.mp3", contentsOf(fixtureFile("junk-inside-a-frame.mp3")), 8000 - 800, 8000 + 1200},
    };
    for (const auto &[name, bytes, damageFrom, damageTo] : files) {
        SCOPED_TRACE(name);
        writeFile(folder.filePath(name), bytes);
        const ToolRun run = runDecoder(wav, folder.filePath(name));
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        // The junk's warning is the first test's.
        EXPECT_EQ(run.errorOutput.isEmpty(), damageTo == 0) << run.errorOutput.toStdString();
        const std::vector<std::int16_t> samples = readPcm(wav);
        ASSERT_EQ(samples.size(), undamaged.size());
        EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + damageFrom, undamaged.begin()));
        EXPECT_TRUE(std::equal(samples.begin() + damageTo, samples.end(), undamaged.begin() + damageTo));
    }
}
