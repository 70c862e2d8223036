#include "core/application.h"

#include <gtest/gtest.h>

#include <glib.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "core/run_loop.h"
#include "base/startup.h"
#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "core/support/core_object_test.h"

namespace vorn {
namespace {

using testing::CoreObjectTest;

void Record(const std::string& text) { CoreObjectTest::Log() += text + ";"; }

void OnOpen(RuntimeObject*) { Record("Open"); }
void OnNewDocument(RuntimeObject*) { Record("NewDocument"); }
void OnOpenDocument(RuntimeObject*, RuntimeObject* item) {
  Record("OpenDocument(" + (item ? std::string(ExceptionMessage(item).View()) : "nil") + ")");
}
void OnClose(RuntimeObject*) { Record("Close"); }
uint8_t OnCancelCloseRefuse(RuntimeObject*) {
  Record("CancelClose");
  return 1;
}
uint8_t OnCancelCloseAllow(RuntimeObject* app) {
  Record("CancelClose");
  ApplicationQuit(app, 0, 0);  // a nested quit while the sequence runs does nothing
  return 0;
}
uint8_t OnUnhandledTrue(RuntimeObject*, RuntimeObject* error) {
  Record("UnhandledException(" + std::string(ClassOf(error)->mName.View()) + ")");
  return 1;
}
uint8_t OnUnhandledRaising(RuntimeObject*, RuntimeObject*) {
  Record("UnhandledException");
  RuntimeRaiseOutOfBoundsException();
  return 1;
}

const int32_t kAppSize = static_cast<int32_t>(sizeof(ApplicationObject));

RuntimeClass* DocumentApp() {
  return testing::MakeSubclass("DocumentApp", "Application", kAppSize,
                               {{"#Open%%o<DocumentApp>", reinterpret_cast<void*>(&OnOpen), nullptr, 0},
                                {"#NewDocument%%o<DocumentApp>", reinterpret_cast<void*>(&OnNewDocument), nullptr, 0},
                                {"#OpenDocument%%o<DocumentApp>o<FolderItem>",
                                 reinterpret_cast<void*>(&OnOpenDocument), nullptr, 0}});
}

RuntimeClass* OpenOnlyApp() {
  return testing::MakeSubclass("OpenOnlyApp", "Application", kAppSize,
                               {{"#Open%%o<OpenOnlyApp>", reinterpret_cast<void*>(&OnOpen), nullptr, 0},
                                {"#NewDocument%%o<OpenOnlyApp>", reinterpret_cast<void*>(&OnNewDocument), nullptr, 0}});
}

// A document item that carries its path: an exception object's Message does for the test.
RuntimeObject* MakeItem(const string& path) {
  RuntimeObject* item = CreateInstanceFromDefinition(GetRuntimeExceptionClassDefinition());
  reinterpret_cast<RuntimeExceptionObject*>(item)->message = path.GetRetainedRep();
  return item;
}

class ApplicationTest : public CoreObjectTest {
 protected:
  void SetUp() override {
    CoreObjectTest::SetUp();
    mSavedArgc = gArgc;
    mSavedArgv = gArgv;
    SetDocumentItemFactory(&MakeItem);
  }
  void TearDown() override {
    ReleaseApplicationObject();
    RegisterConsoleApplicationObject(nullptr);
    SetApplicationHooks({});
    SetDocumentItemFactory(nullptr);
    gArgc = mSavedArgc;
    gArgv = mSavedArgv;
    CoreObjectTest::TearDown();
  }
  void SetArguments(std::vector<const char*> args) {
    mArgs = std::move(args);
    gArgc = static_cast<int32_t>(mArgs.size());
    gArgv = const_cast<char**>(mArgs.data());
  }
  RuntimeObject* NewApp(RuntimeClass* cls) { return RuntimeNewObject(cls); }

