#include <gtest/gtest.h>

#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "objects/support/object_test.h"
#include "objects/support/test_classes.h"

namespace vorn::testing {
namespace {

using Exceptions = ObjectTest;

TEST_F(Exceptions, ARaiseIsPendingAfterTheCallReturnsZeroAndAHandlerClearsIt) {
  // A nil object given to an accessor: the call returns 0 and the exception waits in the word.
  EXPECT_EQ(intGetter(nullptr, VORN_OBJECT_HEADER_SIZE), 0);
  RuntimeObject* pending = PendingException();
  ASSERT_NE(pending, nullptr);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(pending, GetNilObjectExceptionClassDefinition()));
  EXPECT_TRUE(RuntimeObjectIsaDefinition(pending, GetRuntimeExceptionClassDefinition()));
  EXPECT_EQ(pending->refCount, 1) << "the word holds the only reference";

  // What a compiled Catch does: take the exception over, handle it, release it.
  RuntimeObject* caught = TakePendingException();
  EXPECT_EQ(PendingException(), nullptr);
  RuntimeUnlockObject(caught);
}

TEST_F(Exceptions, MessageAndErrorNumberAreSetInEitherArgumentOrder) {
  RuntimeRaiseExceptionWithMessage(GetUnsupportedFormatExceptionClassDefinition(), 42, string("bad icon"));
  RuntimeObject* e = TakePendingException();
  EXPECT_EQ(ExceptionErrorNumber(e), 42);
  EXPECT_EQ(ExceptionMessage(e).View(), "bad icon");
  string message = string::Adopt(stringGetter(e, kExceptionMessageOffset));
  EXPECT_EQ(message.View(), "bad icon") << "Message is an ordinary string property";
  RuntimeUnlockObject(e);

  RuntimeRaiseExceptionWithMessage(GetOutOfBoundsExceptionClassDefinition(), string("range"), -3);
  e = TakePendingException();
  EXPECT_EQ(ExceptionErrorNumber(e), -3);
  EXPECT_EQ(ExceptionMessage(e).View(), "range");
  RuntimeUnlockObject(e);

  RuntimeRaiseExceptionWithMessage(GetKeyNotFoundExceptionClassDefinition(), string("k"));
  EXPECT_EQ(ExceptionErrorNumber(PendingException()), 0);
  EXPECT_EQ(TakePendingClassName(), "KeyNotFoundException");
}

std::vector<std::string> sRaised;
void RecordRaise(RuntimeObject* e) { sRaised.emplace_back(ClassOf(e)->mName.View()); }

TEST_F(Exceptions, RaiseHookRunsFirstAndTheNewestExceptionWins) {
  ExceptionCallback previous = SetExceptionRaiseHook(&RecordRaise);
  RuntimeRaiseOutOfBoundsException();
  RuntimeObject* first = PendingException();
  RuntimeLockObject(first);
  RuntimeRaiseNilObjectException();
  EXPECT_EQ(first->refCount, 1) << "the replaced exception was released by the word";
  RuntimeUnlockObject(first);
  RuntimeRaiseExceptionDefinition(GetEndExceptionClassDefinition());
  SetExceptionRaiseHook(previous);
  EXPECT_EQ(sRaised, (std::vector<std::string>{"OutOfBoundsException", "NilObjectException", "EndException"}));
  EXPECT_EQ(TakePendingClassName(), "EndException");

  // Raising the pending exception again (Finally re-raising) keeps exactly one reference.
  RuntimeRaiseNilObjectException();
  RuntimeObject* e = PendingException();
  RuntimeLockObject(e);
  RuntimeReraiseException(e);
  RuntimeUnlockObject(e);
  EXPECT_EQ(e->refCount, 1);
  RuntimeRaiseException(nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException") << "raising nil raises NilObjectException";
}

std::vector<std::string> sUnhandled;
void RecordUnhandled(RuntimeObject* e) { sUnhandled.emplace_back(ClassOf(e)->mName.View()); }

uint8_t RaisingChanged(RuntimeObject*, int32_t value) {
  if (value < 0) RuntimeRaiseOutOfBoundsException();
  return 1;
}

TEST_F(Exceptions, AnExceptionLeftPendingByAnEventHandlerReachesTheUnhandledHook) {
  ExceptionCallback previous = SetUnhandledExceptionHook(&RecordUnhandled);
  RuntimeObject* object = CreateInstanceFromDefinition(GetTestDerivedClassDefinition());
  MakePrivateEventTable(object)[TestChangedHook()->index].handler = reinterpret_cast<void*>(&RaisingChanged);

  EXPECT_EQ(FireEvent<uint8_t>(object, TestChangedHook(), int32_t{5}), 1);
  EXPECT_TRUE(sUnhandled.empty());

  // An exception already pending in the native caller survives the dispatch untouched.
  RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
  EXPECT_EQ(FireEvent<uint8_t>(object, TestChangedHook(), int32_t{-1}), 0) << "zero result on failure";
  EXPECT_EQ(sUnhandled, std::vector<std::string>{"OutOfBoundsException"});
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");

  // No handler: nothing runs, zero result.
  EXPECT_EQ(FireEvent<uint8_t>(object, TestCloseHook()), 0);
  SetUnhandledExceptionHook(previous);
  RuntimeUnlockObject(object);
  sUnhandled.clear();
}

void RaisingFinalizer(RuntimeObject*) { RuntimeRaiseNilObjectException(); }

TEST_F(Exceptions, AnExceptionRaisedByADestructorIsUnhandledAndDoesNotDisturbTheCaller) {
  ExceptionCallback previous = SetUnhandledExceptionHook(&RecordUnhandled);
  ObjectDefinition def;
  def.mName = string("RaisingDestructor");
  def.mInstanceSize = VORN_OBJECT_HEADER_SIZE;
  def.mFinalizer = {reinterpret_cast<void*>(&RaisingFinalizer), nullptr};
  RuntimeObject* object = CreateInstanceFromDefinition(&def);
  RuntimeRaiseOutOfBoundsException();  // an unwinding caller releases its locals
  RuntimeUnlockObject(object);
  EXPECT_EQ(sUnhandled, std::vector<std::string>{"NilObjectException"});
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  SetUnhandledExceptionHook(previous);
  sUnhandled.clear();
}

TEST_F(Exceptions, WithoutAHookAnUnhandledExceptionIsReported) {
  ExceptionCallback previous = SetUnhandledExceptionHook(nullptr);
  RuntimeRaiseExceptionDefinition(GetStackOverflowExceptionClassDefinition());
  RuntimeObject* e = TakePendingException();
  RuntimeUnhandledException(e);
  RuntimeUnlockObject(e);
  SetUnhandledExceptionHook(previous);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("An exception of class StackOverflowException was not handled."), std::string::npos);
}

TEST_F(Exceptions, ThePendingWordCanBeMovedToTheImage) {
  RuntimeObject* imageWord = nullptr;
  RuntimeRaiseNilObjectException();
  SetPendingExceptionSlot(&imageWord);
  ASSERT_NE(imageWord, nullptr) << "a pending exception moves with the word";
  RuntimeRaiseOutOfBoundsException();
  EXPECT_TRUE(RuntimeObjectIsaDefinition(imageWord, GetOutOfBoundsExceptionClassDefinition()));
  SetPendingExceptionSlot(nullptr);
  EXPECT_EQ(imageWord, nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
}

TEST_F(Exceptions, EveryNamedExceptionClassDerivesFromRuntimeException) {
  ObjectDefinition* (*const getters[])() = {
      GetNilObjectExceptionClassDefinition,         GetOutOfBoundsExceptionClassDefinition,
      GetIllegalCastExceptionClassDefinition,       GetTypeMismatchExceptionClassDefinition,
      GetOutOfMemoryExceptionClassDefinition,       GetKeyNotFoundExceptionClassDefinition,
      GetStackOverflowExceptionClassDefinition,     GetEndExceptionClassDefinition,
      GetThreadAlreadyRunningExceptionClassDefinition, GetIllegalLockingExceptionClassDefinition,
      GetUnsupportedFormatExceptionClassDefinition, GetInvalidParentExceptionClassDefinition,
      GetFunctionNotFoundExceptionClassDefinition,
  };
  for (auto getter : getters) {
    ObjectDefinition* def = getter();
    EXPECT_EQ(def, getter()) << "built once";
    EXPECT_EQ(def->mSuper, GetRuntimeExceptionClassDefinition()) << std::string(def->mName.View());
  }
  EXPECT_EQ(GetEndExceptionClassDefinition()->mName.View(), "EndException");
  RuntimeRaiseFunctionNotFoundException();
  EXPECT_EQ(TakePendingClassName(), "FunctionNotFoundException");
  RuntimeNilObject();
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

TEST_F(Exceptions, TickCountMillisecondsAdvancesWithTheClock) {
  int32_t before = TickCountMilliseconds();
  timespec pause{0, 60 * 1000 * 1000};
  nanosleep(&pause, nullptr);
  int32_t elapsed = TickCountMilliseconds() - before;
  EXPECT_GE(elapsed, 30);
  EXPECT_LE(elapsed, 2000);
}

}  // namespace
}  // namespace vorn::testing
