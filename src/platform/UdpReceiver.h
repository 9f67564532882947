#pragma once

// A UDP socket that listens for datagrams on an IPv4 address: a unicast
// address of this machine, or a multicast group joined on every interface
// with the address shared, so that other programs can listen beside it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

struct Datagram {
  std::vector<std::uint8_t> bytes;
  std::string senderAddress;  // dotted IPv4
  std::uint16_t senderPort = 0;
};

class IUdpReceiver {
 public:
  virtual ~IUdpReceiver() = default;
  // The descriptor to watch for reading (poll, QSocketNotifier).
  [[nodiscard]] virtual int descriptor() const = 0;
  // The port listened on (the one taken when 0 was asked for).
  [[nodiscard]] virtual std::uint16_t port() const = 0;
  // The next waiting datagram; nothing when none waits. Never blocks.
  virtual std::optional<Datagram> receive() = 0;
  // Sends a datagram to an address and port; throws FileError on failure.
  virtual void sendTo(const std::vector<std::uint8_t>& bytes, const std::string& address,
                      std::uint16_t port) = 0;
};

// Tells the form when a socket has something to read, from the event loop.
class ISocketWatcher {
 public:
  virtual ~ISocketWatcher() = default;
  // Calls readable whenever the descriptor can be read; replaces any watch before.
  virtual void watch(int descriptor, std::function<void()> readable) = 0;
  virtual void unwatch() = 0;
};

// True for 224.0.0.0 to 239.255.255.255.
bool isMulticastAddress(const std::string& address);
// True for an address of the loopback range or of one of this machine's interfaces.
bool isLocalAddress(const std::string& address);

// Starts listening; throws FileError with the reason (port taken, address
// not of this machine, no such address).
std::unique_ptr<IUdpReceiver> listenUdp(const std::string& address, std::uint16_t port);

}  // namespace orvanta
