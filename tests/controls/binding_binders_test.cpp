// The four binders against fake sources and a fake control: what they load into the dest,
// how they follow a notifying source, and that the death of either side leaves no binder
// pointing at a dead object.
#include <glib.h>
#include <gtest/gtest.h>

#include "controls/binding_binders.h"
#include "controls/binding_interfaces.h"
#include "controls/support/binding_fakes.h"
#include "core/timer.h"
#include "objects/class_registry.h"

namespace vorn::testing {
namespace {

using BinderTest = BindingTest;

RuntimeObject* NewBinder(ObjectDefinition* definition) { return CreateInstanceFromDefinition(definition); }
FakeSourceObject* Src(RuntimeObject* object) { return reinterpret_cast<FakeSourceObject*>(object); }
FakeDestObject* Dst(RuntimeObject* object) { return reinterpret_cast<FakeDestObject*>(object); }
BinderObject* Bnd(RuntimeObject* object) { return reinterpret_cast<BinderObject*>(object); }

void SetText(RuntimeObject* source, const char* text) {
  ReleaseStringRep(Src(source)->text);
  Src(source)->text = string(text).GetRetainedRep();
}

TEST_F(BinderTest, BindersAreCalledThroughTheBindingInterface) {
  for (ObjectDefinition* definition : {GetEnablingBinderClassDefinition(), GetActionBinderClassDefinition(),
                                       GetStringBinderClassDefinition(), GetListBinderClassDefinition()}) {
    RuntimeObject* binder = NewBinder(definition);
    EXPECT_NE(LookupInterfaceMethod(binder, GetBindingInterfaceDefinition(), string("BIND")), nullptr)
        << definition->mName.View();
    RuntimeUnlockObject(binder);
  }
  RuntimeObject* binder = NewBinder(GetStringBinderClassDefinition());
  EXPECT_EQ(LookupInterfaceMethod(binder, GetDataNotificationReceiverInterfaceDefinition(), string("dataChanged")),
            reinterpret_cast<void*>(&stringBinderReload));
  RuntimeUnlockObject(binder);
}

TEST_F(BinderTest, RegistrationFilesTheDefinitionsAndTheirEntryPoints) {
  RegisterDataBindingClasses();
  EXPECT_EQ(LookupIntrinsicClass(string("stringbinder")), GetStringBinderClassDefinition());
  EXPECT_EQ(LookupIntrinsicClass(string("tupleInterface")), GetTupleInterfaceDefinition());
  EXPECT_TRUE(GetTupleInterfaceDefinition()->IsInterface());
  EXPECT_FALSE(GetListBinderClassDefinition()->IsInterface());
}

TEST_F(BinderTest, StringBinderLoadsTextAndAvailabilityAndFollowsItsSource) {
  RuntimeObject* source = NewFakeSource("Aperture", false, true);
  RuntimeObject* dest = NewFakeControl();
  RuntimeObject* binder = NewBinder(GetStringBinderClassDefinition());

  stringBinderBind(binder, source, dest);
  EXPECT_EQ(TextOf(Dst(dest)->text), "Aperture");
  EXPECT_EQ(Dst(dest)->enabled, 1);
  EXPECT_EQ(CountNotificationReceivers(&Src(source)->receivers), 1);

  // No selection: empty text, not available: the dest is emptied and disabled.
  SetText(source, "");
  Src(source)->available = 0;
  SendDataChanged(&Src(source)->receivers);
  EXPECT_EQ(TextOf(Dst(dest)->text), "");
  EXPECT_EQ(Dst(dest)->enabled, 0);
  EXPECT_EQ(Dst(dest)->setStringCalls, 2);

  // Binding again moves the binder to the new source's list.
  RuntimeObject* other = NewFakeSource("Seeing", false, true);
  stringBinderBind(binder, other, dest);
  EXPECT_EQ(CountNotificationReceivers(&Src(source)->receivers), 0);
  EXPECT_EQ(CountNotificationReceivers(&Src(other)->receivers), 1);
  EXPECT_EQ(TextOf(Dst(dest)->text), "Seeing");
  EXPECT_EQ(Dst(dest)->enabled, 1);

  RuntimeUnlockObject(binder);  // the other source's list still holds it
  EXPECT_EQ(binder->refCount, 1);
  RuntimeUnlockObject(other);   // empties its list, which ends the binder
  RuntimeUnlockObject(source);
  RuntimeUnlockObject(dest);
}

TEST_F(BinderTest, StringBinderWithoutAvailabilityKeepsTheDestEnabled) {
  RuntimeObject* source = CreateInstanceFromDefinition(GetPlainTextSourceDefinition());
  Src(source)->text = string("Magnitude").GetRetainedRep();
  RuntimeObject* dest = NewFakeControl();
  Dst(dest)->enabled = 0;
  RuntimeObject* binder = NewBinder(GetStringBinderClassDefinition());
  stringBinderBind(binder, source, dest);
  EXPECT_EQ(TextOf(Dst(dest)->text), "Magnitude");
  EXPECT_EQ(Dst(dest)->enabled, 1);
  // A nil source provides nothing: empty text, still available.
  stringBinderBind(binder, nullptr, dest);
  EXPECT_EQ(TextOf(Dst(dest)->text), "");
  EXPECT_EQ(Dst(dest)->enabled, 1);
  RuntimeUnlockObject(binder);
  RuntimeUnlockObject(source);
  RuntimeUnlockObject(dest);
}

TEST_F(BinderTest, EnablingBinderFollowsTheBooleanAndDisablesForOtherSources) {
  RuntimeObject* source = NewFakeSource("", true, true);
  RuntimeObject* dest = NewFakeControl();
  Dst(dest)->enabled = 0;
  RuntimeObject* binder = NewBinder(GetEnablingBinderClassDefinition());
  enablingBinderBind(binder, source, dest);
  EXPECT_EQ(Dst(dest)->enabled, 1);
  Src(source)->boolean = 0;
  SendDataChanged(&Src(source)->receivers);
  EXPECT_EQ(Dst(dest)->enabled, 0);
  Src(source)->boolean = 1;
  enablingBinderReload(binder);
  EXPECT_EQ(Dst(dest)->enabled, 1);

  // A source that is no BooleanProvider disables the dest at bind time.
  RuntimeObject* plain = CreateInstanceFromDefinition(GetPlainTextSourceDefinition());
  enablingBinderBind(binder, plain, dest);
  EXPECT_EQ(Dst(dest)->enabled, 0);
  EXPECT_EQ(CountNotificationReceivers(&Src(source)->receivers), 0);

  // A dest that is no control is left alone.
  RuntimeObject* notAControl = NewFakeSource("x", true, true);
  enablingBinderBind(binder, source, notAControl);
  EXPECT_EQ(Src(notAControl)->boolean, 1);

  RuntimeUnlockObject(binder);
  RuntimeUnlockObject(notAControl);
  RuntimeUnlockObject(plain);
  RuntimeUnlockObject(source);
  RuntimeUnlockObject(dest);
}

TEST_F(BinderTest, ActionBinderConnectsTheDestDirectlyAndListBinderHandsTheSourceOver) {
  RuntimeObject* source = NewFakeSource("", false, false);
  RuntimeObject* dest = NewFakeControl();
  RuntimeObject* binder = NewBinder(GetActionBinderClassDefinition());
  actionBinderBind(binder, source, dest);
  EXPECT_EQ(Bnd(binder)->source, nullptr);  // the binder keeps nothing
  RuntimeUnlockObject(binder);
  SendPerformAction(&Src(source)->actionReceivers);
  SendPerformAction(&Src(source)->actionReceivers);
  EXPECT_EQ(Dst(dest)->actions, 2);

  RuntimeObject* provider = NewFakeListProvider(2, 1);
  RuntimeObject* lister = NewBinder(GetListBinderClassDefinition());
  listBinderBind(lister, provider, dest);
  EXPECT_EQ(Dst(dest)->boundList, provider);
  listBinderBind(lister, provider, source);  // no ListInterface: nothing happens
  RuntimeUnlockObject(lister);

  RuntimeUnlockObject(source);
  RuntimeUnlockObject(dest);
  RuntimeUnlockObject(provider);
}

// A timer is an action source like a button: an action binder bound through the binding
// interface, as compiled SetupBindings code binds, lets each Action reach the control.
TEST_F(BinderTest, ATimersActionsDriveTheControlAnActionBinderBindsToIt) {
  InstallTimerReceiverHooks();
  RuntimeObject* timer = CreateInstanceFromDefinition(GetTimerClassDefinition());
  RuntimeObject* dest = NewFakeControl();
  RuntimeObject* binder = NewBinder(GetActionBinderClassDefinition());
  auto bind = reinterpret_cast<void (*)(RuntimeObject*, RuntimeObject*, RuntimeObject*)>(
      LookupInterfaceMethod(binder, GetBindingInterfaceDefinition(), string("bind")));
  ASSERT_NE(bind, nullptr);
  bind(binder, timer, dest);
  RuntimeUnlockObject(binder);
  timerPeriodSetter(timer, 0, 5);
  timerModeSetter(timer, 0, kVornTimerMultiple);
  for (gint64 end = g_get_monotonic_time() + 5000000; Dst(dest)->actions < 2 && g_get_monotonic_time() < end;) {
    g_main_context_iteration(nullptr, TRUE);
  }
  EXPECT_GE(Dst(dest)->actions, 2);
  RuntimeUnlockObject(timer);
  RuntimeUnlockObject(dest);
}

TEST_F(BinderTest, ABinderForgetsADestOrSourceThatDies) {
  RuntimeObject* source = CreateInstanceFromDefinition(GetPlainTextSourceDefinition());
  Src(source)->text = string("Focal length").GetRetainedRep();
  RuntimeObject* dest = NewFakeControl();
  RuntimeObject* binder = NewBinder(GetStringBinderClassDefinition());
  stringBinderBind(binder, source, dest);

  RuntimeUnlockObject(dest);
  EXPECT_EQ(Bnd(binder)->dest, nullptr);
  stringBinderReload(binder);  // calls nothing on the dead dest
  RuntimeUnlockObject(source);
  EXPECT_EQ(Bnd(binder)->source, nullptr);

  RuntimeObject* fresh = NewFakeControl();
  stringBinderBind(binder, nullptr, fresh);
  EXPECT_EQ(Dst(fresh)->setStringCalls, 1);
  int32_t watching = WatchingBinderCount();
  RuntimeUnlockObject(binder);
  EXPECT_EQ(WatchingBinderCount(), watching - 1);
  RuntimeUnlockObject(fresh);
}

TEST_F(BinderTest, ANotifyingSourceThatDiesReleasesItsBinders) {
  RuntimeObject* source = NewFakeSource("Eyepiece", true, true);
  RuntimeObject* dest = NewFakeControl();
  RuntimeObject* binder = NewBinder(GetEnablingBinderClassDefinition());
  enablingBinderBind(binder, source, dest);
  EXPECT_EQ(binder->refCount, 2);
  RuntimeUnlockObject(source);
  EXPECT_EQ(binder->refCount, 1);
  EXPECT_EQ(Bnd(binder)->source, nullptr);
  enablingBinderReload(binder);  // no source: a Boolean of false
  EXPECT_EQ(Dst(dest)->enabled, 0);
  RuntimeUnlockObject(binder);
  RuntimeUnlockObject(dest);
}

}  // namespace
}  // namespace vorn::testing