  std::vector<const char*> mArgs;
  int32_t mSavedArgc = 0;
  char** mSavedArgv = nullptr;
};

TEST_F(ApplicationTest, WithoutArgumentsOpenThenNewDocumentFire) {
  SetArguments({"vorn"});
  RuntimeObject* app = NewApp(DocumentApp());
  RuntimeRegisterAppObject(app);
  EXPECT_EQ(Log(), "Open;NewDocument;");
  EXPECT_EQ(GetApplicationObject(), app);
  EXPECT_EQ(app->refCount, 2) << "the runtime holds its own reference";
  RuntimeUnlockObject(app);
}

TEST_F(ApplicationTest, EachArgumentOpensADocumentInOrderAndNoNewDocumentFires) {
  SetArguments({"vorn", "/tmp/first.txt", "second file"});
  RuntimeObject* app = NewApp(DocumentApp());
  RuntimeRegisterAppObject(app);
  RuntimeUnlockObject(app);
  EXPECT_EQ(Log(), "Open;OpenDocument(/tmp/first.txt);OpenDocument(second file);");
  // The items were released after their events (the fixture checks nothing is left alive).
}

TEST_F(ApplicationTest, ArgumentsWithoutAnOpenDocumentHandlerFireOnlyOpen) {
  SetArguments({"vorn", "a", "b"});
  RuntimeObject* app = NewApp(OpenOnlyApp());
  RuntimeRegisterAppObject(app);
  RuntimeUnlockObject(app);
  EXPECT_EQ(Log(), "Open;");
}

TEST_F(ApplicationTest, ANilApplicationIsReplacedByAnIntrinsicOne) {
  SetArguments({"vorn"});
  RuntimeRegisterAppObject(nullptr);
  RuntimeObject* app = GetApplicationObject();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(std::string(ClassOf(app)->mName.View()), "Application");
  EXPECT_EQ(app->refCount, 1) << "the creation's reference is the runtime's";
  EXPECT_EQ(Log(), "");
}

TEST_F(ApplicationTest, RegisteringAgainReleasesTheFormerApplication) {
  SetArguments({"vorn"});
  RuntimeObject* first = NewApp(OpenOnlyApp());
  RuntimeRegisterAppObject(first);
  EXPECT_EQ(first->refCount, 2);
  RuntimeRegisterAppObject(nullptr);
  EXPECT_EQ(first->refCount, 1);
  RuntimeUnlockObject(first);
}

TEST_F(ApplicationTest, ACancelledQuitChangesNothingAndCanBeTriedAgain) {
  RuntimeClass* cls = testing::MakeSubclass(
      "RefusingApp", "Application", kAppSize,
      {{"#CancelClose%b%o<RefusingApp>", reinterpret_cast<void*>(&OnCancelCloseRefuse), nullptr, 0},
       {"#Close%%o<RefusingApp>", reinterpret_cast<void*>(&OnClose), nullptr, 0}});
  SetArguments({"vorn"});
  RuntimeObject* app = NewApp(cls);
  RuntimeRegisterAppObject(app);
  ApplicationQuit(nullptr, 0, 0);
  ApplicationQuit(app, 0, 0);
  EXPECT_EQ(Log(), "CancelClose;CancelClose;");
  EXPECT_FALSE(GetQuitFlag());
  RuntimeUnlockObject(app);
}

TEST_F(ApplicationTest, TheEventOffersAnExceptionToTheApplication) {
  RuntimeClass* cls = testing::MakeSubclass(
      "CatchingApp", "Application", kAppSize,
      {{"#UnhandledException%b%o<CatchingApp>o<RuntimeException>", reinterpret_cast<void*>(&OnUnhandledTrue),
        nullptr, 0}});
  SetArguments({"vorn"});
  EXPECT_FALSE(FireUnhandledExceptionEvent(nullptr));
  RuntimeObject* error = CreateInstanceFromDefinition(GetNilObjectExceptionClassDefinition());
  EXPECT_FALSE(FireUnhandledExceptionEvent(error)) << "no application yet";
  RuntimeObject* app = NewApp(cls);
  RuntimeRegisterAppObject(app);
  EXPECT_TRUE(FireUnhandledExceptionEvent(error));
  RuntimeObject* end = CreateInstanceFromDefinition(GetEndExceptionClassDefinition());
  EXPECT_FALSE(FireUnhandledExceptionEvent(end)) << "an EndException is never offered";
  EXPECT_EQ(Log(), "UnhandledException(NilObjectException);");
  UnhandledExceptionHook(error);  // handled: no report
  EXPECT_FALSE(GetQuitFlag());
  RuntimeUnlockObject(end);
  RuntimeUnlockObject(error);
  RuntimeUnlockObject(app);
}

TEST_F(ApplicationTest, TheReportNamesTheClassMessageAndNumber) {
  RuntimeObject* error = CreateInstanceFromDefinition(GetOutOfBoundsExceptionClassDefinition());
  EXPECT_EQ(std::string(UnhandledExceptionMessage(error).View()),
            "An exception of class OutOfBoundsException was not handled.  The application must shut down.");
  EXPECT_EQ(std::string(UnhandledExceptionExplanation(error).View()), "");
  auto* fields = reinterpret_cast<RuntimeExceptionObject*>(error);
  fields->message = string(std::string_view("index 7 \xC3\xA9"), kEncodingUTF8).GetRetainedRep();
  fields->errorNumber = -42;
  EXPECT_EQ(std::string(UnhandledExceptionExplanation(error).View()),
            "Exception Message: index 7 \xC3\xA9\rException Error Number: -42");
  fields->errorNumber = 0;
  EXPECT_EQ(std::string(UnhandledExceptionExplanation(error).View()), "Exception Message: index 7 \xC3\xA9\r");
  RuntimeUnlockObject(error);
}

TEST_F(ApplicationTest, ConsoleApplicationsAreRegisteredApartAndOpenNothing) {
  SetArguments({"vorn"});
  RuntimeRegisterConsoleAppObject(nullptr, 0);
  RuntimeObject* console = GetConsoleApplicationObject();
  ASSERT_NE(console, nullptr);
  EXPECT_EQ(std::string(ClassOf(console)->mName.View()), "ConsoleApplication");
  EXPECT_EQ(console->refCount, 1);
  EXPECT_EQ(GetApplicationObject(), nullptr);
  RuntimeRegisterConsoleAppObject(nullptr, 1);
  EXPECT_EQ(std::string(ClassOf(GetConsoleApplicationObject())->mName.View()), "ServiceApplication");
  EXPECT_TRUE(RuntimeObjectIsaDefinition(GetConsoleApplicationObject(), GetConsoleApplicationClassDefinition()));
  RuntimeObject* own = CreateInstanceFromDefinition(GetConsoleApplicationClassDefinition());
  RuntimeRegisterConsoleAppObject(own, 0);
  EXPECT_EQ(own->refCount, 2);
  RuntimeUnlockObject(own);
  EXPECT_EQ(Log(), "");
}

// --- Cases that end the run loop for good run in a child process each. ---------------------

void LogToStderr(const string& message, const string& explanation) {
  std::fprintf(stderr, "report[%s][%s];", message.CString(), explanation.CString());
}

using ApplicationDeathTest = ApplicationTest;

TEST_F(ApplicationDeathTest, TheQuitSequenceClosesWindowsFiresCloseAndEndsTheLoopOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        RuntimeClass* cls = testing::MakeSubclass(
            "QuittingApp", "Application", kAppSize,
            {{"#CancelClose%b%o<QuittingApp>", reinterpret_cast<void*>(&OnCancelCloseAllow), nullptr, 0},
             {"#Close%%o<QuittingApp>", reinterpret_cast<void*>(&OnClose), nullptr, 0}});
        SetArguments({"vorn"});
        RuntimeObject* app = NewApp(cls);
        RuntimeRegisterAppObject(app);
        WindowListHooks windows;
        windows.closeAllWindows = [] { Record("closeWindows"); };
        SetWindowListHooks(windows);
        ApplicationQuit(app, 0, 0);
        std::fprintf(stderr, "%s", Log().c_str());
        std::exit(GetQuitFlag() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "^CancelClose;closeWindows;Close;$");
}

TEST_F(ApplicationDeathTest, AutoQuitWithNoWindowEndsRuntimeRunAndReleasesTheApplication) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        alarm(1);
        SetArguments({"vorn"});
        RuntimeRegisterAppObject(nullptr);
        RuntimeObject* app = GetApplicationObject();
        RuntimeLockObject(app);
        g_timeout_add(10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
        RuntimeRun();  // AutoQuit is false: only the quit below ends it
        std::exit(3);
      },
      ::testing::KilledBySignal(SIGALRM), "");
  EXPECT_EXIT(
      {
        SetArguments({"vorn"});
        RuntimeRegisterAppObject(nullptr);
        RuntimeObject* app = GetApplicationObject();
        RuntimeLockObject(app);
        boolSetter(app, static_cast<int32_t>(offsetof(ApplicationObject, autoQuit)), 1);
        g_timeout_add(10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
        RuntimeRun();
        bool released = GetApplicationObject() == nullptr && app->refCount == 1;
        std::exit(released && GetQuitFlag() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ApplicationDeathTest, AnUnhandledExceptionIsReportedOnceAndEndsTheLoop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetUnhandledExceptionPresenter(&LogToStderr);
        SetUnhandledExceptionHook(&UnhandledExceptionHook);
        RuntimeRegisterAppObject(nullptr);
        RuntimeRaiseExceptionWithMessage(GetKeyNotFoundExceptionClassDefinition(), 3, string("no key"));
        RuntimeObject* error = TakePendingException();
        RuntimeUnhandledException(error);
        RuntimeUnlockObject(error);
        std::exit(GetQuitFlag() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0),
      "^report\\[An exception of class KeyNotFoundException was not handled.  The application must shut "
      "down.\\]\\[Exception Message: no key\rException Error Number: 3\\];$");
}

TEST_F(ApplicationDeathTest, AnEndExceptionEndsTheLoopQuietly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetUnhandledExceptionPresenter(&LogToStderr);
        WindowListHooks windows;
        windows.closeAllWindows = [] { std::fprintf(stderr, "closeWindows;"); };
        SetWindowListHooks(windows);
        RuntimeObject* end = CreateInstanceFromDefinition(GetEndExceptionClassDefinition());
        UnhandledExceptionHook(end);
        std::exit(GetQuitFlag() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "^closeWindows;$");
}

TEST_F(ApplicationDeathTest, AnExceptionInsideTheHandlerIsReportedInsteadOfOfferedAgain) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        RuntimeClass* cls = testing::MakeSubclass(
            "RaisingApp", "Application", kAppSize,
            {{"#UnhandledException%b%o<RaisingApp>o<RuntimeException>",
              reinterpret_cast<void*>(&OnUnhandledRaising), nullptr, 0}});
        SetUnhandledExceptionPresenter(&LogToStderr);
        SetUnhandledExceptionHook(&UnhandledExceptionHook);
        SetArguments({"vorn"});
        RuntimeRegisterAppObject(NewApp(cls));
        RuntimeObject* error = CreateInstanceFromDefinition(GetNilObjectExceptionClassDefinition());
        UnhandledExceptionHook(error);
        std::fprintf(stderr, "%s", Log().c_str());
        std::exit(GetQuitFlag() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0),
      "^report\\[An exception of class OutOfBoundsException[^]]*\\]\\[\\];UnhandledException;$");
}

}  // namespace
}  // namespace vorn
