#include "modMain.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QString>
#include <QUrl>
#endif

namespace modMain {

namespace {

#ifdef _WIN32

qintptr shellExecute(void *ownerWindow, const char *operation, const char *file,
                     const char *parameters, const char *directory, int showCommand)
{
    return reinterpret_cast<qintptr>(::ShellExecuteA(static_cast<HWND>(ownerWindow), operation,
                                                     file, parameters, directory, showCommand));
}

#else

// The values the Windows shell returns for success and for "no application is
// associated with this address".
constexpr qintptr openedInstance = 42;
constexpr qintptr noAssociation = 31;

qintptr shellExecute(void *, const char *, const char *file, const char *, const char *, int)
{
    const QUrl address(QString::fromLocal8Bit(file), QUrl::StrictMode);
    if (!address.isValid())
        return noAssociation;
    return QDesktopServices::openUrl(address) ? openedInstance : noAssociation;
}

#endif

} // namespace

ShellExecuteFunction ShellExecuteA = shellExecute;

} // namespace modMain
