#pragma once

#include "command_queue.h"
#include "conversion.h"
#include "load_command.h"

#include <QMainWindow>
#include <QStringList>
#include <memory>

class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QFileDialog;
class QLabel;
class QMenu;
class QMenuBar;
class QMimeData;
class WindowHost;

/// The files a drag carries when every one of its URLs names a local file whose
/// name ends in ".csv" or ".txt", in any case; none otherwise (other files,
/// remote URLs, plain text), and the window refuses the drag.
QStringList loadableFiles(const QMimeData &data);

/// The program's main window: a menu bar over an empty client area. It owns the
/// conversion state, which lives as long as the window, and every About window.
///
/// Menu commands chosen by the user run from an event posted to this window, once
/// the menu has closed; an error they throw ends the command and is shown in the
/// application-level error box right there, never passed on through Qt's event
/// handling. Called directly, a command's errors reach the caller.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    /// Builds the window hidden and runs FormCreate: centred on the primary
    /// screen, conversion state at its start values.
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    varnholt::Conversion &conversion() { return m_conversion; }

    // Components, in declaration order.
    QMenuBar *MainMenu1;
    QFileDialog *LoadDlg;
    QLabel *storedpic;
    QMenu *File1;
    QAction *Close1;
    QAction *N1;
    QAction *About;
    QAction *LoadCSVfile1;
    QAction *Renumber;
    QAction *Help1;
    QAction *FiveDigit;

public slots:
    /// Places the window: centred on the primary screen by its outer size, not
    /// limited to the screen, and not kept above other windows.
    void FormCreate();
    /// Sets the caption; runs at every activation.
    void FormActivate();
    /// File > "Load CSV file": a conversion run with the numbers from the file.
    void LoadCSVfile1Click();
    /// File > "Load and Renumber": a conversion run with running numbers from 20001 on.
    void RenumberClick();
    /// File > "Load with Five-Digit Numbers": a conversion run that writes
    /// catalogue numbers 100000-119999 as five-digit stand-ins.
    void FiveDigitClick();
    /// File > "Close": closes the window, which ends the program.
    void Close1Click();
    /// "Help": opens the help file's default topic.
    void Help1Click();
    /// "About": builds and shows a new About window.
    void AboutClick();

    /// Runs "Load CSV file" on each of `paths` in turn, once the window is on
    /// the screen, each as if it had been chosen in the file dialog (a relative
    /// path from the current directory). Each file's summary or error box is
    /// closed before the next file runs; an error reaches the application's
    /// error box, and the next file runs all the same. Files handed over while
    /// others wait run after them.
    void openFiles(const QStringList &paths);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    /// Files dropped on the window are opened as by openFiles(); a drag with
    /// anything else is refused.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    varnholt::LoadCommand loadCommand();
    void postCommand(void (TMainForm::*command)());
    void startOpeningFiles();
    void openWaitingFiles();

    varnholt::Conversion m_conversion;
    std::unique_ptr<WindowHost> m_host;
    /// Files wait here as the local 8-bit encoding of their names.
    varnholt::CommandQueue m_queue;
};

/// Starts the program's window: shows and activates `form`, then opens the files
/// that `arguments` (a command line, the program's name first) names after the
/// program's name, as TMainForm::openFiles() does.
void startMainWindow(TMainForm &form, const QStringList &arguments);
