#pragma once

#include <QChar>
#include <QDir>
#include <QString>

// The folder "amr" beside the program. It holds the decoder with its FFmpeg module, the
// encoder, the conversion script and the intermediate WAV file, and for the last
// conversion its lock, run report and the tools' messages; the installation provides it
// and the program never creates it.
//
// Every path is the application directory's text followed directly by the separator,
// "amr" and the rest: nothing is added to or removed from the directory's text, so a
// drive root reported with its trailing separator gives a doubled separator.
class ToolFolder {
public:
    static constexpr QChar windowsSeparator = u'\\';

    explicit ToolFolder(QString applicationDirectory, QChar separator = QDir::separator());

    const QString &applicationDirectory() const { return m_applicationDirectory; }
    QChar separator() const { return m_separator; }

    QString path() const;
    QString decoderPath() const;
    // The encoder as the script calls it: on Windows without the ".exe" of its file,
    // which the command interpreter finds by adding it.
    QString encoderPath() const;
    QString encoderFilePath() const;
    // The decoder's FFmpeg module, which it loads from its own folder.
    QString decoderModulePath() const;
    QString scriptPath() const;
    QString wavPath() const;
    // Held by the program that converts with this tool folder, for one run from writing
    // the script to its end: runs never overlap, also from two copies of the program.
    QString lockPath() const;
    // Where the script runner reports how the run went (see batchrun); on Windows, held
    // open by the command interpreter while the run lasts.
    QString runReportPath() const;
    // Where the tools write their lines about the run: its warnings and the reason of a
    // failure, in their own words.
    QString toolMessagesPath() const;
    // The stand-in for the command interpreter, which sits beside the program.
    QString scriptRunnerPath() const;

private:
    QString inToolFolder(const QString &name) const;

    QString m_applicationDirectory;
    QChar m_separator;
};
