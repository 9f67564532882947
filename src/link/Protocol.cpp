#include "link/Protocol.h"

#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <utility>

#include "records/Text.h"

namespace orvanta::link {
namespace {

constexpr std::uint32_t kNullLength = 0xffffffff;
constexpr std::int64_t kMsPerDay = 86'400'000;
// Julian days WSJT-X can send: years 1 to 9999.
constexpr std::int64_t kFirstDay = 1'721'426;
constexpr std::int64_t kLastDay = 5'373'484;

// A datagram that cannot be read; the reason is what the station window and
// orvanta-bench show.
struct Unreadable {
  std::string reason;
};

// Reads the fields of one message in turn; any fault is thrown as Unreadable
// naming the message and the field.
class FieldReader {
 public:
  FieldReader(std::span<const std::uint8_t> bytes, std::string_view message)
      : bytes_(bytes), message_(message) {}

  [[nodiscard]] bool atEnd() const { return pos_ == bytes_.size(); }

  std::uint64_t number(int size, std::string_view field) {
    take(static_cast<std::size_t>(size), field);
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | bytes_[pos_ - static_cast<std::size_t>(size - i)];
    return value;
  }
  std::uint8_t u8(std::string_view field) { return static_cast<std::uint8_t>(number(1, field)); }
  std::uint32_t u32(std::string_view field) { return static_cast<std::uint32_t>(number(4, field)); }
  std::int32_t i32(std::string_view field) { return static_cast<std::int32_t>(u32(field)); }
  std::uint64_t u64(std::string_view field) { return number(8, field); }
  bool boolean(std::string_view field) { return u8(field) != 0; }
  double real(std::string_view field) { return std::bit_cast<double>(u64(field)); }

  std::string utf8(std::string_view field) {
    const std::uint32_t length = u32(field);
    if (length == kNullLength) return {};
    if (length > bytes_.size() - pos_) fail("length of " + std::string(field) + " beyond the datagram");
    const auto* start = bytes_.data() + pos_;
    pos_ += length;
    return {reinterpret_cast<const char*>(start), length};
  }

  DateTime dateTime(std::string_view field) {
    DateTime value;
    value.julianDay = static_cast<std::int64_t>(u64(field));
    value.msecs = u32(field);
    value.timeSpec = u8(field);
    if (value.timeSpec == 2) value.offsetSeconds = i32(field);
    if (value.timeSpec == 3) value.zone = utf8(field);
    return value;
  }

  [[noreturn]] void fail(const std::string& what) const {
    throw Unreadable{std::string(message_) + ": " + what};
  }

