// A stand-in for libFuzzer's driver, for builds without it: runs a fuzz
// target over the files named on the command line (or every file of a named
// directory), each as a whole and cut short at lengths 0, 1, half and all
// but one byte, so the seeds and their truncations run in every test build.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

int inputs = 0;

bool replay(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const std::size_t n = bytes.size();
    for (std::size_t length : {n, std::size_t(0), std::size_t(1), n / 2, n > 0 ? n - 1 : 0}) {
        if (length > n) continue;
        LLVMFuzzerTestOneInput(bytes.data(), length);
        ++inputs;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    bool ok = argc > 1;
    for (int i = 1; i < argc; ++i) {
        struct stat info;
        if (stat(argv[i], &info) == 0 && S_ISDIR(info.st_mode)) {
            if (DIR* dir = opendir(argv[i])) {
                while (dirent* entry = readdir(dir)) {
                    if (entry->d_name[0] != '.')
                        ok = replay(std::string(argv[i]) + "/" + entry->d_name) && ok;
                }
                closedir(dir);
            }
        } else {
            ok = replay(argv[i]) && ok;
        }
    }
    std::printf("replay: %d inputs run\n", inputs);
    return ok ? 0 : 1;
}
