// The plot "Road and terrain" on the desktop: a window of its own that paints the layout
// of ui/Hoehenplan at its size (resizable), with a legend, and a note where there is no
// terrain or no road. The main window hands it every run of the live preview and every
// "Go" while it is open.
#pragma once

#include "ui/Hoehenplan.h"

#include <QImage>
#include <QWidget>

namespace pavolant::qt {

class Hoehenplanansicht : public QWidget {
    Q_OBJECT

public:
    explicit Hoehenplanansicht(QWidget* eltern = nullptr);

    // The run to show; repaints.
    void Zeigen(Hoehenplanstand stand);
    const Hoehenplanstand& Stand() const { return stand_; }
    // The plot as painted at the window's size.
    QImage Bild();

    // Colours used throughout: fill brown, cut blue, the road dark grey, the ground brown.
    static QColor FarbeAufschuettung();
    static QColor FarbeAbtrag();

protected:
    void paintEvent(QPaintEvent* ereignis) override;

private:
    void Malen(QPainter& maler);
    Hoehenplanstand stand_;
};

}  // namespace pavolant::qt
