#include "RecordLog.h"

#include "TestFiles.h"

QList<RecordedRun> readRecordLog(const QString &logPath)
{
    QList<RecordedRun> runs;
    for (const QByteArray &line : contentsOf(logPath).split('\n')) {
        if (line.isEmpty())
            continue;
        QStringList fields;
        for (const QByteArray &field : line.split('\x1f'))
            fields.append(QString::fromUtf8(field));
        runs.append({fields.takeFirst(), fields});
    }
    return runs;
}
