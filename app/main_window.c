#include "main_window.h"

#include <stddef.h>

#include "calculator_parameters.h"
#include "chart_data.h"
#include "chart_paint.h"
#include "image_imports.h"
#include "image_log.h"
#include "packed_stream.h"
#include "property_indices.h"
#include "slider_control.h"
#include "vorn/application_abi.h"
#include "vorn/runtime_math.h"

VORN_LITERAL(kMainWindowName, "MainWindow");
VORN_LITERAL(kWindowTitle, "Telescope Limiting Magnitude");
VORN_LITERAL(kStaticTextClassName, "StaticText");
VORN_LITERAL(kGroupBoxClassName, "GroupBox");
VORN_LITERAL(kCanvasClassName, "Canvas");
VORN_LITERAL(kPopupMenuClassName, "PopupMenu");

VORN_LITERAL(kGroupTelescopeName, "TelescopeGroup");
VORN_LITERAL(kGroupObserverName, "ObserverGroup");
VORN_LITERAL(kGroupSkyName, "SkyGroup");
VORN_LITERAL(kGroupTelescope, "Telescope");
VORN_LITERAL(kGroupObserver, "Observer");
VORN_LITERAL(kGroupSky, "Sky and star");
VORN_LITERAL(kResultName, "ResultLabel");
VORN_LITERAL(kXAxisLabelName, "XAxisLabel");
VORN_LITERAL(kCurvesLabelName, "CurvesLabel");
VORN_LITERAL(kXAxisName, "XAxisMenu");
VORN_LITERAL(kCurvesName, "CurvesMenu");
VORN_LITERAL(kXAxisCaption, "X-Axis");
VORN_LITERAL(kCurvesCaption, "Curves");
VORN_LITERAL(kChartName, "Chart");
VORN_LITERAL(kTimerName, "ChartTimer");
VORN_LITERAL(kResultFormat, "\"Limiting magnitude: \"0.00");
VORN_LITERAL(kNone, "None");
VORN_LITERAL(kLineFeed, "\n");

VORN_LITERAL(kChanged, "Changed");
VORN_LITERAL(kChange, "Change");
VORN_LITERAL(kPaint, "Paint");

enum {
  kWindowWidth = 932,
  kWindowHeight = 800,
  kMargin = 12,
  kGroupWidth = 296,
  kGroupGap = 10,
  kGroupTop = 8,
  kGroupHeader = 24,
  kGroupRows = 4,
  kRowHeight = 60,
  kGroupBottom = kGroupTop + kGroupHeader + kGroupRows * kRowHeight + 6,
  kRowTop = kGroupBottom + 12,
  kRowHeightControls = 28,
  kMenuWidth = 214,
  kMenuLabelWidth = 56,
  kMenuLabelGap = 6,
  kMenuGap = 18,
  kChartTop = kRowTop + kRowHeightControls + 12,
  kChartRefreshMilliseconds = 40
};

/* Which group each parameter sits in, and its row there. */
static const int32_t kGroupOf[kParamCount] = {0, 0, 1, 1, 0, 0, 2, 2, 2, 2, 1};
static const int32_t kRowOf[kParamCount] = {0, 1, 0, 1, 2, 3, 0, 1, 2, 3, 2};

static VornRuntimeClass *gStaticTextClass, *gGroupBoxClass, *gCanvasClass, *gPopupMenuClass;
static VornRuntimeClass *gSliderControlClass, *gChartTimerClass;
static PackedStream gStream;
static ChartData gChart;
static int32_t gChartValid;

/* Room for "None" and the eleven titles, one a line. */
static struct {
  VornStringRecord record;
  unsigned char buffer[400];
} gCurvesRows, gXAxisRows;

/* --- reading the window ---------------------------------------------------------------- */

/* GetSliderControl(index): the composite slider of parameter index, with a reference. */
static VornRuntimeObject *GetSliderControl(VornRuntimeObject *self, int32_t index) {
  if (index < 0 || index >= kParamCount) return 0;
  return RuntimeControlReference(self, kCalculatorParameters[index].controlName);
}

static void ReadValues(VornRuntimeObject *self, double values[kParamCount]) {
  for (int32_t i = 0; i < kParamCount; ++i) {
    VornRuntimeObject *control = GetSliderControl(self, i);
    values[i] = control ? SliderControlValue(control) : kCalculatorParameters[i].defaultValue;
    if (control) RuntimeUnlockObject(control);
  }
}

