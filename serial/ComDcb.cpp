#include "ComDcb.h"

TDcbBlock BuildDcbBlock(const TLineValues &line, const TComParity &parity, const TComFlowControl &fc,
                        const TComBuffer &buffer) {
  TDcbBlock d;
  d.DCBlength = 28;
  d.BaudRate = line.BitsPerSecond;

  uint32_t flags = DcbFlag::Binary;
  if (line.DiscardNull) flags |= DcbFlag::Null;
  if (fc.OutCTSFlow()) flags |= DcbFlag::OutxCtsFlow;
  if (fc.OutDSRFlow()) flags |= DcbFlag::OutxDsrFlow;
  static const uint32_t DtrBits[] = {0x0000, 0x0010, 0x0020};
  static const uint32_t RtsBits[] = {0x0000, 0x1000, 0x2000, 0x3000};
  if (fc.ControlDTR() >= dtrDisable && fc.ControlDTR() <= dtrHandshake) flags |= DtrBits[fc.ControlDTR()];
  if (fc.ControlRTS() >= rtsDisable && fc.ControlRTS() <= rtsToggle) flags |= RtsBits[fc.ControlRTS()];
  if (fc.XonXoffOut()) flags |= DcbFlag::OutX;
  if (fc.XonXoffIn()) flags |= DcbFlag::InX;
  if (fc.DSRSensitivity()) flags |= DcbFlag::DsrSensitivity;
  if (fc.TxContinueOnXoff()) flags |= DcbFlag::TXContinueOnXoff;
  if (parity.Check()) {
    flags |= DcbFlag::Parity;
    if (parity.Replace()) {
      flags |= DcbFlag::ErrorChar;
      d.ErrorChar = parity.ReplaceChar();
    }
  }
  d.Flags = flags;

  d.XonLim = d.XoffLim = uint16_t(buffer.InputSize() / 4);
  static const uint8_t ByteSizes[] = {5, 6, 7, 8};
  d.ByteSize = (line.DataBits >= dbFive && line.DataBits <= dbEight) ? ByteSizes[line.DataBits] : 0;
  d.Parity = uint8_t(parity.Bits());
  d.StopBits = uint8_t(line.StopBits);
  d.XonChar = fc.XonChar();
  d.XoffChar = fc.XoffChar();
  d.EvtChar = line.EventChar;
  return d;
}
