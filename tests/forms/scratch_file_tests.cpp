// The skin loader's scratch file, under Wine: what others can do to it while it is
// open, where it goes, and that it is gone however its process ends.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "forms/skin/ScratchFile.h"

namespace {

using namespace std::chrono_literals;

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

OwnedHandle openFile(const std::wstring& path, DWORD share) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    return OwnedHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::wstring programFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring file(path);
    return file.substr(0, file.find_last_of(L'\\') + 1);
}

TEST(ScratchFile, OthersReadItOnlyIfTheyLetItBeDeleted) {
    const std::vector<std::uint8_t> settings = bytesOf("[Skin]\r\nName=Lamplight\r\n\r\n");
    std::wstring path;
    OwnedHandle politeScanner;
    {
        forms::ScratchFile file(L".ini");
        path = file.path();
        ASSERT_TRUE(exists(path));
        file.write(settings);
        EXPECT_EQ(file.readAll(), settings);

        EXPECT_FALSE(openFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE)) << "a scanner that does not share delete";
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

        politeScanner = openFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(politeScanner) << "a scanner that shares delete, error " << GetLastError();
        std::vector<std::uint8_t> seen(settings.size() + 1);
        DWORD read = 0;
        ASSERT_TRUE(ReadFile(politeScanner.get(), seen.data(), static_cast<DWORD>(seen.size()), &read, nullptr));
        seen.resize(read);
        EXPECT_EQ(seen, settings) << "what it reads";
    }
    politeScanner.reset();
    EXPECT_FALSE(exists(path)) << "gone once the scanner has let go too";
}

// TMP names the temporary folder, for this process, while this lives.
class TemporaryFolderOverride {
public:
    explicit TemporaryFolderOverride(const std::wstring& folder) {
        wchar_t old[MAX_PATH + 1] = {};
        const DWORD length = GetEnvironmentVariableW(L"TMP", old, MAX_PATH + 1);
        if (length > 0 && length <= MAX_PATH) old_ = old;
        had_ = length > 0;
        SetEnvironmentVariableW(L"TMP", folder.c_str());
    }
    TemporaryFolderOverride(const TemporaryFolderOverride&) = delete;
    TemporaryFolderOverride& operator=(const TemporaryFolderOverride&) = delete;
    ~TemporaryFolderOverride() { SetEnvironmentVariableW(L"TMP", had_ ? old_.c_str() : nullptr); }

private:
    bool had_ = false;
    std::wstring old_;
};

// A new folder, removed with this if it is empty by then.
class Folder {
public:
    explicit Folder(std::wstring path) : path_(std::move(path)) {
        if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot make a folder");
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder() { RemoveDirectoryW(path_.c_str()); }
    const std::wstring& path() const { return path_; }
    bool empty() const {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return true;
        int names = 0;
        do ++names;
        while (FindNextFileW(search, &found));
        FindClose(search);
        return names <= 2;  // . and ..
    }

private:
    std::wstring path_;
};

TEST(ScratchFile, GoesWhereverTheTemporaryFolderIs) {
    wchar_t usual[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, usual), 0u);
    // Thai and Hebrew letters: code page 936 has neither.
    const std::wstring foreign = std::wstring(usual) + L"vod-\x0E01\x05D0";
    char narrow[MAX_PATH * 2] = {};
    BOOL lost = FALSE;
    WideCharToMultiByte(936, 0, foreign.c_str(), -1, narrow, sizeof narrow, nullptr, &lost);
    ASSERT_TRUE(lost) << "the folder's name cannot be written in code page 936";
    const Folder folder(foreign);
    {
        TemporaryFolderOverride tmp(folder.path());
        forms::ScratchFile file(L".ini");
        EXPECT_EQ(file.path().rfind(foreign + L"\\vod", 0), 0u) << "made in that folder";
        EXPECT_TRUE(exists(file.path()));
        file.write(bytesOf("[Skin]\r\n"));
        EXPECT_EQ(file.readAll(), bytesOf("[Skin]\r\n"));
    }
    EXPECT_TRUE(folder.empty()) << "nothing is left in it";

    TemporaryFolderOverride tmp(std::wstring(usual) + L"vod-no-such-folder");
    try {
        forms::ScratchFile file(L".ini");
        ADD_FAILURE() << "made in a folder that does not exist";
    } catch (const forms::ScratchFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("cannot create a file in the temporary folder (error ", 0), 0u)
            << e.what();
    }
}

// The holder program, its output on a pipe; killed when this goes, if it is still there.
class Holder {
public:
    Holder() {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE read = nullptr, write = nullptr;
        if (!CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("no pipe");
        output_.reset(read);
        const OwnedHandle childEnd(write);
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = write;
        const std::wstring exe = programFolder() + L"scratch_holder.exe";
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                            nullptr, &si, &info_))
            throw std::runtime_error("cannot start scratch_holder.exe, error " + std::to_string(GetLastError()));
        CloseHandle(info_.hThread);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    ~Holder() {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 10000);
        CloseHandle(info_.hProcess);
    }

    HANDLE process() const { return info_.hProcess; }

    // Its first line, without the line end; empty if it ends first.
    std::string firstLine() {
        std::string line;
        char c = 0;
        DWORD read = 0;
        while (ReadFile(output_.get(), &c, 1, &read, nullptr) && read == 1 && c != '\n') line += c;
        return line;
    }

private:
    OwnedHandle output_;
    PROCESS_INFORMATION info_{};
};

std::wstring fromUtf8(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

TEST(ScratchFile, IsGoneWhenItsProcessIsKilled) {
    Holder holder;
    const std::string line = holder.firstLine();
    ASSERT_EQ(line.rfind("error", 0), std::string::npos) << line;
    const std::wstring path = fromUtf8(line);
    ASSERT_FALSE(path.empty()) << "the holder said where its file is";
    ASSERT_TRUE(exists(path)) << line << " is there while the holder runs";

    ASSERT_TRUE(TerminateProcess(holder.process(), 1));
    ASSERT_EQ(WaitForSingleObject(holder.process(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(waitFor([&] { return !exists(path); }, 2s)) << line << " is left behind";
    DeleteFileW(path.c_str());
}

}  // namespace
