// Stream objects over a store someone opened: the folder items hand every file they open or
// create to one of these. Each answers a new object with one reference for the caller, which
// then owns the store; nil when the object cannot be made, and the store is destroyed then.
#pragma once

#include "files/random_access_mechanism.h"
#include "objects/runtime_class.h"

namespace vorn {

RuntimeObject* NewBinaryStreamObject(RandomAccessMechanism* store);
RuntimeObject* NewTextInputStreamObject(RandomAccessMechanism* store);
RuntimeObject* NewTextOutputStreamObject(RandomAccessMechanism* store);

}  // namespace vorn
