#pragma once

#include <QMainWindow>
#include <memory>

class ChmArchive;
class HelpBrowser;
class QAction;
class QTreeWidget;

/// The help window: a toolbar with Back, Forward and Home, the contents of the
/// help file (when it has any) beside the page browser. Its title is the help
/// file's title. It is a top-level window owned by its parent, deleted on close.
class HelpWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HelpWindow(
        const std::shared_ptr<const ChmArchive> &archive, QWidget *parent = nullptr);

    HelpBrowser *browser() const { return m_browser; }
    const ChmArchive &archive() const;

    QAction *backAction() const { return m_back; }
    QAction *forwardAction() const { return m_forward; }
    QAction *homeAction() const { return m_home; }

private:
    void fillContents();
    void selectContentsEntry(const QUrl &source);

    HelpBrowser *m_browser;
    QTreeWidget *m_contents;
    QAction *m_back;
    QAction *m_forward;
    QAction *m_home;
};
