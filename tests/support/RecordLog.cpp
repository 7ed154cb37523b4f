#include "RecordLog.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

QList<RecordedRun> readRecordLog(const QString &logPath)
{
    QFile file(logPath);
    QList<RecordedRun> runs;
    if (!file.open(QIODevice::ReadOnly))
        return runs;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        QStringList fields;
        for (const QByteArray &field : line.split('\x1f'))
            fields.append(QString::fromUtf8(field));
        runs.append({fields.takeFirst(), fields});
    }
    return runs;
}

QList<RecordedRun> waitForRecordedRuns(const QString &logPath, int count, int seconds)
{
    const QDeadlineTimer deadline(seconds * 1000);
    QList<RecordedRun> runs = readRecordLog(logPath);
    while (runs.size() < count && !deadline.hasExpired()) {
        QThread::msleep(50);
        runs = readRecordLog(logPath);
    }
    return runs;
}
