#pragma once

#include <QString>
#include <QStringList>

// One run of the recording stand-in program: the folder it ran in and its arguments,
// its own name first.
struct RecordedRun {
    QString folder;
    QStringList arguments;
};

// Reads the runs that the stand-in appended to the log file, oldest first.
QList<RecordedRun> readRecordLog(const QString &logPath);
