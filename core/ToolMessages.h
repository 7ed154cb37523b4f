#pragma once

#include <QString>
#include <QStringList>

// What the tools said about one run. Each tool appends the lines it prints for the user
// to the file that the environment variable AMR_TOOL_MESSAGES names: "PROGRAM: TEXT" for
// a failure and "PROGRAM: warning: TEXT" for a warning, where TEXT names the file and
// what was wrong ("madplay.exe: /m/song.mp3: it holds no audio that this program can
// read"). The texts are kept without the program's name, in the tools' own words.
struct ToolMessages {
    QStringList failures;
    QStringList warnings;

    // The messages in the file; none when there is no file.
    static ToolMessages read(const QString &path);
};
