#include "objects/value_classes.h"

#include "base/reloc_entry.h"
#include "objects/class_registry.h"
#include "objects/collection.h"
#include "objects/date_class.h"
#include "objects/dictionary.h"
#include "objects/memory_block.h"
#include "objects/object_cursor.h"
#include "objects/random_class.h"
#include "objects/text_encoding_object.h"
#include "objects/text_functions.h"
#include "objects/variant.h"
#include "vorn/array_abi.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

}  // namespace

void RegisterValueClasses() {
  RegisterVariantClasses();
  RegisterDateClass();
  RegisterDictionaryClass();
  RegisterCollectionClass();
  RegisterObjectCursorClass();
  RegisterMemoryBlockClass();
  RegisterTextEncodingClass();
  RegisterTextFunctionClasses();
  RegisterIntrinsicClass("Random", &GetRandomClassDefinition);
  // Array operations compiled code and plug-ins import beyond the fixed rows.
  AddRelocEntry("RuntimeArray", Fn(&RuntimeArray));
  AddRelocEntry("RuntimeNewArray", Fn(&RuntimeNewArray));
  AddRelocEntry("RuntimeArrayAppend", Fn(&RuntimeArrayAppend));
  AddRelocEntry("RuntimeArrayAppendDouble", Fn(&RuntimeArrayAppendDouble));
  AddRelocEntry("RuntimeArrayInsert", Fn(&RuntimeArrayInsert));
  AddRelocEntry("RuntimeArrayRemove", Fn(&RuntimeArrayRemove));
  AddRelocEntry("RuntimeArrayRedim", Fn(&RuntimeArrayRedim));
  AddRelocEntry("GetTEObjectFromEncoding", Fn(&GetTEObjectFromEncoding));
}

}  // namespace vorn
