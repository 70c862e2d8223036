/*
 * Positions in the property tables of the runtime's classes, as packed property streams name
 * them. Every control table starts with Control's 8 and RectControl's 18 properties; Window
 * has 40; ContainerControl adds 17 of its own and re-declares 20 of Window's.
 */
#ifndef CALCULATOR_PROPERTY_INDICES_H
#define CALCULATOR_PROPERTY_INDICES_H

enum {
  /* Control and RectControl */
  kPropControlIndex = 1,
  kPropControlVisible = 12,
  kPropControlLeft = 13,
  kPropControlTop = 14,
  kPropControlWidth = 15,
  kPropControlHeight = 16,
  kPropControlEnabled = 17,
  kPropControlOwn = 26,

  /* Slider */
  kPropSliderMinimum = kPropControlOwn + 0,
  kPropSliderValue = kPropControlOwn + 1,
  kPropSliderMaximum = kPropControlOwn + 2,
  kPropSliderLineStep = kPropControlOwn + 3,
  kPropSliderPageStep = kPropControlOwn + 4,
  kPropSliderLiveScroll = kPropControlOwn + 5,

  /* StaticText */
  kPropStaticText = kPropControlOwn + 0,
  kPropStaticTextAlign = kPropControlOwn + 2,
  kPropStaticTextColor = kPropControlOwn + 3,
  kPropStaticTextSize = kPropControlOwn + 5,
  kPropStaticBold = kPropControlOwn + 6,

  /* GroupBox */
  kPropGroupCaption = kPropControlOwn + 0,
  kPropGroupBold = kPropControlOwn + 3,

  /* Canvas */
  kPropCanvasEraseBackground = kPropControlOwn + 5,

  /* PopupMenu */
  kPropPopupListIndex = kPropControlOwn + 6,
  kPropPopupInitialValue = kPropControlOwn + 8,

  /* Window */
  kPropWindowVisible = 0,
  kPropWindowLeft = 1,
  kPropWindowTop = 2,
  kPropWindowWidth = 3,
  kPropWindowHeight = 4,
  kPropWindowPlacement = 5,
  kPropWindowTitle = 6,
  kPropWindowResizeable = 12,
  kPropWindowFrame = 16,
  kPropWindowCount = 40,

  /* ContainerControl: its own properties follow Window's, then the re-declarations. */
  kPropContainerCount = kPropWindowCount + 17 + 20
};

/* Static text alignment */
enum { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };

/* Events of Window (and of ContainerControl, which declares none of its own). */
enum { kWindowEventCount = 28 };

#endif
