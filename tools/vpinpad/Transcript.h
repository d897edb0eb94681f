#pragma once

#include <chrono>
#include <fstream>
#include <string>

namespace vpinpad {

// Record of everything that crossed the link and the bank channel, in the order it happened:
// a heading line with the time since start, the direction and the size, then the bytes in
// hexadecimal and as printable text. Without a file it records nothing.
class Transcript {
public:
    Transcript();
    bool Open(const std::string& path);

    // direction such as "host -> pinpad"; what such as "frame" or "raw bytes".
    void Record(const std::string& direction, const std::string& what, const std::string& bytes);
    void Note(const std::string& text);

private:
    std::string Stamp() const;

    std::ofstream file_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace vpinpad
