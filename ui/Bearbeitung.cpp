// The main window's edit history and modified state (see Bearbeitung.h), the question
// before unsaved changes are lost, and the title that shows both.
#include "ui/Bearbeitung.h"

#include "model/Text.h"
#include "persistence/Plattform.h"
#include "ui/Hauptfenster.h"

#include <bit>
#include <utility>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

bool Gleich(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool Gleich(const TRandSegment& a, const TRandSegment& b) {
    return Gleich(a.DX, b.DX) && Gleich(a.DY, b.DY) && Gleich(a.X, b.X) && Gleich(a.Y, b.Y) &&
           Gleich(a.Breite, b.Breite) && Gleich(a.Winkel, b.Winkel) && Gleich(a.NX, b.NX) &&
           Gleich(a.NY, b.NY) && Gleich(a.NormalenWinkel, b.NormalenWinkel) && a.NormaleMan == b.NormaleMan &&
           Gleich(a.U, b.U);
}

bool Gleich(const TRandPunkte& a, const TRandPunkte& b) {
    if (a.AnzahlSegmente() != b.AnzahlSegmente()) return false;
    for (int i = 0; i < a.AnzahlSegmente(); ++i)
        if (!Gleich(*a.Segment(i), *b.Segment(i))) return false;
    return a.Aktiv == b.Aktiv && a.TexturDatei == b.TexturDatei && Gleich(a.TexturLaenge, b.TexturLaenge) &&
           Gleich(a.TexturBreite, b.TexturBreite) && a.Ruecksetzen == b.Ruecksetzen &&
           Gleich(a.MinX, b.MinX) && Gleich(a.MaxX, b.MaxX) && Gleich(a.MinY, b.MinY) &&
           Gleich(a.MaxY, b.MaxY) && a.Rechts == b.Rechts && a.Bezeichnung == b.Bezeichnung &&
           a.AktSegment == b.AktSegment && a.Pixel == b.Pixel;
}

bool Gleich(const Feinheit& a, const Feinheit& b) {
    return Gleich(a.MinLaenge, b.MinLaenge) && Gleich(a.MinWinkel, b.MinWinkel) &&
           Gleich(a.MinSteigung, b.MinSteigung) && Gleich(a.MinZRot, b.MinZRot) &&
           Gleich(a.MaxSturz, b.MaxSturz) && a.DreieckeSym == b.DreieckeSym;
}

}  // namespace

bool Gleich(const Strassenstand& a, const Strassenstand& b) {
    if (a.Punkte.size() != b.Punkte.size()) return false;
    for (std::size_t i = 0; i < a.Punkte.size(); ++i)
        for (std::size_t k = 0; k < 6; ++k)
            if (!Gleich(a.Punkte[i][k], b.Punkte[i][k])) return false;
    if (a.GelaendeLassen != b.GelaendeLassen) return false;
    return a.Felder == b.Felder && a.Boxen == b.Boxen && a.Spins == b.Spins && a.Gruppen == b.Gruppen &&
           a.Knoepfe == b.Knoepfe && Gleich(a.RandR, b.RandR) && Gleich(a.RandL, b.RandL) &&
           a.AktuellerPunkt == b.AktuellerPunkt && a.SplineDatei == b.SplineDatei &&
           Gleich(a.FuellHoehe, b.FuellHoehe) && Gleich(a.FuellBreite, b.FuellBreite) &&
           a.FuellTextur == b.FuellTextur && a.FuellTausch == b.FuellTausch &&
           Gleich(a.Einstellungen, b.Einstellungen) && a.TexPxl == b.TexPxl &&
           Gleich(a.OldTexL0, b.OldTexL0) && a.Gelaende == b.Gelaende;
}

// ---- Verlauf ---------------------------------------------------------------------------

void Verlauf::Beginnen(Strassenstand stand) {
    staende_.clear();
    staende_.push_back(std::move(stand));
    position_ = 0;
    gespeichert_ = 0;
}

bool Verlauf::Nachfuehren(Strassenstand stand) {
    if (Gleich(stand, staende_[position_])) return false;
    staende_.erase(staende_.begin() + static_cast<std::ptrdiff_t>(position_) + 1, staende_.end());
    if (gespeichert_ && *gespeichert_ > position_) gespeichert_.reset();
    staende_.push_back(std::move(stand));
    ++position_;
    if (position_ > kSchritte) {
        staende_.pop_front();
        --position_;
        if (gespeichert_) gespeichert_ = *gespeichert_ == 0 ? std::nullopt : std::optional(*gespeichert_ - 1);
    }
    return true;
}

