// Fuzzes opening a volume file and then using it: the tree is walked, files are read, and a
// few changes are made, all on a copy of the input held in memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/file_handle.h"
#include "files/vfile.h"
#include "files/vhfs_volume.h"
#include "strings/runtime_error.h"

namespace {

using namespace vorn;

constexpr int kMostItems = 64;

// Damage is reported as failed checks; here they are expected and need no one to see them.
bool Quiet(const std::string&) { return true; }

void Walk(VHFSVolume& volume, const VHFSItem& folder, int depth, int& visited) {
  if (depth > 8) return;
  for (const VHFSItem& child : volume.ListChildren(folder)) {
    if (++visited > kMostItems) return;
    VHFSItemInfo info;
    volume.GetItemInfo(child, &info);
    volume.GetParent(child);
    if (child.IsFolder()) {
      Walk(volume, child, depth + 1, visited);
    } else if (std::unique_ptr<VFile> file{volume.OpenFile(child)}) {
      char buffer[512];
      int32_t got = 0;
      file->Read(buffer, sizeof buffer, &got);
      file->SetPosition(file->GetLength() / 2);
      file->Write("fuzz", 4);
      file->Close();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetRuntimeErrorPresenter(&Quiet);
  auto* store = new FileHandle;
  if (size > 0) store->Write(data, static_cast<int32_t>(size));
  store->SetPosition(0);
  VHFSVolume volume(store, true);
  if (!volume.IsOK()) return 0;

  VHFSItem root = volume.GetRoot();
  int visited = 0;
  Walk(volume, root, 0, visited);

  VHFSItem folder = volume.CreateFolder(root, "made");
  VHFSItem file = volume.CreateItem(folder.Exists() ? folder : root, "file", kUnknownFileType);
  if (std::unique_ptr<VFile> stream{volume.OpenFile(file)}) {
    std::string bytes(3000, 'x');
    stream->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream->Close();
  }
  std::vector<VHFSItem> children = volume.ListChildren(root);
  if (!children.empty()) {
    volume.Move(children.front(), folder);
    volume.Delete(children.back());
  }
  volume.Delete(file);
  volume.Core()->Flush();
  return 0;
}
