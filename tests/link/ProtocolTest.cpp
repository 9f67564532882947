#include "link/Protocol.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/CaseName.h"

namespace orvanta::link {
namespace {

Status sampleStatus() {
  Status s;
  s.id = "WSJT-X - rig2";
  s.dialFrequency = 144'174'000;
  s.mode = "FT8";
  s.dxCall = "<Q1ABC/P>";
  s.deCall = "Q9ME";
  s.deGrid = "JO31";
  s.dxGrid = "JO22";
  s.rxDf = 1500;
  s.trPeriod = 15;
  s.txMessage = "Q1ABC Q9ME JO31";
  return s;
}

struct Shape {
  std::string name;
  std::uint32_t schema;
  std::size_t optionalFields;
};

class EveryShape : public ::testing::TestWithParam<Shape> {};

// A message read back gives what was written, whichever optional fields it ends after.
TEST_P(EveryShape, ReadsWhatWasWritten) {
  const auto [name, schema, optional] = GetParam();
  const Status status = sampleStatus();
  const auto read = std::get<Status>(readMessage(encodeStatus(status, schema, optional).bytes()));
  EXPECT_EQ(read.dxCall, status.dxCall);
  EXPECT_EQ(read.dxGrid, status.dxGrid);
  EXPECT_EQ(read.dialFrequency, status.dialFrequency);
  EXPECT_EQ(read.trPeriod, optional > 5 ? 15U : 0U);
  EXPECT_EQ(read.txMessage, optional > 7 ? status.txMessage : "");

  Decode decode{"JTDX", true, 3600000, -12, -0.25, 1234, "~", "CQ Q1ABC JO22", true, optional > 1};
  const auto gotDecode = std::get<Decode>(readMessage(encodeDecode(decode, schema, optional).bytes()));
  EXPECT_EQ(gotDecode.message, decode.message);
  EXPECT_EQ(gotDecode.deltaTime, -0.25);
  EXPECT_EQ(gotDecode.snr, -12);
  EXPECT_EQ(gotDecode.offAir, optional > 1);

  QsoLogged qso;
  qso.id = "WSJT-X";
  qso.dxCall = "Q1ABC";
  qso.timeOn = {2'461'384, 3 * 3'600'000 + 61'000, 1, 0, {}};
  qso.timeOff = {2'461'384, 3 * 3'600'000 + 120'000, 2, 3600, {}};
  qso.propagationMode = "EME";
  const auto gotQso = std::get<QsoLogged>(readMessage(encodeQsoLogged(qso, schema, optional).bytes()));
  EXPECT_EQ(gotQso.timeOn.dateText() + " " + gotQso.timeOn.timeText(), "2026-12-09 03:01:01");
  EXPECT_EQ(gotQso.timeOff.timeText(), "02:02:00");  // an hour east of UTC
  EXPECT_EQ(gotQso.propagationMode, optional > 5 ? "EME" : "");

  const auto heartbeat =
      std::get<Heartbeat>(readMessage(encodeHeartbeat({"JTDX", 2, "2.2", "r1"}, schema, optional).bytes()));
  EXPECT_EQ(heartbeat.revision, optional > 2 ? "r1" : "");
  EXPECT_EQ(
      std::get<LoggedAdif>(readMessage(encodeLoggedAdif({"WSJT-X", "<call:5>Q1ABC <eor>"}, schema).bytes()))
          .adif,
      "<call:5>Q1ABC <eor>");
  EXPECT_EQ(std::get<Close>(readMessage(encodeClose({"WSJT-X"}, schema).bytes())).id, "WSJT-X");
}

INSTANTIATE_TEST_SUITE_P(Link, EveryShape,
                         ::testing::Values(Shape{"Schema2Bare", 2, 0}, Shape{"Schema2Jtdx", 2, 4},
                                           Shape{"Schema3Bare", 3, 0}, Shape{"Schema3Some", 3, 3},
                                           Shape{"Schema3Full", 3, 99}),
                         testing::CaseName{});

// A Status cut at every byte is read exactly when it ends after its DX grid
// at a field border, and is never read wrong.
TEST(Protocol, EveryTruncationOfAStatus) {
  for (const std::uint32_t schema : {2U, 3U}) {
    const DatagramWriter writer = encodeStatus(sampleStatus(), schema);
    const auto& ends = writer.fieldEnds();
    const std::size_t needed = ends[13];  // Id and thirteen fields up to the DX grid
    for (std::size_t length = 0; length <= writer.bytes().size(); ++length) {
      const auto message = readMessage(std::span(writer.bytes().data(), length));
      const bool border = std::find(ends.begin(), ends.end(), length) != ends.end();
      const bool readable = length >= needed && border;
      ASSERT_EQ(std::holds_alternative<Status>(message), readable) << length;
      if (readable) {
        EXPECT_EQ(std::get<Status>(message).dxGrid, "JO22");
      }
    }
  }
}

TEST(Protocol, StrangeDatagramsAreIgnoredWithAReason) {
  const DatagramWriter status = encodeStatus(sampleStatus());
  const auto& bytes = status.bytes();
  const auto reason = [](std::vector<std::uint8_t> b) { return std::get<Ignored>(readMessage(b)).reason; };
  auto wrongMagic = bytes;
  wrongMagic[0] = 0;
  EXPECT_EQ(reason(wrongMagic), "not a WSJT-X datagram (magic number)");
  EXPECT_EQ(reason(encodeStatus(sampleStatus(), 4).bytes()), "schema 4");
  EXPECT_EQ(reason(encodeStatus(sampleStatus(), 1).bytes()), "schema 1");
  EXPECT_EQ(reason(DatagramWriter(MessageType::HighlightCallsign, "X").bytes()), "message type 13");
  auto longString = bytes;
  longString[status.fieldEnds()[1]] = 0x7f;  // the Mode's length, after the Id and the frequency
  EXPECT_EQ(reason(longString), "Status: length of mode beyond the datagram");
  // A null string is the empty text.
  DatagramWriter nullCall(MessageType::Status, "WSJT-X");
  nullCall.u64(1).utf8("FT8").nullUtf8().utf8("").utf8("").boolean(false).boolean(false).boolean(false);
  nullCall.u32(0).u32(0).utf8("").utf8("").utf8("");
  EXPECT_EQ(std::get<Status>(readMessage(nullCall.bytes())).dxCall, "");
}

TEST(Protocol, HighlightCallsignBytes) {
  const auto bytes =
      encodeHighlightCallsign("WSJT-X", "Q1ABC", {true, 0xff, 0x50, 0x50}, {true, 0, 0, 0}, false);
  const std::vector<std::uint8_t> expected = {
      0xad, 0xbc, 0xcb, 0xda, 0,    0,    0,    3,    0,    0,    0,    13,   0,   0,
      0,    6,    'W',  'S',  'J',  'T',  '-',  'X',  0,    0,    0,    5,    'Q', '1',
      'A',  'B',  'C',  1,    0xff, 0xff, 0xff, 0xff, 0x50, 0x50, 0x50, 0x50, 0,   0,  // background #ff5050
      1,    0xff, 0xff, 0,    0,    0,    0,    0,    0,    0,    0,                   // foreground black
      0};
  EXPECT_EQ(bytes, expected);
  const auto cleared = encodeClearHighlight("WSJT-X", "Q1ABC");
  EXPECT_EQ(cleared[31], 0);  // an invalid colour
  EXPECT_EQ(cleared.size(), expected.size());
}

}  // namespace
}  // namespace orvanta::link
