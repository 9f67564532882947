// An ADIF log through the form: start-up view, search, steps, and the view
// of a record beside the view of the same contact's wsjtx.log line.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fakes/FormFixture.h"

namespace orvanta {
namespace {

// As WSJT-X writes its ADIF log: a header, then one contact a line.
const std::string kAdif =
    "WSJT-X ADIF Export\n<adif_ver:5>3.1.1\n<programid:6>WSJT-X\n<eoh>\n"
    "<call:6>QQ4VZF <gridsquare:4>KQ68 <mode:3>FT8 <rst_sent:3>-10 <rst_rcvd:3>-02 <qso_date:8>20200101 "
    "<time_on:6>124313 <qso_date_off:8>20200101 <time_off:6>124413 <band:3>40m <freq:8>7.075993 "
    "<comment:7>tnx QSO <name:9>Françoise <prop_mode:3>EME <eor>\n"
    "<call:6>Q37DSD <gridsquare:4>LC78 <mode:4>MFSK <submode:3>FT4 <rst_sent:3>-18 <rst_rcvd:3>-14 "
    "<qso_date:8>20200102 <time_on:6>013015 <qso_date_off:8>20200102 <time_off:6>013115 <band:3>20m "
    "<freq:9>14.081703 <tx_pwr:2>50 <comment:6>73, gl <name:3>Zoë <eor>\n"
    "<call:6>Q68WZP <mode:3>FT8 <qso_date:8>20200103 <time_on:4>0945 <freq:8>0.475097 <eor>\n";

// The same contacts as WSJT-X writes them into wsjtx.log.
const std::string kLog =
    "2020-01-01,12:43:13,2020-01-01,12:44:13,QQ4VZF,KQ68,7.075993,FT8,-10,-02,,tnx QSO,Françoise,EME,,,\n"
    "2020-01-02,01:30:15,2020-01-02,01:31:15,Q37DSD,LC78,14.081703,FT4,-18,-14,50,73  gl,Zoë,,,,\n"
    "2020-01-03,09:45:00,2020-01-03,09:45:00,Q68WZP,,0.475097,FT8,,,,,,,,,\n";

class AdifSearch : public testing::FormFixture {
 protected:
  void open(const std::string& name, const std::string& bytes) {
    const std::string path = dir.write(name, bytes);
    form.Language = "en";
    window.addListItem("Combo1", path);
    window.setText("Combo1", path);
    form.Form_Activate();
  }
  void search(const std::string& text, std::vector<MessageAnswer> answers = {MessageAnswer::No}) {
    window.setText("Text10", text);
    messages.answers.assign(answers.begin(), answers.end());
    form.Command1_Click();
  }
  std::array<std::string, 8> boxes() const {
    std::array<std::string, 8> out;
    for (int i = 0; i < 8; ++i)
      out[static_cast<std::size_t>(i)] = window.text("Text" + std::to_string(i + 2));
    return out;
  }
};

TEST_F(AdifSearch, StartUpShowsTheFirstRecordNotTheHeader) {
  open("wsjtx_log.adi", kAdif);
  EXPECT_EQ(form.DbKind, "log");
  EXPECT_EQ(window.caption("Label3"), "Start");
  EXPECT_EQ(window.text("Text2"), "QQ4VZF");
  EXPECT_EQ(window.text("Text3"), "2020-01-01 12:43:13");
  EXPECT_EQ(window.text("Text6"), "Françoise");
  EXPECT_EQ(form.RecordKey, "2020-01-01,12:43:13");
}

TEST_F(AdifSearch, EveryRecordIsSearchedAndTheStepsFollowFileOrder) {
  open("wsjtx_log.adi", kAdif);
  search("q37dsd");
  EXPECT_EQ(window.text("Text2"), "Q37DSD");
  EXPECT_EQ(window.text("Text8"), "FT4") << "the submode of an MFSK contact";
  form.Command3_Click();
  EXPECT_EQ(window.text("Text2"), "Q68WZP");
  EXPECT_EQ(window.text("Text3"), "2020-01-03 09:45:00");
  form.Command2_Click();
  EXPECT_EQ(window.text("Text2"), "Q37DSD");
}

TEST_F(AdifSearch, TheFirstRecordIsSearchedToo) {
  open("wsjtx_log.adi", kAdif);
  search("QQ4VZF");
  EXPECT_EQ(window.text("Text2"), "QQ4VZF");
  ASSERT_FALSE(messages.calls.empty());
  EXPECT_EQ(messages.calls[0].text, "Search further ?");
}

TEST_F(AdifSearch, AFileWithoutTagsFindsNothingAndSaysSo) {
  open("empty.adif", std::string(100000, 'x'));
  search("Q1ABC");
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].title, " not found");
}

// A record shows in the boxes exactly as the same contact's wsjtx.log line.
class AdifViewMatchesLogView : public AdifSearch, public ::testing::WithParamInterface<const char*> {};

TEST_P(AdifViewMatchesLogView, BoxesEqual) {
  open("wsjtx.log", kLog);
  search(GetParam());
  const auto fromLog = boxes();
  const std::string logKey = form.RecordKey;
  open("wsjtx_log.adi", kAdif);
  search(GetParam());
  EXPECT_EQ(boxes(), fromLog);
  EXPECT_EQ(form.RecordKey, logKey);
  EXPECT_EQ(boxes()[0], GetParam());
}

INSTANTIATE_TEST_SUITE_P(Contacts, AdifViewMatchesLogView, ::testing::Values("Q37DSD", "Q68WZP"));

}  // namespace
}  // namespace orvanta
