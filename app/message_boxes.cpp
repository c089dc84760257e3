#include "message_boxes.h"

#include "outer_size.h"
#include "placement.h"
#include "qt_conversions.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

/// A message box that keeps its frame where it belongs as its size settles and
/// the window manager frames it.
class PlacedMessageBox : public QMessageBox {
public:
    PlacedMessageBox(QMessageBox::Icon icon,
        const QString &caption,
        const QString &text,
        QWidget *parent,
        std::optional<QPoint> at)
        : QMessageBox(icon, caption, text, QMessageBox::Ok, parent)
    {
        setTextFormat(Qt::PlainText);
        // A message box has a caption and a close button, nothing to minimise or maximise.
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        // Without the final size, move() would place the client area, not the frame.
        adjustSize();
        // QMessageBox settles its size only when shown; a centred axis depends on it.
        const std::optional<varnholt::Point> place
            = at ? std::optional(toPoint(*at)) : std::nullopt;
        keepPlaced(this, parent ? parent->window() : nullptr, [place](QSize outer) {
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            return toQPoint(varnholt::messageBoxPlace(place, toSize(outer), toRect(screen)));
        });
    }
};

} // namespace

void showMessageBox(QWidget *parent,
    QMessageBox::Icon icon,
    const QString &caption,
    const QString &text,
    std::optional<QPoint> at)
{
    PlacedMessageBox box(icon, caption, text, parent, at);
    box.exec();
}
