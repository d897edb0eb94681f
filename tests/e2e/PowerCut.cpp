#include "PowerCut.h"

#include <cstdlib>
#include <fstream>

namespace {

const char* const kFollowed[] = {"lastop.stb", "rc.out", "cheq.out"};

bool Followed(const std::string& name) {
    if (name.find(".lock") != std::string::npos) return false;
    for (const char* file : kFollowed)
        if (name.find(file) != std::string::npos) return true;
    return false;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path strace shows for the first descriptor of a line ("6</x/y>").
std::string FdPath(const std::string& line) {
    const size_t open = line.find('<');
    const size_t close = line.find('>', open);
    return open == std::string::npos || close == std::string::npos
               ? std::string()
               : line.substr(open + 1, close - open - 1);
}

int FdNumber(const std::string& line) {
    const size_t paren = line.find('(');
    return paren == std::string::npos ? -1 : std::atoi(line.c_str() + paren + 1);
}

// The first quoted argument of a line, and the second.
std::string Quoted(const std::string& line, int which) {
    size_t at = 0;
    for (int i = 0; i <= which; ++i) {
        at = line.find('"', at);
        if (at == std::string::npos) return "";
        if (i == which) break;
        for (++at; at < line.size() && line[at] != '"'; ++at)
            if (line[at] == '\\') ++at;
        ++at;
    }
    size_t end = at + 1;
    for (; end < line.size() && line[end] != '"'; ++end)
        if (line[end] == '\\') ++end;
    return line.substr(at, end - at + 1);
}

struct Inode {
    std::string cache;
    std::string synced;
};

}  // namespace

std::string StraceBytes(const std::string& quoted) {
    std::string bytes;
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] != '\\') {
            bytes += quoted[i];
            continue;
        }
        const char c = quoted[++i];
        if (c >= '0' && c <= '7') {
            int value = 0;
            for (int digits = 0; digits < 3 && quoted[i] >= '0' && quoted[i] <= '7'; ++digits)
                value = value * 8 + (quoted[i++] - '0');
            --i;
            bytes += static_cast<char>(value);
        } else {
            const std::string from = "ntrvf\\\"";
            const std::string to = "\n\t\r\v\f\\\"";
            const size_t at = from.find(c);
            bytes += at == std::string::npos ? c : to[at];
        }
    }
    return bytes;
}

PowerCut::PowerCut(const std::string& folder, const std::string& record) : folder_(folder) {
    std::ifstream in(record);
    for (std::string line; std::getline(in, line);) {
        const size_t space = line.find(' ');
        const size_t paren = line.find('(');
        if (space == std::string::npos || paren == std::string::npos) continue;
        events_.push_back({line.substr(space + 1, paren - space - 1), line});
    }
}

// What reaches the disk of a file whose last writes were cut half way.
static std::string Torn(const Inode& inode) {
    const size_t half = inode.cache.size() / 2;
    std::string data = inode.cache.substr(0, half);
    if (inode.synced.size() > half) data += inode.synced.substr(half);
    return data;
}

std::map<std::string, std::string> PowerCut::DiskAfter(size_t count, bool torn) const {
    std::vector<Inode> inodes;
    std::map<std::string, size_t> cacheNames;
    std::map<std::string, size_t> diskNames;
    std::map<int, std::pair<size_t, size_t>> fds;  // descriptor -> inode, offset
    for (size_t e = 0; e < count && e < events_.size(); ++e) {
        const std::string& call = events_[e].call;
        const std::string& line = events_[e].text;
        if (call == "openat") {
            const size_t equals = line.rfind("= ");
            const std::string name = BaseName(StraceBytes(Quoted(line, 0)));
            if (!Followed(name) || equals == std::string::npos || line[equals + 2] == '-') continue;
            if (cacheNames.count(name) == 0) {
                inodes.push_back({});
                cacheNames[name] = inodes.size() - 1;
            }
            if (line.find("O_TRUNC") != std::string::npos) inodes[cacheNames[name]].cache.clear();
            fds[std::atoi(line.c_str() + equals + 2)] = {cacheNames[name], 0};
        } else if (call == "write" && Followed(BaseName(FdPath(line))) &&
                   fds.count(FdNumber(line)) != 0) {
            auto& [inode, offset] = fds[FdNumber(line)];
            const std::string bytes = StraceBytes(Quoted(line, 0));
            std::string& data = inodes[inode].cache;
            if (data.size() < offset + bytes.size()) data.resize(offset + bytes.size());
            data.replace(offset, bytes.size(), bytes);
            offset += bytes.size();
        } else if (call == "fsync" || call == "fdatasync") {
            const std::string path = FdPath(line);
            if (path == folder_) diskNames = cacheNames;
            if (Followed(BaseName(path)) && fds.count(FdNumber(line)) != 0) {
                Inode& inode = inodes[fds[FdNumber(line)].first];
                inode.synced = inode.cache;
            }
        } else if (call == "unlink") {
            cacheNames.erase(BaseName(StraceBytes(Quoted(line, 0))));
        } else if (call == "rename") {
            const std::string from = BaseName(StraceBytes(Quoted(line, 0)));
            const std::string to = BaseName(StraceBytes(Quoted(line, 1)));
            if (cacheNames.count(from) == 0) continue;
            cacheNames[to] = cacheNames[from];
            cacheNames.erase(from);
        }
    }
    std::map<std::string, std::string> disk;
    for (const auto& [name, inode] : diskNames)
        disk[name] = torn ? Torn(inodes[inode]) : inodes[inode].synced;
    return disk;
}
