// A temporary installation: a fresh directory under /tmp holding the example
// settings files, removed again with everything the runs left in it.
#ifndef VELPAD_BENCH_INSTALL_H
#define VELPAD_BENCH_INSTALL_H

#include <string>

namespace bench {

class Install {
public:
    Install();
    ~Install();
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

    const std::string& Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    // Appends settings lines to cashreg.ini (later lines win).
    void AddSettings(const std::string& lines) const;

private:
    std::string dir_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

}  // namespace bench

#endif
