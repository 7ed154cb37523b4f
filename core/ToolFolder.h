#pragma once

#include <QChar>
#include <QString>

// The folder "amr" beside the program. It holds the decoder, the encoder, the
// conversion script and the intermediate WAV file; the installation provides it and the
// program never creates it.
//
// Every path is the application directory's text followed directly by the separator,
// "amr" and the rest: nothing is added to or removed from the directory's text, so a
// drive root reported with its trailing separator gives a doubled separator.
class ToolFolder {
public:
    static constexpr QChar windowsSeparator = u'\\';
#ifdef _WIN32
    static constexpr QChar nativeSeparator = windowsSeparator;
#else
    static constexpr QChar nativeSeparator = u'/';
#endif

    explicit ToolFolder(QString applicationDirectory, QChar separator = nativeSeparator);

    // The tool folder beside the running program's executable, with native separators.
    // Where the user may not write in it (an installation for all users), the user's own
    // tool folder in the application data folder instead, which links to those tools
    // (on Windows: holds copies of them).
    static ToolFolder ofThisProgram();

    const QString &applicationDirectory() const { return m_applicationDirectory; }
    QChar separator() const { return m_separator; }

    QString path() const;
    QString decoderPath() const;
    // The encoder as the script calls it: on Windows without the ".exe" of its file,
    // which the command interpreter finds by adding it.
    QString encoderPath() const;
    QString encoderFilePath() const;
    QString scriptPath() const;
    QString wavPath() const;
    // The stand-in for the command interpreter, which sits beside the program.
    QString scriptRunnerPath() const;

private:
    QString inToolFolder(const QString &name) const;

    QString m_applicationDirectory;
    QChar m_separator;
};
