#pragma once

#include "conversion.h"

#include <QMainWindow>
#include <QSize>
#include <memory>

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QMenuBar;
class WindowHost;

/// The main window's outer size as designed, frame, caption bar and menu bar included.
inline constexpr QSize mainWindowSize { 383, 275 };

/// The window caption, set at every activation.
inline constexpr char mainWindowCaption[] = "Varnholt  version 2.10";

/// The program's main window: a menu bar over an empty client area. It owns the
/// conversion state, which lives as long as the window, and every About window.
///
/// Menu commands chosen by the user run from an event posted to this window, so
/// that an error they throw leaves through this window's event() straight into
/// the application's notify(), which shows it; called directly, a command's
/// errors reach the caller.
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
    /// File > "Close": closes the window, which ends the program.
    void Close1Click();
    /// "Help": opens the help file's default topic.
    void Help1Click();
    /// "About": builds and shows a new About window.
    void AboutClick();

protected:
    bool event(QEvent *event) override;

private:
    void postCommand(void (TMainForm::*command)());

    varnholt::Conversion m_conversion;
    std::unique_ptr<WindowHost> m_host;
};
