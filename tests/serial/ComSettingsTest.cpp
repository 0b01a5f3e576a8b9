// Settings, presets, the device-control block and the error texts: the
// parts of the component that need no device.
#include <gtest/gtest.h>

#include "ComPort.h"

TEST(ComSettings, DefaultsOfANewPort) {
  TComPort port;
  EXPECT_EQ(port.Port(), "COM1");
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
  EXPECT_EQ(port.DataBits(), dbEight);
  EXPECT_EQ(port.StopBits(), sbOneStopBit);
  EXPECT_FALSE(port.DiscardNull());
  EXPECT_EQ(port.EventChar(), 0);
  EXPECT_EQ(port.Events(), AllComEvents);
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.OnRxChar);

  EXPECT_EQ(port.Parity().Bits(), prNone);
  EXPECT_FALSE(port.Parity().Check());
  EXPECT_FALSE(port.Parity().Replace());
  EXPECT_EQ(port.Parity().ReplaceChar(), 0);

  TComFlowControl &fc = port.FlowControl();
  EXPECT_FALSE(fc.OutCTSFlow());
  EXPECT_FALSE(fc.OutDSRFlow());
  EXPECT_EQ(fc.ControlDTR(), dtrDisable);
  EXPECT_EQ(fc.ControlRTS(), rtsDisable);
  EXPECT_FALSE(fc.XonXoffOut());
  EXPECT_FALSE(fc.XonXoffIn());
  EXPECT_FALSE(fc.DSRSensitivity());
  EXPECT_FALSE(fc.TxContinueOnXoff());
  EXPECT_EQ(fc.XonChar(), 17);
  EXPECT_EQ(fc.XoffChar(), 19);
  EXPECT_EQ(fc.FlowControl(), fcNone);

  EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
  EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 0);
  EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 0);
  EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
  EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 1000);
  EXPECT_EQ(port.Buffer().InputSize(), 1024);
  EXPECT_EQ(port.Buffer().OutputSize(), 1024);
}

TEST(ComSettings, EnumerationTables) {
  EXPECT_EQ(int(br19200), 9);
  EXPECT_EQ(int(br38400), 10);
  EXPECT_EQ(int(br57600), 12);
  EXPECT_EQ(BaudRateValue(brCustom), 0);
  EXPECT_EQ(BaudRateValue(br110), 110);
  EXPECT_EQ(BaudRateValue(br14400), 14400);
  EXPECT_EQ(BaudRateValue(br56000), 56000);
  EXPECT_EQ(BaudRateValue(br57600), 57600);
  EXPECT_EQ(BaudRateValue(br256000), 256000);

  EXPECT_EQ(EventsToMask(AllComEvents), 0x05FFu);
  EXPECT_EQ(EventsToMask(ComEventBit(evTxEmpty)), 0x0004u);
  EXPECT_EQ(EventsToMask(ComEventBit(evRxFlag)), 0x0002u);
  EXPECT_EQ(EventsToMask(ComEventBit(evRing) | ComEventBit(evRx80Full)), 0x0500u);
  EXPECT_EQ(MaskToEvents(0x05FF), AllComEvents);
  EXPECT_EQ(MaskToEvents(0x0080), ComEventBit(evError));
  EXPECT_EQ(MaskToEvents(0xF800), 0);  // bits the component has no event for
  for (int e = evRxChar; e <= evRx80Full; ++e) {
    TComEvents one = ComEventBit(TComEvent(e));
    EXPECT_EQ(MaskToEvents(EventsToMask(one)), one) << "event " << e;
  }
}

// What the link sets, then the block a Windows backend would hand the OS.
TEST(ComSettings, DeviceControlBlockWithTheLinkSettings) {
  TComPort port;
  port.SetDiscardNull(false);
  port.FlowControl().SetControlDTR(dtrEnable);
  port.FlowControl().SetControlRTS(rtsDisable);
  port.BeginSettingsUpdate();
  port.SetPort("COM3");
  port.SetStopBits(sbOneStopBit);
  port.SetBaudRate(br38400);
  port.SetDataBits(dbEight);
  port.Parity().SetBits(prNone);
  port.FlowControl().SetFlowControl(fcNone);
  port.EndSettingsUpdate();

  const TDcbBlock d = port.BuildDcb();
  EXPECT_EQ(d.DCBlength, 28u);
  EXPECT_EQ(d.BaudRate, 38400u);
  EXPECT_EQ(d.Flags, 0x0011u);
  EXPECT_EQ(d.XonLim, 256);
  EXPECT_EQ(d.XoffLim, 256);
  EXPECT_EQ(d.ByteSize, 8);
  EXPECT_EQ(d.Parity, 0);
  EXPECT_EQ(d.StopBits, 0);
  EXPECT_EQ(d.XonChar, 17);
  EXPECT_EQ(d.XoffChar, 19);
  EXPECT_EQ(d.ErrorChar, 0);
  EXPECT_EQ(d.EofChar, 0);
  EXPECT_EQ(d.EvtChar, 0);
}

