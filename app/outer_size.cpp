#include "outer_size.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

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
