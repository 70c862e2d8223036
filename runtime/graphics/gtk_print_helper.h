// Printing through the print library: every page is drawn into an offscreen bitmap (the
// print pane) through an ordinary language Graphics object, and each finished bitmap goes to
// the library as one RGB image. One helper per PrinterSetup object.
#pragma once

#include <cstdint>

#include "graphics/drawable_pane.h"
#include "objects/runtime_class.h"

namespace vorn {

struct PrintJob;
struct PrintContext;
struct PrintConfig;
class GTKPrintHelper;

// Indexes of GetPageValue.
enum PageValue : int32_t {
  kPageVerticalResolution = 0,
  kPageHorizontalResolution = 1,
  kPageLeft = 2,
  kPageTop = 3,
  kPageWidth = 4,
  kPageHeight = 5,
  kPagePageLeft = 6,
  kPagePageTop = 7,
  kPagePageWidth = 8,
  kPagePageHeight = 9,
  kPageMaxVerticalResolution = 10,
  kPageMaxHorizontalResolution = 11,
};

// The bitmap of the page being printed. Its NextPage (Erase) prints the page and begins the
// next; when it goes (with its Graphics object) the last page is printed and the job ends.
class PrintPane : public DrawablePane {
 public:
  // The pane keeps a reference to the setup object that owns the helper until the job ends.
  PrintPane(const Rect& bounds, RuntimeObject* setup);

  GTKPrintHelper* Helper() const { return mHelper; }
  // Set once the job's Graphics object exists: from then on the pane's end ends the job.
  void AttachHelper(GTKPrintHelper* helper) { mHelper = helper; }
  void Erase() override;

 protected:
  ~PrintPane() override;

 private:
  GTKPrintHelper* mHelper = nullptr;
  RuntimeObject* mSetup;
};

class GTKPrintHelper {
 public:
  GTKPrintHelper();
  ~GTKPrintHelper();
  GTKPrintHelper(const GTKPrintHelper&) = delete;
  GTKPrintHelper& operator=(const GTKPrintHelper&) = delete;

  // 0 when the library is unavailable or the index is not one of PageValue.
  int32_t GetPageValue(int32_t index);
  // A Graphics object for a job the user confirmed in the print dialog; nil when cancelled.
  RuntimeObject* ShowPrintDialog(RuntimeObject* setup);
  // The same without a dialog, for all pages.
  RuntimeObject* OpenPrinter(RuntimeObject* setup);
  // The page setup dialog; true when the user accepts it, and this setup's values and later
  // jobs then follow the page setup chosen.
  bool ShowPageSetupDialog();

  void StartPage();
  void PrintPage();
  // The print pane is going: its last page is printed and the job is handed to the library.
  void EndJob(PrintPane* pane);

  void SetVerticalResolution(int32_t value) { mVerticalResolution = value; }
  void SetHorizontalResolution(int32_t value) { mHorizontalResolution = value; }
  void SetMaxVerticalResolution(int32_t value) { mMaxVerticalResolution = value; }
  void SetMaxHorizontalResolution(int32_t value) { mMaxHorizontalResolution = value; }
  PrintPane* Pane() const { return mPrintPane; }

 private:
  // Makes the job and reads its configuration; false when the library is missing or a job
  // of this helper is still open.
  bool NewJob();
  // After the job is confirmed: resolutions, the pane and its Graphics object, first page.
  RuntimeObject* BeginJob(RuntimeObject* setup, int32_t copies, int32_t firstPage, int32_t lastPage);
  double LengthInPoints(const char* key);
  int32_t LengthInDots(const char* key, int32_t resolution);
  void ReleaseJob();

  PrintJob* mJob = nullptr;
  PrintContext* mContext = nullptr;
  PrintConfig* mConfig = nullptr;
  // The page setup chosen in the page setup dialog, shared by this helper's jobs.
  PrintConfig* mSetupConfig = nullptr;
  int32_t mVerticalResolution = 72;
  int32_t mHorizontalResolution = 72;
  int32_t mMaxVerticalResolution = 72;
  int32_t mMaxHorizontalResolution = 72;
  PrintPane* mPrintPane = nullptr;
};

// The PrinterSetup a job runs for: set by the two entry points, released when its job ends.
RuntimeObject* ActivePrintObject();
void SetActivePrintObject(RuntimeObject* setup);
void ReleaseActivePrintObject();

}  // namespace vorn
