#pragma once

#include <QByteArray>
#include <QList>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

// The KO gateway as a separate peer would be: a listening socket on 127.0.0.1 served by a thread
// of its own with blocking calls, so the process measured pays only for its own side. It takes one
// client at a time, notes when its first byte arrived (the key line), sends what it is given, at
// once or one line per interval, and collects the lines the client sends.
class LoopbackGateway {
public:
    using Clock = std::chrono::steady_clock;

    LoopbackGateway();
    ~LoopbackGateway();
    LoopbackGateway(const LoopbackGateway &) = delete;
    LoopbackGateway &operator=(const LoopbackGateway &) = delete;

    quint16 port() const { return m_port; }

    // When the current client's first byte arrived; nothing when none came within the time.
    std::optional<Clock::time_point> waitForFirstByte(std::chrono::milliseconds timeout);
    // Sends the bytes in one go, or each line (NUL included) on its own, one per interval.
    void send(QByteArray bytes);
    void sendPaced(QList<QByteArray> lines, std::chrono::milliseconds interval);
    // True when everything handed over has been written to the socket.
    bool waitUntilSent(std::chrono::milliseconds timeout);
    // Waits for a line (without its NUL) from the client; true when it came.
    bool waitForLine(const QByteArray &line, std::chrono::milliseconds timeout);
    // Forgets the client: the next one that connects is served anew.
    void dropClient();

private:
    struct Job {
        QList<QByteArray> pieces;
        std::chrono::milliseconds interval{0};
    };
    void serve();
    void serveClient(int client);
    bool readFrom(int client);
    bool runJob(int client, const Job &job);

    int m_listen = -1;
    int m_wake[2] = {-1, -1}; // a pipe that wakes the thread when a job or a drop comes
    quint16 m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_drop = false;
    bool m_stop = false;
    std::optional<Clock::time_point> m_firstByte;
    QByteArray m_partial;
    QList<QByteArray> m_received;
    std::thread m_thread;
};
