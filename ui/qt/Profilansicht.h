// The profile view on the desktop: Profilfenster's panel (OK, "undistortd", redraw, both segment
// editors) above a retained image that fills the rest of the window. Shown modally from
// the main window; made once and reused, so the box and the spins keep their state.
#pragma once

#include "model/Zeichenflaeche.h"
#include "ui/Profilfenster.h"
#include "ui/qt/Bindung.h"

#include <QDialog>
#include <QImage>
#include <QPen>
#include <QPoint>

#include <functional>

namespace pavolant::qt {

// A drawing surface that keeps its picture: strokes go into an image the widget shows,
// and the image stays as drawn until the next drawing. A resize gives an image of the
// new size (keeping what fits) and then calls NachGroessenaenderung.
class Bildflaeche : public QWidget, public Zeichenflaeche {
    Q_OBJECT

public:
    explicit Bildflaeche(QWidget* eltern = nullptr);

    int Breite() const override { return bild_.width(); }
    int Hoehe() const override { return bild_.height(); }
    void Stift(std::uint32_t farbe, int breite) override;
    void Fuellen(std::uint32_t farbe) override;
    void BewegeZu(int x, int y) override { stand_ = QPoint(x, y); }
    void LinieZu(int x, int y) override;

    const QImage& Bild() const { return bild_; }
    std::function<void()> NachGroessenaenderung;

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;

private:
    QImage bild_;
    QPen stift_;
    QPoint stand_;
};

class Profilansicht : public QDialog {
    Q_OBJECT

public:
    // `grenze` runs the view's events (the main window's error boundary). `form` must
    // outlive the view.
    Profilansicht(Profilfenster& form, Bindung::Grenze grenze, QWidget* eltern = nullptr);
    ~Profilansicht() override;

    // Shows the view modally with the controls as they stand in the form.
    void Zeigen();
    Bildflaeche& Bild() { return *bild_; }
    Bindung& Verbindung() { return *bindung_; }

    // Closing in any way first ends the edit of the focused field, as leaving it would;
    // a value that is no number keeps the view open at that field.
    void done(int ergebnis) override;

private:
    Profilfenster& form_;
    Bindung* bindung_;
    Bildflaeche* bild_;
};

}  // namespace pavolant::qt