const Strassenstand& Verlauf::Zurueck() {
    if (KannZurueck()) --position_;
    return staende_[position_];
}

const Strassenstand& Verlauf::Vor() {
    if (KannVor()) ++position_;
    return staende_[position_];
}

// ---- The window's state as a whole ------------------------------------------------------

namespace {

// Controls that are no part of the road: the output file and "Go" belong to the session.
bool GehoertZurSitzung(std::string_view name) { return name == "edtFileName" || name == "bbnGo"; }

}  // namespace

Strassenstand Hauptfenster::Erfassen() const {
    Hauptfenster& f = const_cast<Hauptfenster&>(*this);  // the tables hand out mutable controls
    Strassenstand s(RandR, RandL);
    for (const auto& k : Edits())
        if (!GehoertZurSitzung(k.name)) {
            const TEdit& e = f.*k.feld;
            s.Felder.push_back({e.Text, e.Enabled, e.Visible});
        }
    for (const auto& k : CheckBoxen()) {
        const TCheckBox& c = f.*k.feld;
        s.Boxen.push_back({c.Checked(), c.Enabled, c.Visible});
    }
    for (const auto& k : SpinEdits()) {
        const TSpinEdit& c = f.*k.feld;
        s.Spins.push_back({c.Value(), c.MinValue, c.MaxValue, c.Enabled, c.Visible});
    }
    for (const auto& k : GroupBoxen()) {
        const TGroupBox& g = f.*k.feld;
        s.Gruppen.push_back({g.Caption, g.Enabled, g.Visible});
    }
    for (const auto& k : Buttons())
        if (!GehoertZurSitzung(k.name)) {
            const TButton& b = f.*k.feld;
            s.Knoepfe.push_back({b.Enabled, b.Visible});
        }
    for (int i = 0; i < SplinePunkte.AnzahlPunkte(); ++i) {
        const TSplinePkt& p = *SplinePunkte.Punkt(i);
        s.Punkte.push_back({p.X, p.Y, p.Z, p.Xrot, p.Yrot, p.Zrot});
        s.GelaendeLassen.push_back(p.GelaendeLassen);
        s.Punktnamen.push_back(p.Name);
    }
    s.AktuellerPunkt = AktuellerPunkt;
    s.SplineDatei = SplineDatei;
    s.FuellHoehe = FuellFlaeche.TexturHoehe;
    s.FuellBreite = FuellFlaeche.TexturBreite;
    s.FuellTextur = FuellFlaeche.Textur;
    s.FuellTausch = FuellFlaeche.TauschHB;
    s.Einstellungen = Einstellungen();
    s.TexPxl = TexPxl;
    s.OldTexL0 = OldTexL0;
    s.Gelaende = Gelaendewahl;
    return s;
}

