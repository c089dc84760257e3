#include "outer_size.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace {

class OuterSizeKeeper : public QObject {
public:
    OuterSizeKeeper(QWidget *window, QSize outer)
        : QObject(window)
        , m_window(window)
        , m_outer(outer)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::Move))
            fitFrame();
        return false;
    }

private:
    void fitFrame()
    {
        const QSize frame = m_window->frameGeometry().size();
        const QSize client = m_window->geometry().size();
        if (frame == client)
            return;
        // The window manager may report the frame a little later than the first
        // Show; the first event with a frame is the one that counts.
        m_window->removeEventFilter(this);
        m_window->resize(m_outer - (frame - client));
        deleteLater();
    }

    QWidget *m_window;
    QSize m_outer;
};

} // namespace

void keepOuterSize(QWidget *window, QSize outer)
{
    window->resize(outer);
    window->installEventFilter(new OuterSizeKeeper(window, outer));
}

QMargins frameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

namespace {

class PlacementKeeper : public QObject {
public:
    PlacementKeeper(QWidget *window, QMargins guessedFrame, std::function<QPoint(QSize)> place)
        : QObject(window)
        , m_window(window)
        , m_guessedFrame(guessedFrame)
        , m_place(std::move(place))
    {
        apply();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window) {
            if (event->type() == QEvent::Show)
                watchWindowHandle();
            // Resizes the user makes arrive as spontaneous events.
            const bool programResize = event->type() == QEvent::Resize && !event->spontaneous();
            if ((event->type() == QEvent::Show || programResize)
                && m_window->size() != m_placedSize)
                apply();
        } else if (watched == m_handle) {
            // The window manager's frame becomes known on the native window, often
            // with no event for the widget.
            const QEvent::Type type = event->type();
            const QMargins frame = frameMargins(m_window);
            if ((type == QEvent::Expose || type == QEvent::Move || type == QEvent::Resize)
                && !frame.isNull() && frame != m_placedFrame)
                apply();
        }
        return false;
    }

private:
    void watchWindowHandle()
    {
        if (m_handle == m_window->windowHandle())
            return;
        if (m_handle)
            m_handle->removeEventFilter(this);
        m_handle = m_window->windowHandle();
        if (m_handle)
            m_handle->installEventFilter(this);
    }

    void apply()
    {
        const QMargins known = frameMargins(m_window);
        const QMargins frame = known.isNull() ? m_guessedFrame : known;
        const QSize client = m_window->size();
        const QPoint frameAt = m_place(client.grownBy(frame));
        QWindow *handle = m_window->windowHandle();
        if (handle && handle->isVisible()) {
            // Passed on to the window manager as the frame's place, whatever Qt
            // knows of the frame by now.
            handle->setFramePosition(frameAt);
        } else if (handle) {
            // About to be shown: the widget's client geometry is what the window
            // system gets, and the window manager puts the frame around it.
            m_window->setGeometry(QRect(frameAt + QPoint(frame.left(), frame.top()), client));
        } else {
            // Not yet created: Qt takes the position as the frame's.
            m_window->move(frameAt);
        }
        m_placedSize = client;
        m_placedFrame = frame;
    }

    QWidget *m_window;
    QPointer<QWindow> m_handle;
    QMargins m_guessedFrame;
    std::function<QPoint(QSize)> m_place;
    QSize m_placedSize;
    QMargins m_placedFrame;
};

} // namespace

void keepPlaced(
    QWidget *window, const QWidget *framedLike, std::function<QPoint(QSize outer)> place)
{
    const QMargins guessedFrame = framedLike ? frameMargins(framedLike) : QMargins();
    window->installEventFilter(new PlacementKeeper(window, guessedFrame, std::move(place)));
}
