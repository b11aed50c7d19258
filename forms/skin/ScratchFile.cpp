#include "forms/skin/ScratchFile.h"

#include <algorithm>

namespace forms {
namespace {

ScratchFileError failure(const char* what) {
    return ScratchFileError(std::string(what) + " (error " + std::to_string(GetLastError()) + ")");
}

// The folder with its trailing backslash, however long: its name may hold any character.
std::wstring temporaryFolder() {
    std::wstring folder(MAX_PATH + 1, L'\0');
    DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    if (length >= folder.size()) {
        folder.resize(length);
        length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    }
    if (length == 0 || length >= folder.size()) throw failure("no temporary folder");
    folder.resize(length);
    return folder;
}

// One ReadFile or WriteFile call moves at most this much.
constexpr std::size_t kChunk = std::size_t{1} << 30;

}  // namespace

ScratchFile::ScratchFile(std::wstring_view suffix) {
    const std::wstring folder = temporaryFolder();
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[32];
        wsprintfW(name, L"vod%lx-%lx", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(GetTickCount() + attempt));
        std::wstring path = folder + name + std::wstring(suffix);
        // Delete-on-close needs the DELETE right; CREATE_NEW keeps us off anyone else's file.
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            file_ = file;
            path_ = std::move(path);
            return;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    throw failure("cannot create a file in the temporary folder");
}

ScratchFile::~ScratchFile() { CloseHandle(file_); }

void ScratchFile::write(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
        DWORD written = 0;
        if (!WriteFile(file_, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            throw failure("cannot write the file");
        done += written;
    }
}

std::vector<std::uint8_t> ScratchFile::readAll() {
    LARGE_INTEGER size{};
    if (!SetFilePointerEx(file_, LARGE_INTEGER{}, nullptr, FILE_BEGIN) || !GetFileSizeEx(file_, &size))
        throw failure("cannot read the file back");
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > std::vector<std::uint8_t>().max_size())
        throw ScratchFileError("the file is too large to read back");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
        DWORD read = 0;
        if (!ReadFile(file_, bytes.data() + done, chunk, &read, nullptr)) throw failure("cannot read the file back");
        if (read == 0) throw ScratchFileError("the file ends before its size");
        done += read;
    }
    return bytes;
}

}  // namespace forms
