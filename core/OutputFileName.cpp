#include "OutputFileName.h"

#include <algorithm>

namespace {

qsizetype fileNameStart(const QString &path)
{
    qsizetype separator = path.lastIndexOf(u'/');
#ifdef _WIN32
    separator = std::max({separator, path.lastIndexOf(u'\\'), path.lastIndexOf(u':')});
#endif
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
