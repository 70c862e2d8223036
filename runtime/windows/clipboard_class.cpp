#include "windows/clipboard_class.h"

#include <gtk/gtk.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "graphics/drawable_pane.h"
#include "graphics/picture_object.h"
#include "objects/runtime_object.h"
#include "windows/clipboard_records.h"
#include "windows/clipboard_text.h"
#include "windows/gtk_helper.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// What this process offers on one private clipboard. GTK frees it through the clear function
// when the content is replaced or another program takes the clipboard.
struct Offer {
  GtkClipboard* clipboard = nullptr;
  std::vector<uint8_t> record;  // the answer to a request
  uint32_t serial = 0;
  uint32_t encoding = 0;  // typed data
  std::vector<uint8_t> bytes;  // pixels or typed data
  PictureClipRecord picture;
};

std::map<GtkClipboard*, Offer*>& Offers() {
  static std::map<GtkClipboard*, Offer*> offers;
  return offers;
}

uint32_t NextSerial() {
  static uint32_t serial = 0;
  return ++serial;
}

// The offer of this process the answer names; nil for anything else.
const Offer* OfferNamed(GtkClipboard* clipboard, uint32_t serial) {
  auto found = Offers().find(clipboard);
  return found != Offers().end() && found->second->serial == serial ? found->second : nullptr;
}

const GtkTargetEntry* TargetNamed(GdkAtom atom) {
  // Built once: the entries must outlive every offer.
  static std::map<GdkAtom, std::unique_ptr<GtkTargetEntry>> targets;
  auto& entry = targets[atom];
  if (!entry) entry.reset(new GtkTargetEntry{gdk_atom_name(atom), 0, 0});
  return entry.get();
}

void AnswerRequest(GtkClipboard*, GtkSelectionData* selection, guint, gpointer data) {
  auto* offer = static_cast<Offer*>(data);
  gtk_selection_data_set(selection, selection->target, 8, offer->record.data(),
                         static_cast<gint>(offer->record.size()));
}

void ClearOffer(GtkClipboard*, gpointer data) {
  auto* offer = static_cast<Offer*>(data);
  auto found = Offers().find(offer->clipboard);
  if (found != Offers().end() && found->second == offer) Offers().erase(found);
  delete offer;
}

// The offer's serial and record are filled in before it goes on the clipboard.
void PutOffer(GtkClipboard* clipboard, GdkAtom target, Offer* offer) {
  offer->clipboard = clipboard;
  // Setting new content clears the old offer first, so the map is filled afterwards.
  if (!gtk_clipboard_set_with_data(clipboard, TargetNamed(target), 1, &AnswerRequest, &ClearOffer, offer)) {
    delete offer;
    return;
  }
  Offers()[clipboard] = offer;
}

// A request whose answer may come after the asker has given up: the answer then frees it.
struct Pending {
  bool answered = false;
  bool abandoned = false;
  std::vector<uint8_t> bytes;
};

void ReceiveAnswer(GtkClipboard*, GtkSelectionData* selection, gpointer data) {
  auto* pending = static_cast<Pending*>(data);
  if (pending->abandoned) {
    delete pending;
    return;
  }
  pending->answered = true;
  if (selection && selection->data && selection->length > 0) {
    pending->bytes.assign(selection->data, selection->data + selection->length);
  }
}

// The answer to a request for the target, when it comes at once (this process owns the
// clipboard); empty otherwise.
std::vector<uint8_t> RequestAtOnce(GtkClipboard* clipboard, GdkAtom target) {
  auto* pending = new Pending();
  gtk_clipboard_request_contents(clipboard, target, &ReceiveAnswer, pending);
  if (!pending->answered) {
    pending->abandoned = true;
    return {};
  }
  std::vector<uint8_t> bytes = std::move(pending->bytes);
  delete pending;
  return bytes;
}

GtkClipboard* PictureClipboard() { return GetNamedClipboard(string("PictureClipboard"), true); }

const Offer* OfferedPicture() {
  GtkClipboard* clipboard = PictureClipboard();
  if (!clipboard) return nullptr;
  std::vector<uint8_t> answer = RequestAtOnce(clipboard, GDK_SELECTION_TYPE_PIXMAP);
  std::optional<PictureClipRecord> record =
      DecodePictureClipRecord(answer.data(), static_cast<int32_t>(answer.size()));
  if (!record) return nullptr;
  const Offer* offer = OfferNamed(clipboard, record->serial);
  if (!offer || offer->bytes.empty()) return nullptr;
  return offer;
}

