#include "base/resource_manager.h"

#include "strings/runtime_error.h"
#include "vorn/image_format.h"

namespace vorn {

int32_t ResourceManager::AddResource(uint32_t type, uint16_t id, const void* data, uint32_t length,
                                     uint32_t fileOffset) {
  mEntries.push_back({type, id, static_cast<const uint8_t*>(data), length, fileOffset});
  return GetResourceCount();
}

ResourceEntry ResourceManager::GetResourceByIndex(int32_t index) const {
  if (index < 0 || index >= GetResourceCount()) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/ResourceManagerCommon",
                       92, "index < GetCount()", "");
    return {};
  }
  return mEntries[static_cast<size_t>(index)];
}

ResourceEntry ResourceManager::FindResource(uint32_t type, uint16_t id) const {
  for (const ResourceEntry& entry : mEntries) {
    if (entry.type == type && entry.id == id) return entry;
  }
  return {};
}

string ResourceManager::GetTextResource(uint16_t id, EncodingCode encoding) const {
  ResourceEntry entry = FindResource(image::kTypeText, id);
  if (!entry.data || entry.length > 0x7FFFFFFFu) return string();
  return string(entry.data, static_cast<int32_t>(entry.length), encoding);
}

std::optional<CursorRecord> ResourceManager::GetCursorResource(uint16_t id) const {
  ResourceEntry entry = FindResource(image::kTypeCursor, id);
  return DecodeCursorRecord(entry.data, entry.length);
}

std::optional<SoundSource> ResourceManager::GetSoundResource(uint16_t id) const {
  ResourceEntry entry = FindResource(image::kTypeSound, id);
  if (!entry.data) return std::nullopt;
  return SoundSource{entry.data, entry.length, entry.fileOffset};
}

std::optional<DatabaseResource> ResourceManager::GetDatabaseResource(uint16_t id) const {
  ResourceEntry entry = FindResource(image::kTypeDatabase, id);
  return DecodeDatabaseResource(entry.data, entry.length);
}

const VersionRecord* ResourceManager::GetVersionResource() {
  if (!mVersion) {
    ResourceEntry entry = FindResource(image::kTypeVersion, 0);
    if (std::optional<VersionRecord> record = DecodeVersionRecord(entry.data, entry.length)) {
      mVersion = std::make_unique<VersionRecord>(std::move(*record));
    }
  }
  return mVersion.get();
}

ResourceManager& GetResourceManager() {
  static ResourceManager manager;
  return manager;
}

}  // namespace vorn
