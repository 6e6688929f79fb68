#include "LoopbackGateway.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackGateway::LoopbackGateway() {
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &length);
    m_port = ntohs(address.sin_port);
    ::listen(m_listen, 4);
    if (::pipe(m_wake) != 0)
        m_wake[0] = m_wake[1] = -1;
    m_thread = std::thread([this] { serve(); });
}

LoopbackGateway::~LoopbackGateway() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    ::shutdown(m_listen, SHUT_RDWR);
    [[maybe_unused]] const ssize_t woken = ::write(m_wake[1], "x", 1);
    m_thread.join();
    ::close(m_listen);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

std::optional<LoopbackGateway::Clock::time_point> LoopbackGateway::waitForFirstByte(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, timeout, [this] { return m_firstByte.has_value(); });
    return m_firstByte;
}

void LoopbackGateway::send(QByteArray bytes) {
    const std::lock_guard lock(m_mutex);
    m_jobs.push_back({{std::move(bytes)}, {}});
    [[maybe_unused]] const ssize_t woken = ::write(m_wake[1], "x", 1);
}

void LoopbackGateway::sendPaced(QList<QByteArray> lines, std::chrono::milliseconds interval) {
    const std::lock_guard lock(m_mutex);
    m_jobs.push_back({std::move(lines), interval});
    [[maybe_unused]] const ssize_t woken = ::write(m_wake[1], "x", 1);
}

bool LoopbackGateway::waitUntilSent(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_jobs.empty() && !m_busy; });
}

bool LoopbackGateway::waitForLine(const QByteArray &line, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this, &line] { return m_received.contains(line); });
}

void LoopbackGateway::dropClient() {
    const std::lock_guard lock(m_mutex);
    m_drop = true;
    m_firstByte.reset();
    m_received.clear();
    m_jobs.clear();
    [[maybe_unused]] const ssize_t woken = ::write(m_wake[1], "x", 1);
}

void LoopbackGateway::serve() {
    for (;;) {
        const int client = ::accept(m_listen, nullptr, nullptr);
        if (client < 0)
            return; // shut down
        {
            const std::lock_guard lock(m_mutex);
            m_drop = false;
            m_partial.clear();
        }
        serveClient(client);
        ::close(client);
        const std::lock_guard lock(m_mutex);
        if (m_stop)
            return;
    }
}

void LoopbackGateway::serveClient(int client) {
    for (;;) {
        pollfd fds[2] = {{client, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            return;
        if (fds[1].revents & POLLIN) {
            char sink[64];
            [[maybe_unused]] const ssize_t drained = ::read(m_wake[0], sink, sizeof sink);
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) && !readFrom(client))
            return;
        for (;;) {
            Job job;
            {
                const std::lock_guard lock(m_mutex);
                if (m_stop || m_drop)
                    return;
                if (m_jobs.empty())
                    break;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
                m_busy = true;
            }
            const bool written = runJob(client, job);
            {
                const std::lock_guard lock(m_mutex);
                m_busy = false;
            }
            m_changed.notify_all();
            if (!written)
                return;
        }
    }
}

bool LoopbackGateway::readFrom(int client) {
    char buffer[4096];
    const ssize_t got = ::recv(client, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got == 0)
        return false;
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_firstByte)
            m_firstByte = Clock::now();
        m_partial.append(buffer, got);
        for (qsizetype nul; (nul = m_partial.indexOf('\0')) >= 0;) {
            m_received.append(m_partial.left(nul));
            m_partial.remove(0, nul + 1);
        }
    }
    m_changed.notify_all();
    return true;
}

bool LoopbackGateway::runJob(int client, const Job &job) {
    auto next = Clock::now();
    for (const QByteArray &piece : job.pieces) {
        if (job.interval.count() > 0) {
            // Whatever the client says meanwhile is read; the pace is kept from the start.
            next += job.interval;
            for (auto now = Clock::now(); now < next; now = Clock::now()) {
                pollfd fd{client, POLLIN, 0};
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1;
                if (::poll(&fd, 1, int(wait)) > 0 && !readFrom(client))
                    return false;
            }
        }
        for (qsizetype sent = 0; sent < piece.size();) {
            const ssize_t n = ::send(client, piece.constData() + sent, size_t(piece.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += n;
        }
    }
    return true;
}
