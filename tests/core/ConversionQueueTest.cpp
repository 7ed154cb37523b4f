// The conversion queue runs one conversion at a time, in order, on fresh intermediate
// files, and takes turns with other copies of the program on the same tool folder.

#include "ConversionQueue.h"
#include "NoDisplay.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeProgram(const QString &path, const QByteArray &body)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    ASSERT_TRUE(file.setPermissions(file.permissions() | QFile::ExeOwner));
}

class ConversionQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(appDir.isValid());
        ASSERT_TRUE(QDir(appDir.path()).mkdir("amr"));
        ASSERT_TRUE(QFile::link(BATCHRUN_PATH, tools.scriptRunnerPath()));
        // Stand-ins that pass the "audio" through as it is, so each output shows which
        // input it came from. The decoder waits while a file named "hold" exists.
        writeProgram(tools.decoderPath(),
                     "touch \"$8.started\"\nwhile [ -e '" + QFile::encodeName(hold) + "' ]; do sleep 0.02; done\n"
                     "cp \"$8\" \"${7#wave:}\"\n");
        writeProgram(tools.encoderPath(), "cp \"$2\" \"$3\"\n");
    }

    // An input file holding its own name.
    QString song(const QString &name)
    {
        const QString path = music.filePath(name + ".mp3");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
        return path;
    }

    Status convert(ConversionQueue &queue, const QString &input)
    {
        return queue.convert({input, QString(input).replace(".mp3", ".amr"), "7.4"}, music.path());
    }

    void holdDecoding() { QFile(hold).open(QIODevice::WriteOnly); }
    void releaseDecoding() { QFile::remove(hold); }

    QTemporaryDir appDir;
    QTemporaryDir music;
    ToolFolder tools{appDir.path(), u'/'};
    const QString hold = appDir.filePath("hold");
    NoDisplay noDisplay;
};

} // namespace

TEST_F(ConversionQueueTest, RunsOneConversionAtATimeInTheOrderAsked)
{
    ConversionQueue queue(tools);
    QStringList events;
    QObject::connect(&queue, &ConversionQueue::scriptWritten, [&](const ConversionRequest &request) {
        events.append("written " + QFileInfo(request.inputPath).baseName());
    });
    QObject::connect(&queue, &ConversionQueue::finished, [&](const ConversionRequest &request, const ConversionOutcome &outcome) {
        events.append("ended " + QFileInfo(request.inputPath).baseName() + (outcome.made ? "" : " unmade"));
    });
    QSignalSpy idle(&queue, &ConversionQueue::idle);

    holdDecoding();
    const QStringList names{"first", "second", "third"};
    for (const QString &name : names)
        ASSERT_EQ(convert(queue, song(name)), std::nullopt);
    // While the first conversion is held in its decoding step, the others wait and
    // their scripts are not written.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(music.filePath("first.mp3.started")); }, 30000));
    EXPECT_EQ(queue.waiting(), 2);
    EXPECT_EQ(events, QStringList{"written first"});
    EXPECT_FALSE(queue.isIdle());

    releaseDecoding();
    ASSERT_TRUE(idle.wait(60000));
    EXPECT_EQ(events, QStringList({"written first", "ended first", "written second", "ended second",
                                   "written third", "ended third"}));
    for (const QString &name : names)
        EXPECT_EQ(contentsOf(music.filePath(name + ".amr")), name.toUtf8());
    EXPECT_TRUE(queue.isIdle());
    EXPECT_FALSE(QFile::exists(tools.lockPath())) << "the lock goes with the last run";
}

TEST_F(ConversionQueueTest, AFailedDecodingNeverLeavesTheEncoderAnOlderSong)
{
    ConversionQueue queue(tools);
    QSignalSpy finished(&queue, &ConversionQueue::finished);
    ASSERT_EQ(convert(queue, song("old")), std::nullopt);
    ASSERT_TRUE(finished.wait(60000));
    ASSERT_TRUE(QFile::exists(tools.wavPath()));

    // The decoder stops before writing anything, as on a usage error or a missing file.
    writeProgram(tools.decoderPath(), "echo 'madplay.exe: usage' >&2\nexit 2\n");
    ASSERT_EQ(convert(queue, song("new")), std::nullopt);
    ASSERT_TRUE(finished.wait(60000));
    const auto outcome = finished.last().at(1).value<ConversionOutcome>();
    EXPECT_FALSE(outcome.made);
    EXPECT_FALSE(QFile::exists(music.filePath("new.amr")));
    EXPECT_TRUE(outcome.failure.contains("did not make \"" + music.filePath("new.amr") + "\""))
        << outcome.failure.toStdString();
    EXPECT_TRUE(outcome.failure.contains("madplay.exe ended with status 2")) << outcome.failure.toStdString();
}

TEST_F(ConversionQueueTest, TwoCopiesOfTheProgramOnOneToolFolderTakeTurns)
{
    ConversionQueue mine(tools);
    ConversionQueue theirs(tools);
    QSignalSpy theirsWritten(&theirs, &ConversionQueue::scriptWritten);
    QSignalSpy theirsIdle(&theirs, &ConversionQueue::idle);
    QSignalSpy mineFinished(&mine, &ConversionQueue::finished);

    holdDecoding();
    ASSERT_EQ(convert(mine, song("mine")), std::nullopt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(music.filePath("mine.mp3.started")); }, 30000));
    ASSERT_EQ(convert(theirs, song("theirs")), std::nullopt);
    QTest::qWait(1200);
    EXPECT_TRUE(theirsWritten.isEmpty()) << "the script in use was rewritten";

    releaseDecoding();
    ASSERT_TRUE(theirsIdle.wait(60000));
    ASSERT_EQ(mineFinished.size(), 1);
    EXPECT_EQ(contentsOf(music.filePath("mine.amr")), "mine");
    EXPECT_EQ(contentsOf(music.filePath("theirs.amr")), "theirs");
}

TEST_F(ConversionQueueTest, WritingTheScriptAloneWaitsForNoOneAndIsRefusedWhileBusy)
{
    ConversionQueue queue(tools);
    const QString input = song("alone");
    ASSERT_EQ(queue.writeScript({input, "alone.amr", "7.4"}, music.path()), std::nullopt);
    EXPECT_TRUE(contentsOf(tools.scriptPath()).contains(QFile::encodeName(music.filePath("alone.amr"))));
    EXPECT_FALSE(QFile::exists(music.filePath("alone.amr"))) << "nothing ran";

    holdDecoding();
    ASSERT_EQ(convert(queue, input), std::nullopt);
    const Status refused = queue.writeScript({input, "other.amr", "7.4"}, music.path());
    ASSERT_NE(refused, std::nullopt);
    EXPECT_TRUE(refused->message.contains("still running")) << refused->message.toStdString();
    releaseDecoding();
    QSignalSpy idle(&queue, &ConversionQueue::idle);
    ASSERT_TRUE(idle.wait(60000));
}

TEST_F(ConversionQueueTest, ARequestTheScriptCannotCarryIsRefusedAtOnce)
{
    ConversionQueue queue(tools);
    const QString quoted = music.filePath("say \"hi\".mp3");
    QFile(quoted).open(QIODevice::WriteOnly);
    const Status refused = convert(queue, quoted);
    ASSERT_NE(refused, std::nullopt);
    EXPECT_TRUE(refused->message.contains("double quote"));
    EXPECT_TRUE(queue.isIdle());
    EXPECT_FALSE(QFile::exists(tools.scriptPath()));
}
