#include "ui/qt/Vorschau3d.h"

#include "ui/qt/Qtext.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLWidget>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <memory>
#include <vector>
#include <optional>

namespace pavolant::qt {

namespace {

constexpr const char* kObjektname = "wdgVorschau3d";

float Seitenverhaeltnis(const QWidget& w) { return static_cast<float>(w.width()) / static_cast<float>(std::max(w.height(), 1)); }

// The control points' numbers beside their markers, as the plan view and the point
// editor number them (from 1); the current one in its colour. `groesse` in the painter's
// pixels. Points behind the eye get none.
void Nummern(QPainter& maler, const Vorschaudaten* daten, const QMatrix4x4& ansichtProjektion,
             const Darstellung& darstellung, QSizeF groesse) {
    if (!daten) return;
    QMatrix4x4 mvp = ansichtProjektion;
    mvp.scale(1.0f, darstellung.Ueberhoehung, 1.0f);
    auto aufBild = [&](float x, float y, float z) -> std::optional<QPointF> {
        const QVector4D p = mvp * QVector4D(x, y, z, 1.0f);
        if (p.w() <= 0) return std::nullopt;
        return QPointF((p.x() / p.w() + 1) / 2 * groesse.width(), (1 - p.y() / p.w()) / 2 * groesse.height());
    };
    // The grid's metres at the start of its lines, in the grid's blue.
    maler.setPen(QColor(55, 75, 125));
    for (const Vorschaudaten::Gittermarke& g : daten->Gittermarken)
        if (const auto wo = aufBild(g.Lage[0], g.Lage[1], g.Lage[2]))
            maler.drawText(*wo + QPointF(3, -3), QString::fromStdString(g.Text));
    QFont schrift = maler.font();
    schrift.setBold(true);
    maler.setFont(schrift);
    const std::vector<float>& m = daten->Marken;
    for (std::size_t i = 0; i + 2 < m.size(); i += 3) {
        const std::optional<QPointF> wo = aufBild(m[i], m[i + 1], m[i + 2]);
        if (!wo) continue;
        const bool aktuell = static_cast<int>(i / 3) == darstellung.Aktuell;
        maler.setPen(aktuell ? QColor(180, 70, 0) : QColor(20, 20, 20));
        maler.drawText(*wo + QPointF(8, -8), QString::number(i / 3 + 1));
    }
}

QSurfaceFormat Format() {
    QSurfaceFormat f = QSurfaceFormat::defaultFormat();
    f.setDepthBufferSize(24);
    return f;
}

// Window systems whose windows compose OpenGL widgets. Qt's offscreen and minimal
// platforms, VNC and the Linux framebuffer do not.
bool WidgetsMitOpenGL() {
    const QString p = QGuiApplication::platformName();
    return p == QLatin1String("xcb") || p.startsWith(QLatin1String("wayland")) || p == QLatin1String("windows") ||
           p == QLatin1String("cocoa") || p.startsWith(QLatin1String("eglfs"));
}

// ---- OpenGL widget ------------------------------------------------------------------------

class GlFlaeche : public QOpenGLWidget, public Vorschau3d {
public:
    GlFlaeche(Vorschaukamera& kamera, const Darstellung& darstellung, Kamerafuehrung& fuehrung)
        : kamera_(kamera), darstellung_(darstellung), fuehrung_(fuehrung) {
        setObjectName(QLatin1String(kObjektname));
        setFormat(Format());
        setMinimumSize(240, 180);
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
        update();
    }
    void SetzeTexturen(const std::array<std::shared_ptr<const Texturbild>, 4>& texturen) override {
        renderer_.SetzeTexturen(texturen);
        update();
    }
    void Neuzeichnen() override { update(); }
    QImage Bild() override { return grabFramebuffer(); }
    bool MitOpenGL() const override { return true; }

protected:
    void initializeGL() override {
        QString fehler;
        if (!renderer_.Initialisieren(&fehler)) qWarning("road preview: shaders failed: %s", qPrintable(fehler));
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
        renderer_.Zeichnen(ansicht, darstellung_, static_cast<int>(width() * dpr), static_cast<int>(height() * dpr));
        QPainter maler(this);
        Nummern(maler, daten_.get(), ansicht, darstellung_, size());
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
            maler.fillRect(rect(), QColor::fromRgbF(kHintergrundfarbe[0], kHintergrundfarbe[1], kHintergrundfarbe[2]));
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
        if (!renderer_.Initialisieren(&fehler)) qWarning("road preview: shaders failed: %s", qPrintable(fehler));
        kontext_->doneCurrent();
        return true;
    }

    QImage Rendern(QSize groesse) {
        if (groesse.isEmpty() || !Bereit() || !kontext_->makeCurrent(&flaeche_)) return {};
        if (!fbo_ || fbo_->size() != groesse) {
            fbo_.reset();
            fbo_ = std::make_unique<QOpenGLFramebufferObject>(groesse, QOpenGLFramebufferObject::CombinedDepthStencil);
        }
        QImage bild;
        if (fbo_->isValid() && fbo_->bind()) {
            const QMatrix4x4 ansicht = kamera_.AnsichtProjektion(Seitenverhaeltnis(*this));
            renderer_.Zeichnen(ansicht, darstellung_, groesse.width(), groesse.height());
            bild = fbo_->toImage();
            fbo_->release();
            bild.setDevicePixelRatio(devicePixelRatio());
            QPainter maler(&bild);
            Nummern(maler, daten_.get(), ansicht, darstellung_, QSizeF(size()));
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
        setText(QTr("The 3-D view needs OpenGL, which this display does not offer.\n"
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

Vorschau3d* Vorschau3dErzeugen(Vorschaukamera& kamera, const Darstellung& darstellung, Kamerafuehrung& fuehrung) {
    if (!OpenGLVerfuegbar()) return new OhneGlFlaeche;
    if (WidgetsMitOpenGL()) return new GlFlaeche(kamera, darstellung, fuehrung);
    return new BildFlaeche(kamera, darstellung, fuehrung);
}

}  // namespace pavolant::qt