void Hauptfenster::Wiederherstellen(const Strassenstand& s) {
    // Every control as it was, without its handlers: the state was whole when it was
    // taken, so the chains it came from have already run.
    std::size_t i = 0;
    for (const auto& k : Edits())
        if (!GehoertZurSitzung(k.name)) {
            TEdit& e = this->*k.feld;
            e.Text = s.Felder[i].Text;
            e.Enabled = s.Felder[i].Enabled;
            e.Visible = s.Felder[i++].Visible;
        }
    i = 0;
    for (const auto& k : CheckBoxen()) {
        TCheckBox& c = this->*k.feld;
        c.Show(s.Boxen[i].Checked);
        c.Enabled = s.Boxen[i].Enabled;
        c.Visible = s.Boxen[i++].Visible;
    }
    i = 0;
    for (const auto& k : SpinEdits()) {
        TSpinEdit& c = this->*k.feld;
        c.MinValue = s.Spins[i].Min;
        c.MaxValue = s.Spins[i].Max;
        c.Show(s.Spins[i].Wert);
        c.Enabled = s.Spins[i].Enabled;
        c.Visible = s.Spins[i++].Visible;
    }
    i = 0;
    for (const auto& k : GroupBoxen()) {
        TGroupBox& g = this->*k.feld;
        g.Caption = s.Gruppen[i].Caption;
        g.Enabled = s.Gruppen[i].Enabled;
        g.Visible = s.Gruppen[i++].Visible;
    }
    i = 0;
    for (const auto& k : Buttons())
        if (!GehoertZurSitzung(k.name)) {
            TButton& b = this->*k.feld;
            b.Enabled = s.Knoepfe[i].Enabled;
            b.Visible = s.Knoepfe[i++].Visible;
        }

    RandR = s.RandR;
    RandL = s.RandL;
    while (SplinePunkte.AnzahlPunkte() > static_cast<int>(s.Punkte.size()))
        SplinePunkte.PunktLoeschen(SplinePunkte.AnzahlPunkte() - 1);
    while (SplinePunkte.AnzahlPunkte() < static_cast<int>(s.Punkte.size())) SplinePunkte.Anhaengen();
    for (std::size_t n = 0; n < s.Punkte.size(); ++n) {
        TSplinePkt& p = *SplinePunkte.Punkt(static_cast<int>(n));
        const auto& w = s.Punkte[n];
        p.X = w[0], p.Y = w[1], p.Z = w[2], p.Xrot = w[3], p.Yrot = w[4], p.Zrot = w[5];
        p.Name = n < s.Punktnamen.size() ? s.Punktnamen[n] : std::string();
        p.GelaendeLassen = n < s.GelaendeLassen.size() && s.GelaendeLassen[n];
    }
    AktuellerPunkt = s.AktuellerPunkt;
    SplineDatei = s.SplineDatei;
    FuellFlaeche.TexturHoehe = s.FuellHoehe;
    FuellFlaeche.TexturBreite = s.FuellBreite;
    FuellFlaeche.Textur = s.FuellTextur;
    FuellFlaeche.TauschHB = s.FuellTausch;
    EinstellungenSetzen(s.Einstellungen);
    TexPxl = s.TexPxl;
    OldTexL0 = s.OldTexL0;
    Gelaendewahl = s.Gelaende;
}

void Hauptfenster::VerlaufBeginnen() { verlauf_.Beginnen(Erfassen()); }

void Hauptfenster::VerlaufNachfuehren() { verlauf_.Nachfuehren(Erfassen()); }

// ---- Undo and redo ---------------------------------------------------------------------

void Hauptfenster::Rueckgaengig() {
    // Typing that no exit has committed yet is a change of its own, undone first.
    VerlaufNachfuehren();
    if (verlauf_.KannZurueck()) Wiederherstellen(verlauf_.Zurueck());
}

void Hauptfenster::Wiederholen() {
    // Typing since the last undo starts a new branch: there is nothing left to redo.
    VerlaufNachfuehren();
    if (verlauf_.KannVor()) Wiederherstellen(verlauf_.Vor());
}

bool Hauptfenster::KannRueckgaengig() const { return verlauf_.KannZurueck(); }
bool Hauptfenster::KannWiederholen() const { return verlauf_.KannVor(); }
bool Hauptfenster::Geaendert() const {
    // Typing that no exit has committed yet changes the road as well.
    return verlauf_.Geaendert() || !Gleich(Erfassen(), verlauf_.Aktuell());
}

// ---- File name, title, and the question before changes are lost -----------------------

std::string Hauptfenster::Dokumentname() const {
    return parameterDatei_ ? Utf8(parameterDatei_->filename()) : std::string(Tr("untitled"));
}

std::string Hauptfenster::Titel() const { return Caption + " - " + Dokumentname() + "[*]"; }

bool Hauptfenster::AenderungenBewahren() {
    VerlaufNachfuehren();
    if (!Geaendert()) return true;
    // Catalog: %1 is the parameter file's name, or "untitled".
    switch (dialoge_.AenderungenSichern(Einsetzen(Tr("Save changes to %1?"), {Dokumentname()}))) {
        case Dialoge::Sichern::Abbrechen:
            return false;
        case Dialoge::Sichern::Verwerfen:
            return true;
        case Dialoge::Sichern::Speichern:
            break;
    }
    return Speichern();
}

bool Hauptfenster::Speichern() {
    if (parameterDatei_) {
        ParameterSpeichern(*parameterDatei_);
        return true;
    }
    const std::optional<std::string> pfad = dialoge_.DateiSpeichern(ParameterSpeichernDialog());
    if (!pfad) return false;
    ParameterSpeichern(PfadAusUtf8(*pfad));
    return true;
}

}  // namespace pavolant
