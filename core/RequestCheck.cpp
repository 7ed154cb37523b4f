#include "RequestCheck.h"

#include "SameFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString absoluteIn(const QString &folder, const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(folder).absoluteFilePath(path)));
}

} // namespace

Result<ConversionRequest> checkedRequest(const ConversionRequest &request,
                                         const QString &workingFolder)
{
    if (request.inputPath.isEmpty())
        return Failure{QStringLiteral("Choose the music file to convert: the input box is empty.")};
    if (request.outputPath.isEmpty())
        return Failure{QStringLiteral("Choose a name for the AMR file: the output box is empty.")};

    const QString input = absoluteIn(workingFolder, request.inputPath);
    const QFileInfo inputInfo(input);
    if (!inputInfo.exists())
        return Failure{QStringLiteral("The input file \"%1\" does not exist.").arg(input)};
    if (!inputInfo.isFile())
        return Failure{QStringLiteral("The input \"%1\" is not a file. Choose a music file.").arg(input)};

    const QString output = absoluteIn(inputInfo.absolutePath(), request.outputPath);
    const QFileInfo outputInfo(output);
    if (outputInfo.isDir()) {
        return Failure{QStringLiteral("The output \"%1\" is a folder. Choose a file name for the "
                                      "AMR file.").arg(output)};
    }
    if (!QFileInfo(outputInfo.absolutePath()).isDir()) {
        return Failure{QStringLiteral("The folder \"%1\" for the output file does not exist.")
                           .arg(QDir::toNativeSeparators(outputInfo.absolutePath()))};
    }
    // The names in UTF-8: as Qt hands them to Linux, and as fileSystemPath() widens them
    // on Windows.
    if (sameFile(input.toStdString(), output.toStdString())) {
        return Failure{QStringLiteral("The output file \"%1\" is the input file itself: the "
                                      "conversion would overwrite the music. Choose another "
                                      "output name.").arg(output)};
    }
    return ConversionRequest{input, output, request.rateText};
}
