/*
 * What a plug-in library sees of the runtime. A plug-in is a shared object carried in the
 * application's executable as a 'VNPl' resource. At start-up the runtime extracts it to a
 * private file, loads it and calls its VORNPluginMain with a resolver: the resolver answers
 * any runtime entry point by name (the function, or nil when the runtime has none by that
 * name). While VORNPluginMain runs, the environment variable VNPLUGINPATH names the loaded
 * file. VORNPluginMain answers 0 when it registered everything it meant to, anything else
 * when it failed; a failing plug-in is reported by name and the program goes on.
 */
#ifndef VORN_PLUGIN_API_H
#define VORN_PLUGIN_API_H

#include <stdint.h>

#include "vorn/class_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void *(*VornPluginResolver)(const char *name);
typedef int32_t (*VornPluginMainFunction)(VornPluginResolver resolve);

/* Registers a class described by the class record of compiled code. Besides the class, the
 * directory gets "Class.Property.Get", "Class.Property.Set" and "Class.Method" rows for its
 * accessor and method functions. Nil (with a message naming the plug-in) for a record with
 * no name, an absurd member count or a member without a signature. */
VornRuntimeClass *PluginRegisterClass(const VornClassRecord *record);

/* A member of a plug-in class in the language's declaration syntax:
 *   "Function Speed(x As Integer) As Double"   a method; function takes the object, then x
 *   "Sub Value(Assigns v As Integer)"          a method called by assignment
 *   "Property Level As Integer"                getter and setter as in VornClassProperty
 *   "Event Changed(value As Integer)"          an event (no function)
 *   "Const Limit = &H10"                       a constant (no function)
 * Parameters may be ByVal, Optional (with "= literal"), ParamArray or arrays "x() As T";
 * types are Integer, UInteger, Short, Single, Double, String, Boolean, Color, Ptr or a class. */
typedef struct VornPluginDeclaration {
  const char *declaration;
  void *function; /* a method's function; a property's getter or VORN_DIRECT_FIELD */
  void *setter;   /* a property's setter, VORN_DIRECT_FIELD, or nil for a read-only one */
  int32_t param;  /* a property's accessor parameter or field offset */
} VornPluginDeclaration;

typedef struct VornPluginDeclaredClass {
  const char *name;
  const char *superName; /* nil or "" for a root class */
  int32_t instanceSize;  /* header included */
  const VornPluginDeclaration *members;
  int32_t memberCount;
} VornPluginDeclaredClass;

/* Registers a class whose members are declaration texts, with the rows PluginRegisterClass
 * enters. Nil, entering nothing, when any text is refused: the message names the plug-in and
 * the text. */
VornRuntimeClass *PluginRegisterDeclaredClass(const VornPluginDeclaredClass *definition);
/* The text of a constant a declared class gave ("&H10", "\"text\""), nil when it has none of
 * that name (letter case ignored). */
VornStringRecord *PluginClassConstant(const char *className, const char *name);

/* One function of a plug-in module: entered in the directory as "Module.Name". */
typedef struct VornPluginModuleFunction {
  const char *signature; /* name "%" result "%" parameters, as in class records */
  void *function;
} VornPluginModuleFunction;

typedef struct VornPluginModule {
  const char *name;
  const VornPluginModuleFunction *functions;
  int32_t functionCount;
} VornPluginModule;

/* Answers 1 when the module was registered, 0 when it was refused. */
int32_t PluginRegisterModule(const VornPluginModule *module);

/* Marks the plug-in being loaded as one that uses sockets; answers its record (nil outside
 * loading). */
void *PluginMarkSocketUsage(void);

/* --- controls --------------------------------------------------------------------------- */

/* Bits of a control definition's flags. */
enum {
  kVornPluginControlAcceptsFocus = 0x01, /* always takes the focus */
  kVornPluginControlWantsBounds = 0x08,  /* asks for its whole bounds as its frame */
  kVornPluginControlOwnCursor = 0x20,    /* sets the mouse cursor itself */
};

/* Entries of a control's behaviour table: callbacks taking the control object first; a nil
 * entry is one the control does not implement. */
enum {
  kVornBehaviourRedraw = 2,        /* (control, Graphics) */
  kVornBehaviourMouseDown = 3,     /* (control, x, y, modifiers) -> Boolean: 1 captures the mouse */
  kVornBehaviourMouseDrag = 4,     /* (control, x, y) */
  kVornBehaviourMouseUp = 5,       /* (control, x, y) */
  kVornBehaviourGotFocus = 6,
  kVornBehaviourLostFocus = 7,
  kVornBehaviourKeyDown = 8,       /* (control, character, key code, modifiers) -> Boolean */
  kVornBehaviourOpen = 9,
  kVornBehaviourClose = 10,
  kVornBehaviourIdle = 11,         /* every 10 ticks */
  kVornBehaviourDrawInto = 12,     /* (control, Graphics) */
  kVornBehaviourBackground = 13,
  kVornBehaviourMouseEnter = 16,
  kVornBehaviourMouseExit = 17,
  kVornBehaviourMouseMove = 18,    /* (control, x, y) in window coordinates */
  kVornBehaviourStateChanged = 19, /* (control, 2 enabled | 4 visibility | 8 bounds) */
  kVornBehaviourStateCode2000 = 20,/* (control, 0, 0, 0) */
  kVornBehaviourGetHandle = 21,    /* (control) -> GtkWidget* or nil */
  kVornBehaviourMouseWheel = 22,   /* (control, x, y, delta) -> Boolean */
  kVornBehaviourEnableMenuItems = 23,
  kVornBehaviourMenuCommand = 24,  /* (control, command) -> Boolean */
  kVornBehaviourAcceptFocus = 25,  /* (control) -> Boolean; only from version 8 on */
  kVornBehaviourCount = 26,
};

/* A control class of a plug-in: a RectControl (or a subclass of superName) whose instances
 * keep dataSize bytes of the plug-in's own after VORN_CONTROL_INSTANCE_SIZE and get a pane
 * that forwards drawing, mouse, keys and focus to the behaviour table (kVornBehaviourCount
 * entries). */
typedef struct VornPluginControlDefinition {
  uint32_t version; /* 8 or more lets kVornBehaviourAcceptFocus answer */
  const char *name;
  const char *superName;
  uint32_t flags;
  int32_t dataSize;
  const VornClassProperty *properties;
  int32_t propertyCount;
  const VornClassMember *methods;
  int32_t methodCount;
  const VornClassMember *events;
  int32_t eventCount;
  int32_t defaultWidth;
  int32_t defaultHeight;
  void (*initializer)(VornRuntimeObject *control);
  void *const *behaviour;
} VornPluginControlDefinition;

VornRuntimeClass *PluginRegisterControl(const VornPluginControlDefinition *definition);

/* The control's bounds in its window (left, top, right, bottom); 0 for no control. */
uint8_t PluginGetControlBounds(VornRuntimeObject *control, int32_t *left, int32_t *top, int32_t *right,
                               int32_t *bottom);
void VORNInvalidateControl(VornRuntimeObject *control);

/* --- pictures ---------------------------------------------------------------------------- */

/* The GDK drawable a Graphics object draws into; nil for one without a target. */
void *VORNGraphicsGdkDrawable(VornRuntimeObject *graphics);

/* Call after drawing into a picture's drawable directly (not through its Graphics object):
 * drops the copies of its pixels the runtime keeps for reading them. Nothing for nil or a
 * picture without a bitmap. */
void VORNPictureClearCache(VornRuntimeObject *picture);

#ifdef __cplusplus
}
#endif

#endif
