// A TCP proxy on 127.0.0.1 that holds back every byte for a fixed time in each direction,
// so that a mail server on loopback answers as one a real network away would:
//
//     delay_proxy TARGET_PORT DELAY_MS
//
// Prints the port it listens on, then forwards every connection to 127.0.0.1:TARGET_PORT.
// Bandwidth is not limited; what one side sends reaches the other DELAY_MS later, a
// closed side as well. Ends when its standard input closes.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <list>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Bytes (or, when empty, the end of the stream) due at the far side at `due`.
struct Chunk {
    Clock::time_point due;
    std::string bytes;
};

// One direction of a connection.
struct Flow {
    int from = -1;
    int to = -1;
    std::deque<Chunk> queue;
    bool readEnded = false;
    bool writeEnded = false;
};

struct Link {
    Flow up;    // client to server
    Flow down;  // server to client
    bool done() const { return up.writeEnded && down.writeEnded; }
};

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void setUp(int fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Reads what `flow.from` has and queues it for later.
void take(Flow& flow, Clock::time_point due) {
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(flow.from, buffer, sizeof buffer);
        if (got > 0) {
            flow.queue.push_back({due, std::string(buffer, size_t(got))});
            continue;
        }
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            flow.readEnded = true;
            flow.queue.push_back({due, {}});
        }
        return;
    }
}

// Writes what is due; an empty chunk passes the end of the stream on.
void give(Flow& flow, Clock::time_point now) {
    while (!flow.queue.empty() && flow.queue.front().due <= now && !flow.writeEnded) {
        Chunk& chunk = flow.queue.front();
        if (chunk.bytes.empty()) {
            ::shutdown(flow.to, SHUT_WR);
            flow.writeEnded = true;
            return;
        }
        const ssize_t sent = ::write(flow.to, chunk.bytes.data(), chunk.bytes.size());
        if (sent < 0) {
            if (errno != EAGAIN && errno != EINTR) {
                flow.writeEnded = true;
            }
            return;
        }
        chunk.bytes.erase(0, size_t(sent));
        if (!chunk.bytes.empty()) {
            return;
        }
        flow.queue.pop_front();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: delay_proxy TARGET_PORT DELAY_MS\n");
        return 2;
    }
    const int target = std::atoi(argv[1]);
    const auto delay = std::chrono::milliseconds(std::atoi(argv[2]));
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 16) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("delay_proxy");
        return 1;
    }
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);

    std::list<Link> links;
    while (true) {
        const Clock::time_point now = Clock::now();
        std::vector<pollfd> watched{{STDIN_FILENO, POLLIN, 0}, {listener, POLLIN, 0}};
        Clock::time_point next = now + std::chrono::seconds(1);
        // Each socket once: read while its side sends, write when bytes for it are due.
        const auto watch = [&](Flow& reading, Flow& writing) {
            short events = reading.readEnded ? 0 : POLLIN;
            if (!writing.queue.empty() && !writing.writeEnded) {
                if (writing.queue.front().due <= now) {
                    events |= POLLOUT;
                } else {
                    next = std::min(next, writing.queue.front().due);
                }
            }
            // A socket with nothing to wait for is left out: a hung-up one would wake poll
            // at once, again and again.
            watched.push_back({events != 0 ? reading.from : -1, events, 0});
        };
        for (Link& link : links) {
            watch(link.up, link.down);
            watch(link.down, link.up);
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
        ::poll(watched.data(), watched.size(), static_cast<int>(std::max<long long>(wait, 0)));
        if (watched[0].revents != 0) {
            char byte;
            if (::read(STDIN_FILENO, &byte, 1) <= 0) {
                return 0;
            }
        }
        if (watched[1].revents & POLLIN) {
            const int client = ::accept(listener, nullptr, nullptr);
            const int server = client < 0 ? -1 : connectTo(target);
            if (server < 0) {
                ::close(client);
            } else {
                setUp(client);
                setUp(server);
                links.push_back(
                    {{client, server, {}, false, false}, {server, client, {}, false, false}});
            }
        }
        const Clock::time_point later = Clock::now();
        size_t at = 2;
        for (Link& link : links) {
            for (Flow* flow : {&link.up, &link.down}) {
                if (at < watched.size() && !flow->readEnded &&
                    (watched[at].revents & (POLLIN | POLLHUP | POLLERR))) {
                    take(*flow, later + delay);
                }
                ++at;
            }
        }
        for (Link& link : links) {
            give(link.up, later);
            give(link.down, later);
        }
        for (auto it = links.begin(); it != links.end();) {
            if (it->done()) {
                ::close(it->up.from);
                ::close(it->down.from);
                it = links.erase(it);
            } else {
                ++it;
            }
        }
    }
}