static int32_t SelectedRow(VornRuntimeObject *self, VornStringRecord *name) {
  VornRuntimeObject *menu = RuntimeControlReference(self, name);
  if (!menu) return -1;
  int32_t row = RuntimeComboBoxSelectionGetter(menu, 0);
  RuntimeUnlockObject(menu);
  return row;
}

static void ComputeChart(VornRuntimeObject *self) {
  double values[kParamCount];
  ReadValues(self, values);
  int32_t xRow = SelectedRow(self, VORN_STR(kXAxisName));
  int32_t curvesRow = SelectedRow(self, VORN_STR(kCurvesName));
  ChartCompute(&gChart, values, xRow < 0 ? kParamAperture : xRow,
               curvesRow <= 0 ? kChartNoFamily : curvesRow - 1, kChartFamilySize, kChartMaxPoints);
  gChartValid = 1;
}

static void ArmChartTimer(VornRuntimeObject *self) {
  VornRuntimeObject *timer = RuntimeControlReference(self, VORN_STR(kTimerName));
  if (!timer) return;
  /* An armed timer is left alone, so a drag refreshes the chart every period instead of
   * postponing it until the drag stops. */
  if (((VornTimerObject *)timer)->mode == kVornTimerOff) timerModeSetter(timer, 0, kVornTimerSingle);
  RuntimeUnlockObject(timer);
}

static void ShowResult(VornRuntimeObject *self) {
  double values[kParamCount];
  ReadValues(self, values);
  VornStringRecord *text = StringFormat(EvaluateParameters(values), VORN_STR(kResultFormat));
  VornRuntimeObject *label = RuntimeControlReference(self, VORN_STR(kResultName));
  if (label) {
    staticCaptionSetter(label, 0, text);
    RuntimeUnlockObject(label);
  }
  RuntimeUnlockString(text);
}

/* The result at once, the chart through the timer. */
static void Recalculate(VornRuntimeObject *self) {
  ShowResult(self);
  ArmChartTimer(self);
}

/* --- handlers ---------------------------------------------------------------------------- */

/* Changed of a composite slider, implemented in the window's code. */
static void OnParameterChanged(VornRuntimeObject *control) {
  VornRuntimeObject *self = control, *me = 0;
  VornRuntimeObject *window = eWindowContainingWindowGettter(control, 0);
  RuntimeExchangeSelfAndMeObj(&self, &me, window);
  if (window) {
    Recalculate(self);
    RuntimeUnlockObject(window);
  }
}

/* Change of either popup menu. */
static void OnMenuChange(VornRuntimeObject *menu) {
  VornRuntimeObject *self = menu, *me = 0;
  RuntimeExchangeSelfAndMe(&self, &me);
  if (!self || VORN_FAILED()) return;
  ArmChartTimer(self);
  RuntimeUnlockObject(self);
}

static void OnChartPaint(VornRuntimeObject *canvas, VornRuntimeObject *g) {
  VornRuntimeObject *self = canvas, *me = 0;
  RuntimeExchangeSelfAndMe(&self, &me);
  if (!self || VORN_FAILED()) return;
  if (!gChartValid) ComputeChart(self);
  ChartPaint(g, &gChart, ctlPosGetter(me, 2), ctlPosGetter(me, 3));
  RuntimeUnlockObject(self);
}

/* The chart computes itself at its first Paint, so opening needs no refresh of it. */
static void OnOpen(VornRuntimeObject *self) { ShowResult(self); }

/* --- the chart timer: a Timer placed on the window --------------------------------------- */

typedef struct ChartTimerObject {
  VornTimerObject timer;
  VornRuntimeObject *window; /* not held: the window holds the timer */
  int32_t index;
} ChartTimerObject;

static void TimerSetWindow(VornRuntimeObject *self, VornRuntimeObject *window) {
  ((ChartTimerObject *)self)->window = window;
}

static VornRuntimeObject *TimerWindow(VornRuntimeObject *self) {
  VornRuntimeObject *window = ((ChartTimerObject *)self)->window;
  if (window) RuntimeLockObject(window);
  return window;
}

static int32_t TimerIndex(VornRuntimeObject *self) { return ((ChartTimerObject *)self)->index; }

static void TimerSetIndex(VornRuntimeObject *self, int32_t index) { ((ChartTimerObject *)self)->index = index; }

