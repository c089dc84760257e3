#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <string_view>

/// The application title for a program file by varnholt::applicationTitleFor(),
/// with Qt's lower case for the letters of every script ("/opt/ConvTool.exe"
/// gives "Convtool", "/opt/ÉTOILE" gives "Étoile").
QString applicationTitleFor(const QString &programPath);

/// The title of the running program, made once from its file name. It captions
/// the application-level error box and the plain message boxes.
QString applicationTitle();

/// Shows the application-level error box for `message`: the application title
/// as caption, the critical icon, one OK button, the full-stop rule of
/// varnholt::withClosingFullStop() applied. Returns when the user has closed it.
void showErrorBox(std::string_view message);

/// Shows the error `error` holds in the application-level error box.
void showErrorBox(const std::exception_ptr &error) noexcept;

/// Runs `command`; an error it throws is shown in the application-level error
/// box and goes no further, so that none crosses Qt's event handling.
template <class Command> void runCommand(Command &&command) noexcept
{
    try {
        command();
    } catch (...) {
        showErrorBox(std::current_exception());
    }
}

/// The program's application object: carries the title and the program icon.
class VarnholtApplication : public QApplication {
    Q_OBJECT
public:
    VarnholtApplication(int &argc, char **argv);
};
