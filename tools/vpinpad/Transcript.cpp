#include "Transcript.h"

#include <cstdio>

#include "ByteText.h"

namespace vpinpad {

namespace {

constexpr std::size_t kBytesPerRow = 32;

}  // namespace

Transcript::Transcript() : start_(std::chrono::steady_clock::now()) {}

bool Transcript::Open(const std::string& path) {
    file_.open(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file_);
}

std::string Transcript::Stamp() const {
    auto elapsed = std::chrono::steady_clock::now() - start_;
    long ms =
        static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    char text[32];
    std::snprintf(text, sizeof text, "%6ld.%03ld", ms / 1000, ms % 1000);
    return text;
}

void Transcript::Record(const std::string& direction, const std::string& what,
                        const std::string& bytes) {
    if (!file_.is_open()) return;
    file_ << Stamp() << "  " << direction << "  " << what << " (" << bytes.size()
          << (bytes.size() == 1 ? " byte)\n" : " bytes)\n");
    for (std::size_t at = 0; at < bytes.size(); at += kBytesPerRow) {
        file_ << "           hex  " << ByteText::Hex(bytes.substr(at, kBytesPerRow)) << '\n';
    }
    file_ << "           text " << ByteText::Quoted(bytes) << '\n';
    file_.flush();
}

void Transcript::Note(const std::string& text) {
    if (!file_.is_open()) return;
    file_ << Stamp() << "  -- " << text << '\n';
    file_.flush();
}

}  // namespace vpinpad
