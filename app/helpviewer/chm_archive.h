#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>

struct chmFile;

/// Read-only access to a compiled help file (.chm) through chmlib.
///
/// Objects inside the archive are named by absolute archive paths such as
/// "/index.html" or "/images/diagram.png". Pages shown in a viewer carry URLs of
/// the form "chm:/index.html" (see toUrl and toArchivePath).
class ChmArchive {
public:
    /// Opens the archive at `fileName`. Returns nullptr when the file does not
    /// exist or is not a readable compiled help file.
    static std::unique_ptr<ChmArchive> open(const QString &fileName);

    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    /// The path the archive was opened from.
    QString fileName() const { return m_fileName; }

    /// The title recorded by the help compiler; empty when the archive has none.
    QString title() const { return m_title; }

    /// Archive path of the page to show first: the default topic recorded by the
    /// help compiler, or else /index.html, /index.htm or the first page in the
    /// archive. Empty only when the archive holds no page at all.
    QString defaultTopic() const { return m_defaultTopic; }

    /// Archive path of the table of contents (.hhc) recorded by the help
    /// compiler; empty when the archive has none.
    QString contentsFile() const { return m_contentsFile; }

    /// Whether the archive holds an object at `archivePath` (letter case ignored).
    bool contains(const QString &archivePath) const;

    /// The bytes of the object at `archivePath`, or nullopt when there is none
    /// or it cannot be read completely.
    std::optional<QByteArray> read(const QString &archivePath) const;

    /// Resolves `link`, as written in the page at archive path `base`, to an
    /// archive path: "../images/a.png" from "/pages/b.html" gives "/images/a.png".
    /// Fragment and query are dropped and percent-escapes decoded. A link that
    /// leaves the archive (it has a scheme other than "chm") gives an empty text.
    static QString resolve(const QString &base, const QString &link);

    /// The viewer URL of an archive path: "/a/b.html" gives "chm:/a/b.html".
    static QUrl toUrl(const QString &archivePath);

    /// The archive path of a viewer URL, or an empty text for a URL of another scheme.
    static QString toArchivePath(const QUrl &url);

    /// The scheme of viewer URLs.
    static constexpr const char *scheme = "chm";

private:
    ChmArchive(chmFile *handle, const QString &fileName);
    void readSystemFile();
    QString firstPage() const;

    chmFile *m_handle;
    QString m_fileName;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
};
