// LoadLibrary of the module found beside the program itself. On Windows a personal tool
// folder holds copies of the tools, the module among them, so the decoder's own folder is
// right there too.

#include "FfmpegModule.h"

#include <windows.h>

#include <string>

using audio::Error;

namespace {

std::string utf8(const std::wstring &wide)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

// The system's words for the last error, without the line break after them.
Error lastError()
{
    const DWORD code = GetLastError();
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    if (length == 0)
        return Error{"Windows error " + std::to_string(code)};
    std::wstring message(text, length);
    LocalFree(text);
    message.erase(message.find_last_not_of(L" .\r\n") + 1);
    return Error{utf8(message)};
}

// The running program's full name, however long.
std::wstring programPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0 || length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

audio::Result<OpenWithFfmpeg> loadFfmpegModule()
{
    std::wstring path = programPath();
    if (path.empty()) {
        const Error error = lastError();
        return Error{"cannot find the decoder's own folder: " + error.message};
    }
    path.erase(path.find_last_of(L"\\/") + 1);
    path += L"" FFMPEG_MODULE_NAME;
    // What the module needs is looked for beside it and in the system's folder, never in
    // the working folder.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module)
        return lastError();
    // Through void (*)(), the one function type that converts to any other without a
    // warning about the types.
    const auto open = reinterpret_cast<OpenWithFfmpeg>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, openWithFfmpegSymbol)));
    if (!open)
        return lastError();
    return open;
}
