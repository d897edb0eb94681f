#ifndef VELPAD_FUZZ_FUZZSANDBOX_H
#define VELPAD_FUZZ_FUZZSANDBOX_H

#include <cstddef>
#include <cstdint>
#include <string>

// The private working directory of a fuzz target. On first use a fresh
// directory is made under /tmp and becomes the working directory, so that the
// settings the engine looks up and the files it writes stay inside it; the
// default trace is registered there and records nothing below a fatal fault,
// so that millions of inputs leave no log behind. The directory goes when
// the program ends.
void EnterSandbox();

// Writes bytes to a file of the sandbox (replacing it); returns its path.
std::string SandboxFile(const std::string& name, const std::string& bytes);

// The input as a byte string.
inline std::string InputBytes(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

#endif
