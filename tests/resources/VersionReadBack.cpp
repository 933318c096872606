// Reads the version resource of each file named on the command line as a file's Details tab
// does (GetFileVersionInfoA, VerQueryValueA) and prints what Windows finds, one line per value:
// "<file name>|<value name>|<value>". scripts/check-versions.sh compares the lines with what each
// shipped file must say, so the program itself knows nothing of our numbers. A file whose
// resource cannot be read gives "<file name>|missing|<error number>" and the exit code 1.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kStringValues[] = {
    "CompanyName",      "FileDescription", "FileVersion",    "InternalName",
    "OriginalFilename", "ProductName",     "ProductVersion",
};

std::string FileName(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* FileType(DWORD type)
{
    switch (type) {
    case VFT_APP: return "app";
    case VFT_DLL: return "dll";
    default: return "other";
    }
}

void PrintFixed(const std::string& name, const std::vector<char>& block)
{
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", &data, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
        std::printf("%s|fixed|none\n", name.c_str());
        return;
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    std::printf("%s|fixed|%u.%u.%u.%u\n", name.c_str(), HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    std::printf("%s|fixed-product|%u.%u.%u.%u\n", name.c_str(), HIWORD(fixed->dwProductVersionMS),
                LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                LOWORD(fixed->dwProductVersionLS));
    std::printf("%s|type|%s\n", name.c_str(), FileType(fixed->dwFileType));
}

// The string values, looked up under the first language the file lists, as Explorer does.
void PrintStrings(const std::string& name, const std::vector<char>& block)
{
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &data, &length) || length < 2 * sizeof(WORD)) {
        std::printf("%s|translation|none\n", name.c_str());
        return;
    }
    const auto* translation = static_cast<const WORD*>(data);
    std::printf("%s|translation|%04x%04x\n", name.c_str(), translation[0], translation[1]);
    for (const char* value : kStringValues) {
        char query[MAX_PATH];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], value);
        if (VerQueryValueA(block.data(), query, &data, &length) && length > 0) {
            std::printf("%s|%s|%s\n", name.c_str(), value, static_cast<const char*>(data));
        } else {
            std::printf("%s|%s|none\n", name.c_str(), value);
        }
    }
}

bool PrintFile(const std::string& path)
{
    const std::string name = FileName(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        std::printf("%s|missing|%lu\n", name.c_str(), GetLastError());
        return false;
    }
    PrintFixed(name, block);
    PrintStrings(name, block);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    bool all = argc > 1;
    for (int i = 1; i < argc; ++i) {
        all = PrintFile(argv[i]) && all;
    }
    return all ? 0 : 1;
}