const Offer* OfferedTypedData(GtkClipboard* clipboard) {
  if (!clipboard) return nullptr;
  std::vector<uint8_t> answer = RequestAtOnce(clipboard, GDK_SELECTION_TYPE_STRING);
  std::optional<TypedClipRecord> record = DecodeTypedClipRecord(answer.data(), static_cast<int32_t>(answer.size()));
  if (!record) return nullptr;
  return OfferNamed(clipboard, record->serial);
}

// The picture's pixels as RGB rows without alpha; false without a bitmap.
bool ReadPicturePixels(RuntimeObject* picture, Offer* offer) {
  DrawablePane* bitmap = PictureBitmap(picture);
  if (!bitmap || !bitmap->IsValid()) return false;
  const int32_t width = bitmap->Width();
  const int32_t height = bitmap->Height();
  if (width < 1 || height < 1) return false;
  GdkPixbuf* pixbuf = bitmap->ReadPixbuf(0, 0, width, height);
  if (!pixbuf) return false;
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* source = gdk_pixbuf_get_pixels(pixbuf);
  const int32_t stride = width * 3;
  offer->bytes.assign(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      std::memcpy(&offer->bytes[static_cast<size_t>(y) * stride + x * 3], source + y * rowstride + x * channels, 3);
    }
  }
  g_object_unref(pixbuf);
  offer->picture = {stride, height, width, 0};
  return true;
}

ObjectDefinition* BuildClipboardDefinition() {
  static const ParamRow kTextParam[] = {{"text", "s", 0, 0}};
  static const ParamRow kTypeParam[] = {{"macType", "s", 0, 0}};
  static const ParamRow kAddParams[] = {{"data", "s", 0, 0}, {"macType", "s", 0, 0}};
  static const PropertyRow kProperties[] = {
      {0, "Text", "s", Fn(&clipboardTextGetter), "clipboardTextGetter", Fn(&clipboardTextSetter),
       "clipboardTextSetter", 0, 0},
      {0, "Picture", "o<Picture>", Fn(&clipboardPictureGetter), "clipboardPictureGetter",
       Fn(&clipboardPictureSetter), "clipboardPictureSetter", 0, 0},
  };
#define VORN_METHOD(name, result, params, count, function, flags) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, flags, 0}
  static const MethodRow kMethods[] = {
      VORN_METHOD("SetText", "", kTextParam, 1, clipboardSetText, 0),
      VORN_METHOD("Close", "", nullptr, 0, clipboardClose, 0),
      VORN_METHOD("TextAvailable", "b", nullptr, 0, clipboardTextAvailable, 0),
      VORN_METHOD("PictureAvailable", "b", nullptr, 0, clipboardPictureAvailable, 0),
      VORN_METHOD("MacDataAvailable", "b", kTypeParam, 1, clipboardMacDataAvailable, 0x8000),
      VORN_METHOD("RawDataAvailable", "b", kTypeParam, 1, clipboardMacDataAvailable, 0),
      VORN_METHOD("MacData", "s", kTypeParam, 1, clipboardMacData, 0x8000),
      VORN_METHOD("RawData", "s", kTypeParam, 1, clipboardMacData, 0),
      VORN_METHOD("AddMacData", "", kAddParams, 2, clipboardAddMacData, 0x8000),
      VORN_METHOD("AddRawData", "", kAddParams, 2, clipboardAddMacData, 0),
  };
#undef VORN_METHOD
  auto* definition = new ObjectDefinition();
  definition->mName = string("Clipboard");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(VornClipboardObject));
  definition->mInitializer = {Fn(&ClipboardInitializer), "ClipboardInitializer"};
  definition->mFinalizer = {Fn(&ClipboardFinalizer), "ClipboardFinalizer"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

}  // namespace

ObjectDefinition* GetClipboardClassDefinition() {
  static ObjectDefinition* definition = BuildClipboardDefinition();
  return definition;
}

bool ClipboardHasText() {
  RuntimeObject* clip = CreateInstanceFromDefinition(GetClipboardClassDefinition());
  const bool available = clipboardTextAvailable(clip) != 0;
  RuntimeUnlockObject(clip);
  return available;
}

