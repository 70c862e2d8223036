#include "files/stream_support.h"

#include <algorithm>

#include "strings/runtime_error.h"

namespace vorn {

void ReportFileAccessAssertion(int32_t line, const char* condition, const char* message) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/runFileAccess", line, condition, message);
}

int32_t CloseAndDestroyStore(RandomAccessMechanism*& store) {
  RandomAccessMechanism* closing = store;
  if (!closing) return 0;
  // Another thread waits in the store and comes back to it: the store only ends that wait here
  // and stays the stream's, which that thread holds until it is back.
  if (closing->WaitedIn()) {
    closing->Close();
    return 0;
  }
  store = nullptr;
  closing->Flush();
  bool closed = closing->Close();
  int32_t error = closing->mLastError;
  if (!closed && error == 0) error = kStreamWriteFailedError;
  delete closing;
  return error;
}

bool WriteToStore(RandomAccessMechanism* store, const void* bytes, int32_t count) {
  if (!store) return false;
  if (store->Write(bytes, count)) return true;
  if (store->mLastError == 0) store->mLastError = kStreamWriteFailedError;
  return false;
}

StringRep* ReadIntoRecord(RandomAccessMechanism* store, int32_t count, EncodingCode encoding) {
  // Room that is not cleared first: the read fills it.
  string record;
  record.Reserve(RecordLength(count));
  int32_t got = 0;
  store->Read(record.MutableBytes(), count, &got);
  if (got < count) return HandOutBytes(std::string_view(record.CString(), static_cast<size_t>(std::max(got, 0))), encoding);
  return HandOutFilled(record, got, encoding);
}

StringRep* HandOutFilled(string& record, int32_t length, EncodingCode encoding) {
  if (length <= 0) return nullptr;
  record.SetFilledLength(length);
  record.SetEncoding(encoding);
  return record.GetRetainedRep();
}

}  // namespace vorn
