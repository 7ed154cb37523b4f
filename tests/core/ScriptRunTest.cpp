// A run of the conversion script: it starts the runner on the tool folder's script, returns
// at once and tells when the script has ended. (What the script says is ConversionScriptTest's,
// how batchrun runs its lines BatchRunnerTest's, a failed run's reason ConversionQueueTest's.)

#include "NoDisplay.h"
#include "RecordLog.h"
#include "ScriptRun.h"
#include "ScriptWriter.h"
#include "TestInstallation.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ScriptRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid() && installation.addScriptRunner() && installation.addStandIns());
        ASSERT_EQ(writeConversionScript(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);
        // The tools wait until the test lets them go, so the script cannot have ended when
        // the run says so unless the run stopped watching it.
        qputenv("AMR_RECORD_LOG", QFile::encodeName(log));
        qputenv("AMR_RECORD_WAIT_FOR", QFile::encodeName(go));
    }
    void TearDown() override
    {
        qunsetenv("AMR_RECORD_LOG");
        qunsetenv("AMR_RECORD_WAIT_FOR");
    }

    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    const QString log = installation.filePath("record.log");
    const QString go = installation.filePath("go");
    NoDisplay noDisplay;
};

} // namespace

TEST_F(ScriptRunTest, ReturnsAtOnceAndEndsOnlyWhenTheScriptHasEnded)
{
    ScriptRun run(tools);
    QSignalSpy ended(&run, &ScriptRun::ended);
    ASSERT_EQ(run.start(), std::nullopt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !readRecordLog(log).isEmpty(); }, 30000)) << "the decoder has started";
    QTest::qWait(300);
    EXPECT_TRUE(ended.isEmpty());

    QFile(go).open(QIODevice::WriteOnly);
    ASSERT_TRUE(ended.wait(60000));
    EXPECT_EQ(readRecordLog(log).size(), 2) << "both lines of the tool folder's script ran";
}
