#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

LoopbackServer::LoopbackServer()
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (m_listenFd < 0 || ::bind(m_listenFd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(m_listenFd, 16) != 0)
        throw std::runtime_error("loopback server: cannot listen");
    socklen_t len = sizeof addr;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr *>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    m_stopping = true;
    m_stopped.notify_all();
    ::shutdown(m_listenFd, SHUT_RDWR);
    m_acceptThread.join();
    ::close(m_listenFd);
    {
        std::lock_guard lock(m_mutex);
        for (int fd : m_openFds)
            ::shutdown(fd, SHUT_RDWR);
    }
    m_stopped.notify_all();
    for (std::thread &t : m_threads)
        t.join();
}

void LoopbackServer::on(const std::string &path, Handler handler)
{
    std::lock_guard lock(m_mutex);
    m_handlers[path] = std::move(handler);
}

QString LoopbackServer::url(const std::string &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(QString::fromStdString(path));
}

std::vector<LoopbackServer::Request> LoopbackServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::string LoopbackServer::answer(
    int status, std::string_view contentType, std::string_view body, std::string_view extraHeaders)
{
    std::string out = "HTTP/1.1 " + std::to_string(status) + " Status\r\n";
    if (!contentType.empty())
        out += "Content-Type: " + std::string(contentType) + "\r\n";
    out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    out += extraHeaders;
    out += "\r\n";
    out += body;
    return out;
}

bool LoopbackServer::Connection::send(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void LoopbackServer::acceptLoop()
{
    while (!m_stopping) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (m_stopping)
                return;
            continue;
        }
        ++m_connections;
        std::lock_guard lock(m_mutex);
        m_openFds.push_back(fd);
        m_threads.emplace_back([this, fd] { serve(fd); });
    }
}

void LoopbackServer::serve(int fd)
{
    std::string buffer;
    char chunk[4096];
    After after = After::KeepAlive;
    Connection connection(fd, m_stopping);
    while (after == After::KeepAlive && !m_stopping) {
        size_t end;
        while ((end = buffer.find("\r\n\r\n")) == std::string::npos) {
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                after = After::Close;
                break;
            }
            buffer.append(chunk, static_cast<size_t>(n));
        }
        if (after != After::KeepAlive)
            break;
        Request request;
        const std::string head = buffer.substr(0, end);
        buffer.erase(0, end + 4);
        size_t lineEnd = head.find("\r\n");
        const std::string requestLine = head.substr(0, lineEnd);
        const size_t sp1 = requestLine.find(' ');
        const size_t sp2 = requestLine.find(' ', sp1 + 1);
        request.method = requestLine.substr(0, sp1);
        request.path = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
        while (lineEnd != std::string::npos) {
            const size_t start = lineEnd + 2;
            lineEnd = head.find("\r\n", start);
            const std::string line
                = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
            const size_t colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            std::string name = line.substr(0, colon);
            std::transform(
                name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
            const size_t valueStart = line.find_first_not_of(' ', colon + 1);
            request.headers[name] = valueStart == std::string::npos ? std::string() : line.substr(valueStart);
        }
        Handler handler;
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
            const auto it = m_handlers.find(request.path);
            if (it != m_handlers.end())
                handler = it->second;
        }
        if (handler)
            after = handler(connection, request);
        else
            after = connection.send(answer(404, "text/plain", "no such path")) ? After::KeepAlive
                                                                               : After::Close;
    }
    if (after == After::Hang) {
        std::unique_lock lock(m_mutex);
        m_stopped.wait(lock, [this] { return m_stopping.load(); });
    }
    if (after == After::Reset) {
        // A zero linger time makes close() send a reset instead of an orderly end.
        linger hard { 1, 0 };
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    {
        std::lock_guard lock(m_mutex);
        m_openFds.erase(std::remove(m_openFds.begin(), m_openFds.end(), fd), m_openFds.end());
    }
    ::close(fd);
}
