#include "controls/support/control_test_support.h"
#include "graphics/graphics.h"
#include "objects/object_definition.h"

namespace vorn::test {

namespace {

struct TestGraphicsObject {
  RuntimeObject header;
  Graphics* port;
};

int32_t sLive = 0;

void Finalize(RuntimeObject* self) {
  auto* fields = reinterpret_cast<TestGraphicsObject*>(self);
  DisposeGraphics(fields->port);
  fields->port = nullptr;
  --sLive;
}

ObjectDefinition* Definition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("TestGraphics");
    definition.mInstanceSize = sizeof(TestGraphicsObject);
    definition.mFinalizer = {reinterpret_cast<void*>(&Finalize), "TestGraphicsFinalizer"};
  }
  return &definition;
}

RuntimeObject* NewObject(Graphics* port) {
  RuntimeObject* object = CreateInstanceFromDefinition(Definition());
  reinterpret_cast<TestGraphicsObject*>(object)->port = port;
  ++sLive;
  return object;
}

Graphics* Detach(RuntimeObject* object) {
  auto* fields = reinterpret_cast<TestGraphicsObject*>(object);
  Graphics* port = fields->port;
  fields->port = nullptr;
  return port;
}

}  // namespace

Graphics* TestGraphicsPort(RuntimeObject* graphics) {
  return graphics ? reinterpret_cast<TestGraphicsObject*>(graphics)->port : nullptr;
}

int32_t LiveTestGraphicsObjects() { return sLive; }

void InstallTestGraphicsServices() {
  CanvasGraphicsServices services;
  services.newGraphicsObject = &NewObject;
  services.detachGraphicsPort = &Detach;
  services.graphicsPort = &TestGraphicsPort;
  SetCanvasGraphicsServices(services);
}

}  // namespace vorn::test
