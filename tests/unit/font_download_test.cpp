// The font download after a double-byte buyer set: block sizes, timers, progress, the done
// and failed endings, and the connection it holds.
#include <gtest/gtest.h>

#include "settings_utility/printer_protocol/font_download.h"
#include "tests/unit/operation_rig.h"
#include "tests/unit/window_rig.h"
#include "tools/font_image/font_image_format.h"

using testing_rig::WindowRig;
using kora::PortKind;

namespace {

// A download driven below the window, against a scripted serial port.
struct DownloadRig : testing_rig::OperationRig {
  kora::PrinterInfo info{context};
  kora::FontDownload download{context, info, resources};

  explicit DownloadRig(std::size_t imageSize) {
    std::vector<std::uint8_t> image(imageSize);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i % 251);
    resources.images[IDR_FONT_KOR] = image;
    EXPECT_TRUE(connection.Open());
    clock.sleeps.clear();
  }

  std::vector<std::size_t> WriteSizes() const {
    std::vector<std::size_t> sizes;
    for (const auto& w : port->writes) sizes.push_back(w.size());
    return sizes;
  }

  int Run() {
    int events = 0;
    while (view.timers.size() == 1 && events < 1000) {
      const unsigned id = view.timers.begin()->first;
      download.FontDownloadTick(id);
      ++events;
    }
    return events;
  }
};

TEST(FontDownload, SendsSixtyFourBytesThenFullBlocks) {
  DownloadRig rig(615695);
  ASSERT_TRUE(rig.download.StartFontDownload(2));
  rig.Run();
  const std::vector<std::size_t> sizes = rig.WriteSizes();
  ASSERT_GE(sizes.size(), 152u);
  EXPECT_EQ(sizes[0], 64u);
  for (std::size_t i = 1; i <= 150; ++i) EXPECT_EQ(sizes[i], 4096u) << i;
  EXPECT_EQ(sizes[151], 1231u);
  EXPECT_EQ(rig.view.LastMessage(), "Success to Download Font!, And Reboot Printer");
  EXPECT_FALSE(rig.connection.connected()) << "closed after the whole image";
  std::vector<std::uint8_t> sent;
  for (std::size_t i = 0; i < 152; ++i) sent.insert(sent.end(), rig.port->writes[i].begin(), rig.port->writes[i].end());
  EXPECT_EQ(sent, rig.resources.images[IDR_FONT_KOR]);
}

TEST(FontDownload, ExactMultipleEndsWithAFullBlock) {
  DownloadRig rig(64 + 3 * 4096);
  rig.download.StartFontDownload(2);
  std::vector<unsigned> armed;
  while (rig.view.timers.size() == 1 && armed.size() < 100) {
    armed.push_back(rig.view.timers.begin()->first);
    rig.download.FontDownloadTick(armed.back());
  }
  EXPECT_EQ(rig.WriteSizes(), (std::vector<std::size_t>{64, 4096, 4096, 4096, 3, 3}))
      << "the image, then the identity queries";
  // send, send, send (the last one), then done
  EXPECT_EQ(armed, (std::vector<unsigned>{1, 1, 1, 2}));
}

TEST(FontDownload, PacingAndProgress) {
  DownloadRig rig(64 + 12 * 4096 + 10);
  rig.download.StartFontDownload(2);
  EXPECT_EQ(rig.view.progressStep, 1);
  EXPECT_EQ(rig.view.progressLog.front(), 10);
  EXPECT_EQ(rig.view.progress, 11);
  EXPECT_EQ(rig.view.timers.at(kora::kSendBlockTimer), 10u);
  std::vector<int> progressAfterEachBlock;
  while (rig.view.timers.count(kora::kSendBlockTimer)) {
    rig.download.FontDownloadTick(kora::kSendBlockTimer);
    progressAfterEachBlock.push_back(rig.view.progress);
  }
  // blocks 2..13 are full: the counter reaches 4, 8 and 12 on them; the last block sets 100
  EXPECT_EQ(progressAfterEachBlock,
            (std::vector<int>{11, 11, 12, 12, 12, 12, 13, 13, 13, 13, 14, 14, 100}));
  EXPECT_EQ(rig.clock.sleeps, std::vector<std::uint32_t>(12, 10)) << "10 ms after every full block";
}

TEST(FontDownload, ShortWriteIsNotAFailure) {
  DownloadRig rig(64 + 2 * 4096 + 100);
  rig.port->writeLimit = 3000;
  rig.download.StartFontDownload(2);
  rig.Run();
  std::vector<std::uint8_t> sent;
  for (const auto& w : rig.port->writes) sent.insert(sent.end(), w.begin(), w.end());
  const auto& image = rig.resources.images[IDR_FONT_KOR];
  ASSERT_GE(sent.size(), image.size());
  EXPECT_TRUE(std::equal(image.begin(), image.end(), sent.begin())) << "every byte once, in order";
  EXPECT_EQ(rig.view.LastMessage(), "Success to Download Font!, And Reboot Printer");
}

