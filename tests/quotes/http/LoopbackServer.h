#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A scripted HTTP/1.1 peer on 127.0.0.1 for the request object's tests: every path gets a
// handler that writes whatever answer (or misbehaviour) the test needs. One thread accepts,
// one thread serves each connection.
class LoopbackServer {
public:
    struct Request {
        std::string method;
        std::string path;
        std::map<std::string, std::string> headers; // names in lower case
    };

    // What the connection does after a handler ran.
    enum class After { KeepAlive, Close, Reset, Hang };

    class Connection {
    public:
        explicit Connection(int fd, const std::atomic<bool> &stopping)
            : m_fd(fd)
            , m_stopping(stopping)
        { }
        // False once the peer is gone.
        bool send(std::string_view bytes);
        bool stopping() const { return m_stopping.load(); }

    private:
        int m_fd;
        const std::atomic<bool> &m_stopping;
    };

    using Handler = std::function<After(Connection &, const Request &)>;

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    void on(const std::string &path, Handler handler);
    QString url(const std::string &path) const;
    int port() const { return m_port; }
    int connections() const { return m_connections.load(); }
    std::vector<Request> requests() const;

    // A complete answer with Content-Length.
    static std::string answer(
        int status, std::string_view contentType, std::string_view body, std::string_view extraHeaders = {});

private:
    void acceptLoop();
    void serve(int fd);

    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping { false };
    std::atomic<int> m_connections { 0 };
    mutable std::mutex m_mutex;
    std::condition_variable m_stopped;
    std::map<std::string, Handler> m_handlers;
    std::vector<Request> m_requests;
    std::vector<int> m_openFds;
    std::vector<std::thread> m_threads;
    std::thread m_acceptThread;
};
