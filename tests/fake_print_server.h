#pragma once

#include <QByteArray>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

// A print server on 127.0.0.1 that misbehaves as network print servers do.
// It serves from threads of its own and ends by itself once its lifetime is
// over, at the latest when it is destroyed.
class FakePrintServer {
public:
    enum class Mode {
        Full,         // takes no connection: its queue is full, connecting hangs
        Silent,       // takes the connection and the request, never answers
        Trickle,      // starts an answer, then sends one byte every half second
        AsksPassword, // answers every request with "401 Unauthorized"
        StallsPage,   // relays to the CUPS server on localhost:631 until the PDF
                      // starts, then swallows the rest and answers nothing
    };

    explicit FakePrintServer(Mode mode, std::chrono::seconds lifetime = std::chrono::seconds(60))
        : mode_(mode), ends_(Clock::now() + lifetime)
    {
        sockaddr_in address = loopback(0);
        socklen_t size = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr *>(&address), size);
        listen(listener_, mode == Mode::Full ? 0 : 8);
        getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &size);
        port_ = ntohs(address.sin_port);
        if (mode == Mode::Full) // one waiting connection fills the queue
            ::connect(queued_, reinterpret_cast<sockaddr *>(&address), size);
        else
            acceptor_ = std::thread([this] {
                for (pollfd waiting{listener_, POLLIN, 0}; running();)
                    if (poll(&waiting, 1, 100) > 0) {
                        ++connections_;
                        const int client = accept(listener_, nullptr, nullptr);
                        clients_.emplace_back(&FakePrintServer::serve, this, client);
                    }
            });
    }
    ~FakePrintServer()
    {
        stop_ = true;
        if (acceptor_.joinable())
            acceptor_.join();
        for (std::thread &client : clients_) // the acceptor has ended: no more of them
            client.join();
        close(queued_);
        close(listener_);
    }
    FakePrintServer(const FakePrintServer &) = delete;
    FakePrintServer &operator=(const FakePrintServer &) = delete;

    // Where CUPS_SERVER points to reach it: "127.0.0.1:PORT".
    QByteArray address() const { return "127.0.0.1:" + QByteArray::number(port_); }
    int connections() const { return connections_; }
    bool heardPassword() const { return heardPassword_; }

private:
    using Clock = std::chrono::steady_clock;

    static sockaddr_in loopback(int port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(port));
        return address;
    }
    static void sendAll(int fd, const char *data, size_t size)
    {
        for (ssize_t sent = 0; size > 0 && sent >= 0; data += sent, size -= size_t(sent))
            sent = send(fd, data, size, MSG_NOSIGNAL);
    }
    bool running() const { return !stop_ && Clock::now() < ends_; }

    void serve(int client)
    {
        int upstream = -1;
        if (mode_ == Mode::StallsPage) {
            upstream = socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in cups = loopback(631);
            ::connect(upstream, reinterpret_cast<const sockaddr *>(&cups), sizeof cups);
        }
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\n\r\n";
        size_t answered = 0;
        auto nextByte = Clock::time_point::max();
        std::string heard; // requests not yet refused, or the tail that may start a PDF
        char buffer[65536];
        for (ssize_t got = 0; running(); got = 0) {
            pollfd fds[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
            poll(fds, upstream >= 0 ? 2 : 1, 100);
            if (upstream >= 0 && fds[1].revents
                && (got = read(upstream, buffer, sizeof buffer)) <= 0)
                break;
            sendAll(client, buffer, size_t(got));
            if (mode_ == Mode::Trickle && Clock::now() >= nextByte && answered < answer.size()) {
                sendAll(client, &answer[answered++], 1);
                nextByte += std::chrono::milliseconds(500);
            }
            if (!fds[0].revents)
                continue;
            if ((got = read(client, buffer, sizeof buffer)) <= 0)
                break;
            nextByte = std::min(nextByte, Clock::now());
            heard.append(buffer, size_t(mode_ == Mode::AsksPassword || upstream >= 0 ? got : 0));
            for (size_t end; mode_ == Mode::AsksPassword
                             && (end = heard.find("\r\n\r\n")) != heard.npos;) {
                heardPassword_ = heardPassword_ || heard.find("Authorization:") < end;
                heard.erase(0, end + 4);
                const char refusal[] = "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic "
                                       "realm=\"CUPS\"\r\nContent-Length: 0\r\n\r\n";
                sendAll(client, refusal, sizeof refusal - 1);
            }
            if (upstream >= 0 && heard.find("%PDF") != heard.npos) {
                close(upstream); // the page never reaches CUPS, and no answer comes back
                upstream = -1;
            } else if (upstream >= 0) {
                sendAll(upstream, buffer, size_t(got));
                heard.erase(0, heard.size() - std::min<size_t>(heard.size(), 3));
            }
        }
        close(upstream);
        close(client);
    }

    Mode mode_;
    Clock::time_point ends_;
    int listener_ = socket(AF_INET, SOCK_STREAM, 0);
    int queued_ = socket(AF_INET, SOCK_STREAM, 0);
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::atomic<bool> heardPassword_{false};
    std::vector<std::thread> clients_;
    std::thread acceptor_;
};
