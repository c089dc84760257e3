#pragma once

#include "load_command.h"

#include <QString>
#include <QStringList>
#include <string_view>

class QFileDialog;
class QWidget;

/// The file dialog's name filters for a filter text (see varnholt::filterEntries),
/// one per entry: "description (*.a *.b)" for "description|*.a;*.b". The pattern
/// "*.*" is "*", which takes every file here, names without a dot too; the
/// description stays as it is. An entry whose patterns are its description (a
/// text without "|") is that text unchanged.
QStringList qtNameFilters(std::string_view filter);

/// The desktop side of the load commands: the main window's file dialog, its
/// position and the three message boxes. Paths and messages travel as the local
/// 8-bit encoding of file names.
class WindowHost : public varnholt::LoadCommandHost {
public:
    /// `window` and `dialog` must outlive the host.
    WindowHost(QWidget &window, QFileDialog &dialog);

    std::optional<std::string> chooseFile(
        const std::string &filter, const std::string &lastName) override;
    varnholt::Point windowTopLeft() const override;
    void notice(const std::string &text) override;
    void placedNotice(const std::string &text, varnholt::Point at) override;
    void placedError(const std::string &text, varnholt::Point at) override;

private:
    QWidget &m_window;
    QFileDialog &m_dialog;
};
