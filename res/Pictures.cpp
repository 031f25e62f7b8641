#include "res/Pictures.h"

#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <memory>

// The resources are compiled into this static library; a static library's resources must be
// registered by hand, and a function-local static makes that happen once, on first use.
static void EnsureResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    (void)registered;
}

namespace linkpanel {
namespace {

constexpr std::array ICON_IDS{128, 131, 132, 142, 145, 149, 160, 175};

// Renders one SVG drawing at whatever size is asked, keeping its aspect ratio. Our own
// engine rather than Qt's SVG icon plugin: nothing depends on a plugin being found at run
// time, and the tray's D-Bus export gets a list of real sizes to choose from.
class SvgIconEngine : public QIconEngine {
public:
    SvgIconEngine(std::shared_ptr<QSvgRenderer> renderer, QList<QSize> sizes)
        : renderer_(std::move(renderer)), sizes_(std::move(sizes)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QRectF box = rect;
        QSizeF own = renderer_->defaultSize();
        own.scale(box.size(), Qt::KeepAspectRatio);
        box = QRectF(box.center() - QPointF(own.width() / 2, own.height() / 2), own);
        if (mode == QIcon::Disabled) {
            painter->save();
            painter->setOpacity(painter->opacity() * 0.4);
            renderer_->render(painter, box);
            painter->restore();
        } else {
            renderer_->render(painter, box);
        }
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `size` is in device pixels already; the ratio only labels the result.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        // A tray asks again for the same sizes at every change of picture; each drawing is
        // rendered once per size.
        const QString key = QStringLiteral("%1x%2/%3/%4")
                                .arg(size.width())
                                .arg(size.height())
                                .arg(static_cast<int>(mode))
                                .arg(std::max<qreal>(scale, 1.0));
        if (const auto found = rendered_.constFind(key); found != rendered_.constEnd())
            return *found;
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter painter(&pm);
            painter.setRenderHint(QPainter::Antialiasing);
            paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        }
        pm.setDevicePixelRatio(std::max<qreal>(scale, 1.0));
        rendered_.insert(key, pm);
        return pm;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return sizes_; }

    QIconEngine* clone() const override { return new SvgIconEngine(renderer_, sizes_); }
    QString key() const override { return QStringLiteral("linkpanel-svg"); }

private:
    std::shared_ptr<QSvgRenderer> renderer_;
    QList<QSize> sizes_;
    QHash<QString, QPixmap> rendered_;
};

std::shared_ptr<QSvgRenderer> Drawing(int id) {
    EnsureResources();
    auto renderer = std::make_shared<QSvgRenderer>(QStringLiteral(":/pictures/%1.svg").arg(id));
    return renderer->isValid() ? renderer : nullptr;
}

QIcon Icon(int id, QList<QSize> sizes) {
    if (std::find(ICON_IDS.begin(), ICON_IDS.end(), id) == ICON_IDS.end())
        return {};
    auto renderer = Drawing(id);
    if (!renderer)
        return {};
    return QIcon(new SvgIconEngine(std::move(renderer), std::move(sizes)));
}

}  // namespace

QIcon IconResource(int id) {
    return Icon(id, {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}});
}

QIcon WindowIconResource(int id) {
    return Icon(id, {{16, 16}, {32, 32}});
}

QPixmap BitmapResource(int id) {
    if (id != 170)
        return {};
    auto renderer = Drawing(id);
    if (!renderer)
        return {};
    qreal ratio = 1.0;
    if (QGuiApplication::primaryScreen())
        ratio = std::max<qreal>(QGuiApplication::primaryScreen()->devicePixelRatio(), 1.0);
    QPixmap pm((QSizeF(LOGO_WIDTH, LOGO_HEIGHT) * ratio).toSize());
    pm.fill(Qt::transparent);
    {
        QPainter painter(&pm);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer->render(&painter, QRectF(QPointF(0, 0), QSizeF(pm.size())));
    }
    pm.setDevicePixelRatio(ratio);
    return pm;
}

}  // namespace linkpanel
