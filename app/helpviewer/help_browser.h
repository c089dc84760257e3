#pragma once

#include <QTextBrowser>
#include <memory>

class ChmArchive;

/// A text browser whose pages, images and stylesheets come from one compiled
/// help file. Links inside the archive are followed in place (with the browser's
/// Back and Forward history); links with another scheme, such as http or mailto,
/// are handed to the desktop.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpBrowser(std::shared_ptr<const ChmArchive> archive, QWidget *parent = nullptr);

    const ChmArchive &archive() const { return *m_archive; }

    /// Shows the archive page at `archivePath` ("/a.html" or "a.html"); a page
    /// the archive lacks is shown as a short "not found" page.
    void showTopic(const QString &archivePath);

    /// Shows the archive's default topic.
    void showDefaultTopic();

    QVariant loadResource(int type, const QUrl &name) override;

private:
    void followLink(const QUrl &url);

    std::shared_ptr<const ChmArchive> m_archive;
};
