// The plot "Road and terrain" without a toolkit: the road's longitudinal section laid out
// on an image of a given size (axes with round ticks in metres, the road's three lines
// over the ground's, the fill and cut between them, the largest of each marked), and what
// the view shows for a run of the live preview or a "Go".
//
// Pixels: x to the right, y down, the image's top left corner at (0, 0). The station runs
// along x, the height up along y; both axes have their own scale (heights are drawn
// exaggerated, as is usual for such a plot).
#pragma once

#include "model/Laengsschnitt.h"
#include "ui/Vorschauauftrag.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace pavolant {

struct Bildpunkt {
    double X = 0, Y = 0;
};

// A tick of an axis: where (x for the station axis, y for the height axis) and its label.
struct Achsmarke {
    double Pixel = 0;
    std::string Text;
};

// The largest fill or cut: a bar from the road down (or up) to the ground, and its label.
struct Plotmarke {
    Bildpunkt Strasse, Boden;
    std::string Text;
    bool Aufschuettung = true;  // fill (else cut)
};

// The room the view keeps around the plot for its labels, pixels.
struct Plotraender {
    int Links = 60, Oben = 30, Rechts = 20, Unten = 45;
};

struct Hoehenplan {
    // The plot's area in pixels; every line and area lies within it.
    double Links = 0, Oben = 0, Rechts = 0, Unten = 0;
    // The metres the area spans.
    double StationVon = 0, StationBis = 0, HoeheVon = 0, HoeheBis = 0;
    // The ticks' spacing in metres, and the ticks themselves.
    double StationSchritt = 0, HoeheSchritt = 0;
    std::vector<Achsmarke> Stationsmarken, Hoehenmarken;
    // By Schnittlinie: the road's lines (whole), the ground's under them (in pieces, as the
    // terrain ends and begins again).
    std::array<std::vector<Bildpunkt>, 3> Strassenlinien;
    std::array<std::vector<std::vector<Bildpunkt>>, 3> Bodenlinien;
    // The areas between each road line and the ground under it: fill where the road is
    // above, cut where it is below, split where the lines cross.
    std::vector<std::vector<Bildpunkt>> Aufschuettungen, Abtraege;
    std::vector<Plotmarke> Marken;

    double XVonStation(double station) const;
    double YVonHoehe(double hoehe) const;
};

// The smallest step of 1, 2 or 5 times a power of ten (metres) that puts ticks at least
// `mindestPixel` apart when `spanne` metres take `pixel` pixels; 1 for an empty span.
double Tickschritt(double spanne, double pixel, double mindestPixel);

// The layout of `schnitt` on an image of `breite` x `hoehe` pixels. A section of no
// records gives empty lines; one without ground the road's lines only.
Hoehenplan HoehenplanAnlegen(const Laengsschnitt& schnitt, int breite, int hoehe,
                             const Plotraender& raender = {});

// What the view shows for a run (of the live preview, or a "Go" with the ground as read):
// the section to plot (null: none) and a note (empty when the plot says it all), in this
// order: no terrain chosen (`gelaendeGewaehlt` false), the terrain not read, no road (and
// why), the road nowhere over the terrain.
struct Hoehenplanstand {
    std::shared_ptr<const Laengsschnitt> Schnitt;
    std::string Hinweis;
};
Hoehenplanstand HoehenplanStand(const Vorschauergebnis& ergebnis, bool gelaendeGewaehlt);

}  // namespace pavolant
