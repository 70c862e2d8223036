#include "net/debugger_connection.h"

#include <strings.h>

#include <cstring>

#include "net/debugger_encoding.h"
#include "net/debugger_transports.h"

namespace vorn {

void DebuggerConnection::AddDelegate(DebuggerConnectionDelegate* delegate) {
  if (delegate) mDelegates.Append(delegate);
}

void DebuggerConnection::RemoveDelegate(DebuggerConnectionDelegate* delegate) {
  for (int32_t i = mDelegates.Count(); i-- > 0;) {
    if (mDelegates.Data()[i] == delegate) mDelegates.RemoveAt(i);
  }
}

// The three fan-outs index afresh on every step: a delegate may add or remove delegates.
void DebuggerConnection::DispatchMessage(const string& tag, const string& payload) {
  for (int32_t i = mDelegates.Count(); i-- > 0;) {
    if (i < mDelegates.Count()) mDelegates.Data()[i]->HandleMessage(tag, payload);
  }
}

void DebuggerConnection::NotifyConnected() {
  for (int32_t i = mDelegates.Count(); i-- > 0;) {
    if (i < mDelegates.Count()) mDelegates.Data()[i]->Connected();
  }
}

void DebuggerConnection::NotifyDisconnected() {
  for (int32_t i = mDelegates.Count(); i-- > 0;) {
    if (i < mDelegates.Count()) mDelegates.Data()[i]->Disconnected();
  }
}

void DebuggerConnection::DispatchReceivedLines() {
  std::string text;
  while (mReceived.Next(&text)) {
    DebuggerLine line = SplitDebuggerLine(text);
    DispatchMessage(DebuggerText(line.tag), DebuggerText(line.payload));
  }
  if (!mReceived.Overlong()) return;
  mReceived.Clear();
  Close();
  NotifyDisconnected();
}

void DebuggerConnection::SendText(const char* tag, std::string_view payload) {
  Send(string(tag), string(payload, kEncodingASCII));
}

void DebuggerConnection::SendPropertyRequest(const char* tag, uint64_t object, const string& property,
                                             int32_t parameter) {
  string payload = HexEncodeAddress(object);
  payload.AppendCString(" ");
  payload.Append(property);
  payload.AppendCString(" ");
  payload.Append(HexEncode32(static_cast<uint32_t>(parameter)));
  Send(string(tag), payload);
}

void DebuggerConnection::BR(int32_t line) { SendText("BR", HexEncode32(static_cast<uint32_t>(line)).View()); }
void DebuggerConnection::BRC(int32_t line) { SendText("BRC", HexEncode32(static_cast<uint32_t>(line)).View()); }
void DebuggerConnection::BRLA(int32_t count) { SendText("BRLA", HexEncode32(static_cast<uint32_t>(count)).View()); }
void DebuggerConnection::RUN() { SendText("RUN", {}); }
void DebuggerConnection::PID() { SendText("PID", {}); }
void DebuggerConnection::DABB(uint64_t array) { SendText("DABB", HexEncodeAddress(array).View()); }
void DebuggerConnection::DB(uint64_t address) { SendText("DB", HexEncodeAddress(address).View()); }
void DebuggerConnection::DW(uint64_t address) { SendText("DW", HexEncodeAddress(address).View()); }
void DebuggerConnection::DL(uint64_t address) { SendText("DL", HexEncodeAddress(address).View()); }
void DebuggerConnection::DS(uint64_t address) { SendText("DS", HexEncodeAddress(address).View()); }
void DebuggerConnection::DO(uint64_t address) { SendText("DO", HexEncodeAddress(address).View()); }
void DebuggerConnection::DV(uint64_t address) { SendText("DV", HexEncodeAddress(address).View()); }
void DebuggerConnection::DOC(uint64_t object) { SendText("DOC", HexEncodeAddress(object).View()); }
void DebuggerConnection::AWLS(uint64_t array) { SendText("AWLS", HexEncodeAddress(array).View()); }
void DebuggerConnection::AWLR(uint64_t array) { SendText("AWLR", HexEncodeAddress(array).View()); }
void DebuggerConnection::OWLS(uint64_t object) { SendText("OWLS", HexEncodeAddress(object).View()); }
void DebuggerConnection::OWLR(uint64_t object) { SendText("OWLR", HexEncodeAddress(object).View()); }

void DebuggerConnection::SB(uint64_t address, uint32_t value) {
  SendText("SB", (HexEncodeAddress(address) + " " + HexEncode32(value)).View());
}
void DebuggerConnection::SW(uint64_t address, uint32_t value) {
  SendText("SW", (HexEncodeAddress(address) + " " + HexEncode32(value)).View());
}
void DebuggerConnection::SL(uint64_t address, uint64_t value) {
  SendText("SL", (HexEncodeAddress(address) + " " + HexEncode64(value)).View());
}
void DebuggerConnection::SS(uint64_t address, const string& text) {
  SendText("SS", (HexEncodeAddress(address) + " " + EncodeDebugString(text)).View());
}

void DebuggerConnection::DPVB(uint64_t o, const string& p, int32_t x) { SendPropertyRequest("DPVB", o, p, x); }
void DebuggerConnection::DPVI(uint64_t o, const string& p, int32_t x) { SendPropertyRequest("DPVI", o, p, x); }
void DebuggerConnection::DPVF(uint64_t o, const string& p, int32_t x) { SendPropertyRequest("DPVF", o, p, x); }
void DebuggerConnection::DPVD(uint64_t o, const string& p, int32_t x) { SendPropertyRequest("DPVD", o, p, x); }
void DebuggerConnection::DPVS(uint64_t o, const string& p, int32_t x) { SendPropertyRequest("DPVS", o, p, x); }
void DebuggerConnection::DPVO(uint64_t o, const string& p, int32_t x) { SendPropertyRequest("DPVO", o, p, x); }
void DebuggerConnection::DPVV(uint64_t o, const string& p, int32_t x) { SendPropertyRequest("DPVV", o, p, x); }

SmartRef<DebuggerConnection> CreateDebuggerConnection(const string& host) {
  if (host.View().size() == std::strlen(kDebuggerLocalHost) && strcasecmp(host.CString(), kDebuggerLocalHost) == 0)
    return SmartRef<DebuggerConnection>(new IPCSocketConnection());
  return SmartRef<DebuggerConnection>(new TCPSocketConnection(host));
}

}  // namespace vorn
