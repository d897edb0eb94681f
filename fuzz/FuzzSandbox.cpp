#include "FuzzSandbox.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "ri/Trace.h"
#include "support/TempDir.h"

namespace {

TempDir* sandbox = nullptr;

// Leaves the directory before it is removed with everything in it.
void RemoveSandbox() {
    if (chdir("/") != 0) return;
    delete sandbox;
    sandbox = nullptr;
}

}  // namespace

void EnterSandbox() {
    if (sandbox) return;
    sandbox = new TempDir;
    if (sandbox->Path().empty() || chdir(sandbox->Path().c_str()) != 0) std::abort();
    ri::Trace::Get(*sandbox / "trace.log", ri::Trace::LEVEL_FATAL, ri::Trace::LEVEL_FATAL);
    std::atexit(RemoveSandbox);
}

std::string SandboxFile(const std::string& name, const std::string& bytes) {
    EnterSandbox();
    const std::string path = *sandbox / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
}
