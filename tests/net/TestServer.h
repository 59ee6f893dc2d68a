#pragma once

#include "files/GbkText.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace palvina::test {

// A real HTTP server on 127.0.0.1 for the download tests. It listens on a free port, answers
// GET requests from its own thread pool and keeps a log of every request it received.
//
// Paths are given and logged in UTF-8 with a leading '/' ("/PalvinaDown/Images/风景.jpg"). The
// client sends the GBK bytes of a name percent-encoded; the server decodes them and the log
// shows them converted back to UTF-8, so a name that went out in any other form does not match.
// Paths without a registered file or handler get 404. The destructor stops and joins.
class TestServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    TestServer()
    {
        server_.set_keep_alive_timeout(1);
        server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            dispatch(req, res);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) {
            throw std::runtime_error("test server: cannot bind a port on 127.0.0.1");
        }
        // The socket already listens: connections made before the thread accepts them queue.
        thread_ = std::thread([this] {
            server_.listen_after_bind();
            loopEnded_ = true;
        });
        // stop() does nothing before the accept loop runs, so a server destroyed at once would
        // never end: wait until the loop runs (or has already given up).
        while (!server_.is_running() && !loopEnded_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (!server_.is_running()) {
            thread_.join();
            throw std::runtime_error("test server: the accept loop did not start");
        }
    }

    ~TestServer()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        stopped_.notify_all();
        server_.stop();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return port_; }

    // "http://127.0.0.1:<port>/", the form SetServerBasesForTesting takes.
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

    // Answers GET `utf8Path` with status 200 and `body`.
    void serve(const std::string& utf8Path, std::string body)
    {
        std::string bytes = std::move(body);
        handle(utf8Path, [bytes](const httplib::Request&, httplib::Response& res) {
            res.set_content(bytes, "application/octet-stream");
        });
    }

    // Answers GET `utf8Path` with `handler` (called on a server thread).
    void handle(const std::string& utf8Path, Handler handler)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handlers_[Utf8ToGbk(utf8Path)] = std::move(handler);
    }

    // Every request path so far, in arrival order, UTF-8 with the leading '/'.
    std::vector<std::string> requests() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // Every request target exactly as it arrived, still percent-encoded and with its query
    // ("/PalvinaDown/%B7%E7.jpg", "/count.html?123").
    std::vector<std::string> targets() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return targets_;
    }

    // How many times `utf8Path` was requested.
    std::size_t count(const std::string& utf8Path) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t n = 0;
        for (const std::string& path : requests_) {
            n += path == utf8Path ? 1 : 0;
        }
        return n;
    }

    // Waits until at least `n` requests have arrived or `timeout` has passed; true when they did.
    bool waitForRequests(std::size_t n, std::chrono::milliseconds timeout) const
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return arrived_.wait_for(lock, timeout, [&] { return requests_.size() >= n; });
    }

    // For handlers that hold a connection open (a stalled body): sleeps until `timeout` has
    // passed or the server is being destroyed, so a test never waits on a sleeping handler.
    void sleepUnlessStopping(std::chrono::milliseconds timeout) const
    {
        std::unique_lock<std::mutex> lock(mutex_);
        stopped_.wait_for(lock, timeout, [&] { return stopping_; });
    }

private:
    void dispatch(const httplib::Request& req, httplib::Response& res)
    {
        Handler handler;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const std::string path = GbkToUtf8(req.path);
            requests_.push_back(path);
            targets_.push_back(req.target);
            auto it = handlers_.find(req.path);
            if (it != handlers_.end()) {
                handler = it->second;
            }
        }
        arrived_.notify_all();
        if (handler) {
            handler(req, res);
        } else {
            res.status = 404;
            res.set_content("not found", "text/plain");
        }
    }

    httplib::Server server_;
    std::thread thread_;
    std::atomic<bool> loopEnded_{false};
    int port_ = 0;

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    mutable std::condition_variable stopped_;
    bool stopping_ = false;
    std::map<std::string, Handler> handlers_;  // keyed by the GBK bytes of the path
    std::vector<std::string> requests_;
    std::vector<std::string> targets_;  // raw, as sent
};

} // namespace palvina::test
