// Classes that stand in for controls and data objects in the binding tests: a source that
// provides a string, a Boolean and data availability and keeps data receivers; a "Control"
// dest with an Enabled property that takes strings, lists and actions; a receiver that logs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/binding_receivers.h"
#include "objects/object_definition.h"
#include "objects/runtime_object.h"

namespace vorn::testing {

struct FakeSourceObject {
  RuntimeObject header;
  StringRep* text;
  uint8_t boolean;
  uint8_t available;
  NotificationReceiverList receivers;
  NotificationReceiverList actionReceivers;
};

struct FakeDestObject {
  RuntimeObject header;
  uint8_t enabled;
  StringRep* text;
  int32_t setStringCalls;
  RuntimeObject* boundList;
  int32_t actions;
};

struct LogReceiverObject {
  RuntimeObject header;
  int32_t tag;
  // Set: the receiver's DataChanged takes it off this list.
  NotificationReceiverList* leaveOnChange;
};

// Full source: StringProvider, BooleanProvider, DataAvailableProvider, dataNotifier, actionSource.
ObjectDefinition* GetFakeSourceDefinition();
// Only a StringProvider (no availability, no notifications).
ObjectDefinition* GetPlainTextSourceDefinition();
// A class named "Control" with Enabled; StringInterface, ListInterface, actionNotificationReceiver.
ObjectDefinition* GetFakeControlDefinition();
// Receives DataChanged, PerformAction and listDataReload; logs "<tag>.<method>".
ObjectDefinition* GetLogReceiverDefinition();
// A list-data provider with rows of tuples, for BindList tests: rows of `fields` strings
// "r<i>f<j>".
ObjectDefinition* GetFakeListProviderDefinition();

RuntimeObject* NewFakeSource(const char* text, bool boolean, bool available);
RuntimeObject* NewFakeControl();
RuntimeObject* NewLogReceiver(int32_t tag);
RuntimeObject* NewFakeListProvider(int32_t rows, int32_t fields);

std::string TextOf(StringRep* rep);
std::vector<std::string>& ReceiverLog();

// Every test starts and ends with no object of its own alive and nothing pending.
class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  int32_t mBaseline = 0;
};

}  // namespace vorn::testing
