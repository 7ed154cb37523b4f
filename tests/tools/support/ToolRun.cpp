// Running tools in tests.

#include "ToolRun.h"

#include "PcmAnalysis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

QStringList ToolRun::errorLines() const
{
    // Windows programs end their lines with CR LF.
    return QString(errorOutput).remove(u'\r').split(u'\n', Qt::SkipEmptyParts);
}

QString fixtureFile(const QString &name)
{
    return QStringLiteral(FIXTURE_DIR "/") + name;
}

QStringList decoderArguments(const QString &wav, const QString &input)
{
    return {"-m", "-R", "8000", "-b", "16", "-o", "wave:" + wav, input};
}

QProcessEnvironment environmentWith(const QString &name, const QString &value)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(name, value);
    return environment;
}

ToolRun runTool(const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment, const QString &workingFolder, int seconds)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    if (!process.waitForFinished(seconds * 1000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "could not run " << program.toStdString();
        return {};
    }
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

ToolRun runDecoder(const QString &wav, const QString &input, const QProcessEnvironment &environment)
{
    return runTool(QStringLiteral(DECODER_PATH), decoderArguments(wav, input), environment);
}

QString soxInfo(const QString &path, const QString &option)
{
    QProcess process;
    process.start(QStringLiteral("soxi"), {option, path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString referenceFile(const QString &name)
{
    const QString path = QStringLiteral(REFERENCE_DIR "/") + name;
    if (!QFileInfo::exists(path))
        ADD_FAILURE() << "no reference file " << path.toStdString() << ": ctest makes them (tests/tools/make-references)";
    return path;
}

qint64 referenceSampleCount(const QString &fixtureName)
{
    const QByteArray counts = contentsOf(referenceFile(QStringLiteral("sample-counts")));
    for (const QByteArray &line : counts.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2 && fields[0] == fixtureName.toUtf8())
            return fields[1].toLongLong();
    }
    return -1;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

std::vector<std::int16_t> ToolTest::decodedCleanly(const QString &input, const QProcessEnvironment &environment)
{
    const ToolRun run = runDecoder(wav, input, environment);
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
    EXPECT_TRUE(run.errorOutput.isEmpty()) << run.errorOutput.toStdString();
    return readPcm(wav);
}
