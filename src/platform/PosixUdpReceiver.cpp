// IUdpReceiver over a POSIX datagram socket.

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/FileSystem.h"
#include "platform/UdpReceiver.h"

namespace orvanta {
namespace {

// The largest datagram UDP over IPv4 can carry.
constexpr std::size_t kMaxDatagram = 65'507;

std::optional<in_addr> parseAddress(const std::string& address) {
  in_addr out{};
  if (inet_pton(AF_INET, address.c_str(), &out) != 1) return std::nullopt;
  return out;
}

[[noreturn]] void fail(const std::string& what, int error) {
  throw FileError(what + ": " + std::strerror(error));
}

class PosixUdpReceiver final : public IUdpReceiver {
 public:
  explicit PosixUdpReceiver(int fd) : fd_(fd) {}
  ~PosixUdpReceiver() override { ::close(fd_); }
  PosixUdpReceiver(const PosixUdpReceiver&) = delete;
  PosixUdpReceiver& operator=(const PosixUdpReceiver&) = delete;

  [[nodiscard]] int descriptor() const override { return fd_; }

  [[nodiscard]] std::uint16_t port() const override {
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return 0;
    return ntohs(bound.sin_port);
  }

  std::optional<Datagram> receive() override {
    buffer_.resize(kMaxDatagram);
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t got = ::recvfrom(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                                   reinterpret_cast<sockaddr*>(&from), &length);
    if (got < 0) return std::nullopt;
    Datagram datagram;
    datagram.bytes.assign(buffer_.begin(), buffer_.begin() + got);
    std::array<char, INET_ADDRSTRLEN> text{};
    inet_ntop(AF_INET, &from.sin_addr, text.data(), text.size());
    datagram.senderAddress = text.data();
    datagram.senderPort = ntohs(from.sin_port);
    return datagram;
  }

  void sendTo(const std::vector<std::uint8_t>& bytes, const std::string& address,
              std::uint16_t port) override {
    const auto to = parseAddress(address);
    if (!to) throw FileError("not an IPv4 address: " + address);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr = *to;
    target.sin_port = htons(port);
    if (::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&target),
                 sizeof target) < 0) {
      fail("sendto " + address + ":" + std::to_string(port), errno);
    }
  }

 private:
  int fd_;
  std::vector<std::uint8_t> buffer_;
};

// Joins the group on every IPv4 interface that can take multicast; true
// when at least one joined.
bool joinEverywhere(int fd, const in_addr& group) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool joined = false;
  for (const ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
    if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_INET) continue;
    if ((item->ifa_flags & IFF_UP) == 0) continue;
    ip_mreq request{};
    request.imr_multiaddr = group;
    request.imr_interface = reinterpret_cast<const sockaddr_in*>(item->ifa_addr)->sin_addr;
    if (setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) == 0) joined = true;
  }
  freeifaddrs(list);
  return joined;
}

}  // namespace

bool isMulticastAddress(const std::string& address) {
  const auto parsed = parseAddress(address);
  return parsed && (ntohl(parsed->s_addr) >> 28) == 0xE;
}

bool isLocalAddress(const std::string& address) {
  const auto parsed = parseAddress(address);
  if (!parsed) return false;
  if ((ntohl(parsed->s_addr) >> 24) == 127) return true;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool found = false;
  for (const ifaddrs* item = list; item != nullptr && !found; item = item->ifa_next) {
    if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_INET) continue;
    found = reinterpret_cast<const sockaddr_in*>(item->ifa_addr)->sin_addr.s_addr == parsed->s_addr;
  }
  freeifaddrs(list);
  return found;
}

std::unique_ptr<IUdpReceiver> listenUdp(const std::string& address, std::uint16_t port) {
  const auto parsed = parseAddress(address);
  if (!parsed) throw FileError("not an IPv4 address: " + address);
  const bool multicast = isMulticastAddress(address);
  if (!multicast && !isLocalAddress(address)) throw FileError(address + " is not an address of this machine");
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) fail("socket", errno);
  auto receiver = std::make_unique<PosixUdpReceiver>(fd);
  if (multicast) {
    // Loggers listen to the same group and port beside us.
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  // Bound to the group itself, the socket takes only what is sent to it.
  local.sin_addr.s_addr = parsed->s_addr;
  local.sin_port = htons(port);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    // The caller names address and port; the reason is the system's.
    throw FileError(std::strerror(errno));
  }
  if (multicast && !joinEverywhere(fd, *parsed)) fail("joining " + address, errno);
  return receiver;
}

}  // namespace orvanta
