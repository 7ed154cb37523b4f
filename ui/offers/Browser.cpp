#include "Browser.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QString>
#include <QUrl>
#endif

void openInBrowser(const char *address)
{
#ifdef _WIN32
    ShellExecuteA(nullptr, nullptr, address, nullptr, "C:\\", SW_SHOWNORMAL);
#else
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(address), QUrl::StrictMode));
#endif
}
