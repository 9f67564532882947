#include "link/ContactCache.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fakes/TempDir.h"

namespace orvanta::link {
namespace {

// The held contacts count exactly as reading the logs does, also after the
// logs grew, changed or went away.
TEST(ContactCache, CountsAsReadingTheLogsDoes) {
  testing::TempDir dir;
  StdFileSystem files;
  const std::string log =
      dir.write("wsjtx.log",
                "2020-01-01,12:50:13,2020-01-01,12:51:13,Q1ABC,JO62,144.174,FT8,,,,,\r\n"
                "2020-02-01,07:00:00,2020-02-01,07:01:00,Q1ABC/P,JO62,7.074,FT8,,,,,\r\n");
  const std::string adif =
      dir.write("log.adi",
                "WSJT-X ADIF Export\n<eoh>\n<call:5>Q1ABC <gridsquare:4>JO62 <mode:3>FT8 "
                "<qso_date:8>20200101 <time_on:6>125013 <band:2>2m <freq:7>144.174 <eor>\n");
  const std::vector<std::string> logs{log, adif, dir.file("gone.log")};
  ContactCache cache;
  const auto check = [&](const char* when) {
    cache.refresh(files, logs);
    for (const std::string call : {"Q1ABC", "Q1ABC/P", "Q2XY", "QD/Q2XY"}) {
      for (const bool base : {false, true}) {
        WorkedBeforeCount held(call, base);
        WorkedBeforeCount read(call, base);
        cache.feed(call, held);
        for (const auto& path : logs) read.addLog(files, path);
        EXPECT_EQ(workedBeforeText(held.summary()), workedBeforeText(read.summary())) << when << call << base;
      }
    }
    EXPECT_EQ(cache.unreadable().size(), 1U);
  };
  check("at first");
  std::ofstream(log, std::ios::app)
      << "2020-03-01,08:00:00,2020-03-01,08:01:00,QD/Q2XY,JN58,50.313,FT4,,,,,\r\n";
  std::ofstream(adif, std::ios::app) << "<call:4>Q2XY <mode:4>MFSK <submode:3>FT4 <qso_date:8>20200301 "
                                        "<time_on:4>0800 <band:2>6m <eor>\n<call:5>Q1ABC <mode:3>FT8 "
                                        "<qso_date:8>20200401 <time_on:4>0900 <band:3>70cm <eor>\n";
  check("after both grew");
  dir.write("log.adi", "<call:5>Q1ABC <mode:3>JT65 <qso_date:8>20190101 <time_on:4>0900 <band:2>2m <eor>\n");
  check("after one was replaced");
}

}  // namespace
}  // namespace orvanta::link
