#include "ui/qt/vorschau/Vorschau3d.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLWidget>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "ui/qt/Qtext.h"
#include "ui/qt/vorschau/Vorschauplan.h"

namespace pavolant::qt {

namespace {

constexpr const char* kObjektname = "wdgVorschau3d";

float Seitenverhaeltnis(const QWidget& w) {
    return static_cast<float>(w.width()) / static_cast<float>(std::max(w.height(), 1));
}

// A transparent layer over the OpenGL widget that paints the labels with the raster
// engine: text painted by Qt into the view's own OpenGL context depends on the state the
// renderer leaves behind. Mouse input passes through to the view.
class Schicht : public QWidget {
public:
    Schicht(QWidget* eltern, std::function<void(QPainter&)> malen)
        : QWidget(eltern), malen_(std::move(malen)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter maler(this);
        malen_(maler);
    }

private:
    std::function<void(QPainter&)> malen_;
};

QSurfaceFormat Format() {
    QSurfaceFormat f = QSurfaceFormat::defaultFormat();
    f.setDepthBufferSize(24);
    return f;
}

// Window systems whose windows compose OpenGL widgets. Qt's offscreen and minimal
// platforms, VNC and the Linux framebuffer do not.
bool WidgetsMitOpenGL() {
    const QString p = QGuiApplication::platformName();
    return p == QLatin1String("xcb") || p.startsWith(QLatin1String("wayland")) ||
           p == QLatin1String("windows") || p == QLatin1String("cocoa") ||
           p.startsWith(QLatin1String("eglfs"));
}

// ---- OpenGL widget ------------------------------------------------------------------------

class GlFlaeche : public QOpenGLWidget, public Vorschau3d {
public:
    GlFlaeche(Vorschaukamera& kamera, const Darstellung& darstellung, Kamerafuehrung& fuehrung)
        : kamera_(kamera), darstellung_(darstellung), fuehrung_(fuehrung) {
        setObjectName(QLatin1String(kObjektname));
        setFormat(Format());
        setMinimumSize(240, 180);
        schicht_ = new Schicht(this, [this](QPainter& maler) {
            Ueberzeichnen(maler, daten_.get(), kamera_, darstellung_, QSizeF(size()));
        });
    }
    ~GlFlaeche() override {
        // The base class destroys the context after this destructor has run; the
        // handler below must not reach the renderer that is gone by then.
        disconnect(kontextEnde_);
        if (!context()) return;
        makeCurrent();
        renderer_.Freigeben();
        doneCurrent();
    }

