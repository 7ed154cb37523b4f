#include "ToolMessages.h"

#include <QFile>

ToolMessages ToolMessages::read(const QString &path)
{
    ToolMessages messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    const QString warningMark = QStringLiteral("warning: ");
    // The tools write in UTF-8 (on Windows, their code page).
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype programEnd = line.indexOf(QStringLiteral(": "));
        const QString text = (programEnd < 0 ? line : line.mid(programEnd + 2)).trimmed();
        if (text.startsWith(warningMark))
            messages.warnings.append(text.mid(warningMark.size()));
        else
            messages.failures.append(text);
    }
    return messages;
}
