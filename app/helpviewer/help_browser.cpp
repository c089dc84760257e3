#include "help_browser.h"

#include "chm_archive.h"

#include <QDesktopServices>
#include <QTextDocument>

HelpBrowser::HelpBrowser(std::shared_ptr<const ChmArchive> archive, QWidget *parent)
    : QTextBrowser(parent)
    , m_archive(std::move(archive))
{
    // Links are followed here rather than by QTextBrowser, which would hand the
    // archive's own scheme to the desktop as an external link.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

void HelpBrowser::showTopic(const QString &archivePath)
{
    setSource(ChmArchive::toUrl(archivePath), QTextDocument::HtmlResource);
}

void HelpBrowser::showDefaultTopic() { showTopic(m_archive->defaultTopic()); }

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    QString path;
    if (name.scheme() == QLatin1String(ChmArchive::scheme))
        path = ChmArchive::toArchivePath(name);
    else if (name.isRelative()) // names normally arrive resolved against the page shown
        path = ChmArchive::resolve(ChmArchive::toArchivePath(source()), name.toString());
    if (path.isEmpty())
        return {};

    if (std::optional<QByteArray> bytes = m_archive->read(path))
        return *bytes;
    if (type != QTextDocument::HtmlResource)
        return {};
    return QStringLiteral("<html><head><title>%1</title></head><body><h1>%1</h1>"
                          "<p>The help file has no page <tt>%2</tt>.</p></body></html>")
        .arg(tr("Page not found"), path.toHtmlEscaped());
}

void HelpBrowser::followLink(const QUrl &url)
{
    if (url.scheme() == QLatin1String(ChmArchive::scheme) || url.isRelative()) {
        setSource(url, QTextDocument::HtmlResource);
        return;
    }
    QDesktopServices::openUrl(url);
}