string CopyTextToClipboard(const string& text, bool convertLineEnds) {
  string copied = convertLineEnds ? ConvertClipboardLineEnds(text) : text;
  RuntimeObject* clip = CreateInstanceFromDefinition(GetClipboardClassDefinition());
  clipboardSetText(clip, copied.Rep());
  RuntimeUnlockObject(clip);
  return copied;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void ClipboardInitializer(VornRuntimeObject* clip) {
  if (clip) reinterpret_cast<VornClipboardObject*>(clip)->open = 1;
}

void ClipboardFinalizer(VornRuntimeObject* clip) { clipboardClose(clip); }

void clipboardClose(VornRuntimeObject*) {}

void clipboardSetText(VornRuntimeObject*, VornStringRecord* text) {
  GtkClipboard* clipboard = GetClipboard();
  if (!clipboard) return;
  string utf8 = string::Share(text).ToUTF8();
  gtk_clipboard_set_text(clipboard, utf8.CString(), utf8.Length());
}

void clipboardTextSetter(VornRuntimeObject* clip, int32_t, VornStringRecord* text) { clipboardSetText(clip, text); }

VornStringRecord* clipboardTextGetter(VornRuntimeObject*, int32_t) {
  std::optional<std::string> text = ReadClipboardText();
  if (!text) return nullptr;
  return string(std::string_view(*text), kEncodingUTF8).GetRetainedRep();
}

uint8_t clipboardTextAvailable(VornRuntimeObject*) { return ClipboardOffersText() ? 1 : 0; }

void clipboardPictureSetter(VornRuntimeObject*, int32_t, VornRuntimeObject* picture) {
  GtkClipboard* clipboard = PictureClipboard();
  if (!clipboard || !picture) return;
  auto* offer = new Offer();
  if (!ReadPicturePixels(picture, offer)) {
    delete offer;
    return;
  }
  offer->serial = offer->picture.serial = NextSerial();
  offer->record = EncodePictureClipRecord(offer->picture);
  PutOffer(clipboard, GDK_SELECTION_TYPE_PIXMAP, offer);
}

VornRuntimeObject* clipboardPictureGetter(VornRuntimeObject*, int32_t) {
  const Offer* offer = OfferedPicture();
  if (!offer) return nullptr;
  const PictureClipRecord& record = offer->picture;
  DrawablePane* bitmap = NewDrawablePane(record.width, record.height, 24);
  if (!bitmap) return nullptr;
  gdk_draw_rgb_image(bitmap->Pixmap(), bitmap->GC(), 0, 0, record.width, record.height, GDK_RGB_DITHER_MAX,
                     offer->bytes.data(), record.stride);
  bitmap->PrepareToDraw();
  RuntimeObject* picture = NewPictureWithDrawable(bitmap);
  bitmap->Release();
  return picture;
}

uint8_t clipboardPictureAvailable(VornRuntimeObject*) { return OfferedPicture() ? 1 : 0; }

void clipboardAddMacData(VornRuntimeObject*, VornStringRecord* data, VornStringRecord* macType) {
  GtkClipboard* clipboard = GetNamedClipboard(string::Share(macType), false);
  if (!clipboard) return;
  string bytes = string::Share(data);
  auto* offer = new Offer();
  offer->encoding = bytes.Encoding();
  offer->bytes.assign(bytes.CString(), bytes.CString() + bytes.Length());
  offer->serial = NextSerial();
  offer->record = EncodeTypedClipRecord({offer->encoding, static_cast<int32_t>(offer->bytes.size()), offer->serial});
  PutOffer(clipboard, GDK_SELECTION_TYPE_STRING, offer);
}

VornStringRecord* clipboardMacData(VornRuntimeObject*, VornStringRecord* macType) {
  const Offer* offer = OfferedTypedData(GetNamedClipboard(string::Share(macType), true));
  if (!offer || offer->bytes.empty()) return nullptr;
  string result(offer->bytes.data(), static_cast<int32_t>(offer->bytes.size()), offer->encoding);
  return result.GetRetainedRep();
}

uint8_t clipboardMacDataAvailable(VornRuntimeObject*, VornStringRecord* macType) {
  return GetNamedClipboard(string::Share(macType), true) ? 1 : 0;
}

}  // extern "C"
