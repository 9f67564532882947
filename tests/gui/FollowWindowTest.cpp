// Following WSJT-X in the real window: a datagram sent over the loopback
// interface reaches the form through Qt's event loop.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>

#include "QtFormFixture.h"
#include "link/Protocol.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

class FollowWindow : public testing::QtFormFixture {
 protected:
  void startFollowingForm() {
    const auto set = [&](const char* key, const std::string& value) {
      settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", key)] = value;
    };
    set("Sprache", "de");
    set("Database", dir.write("CALL3.txt", "//h\r\nQ1ABC,JO62,EME\r\nQ1AB,JO22,MS\r\n"));
    set("Follow", "1");
    set("UdpPort", "0");  // any free port
    set("MyLocator", "JO31");
    const DesktopServices s = desktop.services();
    FormServices services{s.window, s.messages, s.fileDialog, s.settings, files, clock, s.events};
    services.stationView = s.stationView;
    services.socketWatcher = s.socketWatcher;
    form = std::make_unique<frmVHF>(services);
    desktop.attach(*form);
    desktop.start();
  }

  // Lets the event loop run until the condition holds or two seconds pass.
  template <class Condition>
  bool waitFor(Condition condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
  }
};

TEST_F(FollowWindow, ALoopbackStatusShowsTheStation) {
  startFollowingForm();
  ASSERT_NE(form->followReceiver(), nullptr) << form->followError();
  const std::uint16_t port = form->followReceiver()->port();
  auto* station = find<QWidget>("station");
  auto* link = find<QLabel>("link");
  ASSERT_TRUE(station && link);
  EXPECT_TRUE(station->isVisible());
  EXPECT_EQ(link->text().toStdString(), "Warte auf WSJT-X an 127.0.0.1:" + std::to_string(port));
  EXPECT_TRUE(desktop.window().isChecked(ctl::kMnuFollow));

  link::Status status;
  status.id = "WSJT-X";
  status.dxCall = "<Q1AB>";
  status.dialFrequency = 50'313'000;
  status.mode = "FT8";
  const auto sender = listenUdp("127.0.0.1", 0);
  sender->sendTo(link::encodeStatus(status, 2, 0).bytes(), "127.0.0.1", port);
  auto* call = find<QLineEdit>("Text2");
  ASSERT_TRUE(waitFor([&] { return call->text() == "Q1AB"; })) << call->text().toStdString();
  EXPECT_EQ(find<QLineEdit>("Text3")->text(), "JO22");
  EXPECT_EQ(link->text(), "Verbunden mit WSJT-X (WSJT-X)");
  auto* facts = find<QWidget>("facts");
  QStringList shown;
  for (const auto* label : facts->findChildren<QLabel*>()) shown << label->text();
  EXPECT_TRUE(shown.contains("176 km")) << shown.join('|').toStdString();
  EXPECT_TRUE(shown.contains("310°")) << shown.join('|').toStdString();

  sender->sendTo({0xad, 0xbc}, "127.0.0.1", port);
  ASSERT_TRUE(waitFor([&] { return !link->toolTip().isEmpty(); }));
  EXPECT_EQ(link->toolTip(), "1 Datagramme nicht gelesen: Datagram: magic number cut short (1)");
}

}  // namespace
}  // namespace orvanta
