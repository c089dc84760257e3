#include "message_boxes.h"

#include "placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace {

/// A message box that places itself once its final size is known.
class PlacedMessageBox : public QMessageBox {
public:
    PlacedMessageBox(QMessageBox::Icon icon,
        const QString &caption,
        const QString &text,
        QWidget *parent,
        std::optional<QPoint> at)
        : QMessageBox(icon, caption, text, QMessageBox::Ok, parent)
        , m_at(at)
    {
        setTextFormat(Qt::PlainText);
        // A message box has a caption and a close button, nothing to minimise or maximise.
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        // Without the final size, move() would place the client area, not the frame.
        adjustSize();
        place();
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        // QMessageBox settles its size only here; a centred axis depends on it.
        QMessageBox::showEvent(event);
        place();
    }

private:
    void place()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        move(messageBoxPlace(m_at, frameGeometry().size(), screen));
    }

    std::optional<QPoint> m_at;
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
