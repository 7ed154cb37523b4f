#include "ScriptWriter.h"

#include "ConversionScript.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

// A script whose owner may not write it was made read-only on purpose; replacing it by
// a rename would get around that, so it is refused instead.
bool isMarkedReadOnly(const QFileInfo &file)
{
    return file.exists() && !(file.permissions() & QFileDevice::WriteOwner);
}

Failure cannotWrite(const QString &scriptPath, const QString &reason)
{
    return Failure{QStringLiteral("Cannot write the conversion script \"%1\": %2.")
                       .arg(scriptPath, reason)};
}

} // namespace

Status writeConversionScript(const ToolFolder &toolFolder, const ConversionRequest &request)
{
    const Result<QByteArray> script = ConversionScript::text(toolFolder, request);
    if (!script.ok())
        return script.error();

    if (!QFileInfo(toolFolder.path()).isDir()) {
        return Failure{QStringLiteral("The tool folder \"%1\" does not exist. Reinstall the "
                                      "program so that its tools are in place.")
                           .arg(toolFolder.path())};
    }
    const QString scriptPath = toolFolder.scriptPath();
    if (isMarkedReadOnly(QFileInfo(scriptPath)))
        return cannotWrite(scriptPath, QStringLiteral("the file is read-only"));

    QSaveFile file(scriptPath);
    if (!file.open(QIODevice::WriteOnly))
        return cannotWrite(scriptPath, file.errorString());
    // A failed write makes the commit fail and discard the temporary file.
    file.write(script.value());
    if (!file.commit())
        return cannotWrite(scriptPath, file.errorString());
    return std::nullopt;
}
