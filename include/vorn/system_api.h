/*
 * The System module and its companion classes NetworkInterface, Network and
 * _QuicktimeInstallStatus, as compiled code calls them.
 *
 * Every member of the module takes the module object first (getSystemObject hands it out);
 * property getters take (object, parameter word). String and object results carry one
 * reference for the caller. Colours are &h00RRGGBB, Booleans one byte.
 *
 * The serial members (getSerialPort, getSerialPortByPath, getSerialPortCount) are declared
 * with the serial layer, IsFunctionAvailable with the soft declarations.
 */
#ifndef VORN_SYSTEM_API_H
#define VORN_SYSTEM_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A NetworkInterface holds its interface index (-1 = the first interface) in the first field
   after the header; the socket classes read it there. */
typedef struct VornNetworkInterfaceObject {
  VornRuntimeObject header;
  int32_t index;
} VornNetworkInterfaceObject;

/* The one instance of the System module (one reference for the caller). */
VornRuntimeObject *getSystemObject(void);

/* --- methods of System -------------------------------------------------------------------- */

/* Always false with *result set to 0 (no Gestalt manager here). */
uint8_t systemGestalt(VornRuntimeObject *module, VornStringRecord *code, int32_t *result);
/* The screen's colour at (x, y) of the root window; 0 outside the screen or without one. */
uint32_t systemPixel(VornRuntimeObject *module, int32_t x, int32_t y);
/* A new NetworkInterface for -1 <= index < the interface count; nil otherwise. */
VornRuntimeObject *GetNetworkInterfaceObject(VornRuntimeObject *module, int32_t index);
/* False for every index (no pen here). */
uint8_t SystemGetPenButton(VornRuntimeObject *module, int32_t index);
VornStringRecord *SystemGetEnvVariable(VornRuntimeObject *module, VornStringRecord *name);
void SystemSetEnvVariable(VornRuntimeObject *module, VornStringRecord *name, VornStringRecord *value);
/* The message to the system log at the level's priority (LogLevel constants 1000-1008). */
void SystemLogger(VornRuntimeObject *module, int32_t level, VornStringRecord *message);
/* The message and a newline to standard error. */
void SystemDebugLogger(VornRuntimeObject *module, VornStringRecord *message);
/* A new Picture of width x height filled with the colour, the backdrop drawn over it; title,
   frame type and the box flags change nothing. Nil when no bitmap can be made. */
VornRuntimeObject *SystemDrawWindow(VornRuntimeObject *module, VornStringRecord *title, int32_t width,
                                    int32_t height, int32_t frameType, uint8_t minBox, uint8_t maxBox,
                                    uint8_t closeBox, uint8_t growBox, VornRuntimeObject *backDrop,
                                    uint8_t stretchBackDrop, uint32_t pictureFillColor);
/* Sets the three results to 0. */
void SystemGetWindowMetrics(VornRuntimeObject *module, int32_t frameType, int32_t *captionHeight,
                            int32_t *borderWidth, int32_t *borderHeight);

/* --- properties of System ----------------------------------------------------------------- */

VornStringRecord *SystemGetCommandLine(VornRuntimeObject *module, int32_t param);
int32_t getMouseX(VornRuntimeObject *module, int32_t param);
int32_t getMouseY(VornRuntimeObject *module, int32_t param);
uint8_t getMouseDown(VornRuntimeObject *module, int32_t param);
int32_t systemGetKeyScript(VornRuntimeObject *module, int32_t param);
void systemSetKeyScript(VornRuntimeObject *module, int32_t param, int32_t value);
VornRuntimeObject *systemGetQTInstallStatus(VornRuntimeObject *module, int32_t param);
int32_t SystemGetNetworkInterfaceCount(VornRuntimeObject *module, int32_t param);
double SystemGetPenPressure(VornRuntimeObject *module, int32_t param);
int32_t SystemGetPenType(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *SystemGetNetwork(VornRuntimeObject *module, int32_t param);

/* KeyChain members of the inert KeyChain of this platform: there is no keychain, so the
   default keychain reads nil, setting it does nothing and the count is 0. */
VornRuntimeObject *systemGetDefaultKeyChain(VornRuntimeObject *module, int32_t param);
void systemSetDefaultKeyChain(VornRuntimeObject *module, int32_t param, VornRuntimeObject *keyChain);
int32_t systemGetKeyChainCount(VornRuntimeObject *module, int32_t param);

/* --- NetworkInterface, Network, _QuicktimeInstallStatus ------------------------------------ */

void NetworkInterfaceCtor(VornRuntimeObject *networkInterface);
/* Six upper-case hexadecimal pairs joined by ":"; empty when the interface is gone. */
VornStringRecord *SystemGetMACAddress(VornRuntimeObject *networkInterface, int32_t param);
/* Dotted decimal, first byte of the address first; "0.0.0.0" when the interface is gone. */
VornStringRecord *SystemGetIPAddress(VornRuntimeObject *networkInterface, int32_t param);
VornStringRecord *SystemGetSubnetMask(VornRuntimeObject *networkInterface, int32_t param);

/* Always false here (no host-reachability service). */
uint8_t NetworkSafeToConnect(VornRuntimeObject *network);
/* NetworkLookupIPAddress and NetworkLookupDNSAddress: vorn/socket_api.h. */
void NetworkWakeOnLAN(VornRuntimeObject *network, VornStringRecord *address, VornStringRecord *macAddress);

/* False: there is no movie library on this platform. */
uint8_t QTInstalledGetter(VornRuntimeObject *status, int32_t param);

#ifdef __cplusplus
}
#endif

#endif
