#pragma once

class QFontMetrics;
class QPixmap;
class QString;
class QWidget;

/// The About window's fifth row: "README: " and the folder the README is
/// installed in. When that is wider than `width` pixels in `metrics`, the folder
/// is shortened in the middle ("/opt/…/doc/varnholt") so that the row fits.
QString readmeRow(const QString &docFolder, const QFontMetrics &metrics, int width);

/// Builds a new About window owned by `owner` (the main window), centred on the
/// owner's frame as it is now, and shows it as the active window. The window is
/// not modal and is not deleted when closed: closing hides it, and the owner
/// releases it. `icon` is drawn at its own size, not stretched.
QWidget *showAboutWindow(QWidget *owner, const QPixmap &icon);
