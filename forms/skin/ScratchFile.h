#pragma once
// A file that lives only while its one handle is open: a new, uniquely named
// file in the temporary folder, opened so that the system deletes it when that
// handle closes. Whatever happens to the process (an error, a crash, being
// killed), the file goes with it; nothing here has to run for that.
//
// While it exists, others may open it to read it, and only if they let it be
// deleted (FILE_SHARE_DELETE): a virus scanner that opens a new file at once
// is refused unless it says so, so it cannot keep the file beyond us.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Win32.h"

namespace forms {

// The file cannot be made, written or read. The message says which, with the system's error number.
class ScratchFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ScratchFile {
public:
    // Creates vod<process id>-<tick><suffix> in the temporary folder, in hexadecimal.
    explicit ScratchFile(std::wstring_view suffix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::wstring& path() const { return path_; }

    // Writes at the current position: the first write starts the file.
    void write(const std::vector<std::uint8_t>& bytes);
    // Everything in the file, read back from its start through the same handle. (An open by
    // name that does not share delete, such as the profile functions' own, is refused.)
    std::vector<std::uint8_t> readAll();

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
};

}  // namespace forms
