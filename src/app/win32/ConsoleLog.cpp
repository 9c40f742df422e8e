#include "app/win32/ConsoleLog.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "app/AssetRoot.h"

namespace {

struct Copy {
    int pipeRead = -1;
    int out = 1;       // standard output's descriptor, which now writes into the pipe
    int console = -1;  // what it was before; -1 when the program had no standard output
    FILE* log = nullptr;
    HANDLE thread = nullptr;
    std::string path;
};

Copy copy;

DWORD WINAPI copyLines(void*) {
    char buffer[4096];
    for (int n; (n = _read(copy.pipeRead, buffer, sizeof buffer)) > 0;) {
        if (copy.console >= 0) _write(copy.console, buffer, static_cast<unsigned>(n));
        std::fwrite(buffer, 1, static_cast<std::size_t>(n), copy.log);
        std::fflush(copy.log);
    }
    return 0;
}

FILE* openLog(const std::filesystem::path& folder) {
    if (folder.empty()) return nullptr;
    const std::filesystem::path file = folder / "velmora.log";
    FILE* log = _wfopen(file.c_str(), L"w");  // text mode: CR LF, as Notepad wants
    if (log) copy.path = file.u8string();
    return log;
}

std::filesystem::path temporaryFolder() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    return n > 0 && n <= MAX_PATH ? std::filesystem::path(folder) : std::filesystem::path();
}

// Whether a descriptor leads to a file, pipe or console (a program started without standard
// output has none, or one whose handle is null or invalid).
bool hasFile(int descriptor) {
    if (descriptor < 0) return false;
    const intptr_t handle = _get_osfhandle(descriptor);
    if (handle == -1 || handle == -2 || handle == 0) return false;
    return GetFileType(reinterpret_cast<HANDLE>(handle)) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void startConsoleLog() {
    copy.log = openLog(executableFolder());
    if (!copy.log) copy.log = openLog(temporaryFolder());
    if (!copy.log) return;
    int ends[2];
    if (_pipe(ends, 4096, _O_BINARY) != 0) {
        std::fclose(copy.log);
        copy = Copy{};
        return;
    }
    std::fflush(stdout);
    copy.out = 1;
    copy.console = hasFile(_fileno(stdout)) ? _dup(_fileno(stdout)) : -1;
    _dup2(ends[1], copy.out);
    _close(ends[1]);
    // Started without standard output (double-clicked), the runtime left the stream without a
    // descriptor (-2); it writes into the pipe from now on.
    if (_fileno(stdout) != copy.out) stdout->_file = copy.out;
    // Each line reaches the log at once, also when the program then crashes.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    copy.pipeRead = ends[0];
    copy.thread = CreateThread(nullptr, 0, copyLines, nullptr, 0, nullptr);
}

void stopConsoleLog() {
    if (!copy.thread) return;
    std::fflush(stdout);
    // Standard output held the pipe's last writing end: the copy reads to its end and stops.
    if (copy.console >= 0) {
        _dup2(copy.console, copy.out);
    } else {
        _close(copy.out);
    }
    WaitForSingleObject(copy.thread, INFINITE);
    CloseHandle(copy.thread);
    _close(copy.pipeRead);
    if (copy.console >= 0) _close(copy.console);
    std::fclose(copy.log);
    const std::string path = copy.path;
    copy = Copy{};
    copy.path = path;
}

const std::string& consoleLogPath() {
    return copy.path;
}
