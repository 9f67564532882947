#pragma once

// The messages WSJT-X (and JTDX) send to programs that listen beside them:
// a Qt data stream, big-endian, behind the magic number 0xadbccbda and a
// schema number. Strings are UTF-8 byte arrays with a 32-bit length, where
// 0xffffffff is the null string. Readers take what a message needs and every
// later field that is there; a message may end after any of those, never
// inside one, and fields newer versions add at the end are passed over.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvanta::link {

inline constexpr std::uint32_t kMagic = 0xadbccbda;
inline constexpr std::uint32_t kLowestSchema = 2;
inline constexpr std::uint32_t kHighestSchema = 3;

enum class MessageType : std::uint32_t {
  Heartbeat = 0,
  Status = 1,
  Decode = 2,
  QsoLogged = 5,
  Close = 6,
  LoggedAdif = 12,
  HighlightCallsign = 13,
};

// A QDateTime as the stream holds it: Julian day, milliseconds since
// midnight and timeSpec (0 local, 1 UTC, 2 offset from UTC, 3 zone).
struct DateTime {
  std::int64_t julianDay = 0;
  std::uint32_t msecs = 0;
  std::uint8_t timeSpec = 1;
  std::int32_t offsetSeconds = 0;  // timeSpec 2
  std::string zone;                // timeSpec 3

  // "YYYY-MM-DD" and "HH:MM:SS" as wsjtx.log writes them.
  [[nodiscard]] std::string dateText() const;
  [[nodiscard]] std::string timeText() const;
};

struct Heartbeat {
  std::string id;
  std::uint32_t maxSchema = 0;
  std::string version;
  std::string revision;
};

struct Status {
  std::string id;
  std::uint64_t dialFrequency = 0;  // Hz
  std::string mode;
  std::string dxCall;
  std::string report;
  std::string txMode;
  bool txEnabled = false;
  bool transmitting = false;
  bool decoding = false;
  std::uint32_t rxDf = 0;
  std::uint32_t txDf = 0;
  std::string deCall;
  std::string deGrid;
  std::string dxGrid;
  // Optional from here on.
  bool txWatchdog = false;
  std::string subMode;
  bool fastMode = false;
  std::uint8_t specialOperationMode = 0;  // JTDX: its "Tx first" flag
  std::uint32_t frequencyTolerance = 0;
  std::uint32_t trPeriod = 0;
  std::string configurationName;
  std::string txMessage;
};

struct Decode {
  std::string id;
  bool isNew = false;
  std::uint32_t time = 0;  // ms since midnight
  std::int32_t snr = 0;
  double deltaTime = 0;
  std::uint32_t deltaFrequency = 0;
  std::string mode;
  std::string message;
  bool lowConfidence = false;
  bool offAir = false;
};

struct QsoLogged {
  std::string id;
  DateTime timeOff;
  std::string dxCall;
  std::string dxGrid;
  std::uint64_t txFrequency = 0;  // Hz
  std::string mode;
  std::string reportSent;
  std::string reportReceived;
  std::string txPower;
  std::string comments;
  std::string name;
  DateTime timeOn;
  // Optional from here on.
  std::string operatorCall;
  std::string myCall;
  std::string myGrid;
  std::string exchangeSent;
  std::string exchangeReceived;
  std::string propagationMode;
};

struct Close {
  std::string id;
};

struct LoggedAdif {
  std::string id;
  std::string adif;
};

// A datagram that was not read, with the reason ("schema 7", "Status cut
// short in DX grid").
struct Ignored {
  std::string reason;
};

using Message = std::variant<Heartbeat, Status, Decode, QsoLogged, Close, LoggedAdif, Ignored>;

// Reads one datagram. Never throws for what the bytes hold; never holds
// more than the datagram's own size.
Message readMessage(std::span<const std::uint8_t> datagram);

// A colour as QColor streams it; an invalid colour clears a highlight.
struct Colour {
  bool valid = false;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// Writes datagrams as WSJT-X does. Each field's end is remembered, so that a
// test can cut the datagram at every field border.
class DatagramWriter {
 public:
  DatagramWriter(MessageType type, std::string_view id, std::uint32_t schema = kHighestSchema);

  DatagramWriter& u8(std::uint8_t value);
  DatagramWriter& u32(std::uint32_t value);
  DatagramWriter& i32(std::int32_t value);
  DatagramWriter& u64(std::uint64_t value);
  DatagramWriter& i64(std::int64_t value);
  DatagramWriter& boolean(bool value);
  DatagramWriter& real(double value);
  DatagramWriter& utf8(std::string_view text);
  DatagramWriter& nullUtf8();
  DatagramWriter& dateTime(const DateTime& value);
  DatagramWriter& colour(const Colour& value);

  [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  // The end of the header and of every field written after it, in order.
  [[nodiscard]] const std::vector<std::size_t>& fieldEnds() const { return ends_; }

 private:
  void raw(std::uint64_t value, int bytes);
  void mark() { ends_.push_back(bytes_.size()); }
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> ends_;
};

// Whole messages with every field the newest schema knows; optionalFields
// limits how many of the optional ones are written (all by default).
DatagramWriter encodeHeartbeat(const Heartbeat& message, std::uint32_t schema = kHighestSchema,
                               std::size_t optionalFields = 99);
DatagramWriter encodeStatus(const Status& message, std::uint32_t schema = kHighestSchema,
                            std::size_t optionalFields = 99);
DatagramWriter encodeDecode(const Decode& message, std::uint32_t schema = kHighestSchema,
                            std::size_t optionalFields = 99);
DatagramWriter encodeQsoLogged(const QsoLogged& message, std::uint32_t schema = kHighestSchema,
                               std::size_t optionalFields = 99);
DatagramWriter encodeClose(const Close& message, std::uint32_t schema = kHighestSchema);
DatagramWriter encodeLoggedAdif(const LoggedAdif& message, std::uint32_t schema = kHighestSchema);

// Highlight Callsign: colours a call in WSJT-X's band activity. With
// highlightLast false the colour stays for the call's later decodes too.
std::vector<std::uint8_t> encodeHighlightCallsign(std::string_view id, std::string_view call,
                                                  const Colour& background, const Colour& foreground,
                                                  bool highlightLast);
// The same message with invalid colours: takes a call's highlight away.
std::vector<std::uint8_t> encodeClearHighlight(std::string_view id, std::string_view call);

// The DX call as the program looks it up: trimmed, upper-cased, the angle
// brackets of a hashed call removed.
std::string cleanCall(std::string_view call);

}  // namespace orvanta::link
