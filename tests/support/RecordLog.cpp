#include "RecordLog.h"

#include <QFile>

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
