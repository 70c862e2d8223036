// Where folder items come from: paths in the three path modes, SaveInfo data, the constructors,
// the global functions, the conversions other subsystems and plug-ins use, and the items of
// the documents named on the command line.
#include <unistd.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "files/folder_item_assert.h"
#include "files/folder_item_class.h"
#include "files/folder_item_imp.h"
#include "files/folder_item_imp_unix.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

bool HoldsNul(const string& text) { return std::memchr(text.CString(), 0, static_cast<size_t>(text.Length())); }

void RaiseUnsupportedFormat(const char* message) {
  RuntimeRaiseExceptionWithMessage(GetUnsupportedFormatExceptionClassDefinition(), string(message));
}

RuntimeObject* WrapInFolderItemClass(FolderItemImp* imp) {
  return imp ? NewFolderItemWithImp(nullptr, imp) : nullptr;
}

RuntimeObject* GetFolderItem(StringRep* path, int32_t pathMode, bool resolveAliases) {
  return WrapInFolderItemClass(ResolveFolderItemPath(string::Share(path), pathMode, resolveAliases));
}

// Gives the object the implementation, destroying the one it had.
void TakeImp(RuntimeObject* self, FolderItemImp* imp) {
  auto* fields = reinterpret_cast<FolderItemObject*>(self);
  if (fields->mImp == imp) return;
  delete fields->mImp;
  fields->mImp = imp;
}

}  // namespace

FolderItemImp* FolderItemImpForNativePath(const string& path, bool resolveAliases) {
  bool refused = false;
  auto* imp = new FolderItemImpUnix(path, &refused);
  if (refused) {
    delete imp;
    return nullptr;
  }
  if (resolveAliases) {
    FolderItemImp* target = imp->ResolveAlias(kResolveAliasFlag);
    if (target && target != imp) {
      delete imp;
      return target;
    }
  }
  return imp;
}

FolderItemImp* ResolveFolderItemPath(const string& path, int32_t pathMode, bool resolveAliases) {
  switch (pathMode) {
    case kVornPathModeNative: {
      if (IsSaveInfo(path)) return NewFolderItemImpFromSaveInfo(path, nullptr);
      string native = path.ToUTF8();
      // The C library would stop at the NUL and reach a different file.
      if (HoldsNul(native)) return nullptr;
      return FolderItemImpForNativePath(native, resolveAliases);
    }
    case kVornPathModeShell: {
      string native = path.ToUTF8();
      if (native.IsEmpty() || native.Byte(0) != '/') {
        RaiseUnsupportedFormat("Passing non-absolute shell paths is not currently supported");
        return nullptr;
      }
      if (HoldsNul(native)) return nullptr;
      return NewFolderItemImpFromPath(native);
    }
    case kVornPathModeURL:
      return NewFolderItemImpFromURL(path);
    default:
      return nullptr;
  }
}

RuntimeObject* NewFolderItemWithImp(RuntimeClass* cls, FolderItemImp* imp) {
  std::unique_ptr<FolderItemImp> owned(imp);
  if (!imp || HoldsNul(imp->GetAbsolutePath())) return nullptr;
  RuntimeObject* item = cls ? RuntimeNewObject(cls) : CreateInstanceFromDefinition(GetFolderItemClassDefinition());
  if (!item) return nullptr;
  TakeImp(item, owned.release());
  return item;
}

RuntimeObject* NewDocumentFolderItem(const string& path) {
  string native = path.ToUTF8();
  if (native.IsEmpty() || HoldsNul(native)) return nullptr;
  if (native.Byte(0) != '/') {
    // A document argument means a file where the user stands, not beside the program.
    char folder[4096];
    if (!getcwd(folder, sizeof folder)) return nullptr;
    std::string absolute(folder);
    if (absolute.empty() || absolute.back() != '/') absolute += '/';
    absolute.append(native.View());
    native = string(absolute, native.Encoding());
  }
  return WrapInFolderItemClass(FolderItemImpForNativePath(native, true));
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* RuntimeGetFolderItem(VornStringRecord* path, int32_t pathMode) {
  return GetFolderItem(path, pathMode, true);
}

VornRuntimeObject* RuntimeGetTrueFolderItem(VornStringRecord* path, int32_t pathMode) {
  return GetFolderItem(path, pathMode, false);
}

// The location FolderItemImpUnix gives the empty path: the application's folder.
void FolderItemPathCtorNoParams(VornRuntimeObject* self) {
  if (!self) {
    ReportFolderItemAssertion(__LINE__, "obj");
    return;
  }
  if (FolderItemImp* imp = FolderItemImpForNativePath(string(), true)) TakeImp(self, imp);
}

void FolderItemPathCtor(VornRuntimeObject* self, VornStringRecord* path, int32_t pathMode) {
  if (!self) {
    ReportFolderItemAssertion(__LINE__, "obj");
    return;
  }
  FolderItemImp* imp = ResolveFolderItemPath(string::Share(path), pathMode, true);
  if (imp && HoldsNul(imp->GetAbsolutePath())) {
    delete imp;
    imp = nullptr;
  }
  if (!imp) {
    // A refusal that already explained itself keeps its own message.
    if (!PendingException()) RaiseUnsupportedFormat("The path passed into new FolderItem was invalid");
    return;
  }
  TakeImp(self, imp);
}

void FolderItemCopyCtor(VornRuntimeObject* self, VornRuntimeObject* source) {
  if (!self) {
    ReportFolderItemAssertion(__LINE__, "obj");
    return;
  }
  FolderItemImp* sourceImp = FolderItemImpOf(source);
  if (!sourceImp) {
    RuntimeRaiseNilObjectException();
    return;
  }
  TakeImp(self, sourceImp->Clone());
}

VornRuntimeObject* FolderItemFromPath(const char* path) {
  if (!path) return nullptr;
  return WrapInFolderItemClass(FolderItemImpForNativePath(string(path, static_cast<int32_t>(std::strlen(path)),
                                                                     kFileSystemEncoding),
                                                              true));
}

VornStringRecord* VORNpathFromFolderItem(VornRuntimeObject* item) {
  FolderItemImp* imp = FolderItemImpOf(item);
  return imp ? imp->GetAbsolutePath().GetRetainedRep() : nullptr;
}

int32_t FolderItemCopyPathToBuffer(char* buffer, VornRuntimeObject* item) {
  if (!buffer) return 0;
  FolderItemImp* imp = FolderItemImpOf(item);
  if (!imp) {
    buffer[0] = 0;
    return 0;
  }
  string path = imp->GetAbsolutePath();
  // Callers allocate the platform's path limit. A longer path is not cut short (it would name
  // another file): the buffer gets the empty text and the answer is 0.
  if (path.Length() >= PATH_MAX) {
    buffer[0] = 0;
    return 0;
  }
  std::memcpy(buffer, path.CString(), static_cast<size_t>(path.Length()) + 1);
  return 1;
}

void* FolderItemGetImp(VornRuntimeObject* item) { return FolderItemImpOf(item); }

VornRuntimeObject* FolderItemOpenAsJPEG(VornRuntimeObject* item) {
  FolderItemImp* imp = FolderItemImpOf(item);
  return imp ? imp->OpenAsJPEG() : nullptr;
}

}  // extern "C"
