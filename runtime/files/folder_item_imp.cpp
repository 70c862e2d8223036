#include "files/folder_item_imp.h"

#include <cerrno>
#include <memory>

#include "files/random_access_mechanism.h"
#include "strings/case_table.h"
#include "strings/percent_coding.h"

namespace vorn {

namespace {

constexpr int32_t kCopyBlockSize = 4096;
constexpr const char kProbeName[] = "$$TestFile$$";

}  // namespace

FolderItemImp* FolderItemImp::Assign(const FolderItemImp&) { return this; }

FolderItemImp* FolderItemImp::Clone() const {
  auto* copy = new FolderItemImp;
  copy->Assign(*this);
  return copy;
}

bool FolderItemImp::Exists() { return false; }
bool FolderItemImp::IsAlias() { return false; }
bool FolderItemImp::IsDirectory() { return false; }
bool FolderItemImp::IsVirtual() const { return false; }
bool FolderItemImp::Reserved8() { return false; }
string FolderItemImp::GetName() { return string(); }
bool FolderItemImp::SetName(const string&) { return false; }
string FolderItemImp::GetAbsolutePath() { return GetName(); }
string FolderItemImp::GetDisplayName() { return GetName(); }
bool FolderItemImp::SetDisplayName(const string& name) { return SetName(name); }
bool FolderItemImp::IsExtensionVisible() { return true; }
bool FolderItemImp::SetExtensionVisible(bool) { return false; }
int32_t FolderItemImp::GetPermissions() { return 0; }
bool FolderItemImp::SetPermissions(int32_t) { return false; }
bool FolderItemImp::SetOwner(const string&) { return false; }
string FolderItemImp::GetOwner() { return string(); }
bool FolderItemImp::SetGroup(const string&) { return false; }
string FolderItemImp::GetGroup() { return string(); }
bool FolderItemImp::IsVisible() { return true; }
bool FolderItemImp::SetVisible(bool) { return false; }
bool FolderItemImp::IsLocked() { return false; }
bool FolderItemImp::SetLocked(bool) { return false; }
string FolderItemImp::GetType() { return string(); }
string FolderItemImp::GetSaveInfo(FolderItemImp*, int32_t) { return string(); }
string FolderItemImp::GetShellPath() { return GetAbsolutePath(); }
uint32_t FolderItemImp::GetMacType() { return kNoFourCharCode; }
bool FolderItemImp::SetMacType(uint32_t) { return false; }
uint32_t FolderItemImp::GetMacCreator() { return kNoFourCharCode; }
bool FolderItemImp::SetMacCreator(uint32_t) { return false; }
double FolderItemImp::GetCreationDate() { return 0.0; }
bool FolderItemImp::SetCreationDate(double) { return false; }
double FolderItemImp::GetModificationDate() { return GetCreationDate(); }
bool FolderItemImp::SetModificationDate(double) { return false; }
int32_t FolderItemImp::GetMacVRefNum() { return 0; }
int32_t FolderItemImp::GetMacDirID() { return 0; }
int32_t FolderItemImp::Reserved40() { return -1; }
int32_t FolderItemImp::Reserved41() { return 0; }
bool FolderItemImp::IsReadable() { return true; }
int32_t FolderItemImp::GetLength() { return 0; }
bool FolderItemImp::SetLength(int32_t) { return false; }
int32_t FolderItemImp::GetResourceForkLength() { return 0; }
RandomAccessMechanism* FolderItemImp::OpenStream(bool, bool) { return nullptr; }
int32_t FolderItemImp::Reserved48() { return -1; }
FolderItemImp* FolderItemImp::GetParent() { return nullptr; }
FolderItemImp* FolderItemImp::FindSpecialFolder(int32_t) { return nullptr; }
int32_t FolderItemImp::GetCount() { return 0; }
FolderItemImp* FolderItemImp::GetItem(int32_t, int32_t) { return nullptr; }
FolderItemImp* FolderItemImp::GetChild(const string&, int32_t) { return nullptr; }
FolderItemImp* FolderItemImp::ResolveAlias(int32_t) { return this; }
void FolderItemImp::Reserved55() {}
void FolderItemImp::MakeExecutable() {}
bool FolderItemImp::CreateAsFolder() { return false; }
RandomAccessMechanism* FolderItemImp::CreateStream(const string&) { return nullptr; }
bool FolderItemImp::Delete() { return false; }
bool FolderItemImp::Launch(const string&, bool) { return false; }
bool FolderItemImp::Reserved64() { return false; }
bool FolderItemImp::OpenStyledEditField(VornRuntimeObject*) { return false; }
VornRuntimeObject* FolderItemImp::OpenAsPicture(bool) { return nullptr; }
VornRuntimeObject* FolderItemImp::OpenAsMovie() { return nullptr; }
VornRuntimeObject* FolderItemImp::OpenAsSound() { return nullptr; }
VornRuntimeObject* FolderItemImp::OpenAsJPEG() { return nullptr; }
void FolderItemImp::OpenAsIcons(std::vector<VornRuntimeObject*>&) {}
void* FolderItemImp::OpenAsCursor() { return nullptr; }
bool FolderItemImp::SaveAsPicture(VornRuntimeObject*, int32_t) { return false; }
void FolderItemImp::SaveAsJPEG(VornRuntimeObject*) {}
bool FolderItemImp::SaveStyledEditField(VornRuntimeObject*) { return false; }

RandomAccessMechanism* FolderItemImp::OpenStreamToAppend(bool create) {
  std::unique_ptr<RandomAccessMechanism> store(OpenStream(true, true));
  // Creating empties what is there: only a file that is not there is made.
  if (!store && create && !Exists()) store.reset(CreateStream(string("text")));
  if (!store || store->IsSequential() || store->SetPosition64(store->GetLength64())) return store.release();
  mLastError = store->mLastError ? store->mLastError : EIO;
  return nullptr;
}

string FolderItemImp::GetURLPath() {
  std::vector<string> names;
  names.push_back(PercentEncode(GetName().ToUTF8()));
  std::unique_ptr<FolderItemImp> parent(GetParent());
  while (parent) {
    names.push_back(PercentEncode(parent->GetName().ToUTF8()));
    parent.reset(parent->GetParent());
  }
  string url("file://");
  for (size_t i = names.size(); i-- > 0;) {
    url.Append(names[i]);
    if (i > 0) url.AppendCString("/");
  }
  if (IsDirectory()) url.AppendCString("/");
  url.SetEncoding(kEncodingUTF8);
  return url;
}

bool FolderItemImp::MoveFileTo(FolderItemImp* destination) {
  if (!CopyFileTo(destination)) return false;
  return Delete();
}

bool FolderItemImp::CopyFileTo(FolderItemImp* destination) {
  if (destination == this) return true;
  if (!destination) return false;
  std::unique_ptr<RandomAccessMechanism> source(OpenStream(true, false));
  if (!source) return false;
  // Known before the target goes: a source too long to copy must cost the target nothing.
  int32_t remaining = source->GetLength();
  if (remaining < 0) {
    mLastError = source->mLastError ? source->mLastError : EIO;
    return false;
  }

  std::unique_ptr<FolderItemImp> child;
  FolderItemImp* target = destination;
  if (destination->IsDirectory()) {
    child.reset(destination->GetChild(GetName(), kResolveAliasFlag));
    if (!child) return false;
    target = child.get();
  }
  target->Delete();
  std::unique_ptr<RandomAccessMechanism> copy(target->CreateStream(string()));
  if (!copy) return false;

  bool ok = true;
  int32_t blockSize = remaining < kCopyBlockSize ? remaining : kCopyBlockSize;
  std::vector<uint8_t> buffer(static_cast<size_t>(blockSize > 0 ? blockSize : 1));
  while (ok && remaining > 0) {
    if (remaining < blockSize) blockSize = remaining;
    int32_t got = 0;
    if (!source->Read(buffer.data(), blockSize, &got) || got <= 0) {
      ok = false;
      break;
    }
    if (!copy->Write(buffer.data(), got)) {
      ok = false;
      break;
    }
    remaining -= got;
  }
  // A write the medium only takes at closing time counts as much as the others.
  if (!copy->Close()) ok = false;
  source->Close();
  copy.reset();
  source.reset();
  if (ok) {
    target->SetMacType(GetMacType());
    target->SetMacCreator(GetMacCreator());
  }
  return ok;
}

bool FolderItemImp::DeleteAll() {
  if (!IsDirectory()) return false;
  // A link to a folder goes as itself: what it points at is not this item's to empty.
  if (IsAlias()) return Delete();
  std::vector<std::unique_ptr<FolderItemImp>> entries;
  int32_t count = GetCount();
  for (int32_t i = 0; i < count; ++i) entries.emplace_back(GetItem(i, 0));

  bool ok = true;
  for (auto& entry : entries) {
    if (!entry) continue;
    // A link is deleted as itself, never walked: its target lies outside this folder.
    bool walk = !entry->IsAlias() && entry->IsDirectory();
    bool deleted = walk ? entry->DeleteAll() : entry->Delete();
    if (!deleted) {
      mLastError = entry->mLastError;
      ok = false;
      break;
    }
  }
  // A folder that still holds an entry cannot go; trying would only hide the entry's error.
  if (ok) ok = Delete();
  return ok;
}

bool FolderItemImp::IsWriteable() {
  if (Exists() && !IsDirectory()) {
    double modified = GetModificationDate();
    std::unique_ptr<RandomAccessMechanism> store(OpenStream(true, true));
    if (!store) return false;
    uint8_t byte = 0;
    int32_t got = 0;
    if (store->Read(&byte, 1, &got) && got == 1) {
      bool written = store->SetPosition(0) && store->Write(&byte, 1);
      written = store->Close() && written;
      store.reset();
      if (written) SetModificationDate(modified);
      return written;
    }
    bool clean = store->mLastError == 0;
    store->Close();
    return clean;
  }

  std::unique_ptr<FolderItemImp> folder(IsDirectory() ? Clone() : GetParent());
  if (!folder) return false;

  std::unique_ptr<FolderItemImp> probe(folder->GetChild(string(kProbeName), 0));
  // A name taken by a link, dangling or not, is passed over: creating the probe there would
  // make or empty whatever the link points at.
  for (int32_t counter = 0; probe && (probe->Exists() || probe->IsAlias()) && counter >= 0; ++counter) {
    string name(kProbeName);
    name.AppendCString(std::to_string(counter).c_str());
    probe.reset(folder->GetChild(name, 0));
  }
  if (!probe || probe->Exists() || probe->IsAlias()) return false;

  double folderModified = folder->GetModificationDate();
  bool writeable = false;
  std::unique_ptr<RandomAccessMechanism> store(probe->CreateStream(string("????")));
  if (store) {
    writeable = true;
    store->Close();
    store.reset();
    // The probe's error may still tell of its making (a new item that did not exist yet), so
    // only the deletion's own answer counts.
    probe->mLastError = 0;
    if (!probe->Delete()) new TempFileDeleter(probe.release());
  }
  folder->SetModificationDate(folderModified);
  return writeable;
}

string FileURLToPath(const string& url, uint8_t separator) {
  string text = url.ToUTF8();
  std::string_view bytes = text.View();
  constexpr std::string_view kScheme = "file://";
  if (bytes.size() < kScheme.size() ||
      CompareBytesNoCase(bytes.data(), static_cast<int32_t>(kScheme.size()), kScheme.data(),
                         static_cast<int32_t>(kScheme.size())) != 0)
    return string();
  bytes.remove_prefix(kScheme.size());
  if (bytes.empty() || bytes.front() != '/') return string();
  bytes.remove_prefix(1);
  std::string path(bytes);
  for (char& c : path)
    if (c == '/') c = static_cast<char>(separator);
  return PercentDecode(string(path, kEncodingUTF8), kEncodingUTF8);
}

bool IsSaveInfo(const string& data) {
  if (data.Length() < 4) return false;
  uint32_t marker = (uint32_t{data.Byte(0)} << 24) | (uint32_t{data.Byte(1)} << 16) |
                    (uint32_t{data.Byte(2)} << 8) | data.Byte(3);
  return marker == kSaveInfoMarker;
}

TempFileDeleter::TempFileDeleter(FolderItemImp* item) : BackgroundTask(kPeriodTicks), mItem(item) {}

TempFileDeleter::~TempFileDeleter() { delete mItem; }

void TempFileDeleter::Run() {
  if (!mItem) return;
  mItem->mLastError = 0;
  // Gone by other hands counts as done.
  if (mItem->Delete() || !mItem->Exists()) delete this;
}

}  // namespace vorn
