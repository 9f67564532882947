#include <gtest/gtest.h>

#include "fakes/CaseName.h"
#include "link/DecodeCall.h"

namespace orvanta {
namespace {

struct MessageCase {
  std::string name;
  std::string message;
  std::string call;  // empty: none
};

class CallingStation : public ::testing::TestWithParam<MessageCase> {};

TEST_P(CallingStation, OfEveryMessageShape) {
  EXPECT_EQ(callingStation(GetParam().message), GetParam().call);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CallingStation,
    ::testing::Values(
        MessageCase{"CqWithGrid", "CQ Q1ABC JO62", "Q1ABC"}, MessageCase{"CqBare", "CQ Q1ABC", "Q1ABC"},
        MessageCase{"CqDx", "CQ DX Q1ABC JO62", "Q1ABC"},
        MessageCase{"CqContinentNoGrid", "CQ NA Q1ABC", "Q1ABC"},
        MessageCase{"CqTest", "CQ TEST Q1ABC/P JO62", "Q1ABC/P"},
        MessageCase{"CqFrequency", "CQ 290 Q1ABC FN42", "Q1ABC"},
        MessageCase{"CqAnyWord", "CQ POTA Q1ABC", "Q1ABC"},
        MessageCase{"CqHashed", "CQ <QD/Q1ABC>", "QD/Q1ABC"}, MessageCase{"CqAlone", "CQ", ""},
        MessageCase{"CqModifierOnly", "CQ DX", ""}, MessageCase{"Qrz", "QRZ Q1ABC JO62", "Q1ABC"},
        MessageCase{"DirectedGrid", "Q2XY Q1ABC JO62", "Q1ABC"},
        MessageCase{"DirectedReport", "Q2XY Q1ABC R-12", "Q1ABC"},
        MessageCase{"Rr73", "Q2XY Q1ABC RR73", "Q1ABC"},
        MessageCase{"SeventyThree", "Q2XY Q1ABC 73", "Q1ABC"}, MessageCase{"Rrr", "Q2XY Q1ABC RRR", "Q1ABC"},
        MessageCase{"LowerCaseAndBlanks", "  q2xy   q1abc  -05 ", "Q1ABC"},
        MessageCase{"SenderHashed", "Q2XY <Q1ABC/P> -05", "Q1ABC/P"},
        MessageCase{"ReceiverHashUnknown", "<...> Q1ABC -05", "Q1ABC"},
        MessageCase{"SenderHashUnknown", "Q2XY <...> -05", ""},
        MessageCase{"FoxCompound", "Q2XY RR73; Q3ZZ <Q1ABC> -08", "Q1ABC"},
        MessageCase{"FoxCompoundUnknownHash", "Q2XY RR73; Q3ZZ <...> -08", ""},
        MessageCase{"FreeText", "TNX BOB 73 GL", ""}, MessageCase{"FreeTextWithCallLast", "73 DE Q1ABC", ""},
        MessageCase{"OneWord", "Q1ABC", ""}, MessageCase{"Empty", "", ""},
        MessageCase{"SecondWordNoCall", "Q2XY HELLO", ""},
        MessageCase{"TooLongCall", "Q2XY Q1ABCDEFGHIJKL -10", ""},
        MessageCase{"BracketNotClosed", "Q2XY <Q1ABC -10", ""}),
    testing::CaseName{});

}  // namespace
}  // namespace orvanta