static void OnChartTimerAction(VornRuntimeObject *timer) {
  VornRuntimeObject *self = ((ChartTimerObject *)timer)->window;
  if (!self) return;
  ComputeChart(self);
  VornRuntimeObject *canvas = RuntimeControlReference(self, VORN_STR(kChartName));
  if (canvas) {
    RuntimeControlRefresh(canvas, 0);
    RuntimeUnlockObject(canvas);
  }
}

static const VornClassMember kTimerMethods[] = {
    {"_SetWindow%%o<ChartTimer>o<Window>", (void *)TimerSetWindow, 0, 0},
    {"Window%o<Window>%o<ChartTimer>", (void *)TimerWindow, 0, 0},
    {"_Index%i4%o<ChartTimer>", (void *)TimerIndex, 0, 0},
    {"_SetIndex%%o<ChartTimer>i4", (void *)TimerSetIndex, 0, 0},
};
static const VornClassMember kTimerHandlers[] = {{"#Action%%o<ChartTimer>", (void *)OnChartTimerAction, 0, 0}};
static const char *const kTimerInterfaces[] = {"_PaneChild"};
static const VornClassRecord kChartTimerClass = {
    kVornClassRecordVersion, 0, "ChartTimer", "Timer", (int32_t)sizeof(ChartTimerObject),
    {0, 0}, {0, 0}, 0, 0,
    kTimerMethods, (int32_t)(sizeof kTimerMethods / sizeof kTimerMethods[0]),
    0, 0, kTimerHandlers, 1, kTimerInterfaces, 1};

/* --- building the window ----------------------------------------------------------------- */

static void OnLayout(VornRuntimeObject *self) {
  PackedBegin(&gStream);
  PackedString(&gStream, kPropWindowTitle, VORN_STR(kWindowTitle));
  PackedInteger(&gStream, kPropWindowLeft, 40);
  PackedInteger(&gStream, kPropWindowTop, 40);
  PackedInteger(&gStream, kPropWindowWidth, kWindowWidth);
  PackedInteger(&gStream, kPropWindowHeight, kWindowHeight);
  PackedBoolean(&gStream, kPropWindowVisible, 1);
  RuntimeMassPropertySetter(self, PackedRecord(&gStream));
}

static void BeginControl(int32_t left, int32_t top, int32_t width, int32_t height) {
  PackedBegin(&gStream);
  PackedInteger(&gStream, kPropControlIndex, (int32_t)0x80000000);
  PackedInteger(&gStream, kPropControlLeft, left);
  PackedInteger(&gStream, kPropControlTop, top);
  PackedInteger(&gStream, kPropControlWidth, width);
  PackedInteger(&gStream, kPropControlHeight, height);
  /* A control starts hidden and disabled; the designed state is part of every stream. */
  PackedBoolean(&gStream, kPropControlVisible, 1);
  PackedBoolean(&gStream, kPropControlEnabled, 1);
}

/* Applies the stream built so far, installs the handler (if any) and files the control. */
static void FinishControl(VornRuntimeObject *self, VornRuntimeObject *control, VornStringRecord *name,
                          VornStringRecord *event, void *handler) {
  RuntimeMassPropertySetter(control, PackedRecord(&gStream));
  if (handler) RuntimeInstallInstanceEventHandler(control, event, handler);
  WindowAddControl(self, name, control);
  RuntimeUnlockObject(control);
}

/* Every group is as tall as the tallest, so that their frames line up. */
static void AddGroup(VornRuntimeObject *self, int32_t column, VornStringRecord *name, VornStringRecord *caption) {
  VornRuntimeObject *group = WindowAllocateObject(self, gGroupBoxClass);
  if (!group) return;
  BeginControl(kMargin + column * (kGroupWidth + kGroupGap), kGroupTop, kGroupWidth,
               kGroupBottom - kGroupTop);
  PackedString(&gStream, kPropGroupCaption, caption);
  PackedBoolean(&gStream, kPropGroupBold, 1);
  FinishControl(self, group, name, 0, 0);
}

