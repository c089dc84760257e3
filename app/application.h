#pragma once

#include <QApplication>
#include <QString>
#include <string>
#include <string_view>

/// The application title for a program file: its name without the folder, cut
/// before the first ".", first character unchanged and every later one in lower
/// case ("/opt/ConvTool.exe" gives "Convtool", "a.b.exe" gives "a").
QString applicationTitleFor(const QString &programPath);

/// The title of the running program, made once from its file name. It captions
/// the application-level error box and the plain message boxes.
QString applicationTitle();

/// The text the application-level error box shows for `message`: a full stop is
/// appended when the message is not empty and its last character's code is above
/// that of "." (46); "File access denied" gives "File access denied.", while "x.",
/// "a!", "a)", "a,", "a-", "a " and "" stay as they are.
std::string withClosingFullStop(std::string_view message);

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
    /// applied) and returns when the user has closed it.
    static void showErrorBox(std::string_view message);
};
