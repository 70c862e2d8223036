// The MoviePlayer, MoviePlayerAction and Movie classes without a display: their tables and
// entry points, stored properties, the binding parts, and the movie layer's fixed answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/binding_interfaces.h"
#include "controls/movie_classes.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "support/class_test.h"
#include "vorn/movie_api.h"
#include "vorn/system_api.h"

namespace vorn {
namespace {

class MovieClassesTest : public test::IntrinsicClassTest {
 protected:
  MoviePlayerObject* NewPlayer() { return reinterpret_cast<MoviePlayerObject*>(New(GetMoviePlayerClassDefinition())); }
  static RuntimeObject* Obj(MoviePlayerObject* player) { return reinterpret_cast<RuntimeObject*>(player); }
};

int gNativeMoviesDeleted = 0;
class CountedMovie : public NativeMovie {
 public:
  ~CountedMovie() override { ++gNativeMoviesDeleted; }
};

TEST_F(MovieClassesTest, PropertiesComeInTheirIndexOrder) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(OwnProperties(GetMoviePlayerClassDefinition()),
            (Names{"AutoPlay%b%", "PlayerType%i4%", "Controller%i4%", "Looping%b%", "Palindrome%b%", "AutoResize%b%",
                   "Border%b%", "Speaker%b%", "HasStep%b%", "Movie%o<Movie>%", "ControllerWidth%i4%",
                   "ControllerHeight%i4%", "QTMovieController%i4%"}));
  EXPECT_EQ(OwnProperties(GetMovieClassDefinition(), 0),
            (Names{"MovieWidth%i4%", "MovieHeight%i4%", "BaseMovieWidth%i4%", "BaseMovieHeight%i4%", "Handle%i4%"}));
}

TEST_F(MovieClassesTest, ClassesAreRegisteredAndTheirEntryPointsBoundByName) {
  EXPECT_EQ(LookupIntrinsicClass(string("MoviePlayer")), GetMoviePlayerClassDefinition());
  EXPECT_EQ(LookupIntrinsicClass(string("MoviePlayerAction")), GetMoviePlayerActionClassDefinition());
  EXPECT_EQ(LookupIntrinsicClass(string("Movie")), GetMovieClassDefinition());
  test::ExpectEntryPointsBound({
      {"MediaCreatePane", reinterpret_cast<void*>(&MediaCreatePane)},
      {"RuntimeMediaDestructor", reinterpret_cast<void*>(&RuntimeMediaDestructor)},
      {"RuntimeMediaPlay", reinterpret_cast<void*>(&RuntimeMediaPlay)},
      {"RuntimeMediaStop", reinterpret_cast<void*>(&RuntimeMediaStop)},
      {"MediaControllerSetter", reinterpret_cast<void*>(&MediaControllerSetter)},
      {"mediaControllerLoopingSetter", reinterpret_cast<void*>(&mediaControllerLoopingSetter)},
      {"mediaControllerPalindromeSetter", reinterpret_cast<void*>(&mediaControllerPalindromeSetter)},
      {"mediaMovieSetter", reinterpret_cast<void*>(&mediaMovieSetter)},
      {"mediaControllerWidthGetter", reinterpret_cast<void*>(&mediaControllerWidthGetter)},
      {"mediaControllerHeightGetter", reinterpret_cast<void*>(&mediaControllerHeightGetter)},
      {"mediaMovieControllerGetter", reinterpret_cast<void*>(&mediaMovieControllerGetter)},
      {"WMPMovieControllerGetter", reinterpret_cast<void*>(&WMPMovieControllerGetter)},
      {"mediaGetBoundPart", reinterpret_cast<void*>(&mediaGetBoundPart)},
      {"mediaActionPerformAction", reinterpret_cast<void*>(&mediaActionPerformAction)},
      {"mediaActionDestructor", reinterpret_cast<void*>(&mediaActionDestructor)},
      {"RuntimeMovieDestructor", reinterpret_cast<void*>(&RuntimeMovieDestructor)},
      {"movieWidthGetter", reinterpret_cast<void*>(&movieWidthGetter)},
      {"movieHeightGetter", reinterpret_cast<void*>(&movieHeightGetter)},
      {"movieBaseWidthGetter", reinterpret_cast<void*>(&movieBaseWidthGetter)},
      {"movieBaseHeightGetter", reinterpret_cast<void*>(&movieBaseHeightGetter)},
      {"movieHandleGetter", reinterpret_cast<void*>(&movieHandleGetter)},
      {"openURLMovie", reinterpret_cast<void*>(&openURLMovie)},
      {"RuntimeGetMovieFromResource", reinterpret_cast<void*>(&RuntimeGetMovieFromResource)},
  });
}

TEST_F(MovieClassesTest, ANewPlayerStartsClearAndKeepsWhatIsSet) {
  MoviePlayerObject* player = NewPlayer();
  RuntimeObject* object = Obj(player);
  EXPECT_EQ(player->controller, 0);
  EXPECT_EQ(player->playerType, 0);
  for (uint8_t flag : {player->border, player->hasStep, player->speaker, player->autoResize, player->looping,
                       player->palindrome, player->autoPlay}) {
    EXPECT_EQ(flag, 0);
  }
  EXPECT_EQ(player->movie, nullptr);

  MediaControllerSetter(object, 0, 2);
  EXPECT_EQ(player->controller, 2);
  mediaControllerLoopingSetter(object, 0, 7);
  EXPECT_EQ(player->looping, 1) << "a Boolean is stored as 1";
  mediaControllerLoopingSetter(object, 0, 1);
  EXPECT_EQ(player->looping, 1) << "the same value again changes nothing";
  mediaControllerLoopingSetter(object, 0, 0);
  EXPECT_EQ(player->looping, 0);
  mediaControllerPalindromeSetter(object, 0, 1);
  EXPECT_EQ(player->palindrome, 1);
  EXPECT_EQ(player->looping, 0) << "each setter keeps to its own field";

  // Other objects and nil are left alone.
  RuntimeObject* movie = New(GetMovieClassDefinition());
  MediaControllerSetter(movie, 0, 5);
  mediaControllerLoopingSetter(nullptr, 0, 1);
  mediaMovieSetter(movie, 0, movie);
  EXPECT_EQ(reinterpret_cast<MovieObject*>(movie)->native, nullptr);
  EXPECT_EQ(movie->refCount, 1);
}

TEST_F(MovieClassesTest, TheMovieIsHeldByThePlayerAndLetGoWhenReplaced) {
  MoviePlayerObject* player = NewPlayer();
  RuntimeObject* first = New(GetMovieClassDefinition());
  RuntimeObject* second = New(GetMovieClassDefinition());
  mediaMovieSetter(Obj(player), 0, first);
  EXPECT_EQ(first->refCount, 2);
  mediaMovieSetter(Obj(player), 0, first);
  EXPECT_EQ(first->refCount, 2) << "setting the same movie again keeps one reference";
  mediaMovieSetter(Obj(player), 0, second);
  EXPECT_EQ(first->refCount, 1);
  EXPECT_EQ(second->refCount, 2);
  RuntimeObject* read = objGetter(Obj(player), FieldOffset(offsetof(MoviePlayerObject, movie)));
  EXPECT_EQ(read, second);
  RuntimeUnlockObject(read);
  // The fixture releases the movies first and the player last: its destructor frees the second.
}

TEST_F(MovieClassesTest, EverySizeAndControllerReadsZero) {
  MoviePlayerObject* player = NewPlayer();
  RuntimeObject* movie = New(GetMovieClassDefinition());
  mediaMovieSetter(Obj(player), 0, movie);
  EXPECT_EQ(mediaControllerWidthGetter(Obj(player), 0), 0);
  EXPECT_EQ(mediaControllerHeightGetter(Obj(player), 0), 0);
  EXPECT_EQ(mediaMovieControllerGetter(Obj(player), 0), 0);
  EXPECT_EQ(WMPMovieControllerGetter(Obj(player), 0), 0);
  for (auto getter : {&movieWidthGetter, &movieHeightGetter, &movieBaseWidthGetter, &movieBaseHeightGetter,
                      &movieHandleGetter}) {
    EXPECT_EQ(getter(movie, 0), 0);
  }
  RuntimeMediaPlay(Obj(player));
  RuntimeMediaStop(Obj(player));
  RuntimeMediaPlay(nullptr);
  EXPECT_EQ(openURLMovie(string("http://example.org/a.mov").Rep()), nullptr);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(MovieClassesTest, AMovieFromAResourceIsAFailedAssertion) {
  EXPECT_EQ(RuntimeGetMovieFromResource(128), nullptr);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("../Common/RuntimeMovie"), std::string::npos) << Reports()[0];
}

TEST_F(MovieClassesTest, AMovieDeletesItsNativeMovieAndReleasesItsSource) {
  gNativeMoviesDeleted = 0;
  RuntimeObject* movie = CreateInstanceFromDefinition(GetMovieClassDefinition());
  ASSERT_NE(movie, nullptr);
  auto* fields = reinterpret_cast<MovieObject*>(movie);
  fields->native = new CountedMovie();
  string source("file:///tmp/sky.mov");
  fields->source = source.Rep();
  RetainStringRep(fields->source);
  RuntimeUnlockObject(movie);
  EXPECT_EQ(gNativeMoviesDeleted, 1);
  EXPECT_EQ(source.Rep()->refCount, 1) << "only the test's own reference is left";
}

TEST_F(MovieClassesTest, BoundPartsPlayOrStopThePlayer) {
  MoviePlayerObject* player = NewPlayer();
  RuntimeObject* object = Obj(player);
  EXPECT_EQ(LookupInterfaceMethod(object, GetBindingPartInterfaceDefinition(), string("getBoundPart")),
            reinterpret_cast<void*>(&mediaGetBoundPart));

  RuntimeObject* play = Keep(mediaGetBoundPart(object, string("GETPLAYACTION").Rep()));
  RuntimeObject* stop = Keep(mediaGetBoundPart(object, string("getStopAction").Rep()));
  ASSERT_NE(play, nullptr) << "the name is compared without regard to case";
  ASSERT_NE(stop, nullptr);
  auto* playFields = reinterpret_cast<MoviePlayerActionObject*>(play);
  auto* stopFields = reinterpret_cast<MoviePlayerActionObject*>(stop);
  EXPECT_EQ(playFields->target, object);
  EXPECT_EQ(playFields->kind, kMoviePlayerPlay);
  EXPECT_EQ(stopFields->kind, kMoviePlayerStop);
  EXPECT_EQ(object->refCount, 3) << "each action holds the player";
  EXPECT_EQ(mediaGetBoundPart(object, string("getPauseAction").Rep()), nullptr);
  EXPECT_EQ(mediaGetBoundPart(object, nullptr), nullptr);
  EXPECT_EQ(mediaGetBoundPart(play, string("getPlayAction").Rep()), nullptr) << "only a player has parts";

  // Binders reach the action through the receiver interface.
  bool found = false;
  CallInterfaceMethod(stop, GetActionNotificationReceiverInterfaceDefinition(), "PerformAction", &found);
  EXPECT_TRUE(found);
  mediaActionPerformAction(play);
  mediaActionPerformAction(object);
  playFields->kind = 9;
  mediaActionPerformAction(play);
  EXPECT_EQ(PendingException(), nullptr);
}

TEST_F(MovieClassesTest, TheMovieLayerHasNoMovieAndIsNotInstalled) {
  EXPECT_FALSE(QuickTimeIsAvailable(true));
  EXPECT_FALSE(EnsureQuickTimeInitialized());
  EXPECT_FALSE(EnsureQuickTimeInitialized()) << "a failed start-up is tried again, and fails again";
  MoviePlayerObject* player = NewPlayer();
  EXPECT_EQ(QuickTimeControllerForPlayer(Obj(player)), 0);
  EXPECT_EQ(QuickTimeMovieForPane(nullptr), nullptr);
  NativeMovie* handle = nullptr;
  QuickTimeLoadHandle(nullptr, nullptr, &handle);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(QTInstalledGetter(nullptr, 0), 0);
}

}  // namespace
}  // namespace vorn
