#pragma once

#include <string>

namespace vpinpad {

// Small descriptor helpers shared by the relay listener, the pseudo-terminal and the bank.
class SocketIo {
public:
    // Listening TCP socket on a loopback address ("127.x.x.x"); port 0 picks a free port.
    // Throws std::runtime_error for other addresses or when the system refuses.
    static int ListenLoopback(const std::string& address, int port);
    static int LocalPort(int fd);
    // Accepted connection in non-blocking mode, or -1.
    static int Accept(int listenFd);
    // Reads what is available. Returns the count read, 0 at end of stream, -1 on error;
    // a descriptor with nothing to read right now gives -2.
    static long ReadSome(int fd, std::string* out);
    // Waits up to waitMs for the descriptor to become readable.
    static bool WaitReadable(int fd, int waitMs);
    // Writes every byte, waiting while the descriptor is full; throws std::runtime_error.
    static void WriteAll(int fd, const std::string& bytes);
    static void SetNonBlocking(int fd);
    static void CloseFd(int* fd);
};

}  // namespace vpinpad
