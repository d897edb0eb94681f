#include "engine/ledger/KeptLedgers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace {

// A process with several pinpads keeps one connection per ledger file, up
// to this many.
constexpr std::size_t kMostKept = 4;

struct Kept {
    std::string path;
    KeptLedgers::Files files;
    std::unique_ptr<LedgerConnection> connection;
};

// Allocated once and never destroyed: connections still kept at exit are
// left to the system to close (every change they made is already synced).
struct Store {
    std::mutex mutex;
    std::vector<Kept> kept;
};

Store& TheStore() {
    static Store* store = new Store;
    return *store;
}

bool Same(const KeptLedgers::Files& a, const KeptLedgers::Files& b) {
    for (int i = 0; i < 3; ++i)
        if (a.device[i] != b.device[i] || a.inode[i] != b.inode[i]) return false;
    return a.mode == b.mode && a.owner == b.owner && a.group == b.group;
}

}  // namespace

bool KeptLedgers::Identify(const std::string& path, Files* files) {
    const std::string names[3] = {path, path + "-wal", path + "-shm"};
    for (int i = 0; i < 3; ++i) {
        struct stat status {};
        if (lstat(names[i].c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
        files->device[i] = status.st_dev;
        files->inode[i] = status.st_ino;
        if (i > 0) continue;
        files->mode = status.st_mode;
        files->owner = status.st_uid;
        files->group = status.st_gid;
    }
    files->process = getpid();
    return true;
}

std::unique_ptr<LedgerConnection> KeptLedgers::Take(const std::string& path, Files* files) {
    Store& store = TheStore();
    std::unique_ptr<LedgerConnection> connection;
    Files kept;
    {
        std::lock_guard<std::mutex> lock(store.mutex);
        for (auto it = store.kept.begin(); it != store.kept.end(); ++it) {
            if (it->path != path) continue;
            connection = std::move(it->connection);
            kept = it->files;
            store.kept.erase(it);
            break;
        }
    }
    if (!connection) return nullptr;
    Files now;
    if (kept.process != getpid()) {
        // A copy inherited across fork: closing it here could disturb the
        // locks of the process that opened it, so it is left alone.
        (void)connection.release();
        return nullptr;
    }
    if (!Identify(path, &now) || !Same(kept, now)) return nullptr;
    *files = kept;
    return connection;
}

void KeptLedgers::Keep(const std::string& path, const Files& files,
                       std::unique_ptr<LedgerConnection> connection) {
    Store& store = TheStore();
    std::vector<Kept> dropped;  // closed once the lock is released
    std::lock_guard<std::mutex> lock(store.mutex);
    for (auto it = store.kept.begin(); it != store.kept.end();) {
        if (it->path == path || store.kept.size() >= kMostKept) {
            dropped.push_back(std::move(*it));
            it = store.kept.erase(it);
        } else {
            ++it;
        }
    }
    store.kept.push_back(Kept{path, files, std::move(connection)});
}
