/*
 * The language's MoviePlayer control, its MoviePlayerAction binding part and the Movie class,
 * as compiled code calls them.
 *
 * This desktop has no movie library: a player keeps its properties, lays out, takes focus and
 * clicks like other controls and shows nothing of a movie; Play and Stop do nothing, and every
 * size or controller a player or movie reports is 0. Property accessors take (object,
 * parameter word[, value]); the parameter word is not read by the accessors declared here.
 */
#ifndef VORN_MOVIE_API_H
#define VORN_MOVIE_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- MoviePlayer ---------------------------------------------------------------------------- */

/* Makes the player's pane in its window at its bounds, inside its initial parent's pane when
   that exists already. */
void MediaCreatePane(VornRuntimeObject *player);
/* Releases the player's Movie. */
void RuntimeMediaDestructor(VornRuntimeObject *player);
void RuntimeMediaPlay(VornRuntimeObject *player);
void RuntimeMediaStop(VornRuntimeObject *player);

void MediaControllerSetter(VornRuntimeObject *player, int32_t param, int32_t value);
/* Looping and Palindrome: a change is stored and handed to the player's movie controller. */
void mediaControllerLoopingSetter(VornRuntimeObject *player, int32_t param, uint8_t value);
void mediaControllerPalindromeSetter(VornRuntimeObject *player, int32_t param, uint8_t value);
/* The player holds the Movie (nil allowed) and lets go of the one it had. */
void mediaMovieSetter(VornRuntimeObject *player, int32_t param, VornRuntimeObject *movie);
int32_t mediaControllerWidthGetter(VornRuntimeObject *player, int32_t param);
int32_t mediaControllerHeightGetter(VornRuntimeObject *player, int32_t param);
int32_t mediaMovieControllerGetter(VornRuntimeObject *player, int32_t param);
int32_t WMPMovieControllerGetter(VornRuntimeObject *player, int32_t param);

/* "getPlayAction" and "getStopAction" (letter case ignored) give a new MoviePlayerAction on
   the player, with one reference for the caller; other names give nil. */
VornRuntimeObject *mediaGetBoundPart(VornRuntimeObject *player, VornStringRecord *name);

/* --- MoviePlayerAction --------------------------------------------------------------------- */

/* Plays or stops the player the action was made for. */
void mediaActionPerformAction(VornRuntimeObject *action);
void mediaActionDestructor(VornRuntimeObject *action);

/* --- Movie --------------------------------------------------------------------------------- */

void RuntimeMovieDestructor(VornRuntimeObject *movie);
int32_t movieWidthGetter(VornRuntimeObject *movie, int32_t param);
int32_t movieHeightGetter(VornRuntimeObject *movie, int32_t param);
int32_t movieBaseWidthGetter(VornRuntimeObject *movie, int32_t param);
int32_t movieBaseHeightGetter(VornRuntimeObject *movie, int32_t param);
int32_t movieHandleGetter(VornRuntimeObject *movie, int32_t param);

/* Nil: no movie can be opened here. */
VornRuntimeObject *openURLMovie(VornStringRecord *url);
/* Reports a failed assertion and answers nil. */
VornRuntimeObject *RuntimeGetMovieFromResource(int32_t id);

#ifdef __cplusplus
}
#endif

#endif