 private:
  void take(std::size_t size, std::string_view field) {
    if (atEnd()) fail("no " + std::string(field));
    if (bytes_.size() - pos_ < size) fail(std::string(field) + " cut short");
    pos_ += size;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  std::string_view message_;
};

Heartbeat readHeartbeat(FieldReader& in, std::string id) {
  Heartbeat m;
  m.id = std::move(id);
  if (in.atEnd()) return m;
  m.maxSchema = in.u32("maximum schema");
  if (in.atEnd()) return m;
  m.version = in.utf8("version");
  if (in.atEnd()) return m;
  m.revision = in.utf8("revision");
  return m;
}

Status readStatus(FieldReader& in, std::string id) {
  Status m;
  m.id = std::move(id);
  m.dialFrequency = in.u64("dial frequency");
  m.mode = in.utf8("mode");
  m.dxCall = in.utf8("DX call");
  m.report = in.utf8("report");
  m.txMode = in.utf8("Tx mode");
  m.txEnabled = in.boolean("Tx enabled");
  m.transmitting = in.boolean("transmitting");
  m.decoding = in.boolean("decoding");
  m.rxDf = in.u32("Rx DF");
  m.txDf = in.u32("Tx DF");
  m.deCall = in.utf8("DE call");
  m.deGrid = in.utf8("DE grid");
  m.dxGrid = in.utf8("DX grid");
  if (in.atEnd()) return m;
  m.txWatchdog = in.boolean("Tx watchdog");
  if (in.atEnd()) return m;
  m.subMode = in.utf8("sub-mode");
  if (in.atEnd()) return m;
  m.fastMode = in.boolean("fast mode");
  if (in.atEnd()) return m;
  m.specialOperationMode = in.u8("special operation mode");
  if (in.atEnd()) return m;
  m.frequencyTolerance = in.u32("frequency tolerance");
  if (in.atEnd()) return m;
  m.trPeriod = in.u32("T/R period");
  if (in.atEnd()) return m;
  m.configurationName = in.utf8("configuration name");
  if (in.atEnd()) return m;
  m.txMessage = in.utf8("Tx message");
  return m;
}

Decode readDecode(FieldReader& in, std::string id) {
  Decode m;
  m.id = std::move(id);
  m.isNew = in.boolean("new");
  m.time = in.u32("time");
  m.snr = in.i32("SNR");
  m.deltaTime = in.real("delta time");
  m.deltaFrequency = in.u32("delta frequency");
  m.mode = in.utf8("mode");
  m.message = in.utf8("message");
  if (in.atEnd()) return m;
  m.lowConfidence = in.boolean("low confidence");
  if (in.atEnd()) return m;
  m.offAir = in.boolean("off air");
  return m;
}

QsoLogged readQsoLogged(FieldReader& in, std::string id) {
  QsoLogged m;
  m.id = std::move(id);
  m.timeOff = in.dateTime("time off");
  m.dxCall = in.utf8("DX call");
  m.dxGrid = in.utf8("DX grid");
  m.txFrequency = in.u64("Tx frequency");
  m.mode = in.utf8("mode");
  m.reportSent = in.utf8("report sent");
  m.reportReceived = in.utf8("report received");
  m.txPower = in.utf8("Tx power");
  m.comments = in.utf8("comments");
  m.name = in.utf8("name");
  m.timeOn = in.dateTime("time on");
  const std::array<std::string*, 6> optional = {&m.operatorCall, &m.myCall,           &m.myGrid,
                                                &m.exchangeSent, &m.exchangeReceived, &m.propagationMode};
  static constexpr std::array<std::string_view, 6> kNames = {
      "operator call", "my call", "my grid", "exchange sent", "exchange received", "propagation mode"};
  for (std::size_t i = 0; i < optional.size() && !in.atEnd(); ++i) *optional[i] = in.utf8(kNames[i]);
  return m;
}

Message readBody(FieldReader& in, std::uint32_t type, std::string id) {
  switch (static_cast<MessageType>(type)) {
    case MessageType::Heartbeat:
      return readHeartbeat(in, std::move(id));
    case MessageType::Status:
      return readStatus(in, std::move(id));
    case MessageType::Decode:
      return readDecode(in, std::move(id));
    case MessageType::QsoLogged:
      return readQsoLogged(in, std::move(id));
    case MessageType::Close: {
      Close close;
      close.id = std::move(id);
      return close;
    }
    case MessageType::LoggedAdif: {
      LoggedAdif adif;
      adif.id = std::move(id);
      adif.adif = in.utf8("ADIF text");
      return adif;
    }
    case MessageType::HighlightCallsign:
      break;
  }
  return Ignored{"message type " + std::to_string(type)};
}

std::string_view messageName(std::uint32_t type) {
  static constexpr auto kNames = std::to_array<std::string_view>(
      {"Heartbeat", "Status", "Decode", "Clear", "Reply", "QSO Logged", "Close"});
  if (type < kNames.size()) return kNames[type];
  return type == 12 ? "Logged ADIF" : "Message";
}

std::string twoDigits(std::int64_t value) {
  std::array<char, 24> text{};
  std::snprintf(text.data(), text.size(), "%02lld", static_cast<long long>(value));
  return text.data();
}

// Milliseconds since Julian day 0 in UTC; nothing for dates WSJT-X never sends.
std::optional<std::int64_t> utcMs(const DateTime& value) {
  if (value.julianDay < kFirstDay || value.julianDay > kLastDay || value.msecs >= kMsPerDay)
    return std::nullopt;
  std::int64_t ms = value.julianDay * kMsPerDay + value.msecs;
  if (value.timeSpec == 2) ms -= std::int64_t{value.offsetSeconds} * 1000;
  return ms;
}

}  // namespace

std::string DateTime::dateText() const {
  const auto ms = utcMs(*this);
  if (!ms) return {};
  // Julian day to the Gregorian calendar.
  const std::int64_t a = *ms / kMsPerDay + 32044;
  const std::int64_t b = (4 * a + 3) / 146097;
  const std::int64_t c = a - 146097 * b / 4;
  const std::int64_t d = (4 * c + 3) / 1461;
  const std::int64_t e = c - 1461 * d / 4;
  const std::int64_t m = (5 * e + 2) / 153;
  const std::int64_t day = e - (153 * m + 2) / 5 + 1;
  const std::int64_t month = m + 3 - 12 * (m / 10);
  const std::int64_t year = 100 * b + d - 4800 + m / 10;
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%04lld-", static_cast<long long>(year));
  return text.data() + twoDigits(month) + "-" + twoDigits(day);
}

std::string DateTime::timeText() const {
  const auto ms = utcMs(*this);
  if (!ms) return {};
  const std::int64_t seconds = (*ms % kMsPerDay) / 1000;
  return twoDigits(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" + twoDigits(seconds % 60);
}

Message readMessage(std::span<const std::uint8_t> datagram) {
  FieldReader header(datagram, "Datagram");
  try {
    if (header.u32("magic number") != kMagic) return Ignored{"not a WSJT-X datagram (magic number)"};
    const std::uint32_t schema = header.u32("schema");
    if (schema < kLowestSchema || schema > kHighestSchema) return Ignored{"schema " + std::to_string(schema)};
  } catch (const Unreadable& e) {
    return Ignored{e.reason};
  }
  const auto body = datagram.subspan(8);
  std::uint32_t type = 0;
  try {
    FieldReader in(body, "Datagram");
    type = in.u32("message type");
    FieldReader message(body.subspan(4), messageName(type));
    std::string id = message.utf8("Id");
    return readBody(message, type, std::move(id));
  } catch (const Unreadable& e) {
    return Ignored{e.reason};
  }
}

DatagramWriter::DatagramWriter(MessageType type, std::string_view id, std::uint32_t schema) {
  raw(kMagic, 4);
  raw(schema, 4);
  raw(static_cast<std::uint32_t>(type), 4);
  utf8(id);
}

void DatagramWriter::raw(std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

DatagramWriter& DatagramWriter::u8(std::uint8_t value) {
  raw(value, 1);
  mark();
  return *this;
}
DatagramWriter& DatagramWriter::u32(std::uint32_t value) {
  raw(value, 4);
  mark();
  return *this;
}
DatagramWriter& DatagramWriter::i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
DatagramWriter& DatagramWriter::u64(std::uint64_t value) {
  raw(value, 8);
  mark();
  return *this;
}
DatagramWriter& DatagramWriter::i64(std::int64_t value) { return u64(static_cast<std::uint64_t>(value)); }
DatagramWriter& DatagramWriter::boolean(bool value) { return u8(value ? 1 : 0); }
DatagramWriter& DatagramWriter::real(double value) { return u64(std::bit_cast<std::uint64_t>(value)); }
DatagramWriter& DatagramWriter::utf8(std::string_view text) {
  raw(text.size(), 4);
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  mark();
  return *this;
}
DatagramWriter& DatagramWriter::nullUtf8() { return u32(kNullLength); }

DatagramWriter& DatagramWriter::dateTime(const DateTime& value) {
  raw(static_cast<std::uint64_t>(value.julianDay), 8);
  raw(value.msecs, 4);
  raw(value.timeSpec, 1);
  if (value.timeSpec == 2) raw(static_cast<std::uint32_t>(value.offsetSeconds), 4);
  if (value.timeSpec == 3) {
    raw(value.zone.size(), 4);
    bytes_.insert(bytes_.end(), value.zone.begin(), value.zone.end());
  }
  mark();
  return *this;
}

DatagramWriter& DatagramWriter::colour(const Colour& value) {
  // QColor: colour kind (0 invalid, 1 RGB), then alpha, red, green, blue and a pad
  // as 16-bit values; 8-bit values are repeated in both bytes.
  raw(value.valid ? 1 : 0, 1);
  raw(0xffff, 2);
  for (const std::uint8_t c : {value.red, value.green, value.blue}) raw(value.valid ? c * 0x101U : 0U, 2);
  raw(0, 2);
  mark();
  return *this;
}

DatagramWriter encodeHeartbeat(const Heartbeat& m, std::uint32_t schema, std::size_t optionalFields) {
  DatagramWriter out(MessageType::Heartbeat, m.id, schema);
  if (optionalFields > 0) out.u32(m.maxSchema);
  if (optionalFields > 1) out.utf8(m.version);
  if (optionalFields > 2) out.utf8(m.revision);
  return out;
}

DatagramWriter encodeStatus(const Status& m, std::uint32_t schema, std::size_t optionalFields) {
  DatagramWriter out(MessageType::Status, m.id, schema);
  out.u64(m.dialFrequency).utf8(m.mode).utf8(m.dxCall).utf8(m.report).utf8(m.txMode);
  out.boolean(m.txEnabled).boolean(m.transmitting).boolean(m.decoding).u32(m.rxDf).u32(m.txDf);
  out.utf8(m.deCall).utf8(m.deGrid).utf8(m.dxGrid);
  std::size_t n = 0;
  if (n++ < optionalFields) out.boolean(m.txWatchdog);
  if (n++ < optionalFields) out.utf8(m.subMode);
  if (n++ < optionalFields) out.boolean(m.fastMode);
  if (n++ < optionalFields) out.u8(m.specialOperationMode);
  if (n++ < optionalFields) out.u32(m.frequencyTolerance);
  if (n++ < optionalFields) out.u32(m.trPeriod);
  if (n++ < optionalFields) out.utf8(m.configurationName);
  if (n++ < optionalFields) out.utf8(m.txMessage);
  return out;
}

DatagramWriter encodeDecode(const Decode& m, std::uint32_t schema, std::size_t optionalFields) {
  DatagramWriter out(MessageType::Decode, m.id, schema);
  out.boolean(m.isNew).u32(m.time).i32(m.snr).real(m.deltaTime).u32(m.deltaFrequency);
  out.utf8(m.mode).utf8(m.message);
  if (optionalFields > 0) out.boolean(m.lowConfidence);
  if (optionalFields > 1) out.boolean(m.offAir);
  return out;
}

DatagramWriter encodeQsoLogged(const QsoLogged& m, std::uint32_t schema, std::size_t optionalFields) {
  DatagramWriter out(MessageType::QsoLogged, m.id, schema);
  out.dateTime(m.timeOff).utf8(m.dxCall).utf8(m.dxGrid).u64(m.txFrequency).utf8(m.mode);
  out.utf8(m.reportSent).utf8(m.reportReceived).utf8(m.txPower).utf8(m.comments).utf8(m.name);
  out.dateTime(m.timeOn);
  const std::array<const std::string*, 6> optional = {
      &m.operatorCall, &m.myCall, &m.myGrid, &m.exchangeSent, &m.exchangeReceived, &m.propagationMode};
  for (std::size_t i = 0; i < optional.size() && i < optionalFields; ++i) out.utf8(*optional[i]);
  return out;
}

DatagramWriter encodeClose(const Close& m, std::uint32_t schema) {
  return {MessageType::Close, m.id, schema};
}

DatagramWriter encodeLoggedAdif(const LoggedAdif& m, std::uint32_t schema) {
  DatagramWriter out(MessageType::LoggedAdif, m.id, schema);
  out.utf8(m.adif);
  return out;
}

std::vector<std::uint8_t> encodeHighlightCallsign(std::string_view id, std::string_view call,
                                                  const Colour& background, const Colour& foreground,
                                                  bool highlightLast) {
  DatagramWriter out(MessageType::HighlightCallsign, id);
  out.utf8(call).colour(background).colour(foreground).boolean(highlightLast);
  return out.bytes();
}

std::vector<std::uint8_t> encodeClearHighlight(std::string_view id, std::string_view call) {
  return encodeHighlightCallsign(id, call, Colour{}, Colour{}, false);
}

std::string cleanCall(std::string_view call) {
  std::string out;
  for (const char c : trimBlanks(call)) {
    if (c != '<' && c != '>') out.push_back(upperAscii(c));
  }
  return std::string(trimBlanks(out));
}

}  // namespace orvanta::link
