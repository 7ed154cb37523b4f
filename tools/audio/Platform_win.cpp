// Windows calls: MoveFileEx, _commit, the final path of a link, OpenProcess for the
// temporary files of other runs, and the console's events. Windows deletes no file that is
// still open, which keeps a running writer's temporary file from being taken for an orphan.

#include "Platform.h"

#include <cerrno>
#include <system_error>

#include <io.h>
#include <windows.h>

namespace audio::platform {

namespace {

// What the console handler calls; set once, before the handler is installed.
void (*filesToRemove)() = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT)
        filesToRemove();
    // Not handled: the default handler ends the process.
    return FALSE;
}

std::wstring widened(const std::string &text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string narrowed(const std::wstring &wide)
{
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

} // namespace

// Names are cut as bytes: std::filesystem would take them for another encoding there.
std::string_view folderSeparators() { return "/\\:"; }

// 255 UTF-16 units, never more than the bytes of the same name in UTF-8.
std::size_t nameLimit(const std::string &) { return 255; }

// MAX_PATH counts the terminating zero.
std::size_t pathLimit(const std::string &) { return MAX_PATH - 1; }

std::string followLinks(const std::string &path)
{
    const std::wstring wide = widened(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    // Opened without FILE_FLAG_OPEN_REPARSE_POINT, the handle is the file the link leads to.
    const HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return path;
    std::wstring target(32768, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()), FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= target.size())
        return path;
    target.resize(length);
    // The answer comes as \\?\C:\... or \\?\UNC\server\...; the usual forms are shorter.
    if (target.starts_with(L"\\\\?\\UNC\\"))
        return "\\\\" + narrowed(target.substr(8));
    if (target.starts_with(L"\\\\?\\"))
        return narrowed(target.substr(4));
    return narrowed(target);
}

int writeRefusal(const std::string &path)
{
    // A read-only file, which MoveFileEx would refuse to replace as well.
    return _access(path.c_str(), 2) == 0 ? 0 : errno;
}

std::optional<Ownership> ownershipOf(const std::string &) { return std::nullopt; }

// A Windows file takes its permissions from its folder.
bool takeOver(int, const std::optional<Ownership> &) { return true; }

bool flushToDisk(int descriptor) { return _commit(descriptor) == 0; }

// The C library's rename does not replace an existing file on Windows.
std::optional<std::string> replaceFile(const std::string &from, const std::string &to)
{
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    return std::system_category().message(static_cast<int>(GetLastError()));
}

unsigned long processId() { return GetCurrentProcessId(); }

std::vector<std::string> namesIn(const std::string &folder)
{
    std::vector<std::string> names;
    const bool separated = !folder.empty() && folderSeparators().find(folder.back()) != std::string_view::npos;
    const std::string pattern = (folder.empty() ? std::string(".") : folder) + (separated ? "*" : "\\*");
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.emplace_back(entry.cFileName);
    while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

// The open file is the writer's mark: Windows deletes no open file.
void holdAsWriter(int) {}

void removeIfOrphaned(const std::string &path, unsigned long writer)
{
    if (writer == 0 || writer > MAXDWORD)
        return;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(writer));
    if (process) {
        // A process that has ended stays open to those that still hold it.
        DWORD status = 0;
        const bool running = !GetExitCodeProcess(process, &status) || status == STILL_ACTIVE;
        CloseHandle(process);
        if (running)
            return;
    } else if (GetLastError() != ERROR_INVALID_PARAMETER) {
        // There, but another user's.
        return;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return;
    DeleteFileA(path.c_str());
}

void callWhenStopped(void (*removeFiles)())
{
    filesToRemove = removeFiles;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void withStopsHeld(const std::function<void()> &action) { action(); }

void removeWhileStopping(int descriptor, const char *path)
{
    // Windows cannot delete a file that is still open.
    _close(descriptor);
    DeleteFileA(path);
}

} // namespace audio::platform
