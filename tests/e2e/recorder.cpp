// A stand-in for the programs registered for tencent://, http:// and
// https://. It is started by the shell as
//     recorder.exe SCHEME "%1"
// and appends one line to the log named by VOD_RECORD_LOG (inherited from
// the test through the program under test), or to recorder.log beside it:
//     SCHEME <tab> hex of the URI argument <tab> argument count <tab> hex of the whole command line
// Hex keeps every byte, CR and LF included, exactly as the shell passed it.

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::string logPath() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableA("VOD_RECORD_LOG", buffer, sizeof buffer);
    if (n > 0 && n < sizeof buffer) return std::string(buffer, n);
    const DWORD m = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path(buffer, m);
    return path.substr(0, path.find_last_of('\\') + 1) + "recorder.log";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string scheme = __argc > 1 ? __argv[1] : "";
    const std::string uri = __argc > 2 ? __argv[2] : "";
    const std::string line = scheme + "\t" + hex(uri) + "\t" + std::to_string(__argc - 2) + "\t" +
                             hex(GetCommandLineA()) + "\n";
    HANDLE file = CreateFileA(logPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 1;
}