static void AddSliderControl(VornRuntimeObject *self, int32_t parameter) {
  const CalculatorParameter *p = &kCalculatorParameters[parameter];
  VornRuntimeObject *control = RuntimeNewObject(gSliderControlClass);
  if (!control) return;
  PackedBegin(&gStream);
  PackedInteger(&gStream, kPropWindowLeft,
                kMargin + kGroupOf[parameter] * (kGroupWidth + kGroupGap) + (kGroupWidth - kSliderControlWidth) / 2);
  PackedInteger(&gStream, kPropWindowTop, kGroupTop + kGroupHeader + kRowOf[parameter] * kRowHeight);
  PackedString(&gStream, kPropSliderControlCaption, p->title);
  PackedString(&gStream, kPropSliderControlFormat, p->format);
  if (p->names) PackedString(&gStream, kPropSliderControlNames, p->names);
  PackedSingle(&gStream, kPropSliderControlMinimum, (float)p->minimum);
  PackedSingle(&gStream, kPropSliderControlMaximum, (float)p->maximum);
  PackedSingle(&gStream, kPropSliderControlStep, (float)p->step);
  PackedSingle(&gStream, kPropSliderControlValue, (float)p->defaultValue);
  FinishControl(self, control, p->controlName, VORN_STR(kChanged), (void *)OnParameterChanged);
}

static void AddLabel(VornRuntimeObject *self, VornStringRecord *name, VornStringRecord *caption,
                     int32_t left, int32_t top, int32_t width, int32_t height, int32_t size, int32_t align) {
  VornRuntimeObject *label = WindowAllocateObject(self, gStaticTextClass);
  if (!label) return;
  BeginControl(left, top, width, height);
  if (caption) PackedString(&gStream, kPropStaticText, caption);
  PackedInteger(&gStream, kPropStaticTextSize, size);
  PackedInteger(&gStream, kPropStaticTextAlign, align);
  PackedBoolean(&gStream, kPropStaticBold, 1);
  FinishControl(self, label, name, 0, 0);
}

/* Appends the record's text to a row list. */
static void AppendText(VornStringRecord *rows, unsigned char *buffer, int32_t capacity,
                       const VornStringRecord *text) {
  for (int32_t i = 0; i < text->length && rows->length < capacity - 2; ++i) {
    buffer[1 + rows->length++] = (unsigned char)text->buffer[1 + i];
  }
}

/* The initial rows of a popup menu: optionally "None", then the eleven titles, one a line. */
static VornStringRecord *MenuRows(VornStringRecord *rows, unsigned char *buffer, int32_t capacity,
                                  int32_t withNone) {
  rows->refCount = 1;
  rows->buffer = (char *)buffer;
  rows->length = 0;
  rows->encoding = kVornEncodingUTF8;
  if (withNone) {
    AppendText(rows, buffer, capacity, VORN_STR(kNone));
    AppendText(rows, buffer, capacity, VORN_STR(kLineFeed));
  }
  for (int32_t i = 0; i < kParamCount; ++i) {
    AppendText(rows, buffer, capacity, kCalculatorParameters[i].title);
    AppendText(rows, buffer, capacity, VORN_STR(kLineFeed));
  }
  buffer[0] = (unsigned char)(rows->length > 255 ? 255 : rows->length);
  buffer[1 + rows->length] = 0;
  rows->bufferSize = rows->length + 2;
  return rows;
}

static void AddMenu(VornRuntimeObject *self, VornStringRecord *name, VornStringRecord *rows,
                    int32_t row, int32_t left, int32_t width) {
  VornRuntimeObject *menu = WindowAllocateObject(self, gPopupMenuClass);
  if (!menu) return;
  BeginControl(left, kRowTop, width, kRowHeightControls);
  PackedString(&gStream, kPropPopupInitialValue, rows);
  PackedInteger(&gStream, kPropPopupListIndex, row);
  FinishControl(self, menu, name, VORN_STR(kChange), (void *)OnMenuChange);
}

