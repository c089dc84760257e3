#pragma once

#include <QApplication>
#include <QString>
#include <string_view>

/// The application title for a program file by varnholt::applicationTitleFor(),
/// with Qt's lower case for the letters of every script ("/opt/ConvTool.exe"
/// gives "Convtool", "/opt/ÉTOILE" gives "Étoile").
QString applicationTitleFor(const QString &programPath);

/// The title of the running program, made once from its file name. It captions
/// the application-level error box and the plain message boxes.
QString applicationTitle();

/// The program's application object: carries the title and the program icon, and
/// catches every exception that escapes the handling of an event, showing it in
/// the application-level error box (caption: the application title, critical
/// icon, one OK button) before the event loop goes on.
class VarnholtApplication : public QApplication {
    Q_OBJECT
public:
    VarnholtApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    /// Shows the application-level error box for `message` (the full-stop rule
    /// of varnholt::withClosingFullStop() applied) and returns when the user has
    /// closed it.
    static void showErrorBox(std::string_view message);
};