TEST(FontDownload, ZeroByteWriteFailsAndKeepsThePortOpen) {
  DownloadRig rig(64 + 5 * 4096);
  rig.download.StartFontDownload(2);
  rig.download.FontDownloadTick(kora::kSendBlockTimer);
  rig.port->failWrites = true;  // the cable is pulled
  rig.Run();
  EXPECT_EQ(rig.view.LastMessage(), "Fail to download Font!");
  EXPECT_EQ(rig.view.messages.back().title, "Stop");
  EXPECT_EQ(rig.view.messages.back().icon, platform::MessageIcon::Stop);
  EXPECT_TRUE(rig.connection.connected());
  EXPECT_TRUE(rig.view.IsEnabled(IDC_EXIT));
  EXPECT_TRUE(rig.view.IsEnabled(IDC_CONNECT));
  EXPECT_FALSE(rig.view.IsEnabled(IDC_CODEPAGE));
  EXPECT_EQ(rig.view.progress, 0);
}

TEST(FontDownload, NoImageNoTransfer) {
  for (int selection : {-1, 0, 1, 6, 42}) {
    DownloadRig rig(1000);
    EXPECT_FALSE(rig.download.StartFontDownload(selection)) << selection;
    EXPECT_TRUE(rig.port->writes.empty());
    EXPECT_TRUE(rig.view.timers.empty());
  }
  DownloadRig missing(1000);
  missing.resources.images.clear();  // the program lost its resource
  missing.download.StartFontDownload(5);
  missing.Run();
  EXPECT_EQ(missing.view.LastMessage(), "Fail to download Font!");
  EXPECT_TRUE(missing.port->writes.empty());
}

TEST(FontDownload, WholeFlowFromSetStatusWithTheSimulator) {
  for (PortKind kind : {PortKind::Serial, PortKind::Ethernet}) {
    WindowRig rig;
    rig.resources.images[IDR_FONT_JAP] = font_image::BuildImage(font_image::CharacterSet::Japanese, 843791);
    ASSERT_TRUE(rig.StartConnected(kind));
    rig.Select(IDC_BUYERSET, 5);  // JAP
    rig.Click(IDC_SET_STATUS);
    EXPECT_EQ(rig.LastMessage(), "Success to Change the Firmware,\n And Now Start Font Download!");
    EXPECT_EQ(rig.view.messages.back().icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(rig.view.SelectedText(IDC_BUYERSET), "Not Change");
    EXPECT_FALSE(rig.view.IsEnabled(IDC_CONNECT)) << "nothing else runs during the download";
    EXPECT_FALSE(rig.view.IsEnabled(IDC_EXIT));
    EXPECT_TRUE(rig.window->connection().connected());
    int events = 0;
    while (rig.view.timers.size() == 1 && events < 1000) {
      rig.window->OnTimer(rig.view.timers.begin()->first);
      ++events;
    }
    EXPECT_TRUE(rig.printer.font().complete);
    EXPECT_TRUE(rig.printer.font().checksumOk);
    EXPECT_EQ(rig.printer.font().characterSet, "JAP");
    EXPECT_EQ(rig.printer.BuyerCode(), 3);
    EXPECT_EQ(rig.LastMessage(), "Success to Download Font!, And Reboot Printer");
    EXPECT_EQ(rig.view.Text(IDC_LANGUAGE), "JAPANESE");
    EXPECT_EQ(rig.view.Text(IDC_FW_VERSION), "HRX410 101 ");
    EXPECT_TRUE(rig.view.IsEnabled(IDC_CONNECT));
    EXPECT_FALSE(rig.view.IsEnabled(IDC_CODEPAGE));
    EXPECT_FALSE(rig.window->connection().connected());
  }
}

TEST(FontDownload, DroppedLinkFailsThenDisconnectClosesThePort) {
  WindowRig rig;
  rig.resources.images[IDR_FONT_KOR] = font_image::BuildImage(font_image::CharacterSet::Korean, 615695);
  ASSERT_TRUE(rig.StartConnected(PortKind::Ethernet));
  rig.Select(IDC_BUYERSET, 2);
  printer_simulator::Faults drop;
  drop.dropAfterBytes = rig.printer.counters().bytesReceived + 100000;
  rig.printer.SetFaults(drop);
  rig.Click(IDC_SET_STATUS);
  int events = 0;
  while (rig.view.timers.size() == 1 && events < 1000) {
    rig.window->OnTimer(rig.view.timers.begin()->first);
    ++events;
  }
  EXPECT_EQ(rig.LastMessage(), "Fail to download Font!");
  EXPECT_TRUE(rig.window->connection().connected());
  EXPECT_TRUE(rig.view.IsEnabled(IDC_CONNECT));
  EXPECT_EQ(rig.view.Text(IDC_CONNECT), "Disconnect Printer");
  rig.Click(IDC_CONNECT);
  EXPECT_FALSE(rig.window->connection().connected());
  EXPECT_EQ(rig.view.Text(IDC_CONNECT), "Connect Printer");
}

}  // namespace
