#include "OutputFileName.h"

#include <algorithm>
#include <string_view>

namespace {

// Where a name's folder part may end.
#ifdef _WIN32
constexpr char16_t folderSeparators[] = u"/\\:";
#else
constexpr char16_t folderSeparators[] = u"/";
#endif

qsizetype fileNameStart(const QString &path)
{
    qsizetype separator = -1;
    for (const char16_t c : std::u16string_view(folderSeparators))
        separator = std::max(separator, path.lastIndexOf(QChar(c)));
    return separator + 1;
}

} // namespace

QString amrFileNameFor(const QString &fileName)
{
    const qsizetype nameStart = fileNameStart(fileName);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const bool hasExtension = dot > nameStart;
    return (hasExtension ? fileName.left(dot) : fileName) + QStringLiteral(".amr");
}
