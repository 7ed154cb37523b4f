#include "Browser.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QString>
#include <QUrl>
#endif

#ifdef _WIN32

void openInBrowser(const char *address)
{
    ShellExecuteA(nullptr, nullptr, address, nullptr, "C:\\", SW_SHOWNORMAL);
}

#else

void openInBrowser(const char *address)
{
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(address), QUrl::StrictMode));
}

#endif
