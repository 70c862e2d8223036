// Blowfish for compiled code. BlowfishInitialize schedules a key (OutOfBoundsException for an
// empty one, which keeps the schedule); until the first key the initial subkeys stand. The
// block functions encipher or decipher one block given as its two 32-bit halves, in place
// (NilObjectException for a nil half). The ByBlock functions take a string of any length,
// zero-pad it to whole 8-byte blocks, and answer the blocks transformed (halves big-endian),
// tagged with no encoding.
#pragma once

#include <stdint.h>

#include "vorn/image_abi.h"

extern "C" {
void BlowfishInitialize(VornStringRecord* key);
void BlowfishEncipher(uint32_t* left, uint32_t* right);
void BlowfishDecipher(uint32_t* left, uint32_t* right);
VornStringRecord* BlowfishEncipherByBlock(VornStringRecord* data);
VornStringRecord* BlowfishDecipherByBlock(VornStringRecord* data);
}
