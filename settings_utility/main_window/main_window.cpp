#include "settings_utility/main_window/main_window.h"

#include "settings_utility/resources/resource_ids.h"
#include "settings_utility/transports/connection_settings.h"

namespace kora {

const char kWindowCaption[] = "KELVO HRX-410 KORA V1.0.0";

namespace {

struct ButtonCaption {
  int id;
  const char* caption;
};
constexpr ButtonCaption kButtonCaptions[] = {
    {IDC_CONNECT, "Connect Printer"},           {IDC_SELF_TEST, "Print Self-test page"},
    {IDC_GET_STATUS, "Get Printer Status"},     {IDC_SET_STATUS, "Set Printer Status"},
    {IDC_SAVE_STATUS, "Save status to File"},   {IDC_LOAD_STATUS, "Load status from file"},
    {IDC_INIT_STATUS, "Initialize status"},     {IDC_EXIT, "EXIT"},
};
const char kConnectCaption[] = "Connect Printer";
const char kDisconnectCaption[] = "Disconnect Printer";

constexpr int kSettingCombos[] = {IDC_INTERNAL_BUZZER, IDC_FONT_TYPE,   IDC_AUTO_CUTTER, IDC_EXTERNAL_BUZZER,
                                  IDC_PAPER_WIDTH,     IDC_COLOR_MODE,  IDC_CODEPAGE,    IDC_BUYERSET};

bool IsSettingList(int id) {
  for (const SettingList& list : kSettingLists)
    if (list.controlId == id) return true;
  return false;
}

}  // namespace

MainWindow::MainWindow(MainWindowView& view, const UtilityServices& services, TransportFactory& transports,
                       PortSettingsPrompt& portPrompt, InstalledPortImporter& importer,
                       std::string printerName)
    : view_(view),
      services_(services),
      portPrompt_(portPrompt),
      importer_(importer),
      controls_(view, state_),
      connection_(services, transports, view),
      context_{view, state_, connection_, controls_, services.clock},
      info_(context_),
      connect_(context_),
      fontDownload_(context_, info_, services.resources),
      operations_(context_, info_, fontDownload_),
      statusFile_(context_, services.files) {
  state_.printerName = std::move(printerName);
}

MainWindow::~MainWindow() {
  if (!connection_.releasedPrinters().empty()) connection_.RestoreReleasedPrinters();
}

void MainWindow::OnInitDialog() {
  controls_.FillFixedLists();
  view_.PrepareWindow();
  state_.settings.SetAllUnchanged();
  for (const ButtonCaption& button : kButtonCaptions) view_.SetControlText(button.id, button.caption);
  for (int id : kSettingCombos) view_.EnableControl(id, false);
  for (int id : kOperationButtons) view_.EnableControl(id, false);

  if (!state_.printerName.empty()) {
    importer_.Import(state_.printerName);
    state_.settingsKey = kPrinterSettingsKeyPrefix + state_.printerName;
    if (ReadConnectionSettings(services_.registry, state_.settingsKey, connection_.settings())) {
      if (connect_.ConnectPrinter())
        EnterConnectedState();
      else
        state_.printerName.clear();
    }
  } else {
    state_.settingsKey = kUtilitySettingsKey;
  }
  controls_.PushToControls();
}

void MainWindow::EnterConnectedState() {
  view_.SetControlText(IDC_CONNECT, kDisconnectCaption);
  state_.codePageSelection = 0;
  state_.buyerSetSelection = 0;
  state_.settingsLoaded = false;
  controls_.Refresh(true);
  for (int id : kOperationButtons) view_.EnableControl(id, true);
}

void MainWindow::TakeOverPortChoice(const PortChoice& choice) {
  ConnectionSettings& settings = connection_.settings();
  settings.kind = choice.kind;
  if (choice.kind == PortKind::Usb)
    settings.portText = choice.portText + choice.usbDevicePath;
  else if (choice.kind == PortKind::Ethernet)
    settings.portText = choice.ipText;
  else
    settings.portText = choice.portText;
  settings.speedOrPort =
      choice.kind == PortKind::Ethernet ? static_cast<int>(choice.tcpPort) : choice.baudRate;
  settings.dataBits = choice.dataBits;
  settings.parity = choice.parity;
  settings.stopBits = choice.stopBits;
  settings.flowControl = choice.flowControl;
}

void MainWindow::OnConnectClicked() {
  if (state_.printerConnected) {
    connection_.Close();
    state_.printerConnected = false;
    view_.SetControlText(IDC_CONNECT, kConnectCaption);
    controls_.Refresh(false);
    view_.RedrawWindow();
    view_.RedrawControl(IDC_CONNECT);
    return;
  }
  if (state_.printerName.empty()) {
    PortChoice choice;
    if (!portPrompt_.Run(state_.printerName, choice)) return;
    TakeOverPortChoice(choice);
  }
  view_.RedrawWindow();
  if (!connect_.ConnectPrinter()) {
    // The next connect asks for the port again.
    state_.printerName.clear();
    return;
  }
  EnterConnectedState();
  view_.RedrawControl(IDC_CONNECT);
}

void MainWindow::OnExitClicked() {
  connection_.ClosePort();
  view_.EndDialog(platform::kIdOk);
}

void MainWindow::OnCommand(int controlId, int notifyCode) {
  if (notifyCode == platform::kCbnSelChange) {
    if (controlId == IDC_CODEPAGE)
      controls_.OnCodePageChanged();
    else if (controlId == IDC_BUYERSET)
      controls_.OnBuyerSetChanged();
    else if (IsSettingList(controlId))
      controls_.OnSettingListChanged(controlId);
    return;
  }
  if (notifyCode != platform::kBnClicked) return;
  switch (controlId) {
    case platform::kIdOk:
      controls_.PullFromControls();
      view_.EndDialog(platform::kIdOk);
      break;
    case platform::kIdCancel:
      view_.EndDialog(platform::kIdCancel);
      break;
    case IDC_CONNECT:
      OnConnectClicked();
      break;
    case IDC_EXIT:
      OnExitClicked();
      break;
    case IDC_SELF_TEST:
      operations_.PrintSelfTest();
      break;
    case IDC_GET_STATUS:
      operations_.GetStatus();
      break;
    case IDC_SET_STATUS:
      operations_.SetStatus();
      break;
    case IDC_INIT_STATUS:
      operations_.InitializeStatus();
      break;
    case IDC_SAVE_STATUS:
      statusFile_.SaveStatus();
      break;
    case IDC_LOAD_STATUS:
      statusFile_.LoadStatus();
      break;
    default:
      break;
  }
}

void MainWindow::OnTimer(unsigned timerId) { fontDownload_.FontDownloadTick(timerId); }

void MainWindow::OnDestroy() {
  connection_.Close();
  connection_.RestoreReleasedPrinters();
  state_.settingsKey = kUtilitySettingsKey;
  SaveConnectionSettings(services_.registry, connection_.settings());
  controls_.PushToControls();
}

}  // namespace kora
