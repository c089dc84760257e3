#pragma once

#include <QSize>

class QWidget;

/// Gives the top-level `window` the outer size `outer`, frame and caption bar
/// included. The client is sized to `outer` at once; once the window system has
/// framed the window (first Show or Move event with a known frame), the client is
/// shrunk by the frame's margins, once, so that the frame measures `outer`.
/// Without a frame (no window manager) the client keeps `outer`.
void keepOuterSize(QWidget *window, QSize outer);
