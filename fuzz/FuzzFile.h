// The readers take a file name, as the program hands them one, so each input goes to disk first: one
// scratch file per fuzzing process, under TMPDIR, rewritten for every input and removed at exit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Writes one input to `path`, whole; a fuzzer that cannot write its input stops.
inline void WriteFuzzInput(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::perror("corvane fuzz: writing the input file");
        std::abort();
    }
}

inline const char* FuzzFile(const uint8_t* data, size_t size)
{
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        std::string name = std::string(folder != nullptr && folder[0] != 0 ? folder : "/tmp") + "/corvane-fuzz-XXXXXX";
        const int descriptor = mkstemp(name.data());
        if (descriptor < 0) {
            std::perror("corvane fuzz: scratch file");
            std::abort();
        }
        close(descriptor);
        static std::string removed;
        removed = name;
        std::atexit([] { unlink(removed.c_str()); });
        return name;
    }();
    WriteFuzzInput(path, data, size);
    return path.c_str();
}
