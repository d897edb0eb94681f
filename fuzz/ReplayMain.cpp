// Replays a fuzz target's corpus without a fuzzing engine: every file named
// on the command line, and every file in every directory named there, is fed
// once to LLVMFuzzerTestOneInput. A crash, a sanitizer report or an abort in
// the target fails the run; so does a corpus with no input at all.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The files directly inside a directory, sorted so that runs are repeatable.
std::vector<std::string> FilesIn(const std::string& directory) {
    std::vector<std::string> files;
    DIR* dir = opendir(directory.c_str());
    if (!dir) return files;
    while (const dirent* entry = readdir(dir)) {
        const std::string path = directory + "/" + entry->d_name;
        if (entry->d_name[0] != '.' && !IsDirectory(path)) files.push_back(path);
    }
    closedir(dir);
    std::sort(files.begin(), files.end());
    return files;
}

bool ReadFile(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream content;
    content << in.rdbuf();
    *bytes = content.str();
    return true;
}

}  // namespace

// Every input is read before the first one runs: a target may change the
// working directory, and the names given may be relative.
int main(int argc, char* argv[]) {
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::string> files =
            IsDirectory(argv[i]) ? FilesIn(argv[i]) : std::vector<std::string>{argv[i]};
        for (const std::string& file : files) {
            inputs.emplace_back();
            if (!ReadFile(file, &inputs.back())) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return 1;
            }
        }
    }
    for (const std::string& bytes : inputs)
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::printf("replayed %zu inputs\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
