#include "ConversionScript.h"

#include "BitRateModes.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ConversionScript {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

std::optional<QString> forbiddenCharacterName(const QString &path)
{
    for (const QChar c : path) {
        switch (c.unicode()) {
        case u'"': return QStringLiteral("a double quote");
        case u'\r':
        case u'\n': return QStringLiteral("a line break");
        case u'\0': return QStringLiteral("a NUL character");
        default: break;
        }
    }
    return std::nullopt;
}

Status checkPath(const QString &what, const QString &path)
{
    if (const auto name = forbiddenCharacterName(path)) {
        return Failure{QStringLiteral("The %1 \"%2\" contains %3, which a conversion script "
                                      "cannot carry. Rename the file or choose another one.")
                           .arg(what, path, *name)};
    }
    return std::nullopt;
}

QString quoted(const QString &path)
{
    QString escaped = path;
    escaped.replace(u'%', QStringLiteral("%%"));
    return u'"' + escaped + u'"';
}

Failure unrepresentable()
{
    return Failure{QStringLiteral("A file or folder name holds characters that the system's "
                                  "code page cannot represent. Rename it or choose another "
                                  "file.")};
}

#ifdef _WIN32

// The command interpreter reads a script in its console's code page, the OEM one (437 or
// 850 in the West), not in the ANSI one: a name written in ANSI would reach the tools as
// another name wherever the two differ, as they do for every accented letter.
Result<QByteArray> encode(const QString &script)
{
    const auto *wide = reinterpret_cast<const wchar_t *>(script.utf16());
    const int length = int(script.size());
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                         nullptr, &lossy);
    if (size == 0 && length > 0)
        return unrepresentable();
    QByteArray bytes(size, '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), size, nullptr, &lossy);
    if (lossy)
        return unrepresentable();
    return bytes;
}

#else

Result<QByteArray> encode(const QString &script)
{
    QStringEncoder encoder(QStringConverter::System);
    const QByteArray bytes = encoder.encode(script);
    QStringDecoder decoder(QStringConverter::System);
    const QString roundTrip = decoder.decode(bytes);
    if (encoder.hasError() || decoder.hasError() || roundTrip != script)
        return unrepresentable();
    return bytes;
}

#endif

} // namespace

Result<QByteArray> text(const ToolFolder &toolFolder, const ConversionRequest &request)
{
    for (const auto &[what, path] : {std::pair{QStringLiteral("program folder"),
                                               toolFolder.applicationDirectory()},
                                     std::pair{QStringLiteral("input file name"),
                                               request.inputPath},
                                     std::pair{QStringLiteral("output file name"),
                                               request.outputPath}}) {
        if (auto failure = checkPath(what, path))
            return *failure;
    }
    const auto mode = BitRateModes::modeString(request.rateText);
    if (!mode) {
        return Failure{QStringLiteral("\"%1\" is not a bit rate in kbit/s.")
                           .arg(request.rateText)};
    }

    const QString wav = quoted(toolFolder.wavPath());
    const QString script =
        quoted(toolFolder.decoderPath()) + QStringLiteral(" -m -R 8000 -b 16 -o wave:") + wav
        + u' ' + quoted(request.inputPath) + lineEnd
        + QStringLiteral("cd ") + quoted(toolFolder.path()) + lineEnd
        + QStringLiteral("warning") + lineEnd
        + quoted(toolFolder.encoderPath()) + QStringLiteral(" wav2amr ") + wav + u' '
        + quoted(request.outputPath) + *mode + lineEnd
        + QStringLiteral("exit") + lineEnd;
    return encode(script);
}

} // namespace ConversionScript
