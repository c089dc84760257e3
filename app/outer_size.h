#pragma once

#include <QMargins>
#include <QPoint>
#include <QSize>
#include <functional>

class QWidget;

/// Gives the top-level `window` the outer size `outer`, frame and caption bar
/// included. The client is sized to `outer` at once; once the window system has
/// framed the window (first Show or Move event with a known frame), the client is
/// shrunk by the frame's margins, once, so that the frame measures `outer`.
/// Without a frame (no window manager) the client keeps `outer`.
void keepOuterSize(QWidget *window, QSize outer);

/// The frame margins of the top-level `window` as the window system knows them
/// now: none until a window manager has framed the window, and none without one.
QMargins frameMargins(const QWidget *window);

/// Keeps the top-level `window` where `place` puts its frame: `place` gets the
/// window's outer size and returns the frame's top-left corner.
///
/// The window is placed at once, again when the program changes its size (as
/// QMessageBox does when shown), and again when the window manager's frame
/// becomes known or changes. Until then the frame is taken to be like that of
/// `framedLike`, a window of the program that is framed already (nullptr or not
/// framed: no frame). Moves and resizes by the user are left alone.
void keepPlaced(
    QWidget *window, const QWidget *framedLike, std::function<QPoint(QSize outer)> place);
