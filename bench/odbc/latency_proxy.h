// A TCP proxy on loopback that puts a distance between a client and a
// server: every byte waits a set delay in each direction, as across a site
// network or a WAN, and the request/response turns are counted (a turn
// starts when the client sends after the server has answered).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace mirdane::bench {

class LatencyProxy {
 public:
  // Listens on a free loopback port and forwards each connection to
  // 127.0.0.1:`server_port`. Throws std::runtime_error when it cannot listen.
  explicit LatencyProxy(int server_port);
  // Stops listening and ends every connection.
  ~LatencyProxy();
  LatencyProxy(const LatencyProxy&) = delete;
  LatencyProxy& operator=(const LatencyProxy&) = delete;

  int port() const { return port_; }
  // The delay each way, for data that arrives from now on.
  void SetDelay(std::chrono::microseconds delay) { delay_us_ = delay.count(); }
  // Request/response turns over all connections since the proxy started.
  std::uint64_t turns() const { return turns_.load(); }

 private:
  struct Link;
  void Accept();
  void Pump(std::shared_ptr<Link> link, bool to_server);

  int server_port_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<std::int64_t> delay_us_{0};
  std::atomic<std::uint64_t> turns_{0};
  std::thread acceptor_;
  std::mutex mutex_;
  std::vector<std::shared_ptr<Link>> links_;
  std::vector<std::thread> pumps_;
};

}  // namespace mirdane::bench
