// libFuzzer target of the INI profile: any file reads without a crash, and a
// key written into it reads back as written while the write stays possible.
#include "AppError.h"
#include "IniProfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {
const std::string& scratch() {
    static const std::string path = [] {
        // A memory file system makes the writer's sync to disk free; runs are then
        // limited by the code under test, not by the disk.
        std::string name = access("/dev/shm", W_OK) == 0 ? "/dev/shm/fuzz_ini_XXXXXX" : "/tmp/fuzz_ini_XXXXXX";
        int fd = mkstemp(name.data());
        if (fd < 0) std::abort();
        close(fd);
        return name;
    }();
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = scratch();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    (void)vela::ini::readString(path, "SW", "STI1", "d");
    (void)vela::ini::readInt(path, "MAIL", "ADD", 7);
    try {
        vela::ini::writeString(path, "SW", "STI1", "v1");
    } catch (const vela::AppError&) {
        std::abort(); // a readable regular file can always take a key
    }
    if (vela::ini::readString(path, "SW", "STI1", "d") != "v1") std::abort();
    std::remove(path.c_str()); // libFuzzer's exit skips atexit; leave nothing in /tmp
    return 0;
}
