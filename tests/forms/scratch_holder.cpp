// Does what the skin loader does with its settings file (makes it, writes settings,
// reads them back), then prints the file's path in UTF-8 on a line of its own and waits
// with the file still open, so that a test can end it right there. A holder nobody ends
// gives up after a minute.
#include <string>
#include <vector>

#include "forms/skin/ScratchFile.h"

int main() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    auto say = [out](const std::string& line) {
        DWORD written = 0;
        WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    };
    try {
        const std::string settings = "[Skin]\r\nName=Held\r\n";
        forms::ScratchFile file(L".ini");
        file.write(std::vector<std::uint8_t>(settings.begin(), settings.end()));
        if (file.readAll().size() != settings.size()) throw forms::ScratchFileError("the settings read back short");
        const std::wstring& path = file.path();
        std::string utf8(static_cast<std::size_t>(path.size()) * 4, '\0');
        utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()),
                                                                 utf8.data(), static_cast<int>(utf8.size()), nullptr,
                                                                 nullptr)));
        say(utf8 + "\n");
        Sleep(60000);
    } catch (const forms::ScratchFileError& e) {
        say(std::string("error: ") + e.what() + "\n");
        return 1;
    }
    return 0;
}
