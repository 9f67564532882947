#include "platform/UdpReceiver.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <cerrno>
#include <cstring>

#include "platform/FileSystem.h"

namespace orvanta {
namespace {

std::optional<Datagram> waitFor(IUdpReceiver& receiver) {
  pollfd watch{receiver.descriptor(), POLLIN, 0};
  if (::poll(&watch, 1, 2000) != 1) return std::nullopt;
  return receiver.receive();
}

TEST(UdpReceiver, LoopbackDatagramArrivesWhole) {
  const auto receiver = listenUdp("127.0.0.1", 0);
  const auto sender = listenUdp("127.0.0.1", 0);
  ASSERT_NE(receiver->port(), 0);
  EXPECT_FALSE(receiver->receive());  // nothing waits: no block
  std::vector<std::uint8_t> bytes(1000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  sender->sendTo(bytes, "127.0.0.1", receiver->port());
  const auto got = waitFor(*receiver);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->bytes, bytes);
  EXPECT_EQ(got->senderAddress, "127.0.0.1");
  EXPECT_EQ(got->senderPort, sender->port());
}

TEST(UdpReceiver, TakenPortAndForeignAddressAreRefusedWithAReason) {
  const auto first = listenUdp("127.0.0.1", 0);
  try {
    listenUdp("127.0.0.1", first->port());
    FAIL() << "a port in use was taken twice";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), std::strerror(EADDRINUSE));
  }
  EXPECT_THROW(listenUdp("192.0.2.1", 0), FileError);  // documentation range, never local
  EXPECT_THROW(listenUdp("127.0.0.300", 0), FileError);
  EXPECT_TRUE(isMulticastAddress("239.255.0.1"));
  EXPECT_FALSE(isMulticastAddress("240.0.0.1"));
  EXPECT_TRUE(isLocalAddress("127.3.2.1"));
}

}  // namespace
}  // namespace orvanta
