/*
 * Telescopic limiting magnitude: the faintest star an observer sees through a telescope,
 * in the night-vision form of the classic model (sky brightness from the naked-eye limit,
 * threshold illuminance, then the star's magnitude).
 *
 * Compiled into the application image: it uses only the runtime's maths entry points.
 */
#ifndef LIMIT_MODEL_H
#define LIMIT_MODEL_H

enum {
  kTelescopeRefractor = 0,
  kTelescopeReflector = 1,
  kTelescopeSCT = 2
};

/*
 * apertureMM: aperture in millimetres; magnification: times; nakedEyeLimit: naked-eye
 * limiting magnitude near the zenith; age: years; telescopeType: kTelescope*; cleanliness:
 * 1 (filthy) to 9 (clean); colourIndex: B-V; zenithDistanceDeg: degrees; extinction: mag per
 * air mass in V; seeingRadius: arcseconds; experience: 1 (novice) to 9 (expert), 6 neutral.
 *
 * Inputs outside what the model can take are brought to its edge (the zenith distance stops
 * at 85 degrees, aperture and magnification at least 1, cleanliness 1 to 9), so the result is
 * always a finite number.
 */
double LimitingMagnitude(double apertureMM, double magnification, double nakedEyeLimit, double age,
                         int telescopeType, double cleanliness, double colourIndex,
                         double zenithDistanceDeg, double extinction, double seeingRadius,
                         double experience);

#endif
