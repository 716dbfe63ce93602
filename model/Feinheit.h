// The fineness settings: how finely a run subdivides the road. The settings file, the
// parameter file, the settings dialog and the run all take them as this one record.
#pragma once

namespace pavolant {

// Lengths in metres, angles in degrees.
struct Feinheit {
    double MinLaenge = 2;      // no subdivision of a step shorter than this
    double MinWinkel = 3;      // heading change that asks for a cross-section
    double MinSteigung = 1;    // pitch change that asks for a cross-section
    double MinZRot = 1;        // bank change that asks for a cross-section
    double MaxSturz = 30;      // camber at the tightest bend
    bool DreieckeSym = false;  // symmetrical roadway triangles
};

}  // namespace pavolant
