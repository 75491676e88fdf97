#include "bench/odbc/latency_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>

namespace mirdane::bench {
namespace {

using Clock = std::chrono::steady_clock;

int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void NoDelay(int fd) {
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = send(fd, data, size, MSG_NOSIGNAL);
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

// One client connection and its connection to the server. Each direction
// has a reader, which stamps what arrives, and a writer, which hands it on
// once the delay has passed, so that a long message is not delayed once per
// piece.
struct LatencyProxy::Link {
  int client = -1;
  int server = -1;
  std::mutex mutex;
  std::condition_variable arrived;
  struct Piece {
    Clock::time_point due;
    std::string bytes;
    bool last = false;  // the sender closed its side
  };
  std::deque<Piece> queues[2];  // [0] to the client, [1] to the server
  bool ended = false;
  bool server_spoke_last = true;

  void End() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      ended = true;
    }
    arrived.notify_all();
    shutdown(client, SHUT_RDWR);
    shutdown(server, SHUT_RDWR);
  }
  ~Link() {
    if (client >= 0) close(client);
    if (server >= 0) close(server);
  }
};

LatencyProxy::LatencyProxy(int server_port) : server_port_(server_port) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listener_ < 0) throw std::runtime_error("latency proxy: no socket");
  const int on = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(listener_);
    throw std::runtime_error("latency proxy: cannot listen on loopback");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

LatencyProxy::~LatencyProxy() {
  stopping_ = true;
  shutdown(listener_, SHUT_RDWR);
  close(listener_);
  acceptor_.join();
  std::vector<std::thread> pumps;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& link : links_) link->End();
    pumps.swap(pumps_);
  }
  for (auto& pump : pumps) pump.join();
}

void LatencyProxy::Accept() {
  while (!stopping_) {
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) {
      if (stopping_) return;
      continue;
    }
    auto link = std::make_shared<Link>();
    link->client = client;
    link->server = Connect(server_port_);
    if (link->server < 0) continue;  // the client sees its connection end
    NoDelay(link->client);
    NoDelay(link->server);
    std::lock_guard<std::mutex> lock(mutex_);
    links_.push_back(link);
    pumps_.emplace_back([this, link] { Pump(link, true); });
    pumps_.emplace_back([this, link] { Pump(link, false); });
  }
}

void LatencyProxy::Pump(std::shared_ptr<Link> link, bool to_server) {
  const int from = to_server ? link->client : link->server;
  const int to = to_server ? link->server : link->client;
  auto& queue = link->queues[to_server ? 1 : 0];
  std::thread writer([&] {
    for (;;) {
      Link::Piece piece;
      {
        std::unique_lock<std::mutex> lock(link->mutex);
        link->arrived.wait(lock, [&] { return link->ended || !queue.empty(); });
        if (queue.empty()) return;
        piece = std::move(queue.front());
        queue.pop_front();
      }
      if (piece.last) {
        shutdown(to, SHUT_WR);
        return;
      }
      std::this_thread::sleep_until(piece.due);
      if (!WriteAll(to, piece.bytes.data(), piece.bytes.size())) {
        link->End();
        return;
      }
    }
  });
  char buffer[65536];
  for (;;) {
    const ssize_t got = recv(from, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    const auto due = Clock::now() + std::chrono::microseconds(delay_us_.load());
    std::lock_guard<std::mutex> lock(link->mutex);
    if (to_server && link->server_spoke_last) ++turns_;
    link->server_spoke_last = !to_server;
    queue.push_back({due, std::string(buffer, static_cast<std::size_t>(got))});
    link->arrived.notify_all();
  }
  // What arrived is still delivered; then the other side hears the end.
  {
    std::lock_guard<std::mutex> lock(link->mutex);
    queue.push_back({Clock::now(), {}, true});
  }
  link->arrived.notify_all();
  writer.join();
}

}  // namespace mirdane::bench