TEST(ComSettings, DeviceControlBlockCarriesEverySetting) {
  TComPort port;
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(31250);
  port.SetDataBits(dbSeven);
  port.SetStopBits(sbTwoStopBits);
  port.SetDiscardNull(true);
  port.SetEventChar(0x0D);
  port.Parity().SetBits(prMark);
  port.Parity().SetReplace(true);
  port.Parity().SetReplaceChar('?');
  port.Buffer().SetInputSize(4096);
  TComFlowControl &fc = port.FlowControl();
  fc.SetControlDTR(dtrHandshake);
  fc.SetControlRTS(rtsToggle);
  fc.SetOutDSRFlow(true);
  fc.SetDSRSensitivity(true);
  fc.SetTxContinueOnXoff(true);
  fc.SetXonChar(0x11);
  fc.SetXoffChar(0x13);

  TDcbBlock d = port.BuildDcb();
  EXPECT_EQ(d.BaudRate, 31250u);
  // Replace means nothing while the OS does not check parity.
  EXPECT_EQ(d.Flags, 0x0001u | 0x0800 | 0x0008 | 0x0020 | 0x3000 | 0x0040 | 0x0080);
  EXPECT_EQ(d.ErrorChar, 0);
  EXPECT_EQ(d.XonLim, 1024);
  EXPECT_EQ(d.ByteSize, 7);
  EXPECT_EQ(d.Parity, 3);
  EXPECT_EQ(d.StopBits, 2);
  EXPECT_EQ(d.EvtChar, 0x0D);

  port.Parity().SetCheck(true);
  fc.SetFlowControl(fcSoftware);
  d = port.BuildDcb();
  EXPECT_EQ(d.Flags & 0x0002u, 0x0002u);
  EXPECT_EQ(d.Flags & 0x0400u, 0x0400u);
  EXPECT_EQ(d.ErrorChar, '?');
  EXPECT_EQ(d.Flags & 0x0300u, 0x0300u);
  EXPECT_EQ(d.Flags & 0x3000u, 0u);  // the preset lowered RTS control

  fc.SetFlowControl(fcHardware);
  d = port.BuildDcb();
  EXPECT_EQ(d.Flags & 0x3000u, 0x2000u);
  EXPECT_EQ(d.Flags & 0x0004u, 0x0004u);
  EXPECT_EQ(d.Flags & 0x0300u, 0u);
}

TEST(ComSettings, FlowControlPresets) {
  TComPort port;
  TComFlowControl &fc = port.FlowControl();
  fc.SetControlDTR(dtrEnable);
  fc.SetOutDSRFlow(true);

  fc.SetFlowControl(fcHardware);
  EXPECT_EQ(fc.ControlRTS(), rtsHandshake);
  EXPECT_TRUE(fc.OutCTSFlow());
  EXPECT_FALSE(fc.XonXoffIn());
  EXPECT_FALSE(fc.XonXoffOut());
  EXPECT_EQ(fc.FlowControl(), fcHardware);

  fc.SetFlowControl(fcSoftware);
  EXPECT_EQ(fc.ControlRTS(), rtsDisable);
  EXPECT_FALSE(fc.OutCTSFlow());
  EXPECT_TRUE(fc.XonXoffIn());
  EXPECT_TRUE(fc.XonXoffOut());
  EXPECT_EQ(fc.FlowControl(), fcSoftware);

  // fcCustom leaves every field as it is.
  fc.SetFlowControl(fcCustom);
  EXPECT_TRUE(fc.XonXoffIn());
  EXPECT_EQ(fc.FlowControl(), fcSoftware);

  fc.SetFlowControl(fcNone);
  EXPECT_EQ(fc.ControlRTS(), rtsDisable);
  EXPECT_FALSE(fc.OutCTSFlow() || fc.XonXoffIn() || fc.XonXoffOut());
  EXPECT_EQ(fc.FlowControl(), fcNone);

  // The presets never touch DTR or DSR flow.
  EXPECT_EQ(fc.ControlDTR(), dtrEnable);
  EXPECT_TRUE(fc.OutDSRFlow());

  // Mixtures read as custom.
  fc.SetXonXoffIn(true);
  EXPECT_EQ(fc.FlowControl(), fcCustom);
  fc.SetXonXoffIn(false);
  fc.SetControlRTS(rtsEnable);
  EXPECT_EQ(fc.FlowControl(), fcCustom);
  fc.SetControlRTS(rtsHandshake);
  EXPECT_EQ(fc.FlowControl(), fcCustom);  // handshake without CTS flow
  fc.SetOutCTSFlow(true);
  EXPECT_EQ(fc.FlowControl(), fcHardware);
  fc.SetXonXoffOut(true);
  EXPECT_EQ(fc.FlowControl(), fcCustom);
}

TEST(ComSettings, ErrorNumbersAndMessages) {
  EComPort notOpen(CE_PortNotOpen);
  EXPECT_STREQ(notOpen.what(), "Port Not Open");
  EXPECT_EQ(notOpen.ErrorCode, 24);
  EXPECT_EQ(notOpen.SystemError, -1);

  EComPort open(CE_OpenFailed, 2);
  EXPECT_STREQ(open.what(), "Unable to open com port (Error: 2)");
  EXPECT_EQ(open.SystemError, 2);
  // An OS code of 0 is no code: no suffix.
  EXPECT_STREQ(EComPort(CE_WriteFailed, 0).what(), "WriteFile function failed");
  EXPECT_STREQ(EComPort(CE_SetState, 22).what(), "SetCommState function failed (Error: 22)");

  EXPECT_STREQ(ComErrorText(3), "ReadFile function failed");
  EXPECT_STREQ(ComErrorText(10), "ClearCommError function failed");
  EXPECT_STREQ(ComErrorText(14), "Cannot set property while connected");
  EXPECT_STREQ(ComErrorText(19), "Cannot change led state if ComPort is selected");
  EXPECT_STREQ(ComErrorText(23), "Registry error");
  for (int code = 1; code <= 24; ++code) EXPECT_STRNE(ComErrorText(code), "") << code;
  EXPECT_STREQ(ComErrorText(0), "");
  EXPECT_STREQ(ComErrorText(25), "");

  // Callers catch it as a plain runtime error too.
  try {
    throw EComPort(CE_ReadFailed, 5);
  } catch (const std::runtime_error &e) {
    EXPECT_STREQ(e.what(), "ReadFile function failed (Error: 5)");
  }
}
