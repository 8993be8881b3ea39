// Which trical.exe a test drives, and that the process started from it is
// the calendar of the bitness the run is about. Shared by the driver and by
// session_probe.exe, which has no test framework: each answer that can fail
// says why in `why`.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// A Unix path held in an environment variable, as Wine's Z: drive shows it;
// "" when the variable is unset, holds no absolute path or is too long.
inline std::string PathFromEnvironment(const char *variable) {
    char unixPath[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(variable, unixPath, sizeof unixPath);
    if (length == 0 || length >= sizeof unixPath || unixPath[0] != '/')
        return "";
    std::string path = "Z:";
    for (const char *c = unixPath; *c; ++c)
        path += *c == '/' ? '\\' : *c;
    return path;
}

// 32 or 64 from the machine field of a PE file's header; 0 if it is none.
inline int PeBits(const std::string &path) {
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    unsigned char header[4096] = {};
    size_t size = fread(header, 1, sizeof header, file);
    fclose(file);
    unsigned long pe = size >= 64 ? header[60] | header[61] << 8 | header[62] << 16 : size;
    if (pe + 6 > size ||
        std::string(reinterpret_cast<char *>(header + pe), 4) != std::string("PE\0\0", 4))
        return 0;
    unsigned machine = header[pe + 4] | header[pe + 5] << 8;
    return machine == IMAGE_FILE_MACHINE_I386 ? 32 : machine == IMAGE_FILE_MACHINE_AMD64 ? 64 : 0;
}

// The calendar to drive: the one TRICAL_EXE names (run-e2e.sh sets it), or
// the one beside this program where it is unset. A TRICAL_EXE that names no
// file is an error, never a reason to drive another calendar.
inline std::string TricalPath(std::string *why) {
    char named[8];
    bool set = GetEnvironmentVariableA("TRICAL_EXE", named, sizeof named) > 0;
    std::string path = PathFromEnvironment("TRICAL_EXE");
    if (!set) {
        char self[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
        if (length > 0 && length < sizeof self)
            path = std::string(self, length);
        path = path.substr(0, path.find_last_of("\\/") + 1) + "trical.exe";
    } else if (path.empty()) {
        *why = "TRICAL_EXE is set but is no absolute Unix path of under MAX_PATH characters";
        return "";
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *why = "there is no calendar at " + path;
        return "";
    }
    return path;
}

// TRICAL_EXPECT_BITS (32 or 64), which ctest sets for each group, must agree
// with the file; unset, the file alone says.
inline int ExpectedBits(const std::string &path, std::string *why) {
    int file = PeBits(path);
    char text[8] = "";
    DWORD length = GetEnvironmentVariableA("TRICAL_EXPECT_BITS", text, sizeof text);
    int expected = length > 0 && length < sizeof text ? atoi(text) : file;
    if ((expected != 32 && expected != 64) || expected != file) {
        *why = path + " is a " + std::to_string(file) + "-bit program (0: none), expected " +
               (length ? text : "32 or 64");
        return 0;
    }
    return expected;
}

// A 32-bit program runs under WoW64 beside this 64-bit one.
inline bool RunsWithBits(HANDLE process, int bits, std::string *why) {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(process, &wow64)) {
        *why = "IsWow64Process failed, error " + std::to_string(GetLastError());
        return false;
    }
    if ((wow64 != FALSE) != (bits == 32)) {
        *why = std::string("the calendar runs as a ") + (wow64 ? "32" : "64") +
               "-bit process, expected a " + std::to_string(bits) + "-bit one";
        return false;
    }
    return true;
}
