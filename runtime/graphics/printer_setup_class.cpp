#include "graphics/printer_setup_class.h"

#include "graphics/gtk_print_helper.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr char kSource[] = "../Common/Linux/GTKPrintHelper";

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define PAGE_VALUE(name, index) {0, name, "i4", Fn(&printerSetupInfoGetter), "printerSetupInfoGetter", nullptr, nullptr, index, 0}
#define MAX_RESOLUTION(name, index)                                                                       \
  {0, name, "i4", Fn(&printerSetupInfoGetter), "printerSetupInfoGetter", Fn(&printerSetupMaxResSetter), \
   "printerSetupMaxResSetter", index, 0}

const PropertyRow kProperties[] = {
    PAGE_VALUE("VerticalResolution", kPageVerticalResolution),
    PAGE_VALUE("HorizontalResolution", kPageHorizontalResolution),
    PAGE_VALUE("Left", kPageLeft),
    PAGE_VALUE("Top", kPageTop),
    PAGE_VALUE("Width", kPageWidth),
    PAGE_VALUE("Height", kPageHeight),
    PAGE_VALUE("PageLeft", kPagePageLeft),
    PAGE_VALUE("PageTop", kPagePageTop),
    PAGE_VALUE("PageWidth", kPagePageWidth),
    PAGE_VALUE("PageHeight", kPagePageHeight),
    MAX_RESOLUTION("MaxVerticalResolution", kPageMaxVerticalResolution),
    MAX_RESOLUTION("MaxHorizontalResolution", kPageMaxHorizontalResolution),
    {0, "SetupString", "s", Fn(&printerSetupStringGetter), "printerSetupStringGetter", Fn(&printerSetupStringSetter),
     "printerSetupStringSetter", 0, 0},
};

#undef PAGE_VALUE
#undef MAX_RESOLUTION

const ParamRow kWindowParam[] = {{"window", "o<Window>", 0, 0}};

const MethodRow kMethods[] = {
    {"PageSetupDialog", "b", kWindowParam, 1, Fn(&printerSetupPageSetup), "printerSetupPageSetup", nullptr, nullptr,
     0, 0},
};

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("PrinterSetup");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(PrinterSetupObject));
  definition->mInitializer = {Fn(&PrinterSetupConstructor), "PrinterSetupConstructor"};
  definition->mFinalizer = {Fn(&PrinterSetupDestructor), "PrinterSetupDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

// The helper of a setup object; nil objects and helpers are reported.
GTKPrintHelper* HelperOf(RuntimeObject* setup, int32_t line) {
  PrinterSetupObject* fields = PrinterSetupFields(setup);
  if (!fields) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kSource, line, "obj", "");
    return nullptr;
  }
  if (!fields->mHelper) ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kSource, line, "obj->mHelper", "");
  return fields->mHelper;
}

// The active print object's helper after it became `setup` (or a new PrinterSetup for nil).
GTKPrintHelper* ActivateForJob(RuntimeObject* setup, int32_t line) {
  if (setup) {
    SetActivePrintObject(setup);
  } else {
    RuntimeObject* made = CreateInstanceFromDefinition(GetPrinterSetupClassDefinition());
    SetActivePrintObject(made);
    RuntimeUnlockObject(made);
  }
  RuntimeObject* active = ActivePrintObject();
  PrinterSetupObject* fields = PrinterSetupFields(active);
  if (!fields) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kSource, line, "activePrintObject", "");
    return nullptr;
  }
  if (!fields->mHelper) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kSource, line, "activePrintObject->mHelper",
                       "There's no GTKPrintHelper!");
  }
  return fields->mHelper;
}

// Without a job the setup object need not be kept for one.
RuntimeObject* JobOrRelease(RuntimeObject* graphics) {
  if (!graphics) ReleaseActivePrintObject();
  return graphics;
}

}  // namespace

ObjectDefinition* GetPrinterSetupClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

PrinterSetupObject* PrinterSetupFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetPrinterSetupClassDefinition())) return nullptr;
  return reinterpret_cast<PrinterSetupObject*>(object);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void PrinterSetupConstructor(VornRuntimeObject* setup) {
  PrinterSetupObject* fields = PrinterSetupFields(setup);
  if (!fields) return;
  fields->mHelper = new GTKPrintHelper();
  fields->verticalResolution = 72;
  fields->horizontalResolution = 72;
  fields->maxVerticalResolution = 72;
  fields->maxHorizontalResolution = 72;
}

void PrinterSetupDestructor(VornRuntimeObject* setup) {
  PrinterSetupObject* fields = PrinterSetupFields(setup);
  if (!fields) return;
  delete fields->mHelper;
  fields->mHelper = nullptr;
}

int32_t printerSetupInfoGetter(VornRuntimeObject* setup, int32_t index) {
  GTKPrintHelper* helper = HelperOf(setup, __LINE__);
  return helper ? helper->GetPageValue(index) : 0;
}

void printerSetupMaxResSetter(VornRuntimeObject* setup, int32_t index, int32_t value) {
  GTKPrintHelper* helper = HelperOf(setup, __LINE__);
  if (!helper) return;
  if (index == kPageMaxVerticalResolution) helper->SetMaxVerticalResolution(value);
  if (index == kPageMaxHorizontalResolution) helper->SetMaxHorizontalResolution(value);
}

VornStringRecord* printerSetupStringGetter(VornRuntimeObject*, int32_t) { return nullptr; }

void printerSetupStringSetter(VornRuntimeObject*, int32_t, VornStringRecord*) {}

uint8_t printerSetupPageSetup(VornRuntimeObject* setup, VornRuntimeObject*) {
  GTKPrintHelper* helper = HelperOf(setup, __LINE__);
  if (!helper) return 0;
  const bool accepted = helper->ShowPageSetupDialog();
  PrinterSetupObject* fields = PrinterSetupFields(setup);
  fields->verticalResolution = helper->GetPageValue(kPageVerticalResolution);
  fields->horizontalResolution = helper->GetPageValue(kPageHorizontalResolution);
  fields->maxVerticalResolution = helper->GetPageValue(kPageMaxVerticalResolution);
  fields->maxHorizontalResolution = helper->GetPageValue(kPageMaxHorizontalResolution);
  return accepted ? 1 : 0;
}

VornRuntimeObject* RuntimeOpenPrinterDialog(VornRuntimeObject* setup, VornRuntimeObject*) {
  GTKPrintHelper* helper = ActivateForJob(setup, __LINE__);
  return JobOrRelease(helper ? helper->ShowPrintDialog(ActivePrintObject()) : nullptr);
}

VornRuntimeObject* RuntimeOpenPrinter(VornRuntimeObject* setup) {
  GTKPrintHelper* helper = ActivateForJob(setup, __LINE__);
  return JobOrRelease(helper ? helper->OpenPrinter(ActivePrintObject()) : nullptr);
}

}  // extern "C"