static void OnCreateControls(VornRuntimeObject *self) {
  AddGroup(self, 0, VORN_STR(kGroupTelescopeName), VORN_STR(kGroupTelescope));
  AddGroup(self, 1, VORN_STR(kGroupObserverName), VORN_STR(kGroupObserver));
  AddGroup(self, 2, VORN_STR(kGroupSkyName), VORN_STR(kGroupSky));
  for (int32_t i = 0; i < kParamCount; ++i) AddSliderControl(self, i);

  /* The result on the left; the chart's two menus, each with its label, flush right. */
  const int32_t curvesLeft = kWindowWidth - kMargin - kMenuWidth;
  const int32_t xAxisLeft = curvesLeft - kMenuLabelWidth - kMenuLabelGap - kMenuGap - kMenuWidth;
  AddLabel(self, VORN_STR(kResultName), 0, kMargin, kRowTop + 2, xAxisLeft - kMenuLabelWidth - 2 * kMargin, 24,
           15, kAlignLeft);
  AddLabel(self, VORN_STR(kXAxisLabelName), VORN_STR(kXAxisCaption), xAxisLeft - kMenuLabelGap - kMenuLabelWidth,
           kRowTop + 5, kMenuLabelWidth, 20, 11, kAlignRight);
  AddMenu(self, VORN_STR(kXAxisName),
          MenuRows(&gXAxisRows.record, gXAxisRows.buffer, (int32_t)sizeof gXAxisRows.buffer, 0),
          kParamAperture, xAxisLeft, kMenuWidth);
  AddLabel(self, VORN_STR(kCurvesLabelName), VORN_STR(kCurvesCaption), curvesLeft - kMenuLabelGap - kMenuLabelWidth,
           kRowTop + 5, kMenuLabelWidth, 20, 11, kAlignRight);
  AddMenu(self, VORN_STR(kCurvesName),
          MenuRows(&gCurvesRows.record, gCurvesRows.buffer, (int32_t)sizeof gCurvesRows.buffer, 1),
          0, curvesLeft, kMenuWidth);

  VornRuntimeObject *canvas = WindowAllocateObject(self, gCanvasClass);
  if (canvas) {
    BeginControl(kMargin, kChartTop, kWindowWidth - 2 * kMargin, kWindowHeight - kChartTop - kMargin);
    FinishControl(self, canvas, VORN_STR(kChartName), VORN_STR(kPaint), (void *)OnChartPaint);
  }

  VornRuntimeObject *timer = WindowAllocateObject(self, gChartTimerClass);
  if (timer) {
    timerPeriodSetter(timer, 0, kChartRefreshMilliseconds);
    WindowAddControl(self, VORN_STR(kTimerName), timer);
    RuntimeUnlockObject(timer);
  }
}

static const VornClassMember kWindowMethods[] = {
    {"GetSliderControl%o<SliderControl>%o<MainWindow>i4", (void *)GetSliderControl, 0, 0},
};

static const VornClassMember kWindowHandlers[] = {
    {"#Layout%%o<MainWindow>", (void *)OnLayout, 0, 0},
    {"#CreateControls%%o<MainWindow>", (void *)OnCreateControls, 0, 0},
    {"#Open%%o<MainWindow>", (void *)OnOpen, 0, 0},
};

static const VornClassRecord kMainWindowClass = {
    kVornClassRecordVersion, 0, "MainWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
    {0, 0}, {0, 0}, 0, 0,
    kWindowMethods, 1,
    0, 0,
    kWindowHandlers, (int32_t)(sizeof kWindowHandlers / sizeof kWindowHandlers[0]),
    0, 0};

VornRuntimeClass *RegisterMainWindowClasses(void) {
  gStaticTextClass = RuntimeLookupClass(VORN_STR(kStaticTextClassName));
  gGroupBoxClass = RuntimeLookupClass(VORN_STR(kGroupBoxClassName));
  gCanvasClass = RuntimeLookupClass(VORN_STR(kCanvasClassName));
  gPopupMenuClass = RuntimeLookupClass(VORN_STR(kPopupMenuClassName));
  gSliderControlClass = RegisterSliderControlClass();
  gChartTimerClass = RuntimeNewClass(&kChartTimerClass);
  if (!gStaticTextClass) ImageLog("calculator: the runtime has no class StaticText\n");
  if (!gGroupBoxClass) ImageLog("calculator: the runtime has no class GroupBox\n");
  if (!gCanvasClass) ImageLog("calculator: the runtime has no class Canvas\n");
  if (!gPopupMenuClass) ImageLog("calculator: the runtime has no class PopupMenu\n");
  if (!gStaticTextClass || !gGroupBoxClass || !gCanvasClass || !gPopupMenuClass ||
      !gSliderControlClass || !gChartTimerClass) {
    return 0;
  }
  return RuntimeNewClass(&kMainWindowClass);
}

void OpenMainWindow(VornRuntimeClass *mainWindowClass) {
  VornRuntimeObject *window = RuntimeGetImplicitWindow(VORN_STR(kMainWindowName));
  if (!window) {
    window = RuntimeNewObject(mainWindowClass);
    if (!window || VORN_FAILED()) return;
    WindowDefaultConstructor(window);
  }
  RuntimeShowWindow(window);
  RuntimeUnlockObject(window);
}