    QWidget* Widget() override { return this; }
    void SetzeDaten(std::shared_ptr<const Vorschaudaten> daten) override {
        daten_ = daten;
        renderer_.SetzeDaten(std::move(daten));
        Neuzeichnen();
    }
    void SetzeTexturen(const std::array<std::shared_ptr<const Texturbild>, 4>& texturen) override {
        renderer_.SetzeTexturen(texturen);
        update();
    }
    void Neuzeichnen() override {
        update();
        schicht_->update();
    }
    // The picture with the labels the layer paints over it on the screen.
    QImage Bild() override {
        QImage bild = grabFramebuffer();
        if (bild.isNull()) return bild;
        bild.setDevicePixelRatio(devicePixelRatio());
        QPainter maler(&bild);
        maler.setFont(font());
        Ueberzeichnen(maler, daten_.get(), kamera_, darstellung_, QSizeF(size()));
        return bild;
    }
    bool MitOpenGL() const override { return true; }

protected:
    void initializeGL() override {
        QString fehler;
        if (!renderer_.Initialisieren(&fehler))
            qWarning("road preview: shaders failed: %s", qPrintable(fehler));
        // A widget moved to another window gets a new context; the old one takes its
        // buffers with it.
        disconnect(kontextEnde_);
        kontextEnde_ = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
            makeCurrent();
            renderer_.Freigeben();
            doneCurrent();
        });
    }
    void paintGL() override {
        const qreal dpr = devicePixelRatio();
        const QMatrix4x4 ansicht = kamera_.AnsichtProjektion(Seitenverhaeltnis(*this));
        renderer_.Zeichnen(ansicht, darstellung_, static_cast<int>(width() * dpr),
                           static_cast<int>(height() * dpr));
    }
    void resizeEvent(QResizeEvent* e) override {
        QOpenGLWidget::resizeEvent(e);
        schicht_->setGeometry(rect());
    }
    void mousePressEvent(QMouseEvent* e) override { fuehrung_.Druecken(*e); }
    void mouseMoveEvent(QMouseEvent* e) override { fuehrung_.Ziehen(*e, height()); }
    void wheelEvent(QWheelEvent* e) override { fuehrung_.Rad(*e, size()); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { fuehrung_.Doppelklick(*e, size()); }

private:
    Vorschaukamera& kamera_;
    const Darstellung& darstellung_;
    Kamerafuehrung& fuehrung_;
    Vorschaurenderer renderer_;
    std::shared_ptr<const Vorschaudaten> daten_;
    QMetaObject::Connection kontextEnde_;
    Schicht* schicht_ = nullptr;  // a child: goes with the widget
};

// ---- Framebuffer object painted as a picture ------------------------------------------

class BildFlaeche : public QWidget, public Vorschau3d {
public:
    BildFlaeche(Vorschaukamera& kamera, const Darstellung& darstellung, Kamerafuehrung& fuehrung)
        : kamera_(kamera), darstellung_(darstellung), fuehrung_(fuehrung) {
        setObjectName(QLatin1String(kObjektname));
        setMinimumSize(240, 180);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    ~BildFlaeche() override {
        if (!kontext_) return;
        if (!kontext_->makeCurrent(&flaeche_)) {
            // The driver frees the objects with their context, which goes with us.
            qWarning("road preview: no current GL context at close; its objects go with the context");
            return;
        }
        fbo_.reset();
        renderer_.Freigeben();
        kontext_->doneCurrent();
    }

    QWidget* Widget() override { return this; }
    void SetzeDaten(std::shared_ptr<const Vorschaudaten> daten) override {
        daten_ = daten;
        renderer_.SetzeDaten(std::move(daten));
        update();
    }
    void SetzeTexturen(const std::array<std::shared_ptr<const Texturbild>, 4>& texturen) override {
        renderer_.SetzeTexturen(texturen);
        update();
    }
    void Neuzeichnen() override { update(); }
    QImage Bild() override { return Rendern(size() * devicePixelRatio()); }
    bool MitOpenGL() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter maler(this);
        const QImage bild = Rendern(size() * devicePixelRatio());
        if (bild.isNull())
            maler.fillRect(
                rect(), QColor::fromRgbF(kHintergrundfarbe[0], kHintergrundfarbe[1], kHintergrundfarbe[2]));
        else
            maler.drawImage(rect(), bild);
    }
    void mousePressEvent(QMouseEvent* e) override { fuehrung_.Druecken(*e); }
    void mouseMoveEvent(QMouseEvent* e) override { fuehrung_.Ziehen(*e, height()); }
    void wheelEvent(QWheelEvent* e) override { fuehrung_.Rad(*e, size()); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { fuehrung_.Doppelklick(*e, size()); }

private:
    bool Bereit() {
        if (kontext_) return kontextOk_;
        kontext_.emplace();
        kontext_->setFormat(Format());
        kontextOk_ = kontext_->create();
        if (!kontextOk_) return false;
        flaeche_.setFormat(kontext_->format());
        flaeche_.create();
        kontextOk_ = kontext_->makeCurrent(&flaeche_);
        if (!kontextOk_) return false;
        QString fehler;
        if (!renderer_.Initialisieren(&fehler))
            qWarning("road preview: shaders failed: %s", qPrintable(fehler));
        kontext_->doneCurrent();
        return true;
    }

    QImage Rendern(QSize groesse) {
        if (groesse.isEmpty() || !Bereit() || !kontext_->makeCurrent(&flaeche_)) return {};
        if (!fbo_ || fbo_->size() != groesse) {
            fbo_.reset();
            fbo_ = std::make_unique<QOpenGLFramebufferObject>(groesse,
                                                              QOpenGLFramebufferObject::CombinedDepthStencil);
        }
        QImage bild;
        if (fbo_->isValid() && fbo_->bind()) {
            const QMatrix4x4 ansicht = kamera_.AnsichtProjektion(Seitenverhaeltnis(*this));
            renderer_.Zeichnen(ansicht, darstellung_, groesse.width(), groesse.height());
            bild = fbo_->toImage();
            fbo_->release();
            bild.setDevicePixelRatio(devicePixelRatio());
            QPainter maler(&bild);
            maler.setFont(font());
            Ueberzeichnen(maler, daten_.get(), kamera_, darstellung_, QSizeF(size()));
        }
        kontext_->doneCurrent();
        return bild;
    }

    Vorschaukamera& kamera_;
    const Darstellung& darstellung_;
    Kamerafuehrung& fuehrung_;
    Vorschaurenderer renderer_;
    std::shared_ptr<const Vorschaudaten> daten_;
    std::optional<QOpenGLContext> kontext_;
    bool kontextOk_ = false;
    QOffscreenSurface flaeche_;
    std::unique_ptr<QOpenGLFramebufferObject> fbo_;
};

// ---- No OpenGL ------------------------------------------------------------------------------

class OhneGlFlaeche : public QLabel, public Vorschau3d {
public:
    OhneGlFlaeche() {
        setObjectName(QLatin1String(kObjektname));
        setMinimumSize(240, 180);
        setAlignment(Qt::AlignCenter);
        setWordWrap(true);
        setText(
            QTr("The 3-D view needs OpenGL, which this display does not offer.\n"
                "The plan view shows the road from above."));
    }
    QWidget* Widget() override { return this; }
    void SetzeDaten(std::shared_ptr<const Vorschaudaten>) override {}
    void SetzeTexturen(const std::array<std::shared_ptr<const Texturbild>, 4>&) override {}
    void Neuzeichnen() override {}
    QImage Bild() override { return {}; }
    bool MitOpenGL() const override { return false; }
};

}  // namespace

QColor Textfarbe(Beschriftung3d::Sorte art) {
    switch (art) {
        case Beschriftung3d::Sorte::Gitter:
            return QColor(55, 75, 125);
        case Beschriftung3d::Sorte::Aktuell:
            return QColor(180, 70, 0);
        case Beschriftung3d::Sorte::Punkt:
            break;
    }
    return QColor(20, 20, 20);
}

std::vector<Beschriftung3d> Beschriftungen3d(const Vorschaudaten& daten, const QMatrix4x4& ansichtProjektion,
                                             const Darstellung& darstellung, QSizeF groesse,
                                             const QFont& schrift) {
    std::vector<Beschriftung3d> marken;
    QMatrix4x4 mvp = ansichtProjektion;
    mvp.scale(1.0f, darstellung.Ueberhoehung, 1.0f);
    const QRectF bild(QPointF(0, 0), groesse);
    auto aufBild = [&](float x, float y, float z) -> std::optional<QPointF> {
        const QVector4D p = mvp * QVector4D(x, y, z, 1.0f);
        // Behind the eye (w <= 0) the projection would mirror the anchor into the picture;
        // before the near plane it is not drawn either.
        if (!(p.w() > 0) || p.z() < -p.w()) return std::nullopt;
        const QPointF wo((p.x() / p.w() + 1) / 2 * groesse.width(),
                         (1 - p.y() / p.w()) / 2 * groesse.height());
        if (!bild.contains(wo)) return std::nullopt;
        return wo;
    };
    // A box that would run over the right or top edge is moved back in, beside its anchor.
    auto Hinein = [&groesse](QRectF feld) {
        if (feld.right() > groesse.width()) feld.moveRight(std::max(groesse.width(), feld.width()));
        if (feld.top() < 0) feld.moveTop(0);
        return feld;
    };
    QFont fett = schrift;
    fett.setBold(true);
    const QFontMetricsF massFett(fett), mass(schrift);
    // The number at the upper right of its marker, clear of the marker's rim.
    auto punkt = [&](std::size_t i, Beschriftung3d::Sorte art) {
        const std::vector<float>& m = daten.Marken;
        const std::optional<QPointF> wo = aufBild(m[3 * i], m[3 * i + 1], m[3 * i + 2]);
        if (!wo) return;
        const QString text = QString::number(i + 1);
        const QSizeF g(massFett.horizontalAdvance(text) + 4, massFett.height());
        marken.push_back({art, text, *wo, Hinein(QRectF(*wo + QPointF(9, -9 - g.height()), g))});
    };
    const std::size_t punkte = daten.Marken.size() / 3;
    const bool mitAktuellem =
        darstellung.Aktuell >= 0 && static_cast<std::size_t>(darstellung.Aktuell) < punkte;
    if (mitAktuellem) punkt(static_cast<std::size_t>(darstellung.Aktuell), Beschriftung3d::Sorte::Aktuell);
    for (std::size_t i = 0; i < punkte; ++i)
        if (!mitAktuellem || i != static_cast<std::size_t>(darstellung.Aktuell))
            punkt(i, Beschriftung3d::Sorte::Punkt);
    // The grid's metres just past the start of their lines, where nothing else is.
    for (const Vorschaudaten::Gittermarke& g : daten.Gittermarken) {
        const std::optional<QPointF> wo = aufBild(g.Lage[0], g.Lage[1], g.Lage[2]);
        if (!wo) continue;
        const QString text = QString::fromStdString(g.Text);
        const QRectF feld = Hinein(QRectF(*wo + QPointF(3, -3 - mass.height()),
                                          QSizeF(mass.horizontalAdvance(text) + 4, mass.height())));
        const bool frei = std::none_of(marken.begin(), marken.end(),
                                       [&feld](const Beschriftung3d& b) { return b.Feld.intersects(feld); });
        if (frei) marken.push_back({Beschriftung3d::Sorte::Gitter, text, *wo, feld});
    }
    return marken;
}

Massstab3d Massstab(const Vorschaukamera& kamera, int hoehePixel) {
    const double meterJePixel = kamera.MeterJePixel(hoehePixel);
    const double meter = RundeLaenge(120 * meterJePixel);
    if (!(meter > 0) || !(meterJePixel > 0)) return {};
    return {meter, meter / meterJePixel};
}

void Ueberzeichnen(QPainter& maler, const Vorschaudaten* daten, const Vorschaukamera& kamera,
                   const Darstellung& darstellung, QSizeF groesse) {
    if (!daten || !daten->Hinweis.empty() || groesse.isEmpty()) return;
    const float seitenverhaeltnis = static_cast<float>(groesse.width() / std::max(groesse.height(), 1.0));
    const QFont schrift = maler.font();
    const std::vector<Beschriftung3d> marken =
        Beschriftungen3d(*daten, kamera.AnsichtProjektion(seitenverhaeltnis), darstellung, groesse, schrift);
    QFont fett = schrift;
    fett.setBold(true);
    maler.setRenderHint(QPainter::TextAntialiasing);
    // Backwards: the grid first, the current point's number last, on top of all.
    for (auto b = marken.crbegin(); b != marken.crend(); ++b) {
        const bool gitter = b->Art == Beschriftung3d::Sorte::Gitter;
        maler.setPen(Qt::NoPen);
        maler.setBrush(QColor(255, 255, 255, gitter ? 150 : 200));
        maler.drawRect(b->Feld);
        maler.setFont(gitter ? schrift : fett);
        maler.setPen(Textfarbe(b->Art));
        maler.drawText(b->Feld, Qt::AlignCenter, b->Text);
    }
    maler.setFont(schrift);

    // The scale bar at the lower right, as in the plan view.
    const Massstab3d m = Massstab(kamera, static_cast<int>(std::lround(groesse.height())));
    if (m.Meter > 0 && m.Pixel < groesse.width() - 28) {
        const QFontMetricsF mass(schrift);
        const QPointF ende(groesse.width() - 14, groesse.height() - 14);
        const QPointF anfang = ende - QPointF(m.Pixel, 0);
        const QRectF feld(anfang.x() - 4, ende.y() - 8 - mass.height() - 2, m.Pixel + 8, mass.height() + 14);
        maler.setPen(Qt::NoPen);
        maler.setBrush(QColor(255, 255, 255, 150));
        maler.drawRect(feld);
        maler.setPen(QPen(QColor(40, 40, 40), 1.2));
        maler.drawLine(anfang, ende);
        maler.drawLine(anfang - QPointF(0, 4), anfang + QPointF(0, 4));
        maler.drawLine(ende - QPointF(0, 4), ende + QPointF(0, 4));
        maler.drawText(QRectF(anfang.x(), ende.y() - 6 - mass.height(), m.Pixel, mass.height()),
                       Qt::AlignCenter, Vorschauplan::Laengentext(m.Meter));
    }
}

void Kamerafuehrung::Druecken(const QMouseEvent& e) { letzte_ = e.position().toPoint(); }

void Kamerafuehrung::Ziehen(const QMouseEvent& e, int hoehePixel) {
    const QPoint jetzt = e.position().toPoint();
    const QPoint d = jetzt - letzte_;
    letzte_ = jetzt;
    const Qt::MouseButtons knoepfe = e.buttons();
    if (knoepfe & (Qt::RightButton | Qt::MiddleButton) ||
        (knoepfe & Qt::LeftButton && e.modifiers() & Qt::ShiftModifier))
        kamera_.Verschieben(static_cast<float>(d.x()), static_cast<float>(d.y()), hoehePixel);
    else if (knoepfe & Qt::LeftButton)
        kamera_.Drehen(static_cast<float>(d.x()), static_cast<float>(d.y()));
    else
        return;
    bewegt_();
}

std::optional<QVector3D> Kamerafuehrung::Unter(QPointF wo, QSize groesse, QPointF& ndc) const {
    ndc = QPointF(2 * wo.x() / groesse.width() - 1, 1 - 2 * wo.y() / groesse.height());
    if (!treffer_) return std::nullopt;
    return treffer_(ndc, static_cast<float>(groesse.width()) / static_cast<float>(groesse.height()));
}

void Kamerafuehrung::Rad(const QWheelEvent& e, QSize groesse) {
    const int achtel = e.angleDelta().y();  // eighths of a degree; a notch is 120
    if (achtel == 0 || groesse.isEmpty()) return;
    QPointF ndc;
    const std::optional<QVector3D> flaeche = Unter(e.position(), groesse, ndc);
    kamera_.ZoomenZu(static_cast<float>(achtel) / 120.0f, ndc,
                     static_cast<float>(groesse.width()) / static_cast<float>(groesse.height()), flaeche);
    bewegt_();
}

void Kamerafuehrung::Doppelklick(const QMouseEvent& e, QSize groesse) {
    if (groesse.isEmpty()) return;
    QPointF ndc;
    if (const std::optional<QVector3D> flaeche = Unter(e.position(), groesse, ndc)) {
        kamera_.Zentrieren(*flaeche);
        bewegt_();
    } else {
        einpassen_();
    }
}

bool OpenGLVerfuegbar() {
    static const bool verfuegbar = [] {
        QOpenGLContext kontext;
        if (!kontext.create()) return false;
        QOffscreenSurface flaeche;
        flaeche.setFormat(kontext.format());
        flaeche.create();
        if (!flaeche.isValid() || !kontext.makeCurrent(&flaeche)) return false;
        kontext.doneCurrent();
        return true;
    }();
    return verfuegbar;
}

Vorschau3d* Vorschau3dErzeugen(Vorschaukamera& kamera, const Darstellung& darstellung,
                               Kamerafuehrung& fuehrung) {
    if (!OpenGLVerfuegbar()) return new OhneGlFlaeche;
    if (WidgetsMitOpenGL()) return new GlFlaeche(kamera, darstellung, fuehrung);
    return new BildFlaeche(kamera, darstellung, fuehrung);
}

}  // namespace pavolant::qt
