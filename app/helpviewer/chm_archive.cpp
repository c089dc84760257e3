#include "chm_archive.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <chm_lib.h>
#include <cstdint>
#include <limits>

namespace {

// Names stored by help compilers are UTF-8 in recent archives and a Windows code
// page in older ones; Latin-1 keeps the latter readable enough for a title.
QString decodeName(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

bool isPage(const QString &path)
{
    return path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

int collectFirstPage(chmFile *, chmUnitInfo *info, void *context)
{
    const QString path = decodeName(QByteArray(info->path));
    if (!isPage(path))
        return CHM_ENUMERATOR_CONTINUE;
    *static_cast<QString *>(context) = path;
    return CHM_ENUMERATOR_SUCCESS;
}

std::uint16_t readWord(const QByteArray &bytes, qsizetype at)
{
    return static_cast<std::uint16_t>(
        static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
}

QString withLeadingSlash(QString path)
{
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

bool resolveObject(chmFile *handle, const QString &archivePath, chmUnitInfo &info)
{
    return chm_resolve_object(handle, withLeadingSlash(archivePath).toUtf8().constData(), &info)
        == CHM_RESOLVE_SUCCESS;
}

} // namespace

std::unique_ptr<ChmArchive> ChmArchive::open(const QString &fileName)
{
    // chm_open accepts directories and devices without complaint (and would
    // wait on a named pipe); only regular files can be archives.
    if (!QFileInfo(fileName).isFile())
        return nullptr;
    chmFile *handle = chm_open(QFile::encodeName(fileName).constData());
    if (handle == nullptr)
        return nullptr;
    std::unique_ptr<ChmArchive> archive(new ChmArchive(handle, fileName));
    archive->readSystemFile();
    if (archive->m_defaultTopic.isEmpty() || !archive->contains(archive->m_defaultTopic))
        archive->m_defaultTopic = archive->firstPage();
    return archive;
}

ChmArchive::ChmArchive(chmFile *handle, const QString &fileName)
    : m_handle(handle)
    , m_fileName(fileName)
{
}

ChmArchive::~ChmArchive() { chm_close(m_handle); }

bool ChmArchive::contains(const QString &archivePath) const
{
    chmUnitInfo info {};
    return resolveObject(m_handle, archivePath, info);
}

std::optional<QByteArray> ChmArchive::read(const QString &archivePath) const
{
    chmUnitInfo info {};
    if (!resolveObject(m_handle, archivePath, info))
        return std::nullopt;
    if (info.length > static_cast<LONGUINT64>(std::numeric_limits<int>::max()))
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(info.length), Qt::Uninitialized);
    LONGUINT64 done = 0;
    while (done < info.length) {
        const LONGINT64 got = chm_retrieve_object(m_handle, &info,
            reinterpret_cast<unsigned char *>(bytes.data()) + done, done,
            static_cast<LONGINT64>(info.length - done));
        if (got <= 0)
            return std::nullopt;
        done += static_cast<LONGUINT64>(got);
    }
    return bytes;
}

// #SYSTEM holds a 32-bit version, then records of a 16-bit code, a 16-bit length
// and that many bytes, all little-endian. Code 0 is the contents file, code 2 the
// default topic and code 3 the title, each a NUL-terminated text.
void ChmArchive::readSystemFile()
{
    const std::optional<QByteArray> system = read(QStringLiteral("/#SYSTEM"));
    if (!system)
        return;
    const QByteArray &bytes = *system;
    qsizetype at = 4;
    while (at + 4 <= bytes.size()) {
        const std::uint16_t code = readWord(bytes, at);
        const std::uint16_t length = readWord(bytes, at + 2);
        at += 4;
        if (at + length > bytes.size())
            break;
        QByteArray value = bytes.mid(at, length);
        if (const qsizetype end = value.indexOf('\0'); end >= 0)
            value.truncate(end);
        if (code == 0 && !value.isEmpty())
            m_contentsFile = withLeadingSlash(decodeName(value));
        else if (code == 2 && !value.isEmpty())
            m_defaultTopic = withLeadingSlash(decodeName(value));
        else if (code == 3)
            m_title = decodeName(value);
        at += length;
    }
}

QString ChmArchive::firstPage() const
{
    for (const char *candidate : { "/index.html", "/index.htm" }) {
        if (contains(QLatin1String(candidate)))
            return QLatin1String(candidate);
    }
    QString first;
    chm_enumerate(m_handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectFirstPage, &first);
    return first;
}

QString ChmArchive::resolve(const QString &base, const QString &link)
{
    const QUrl target = toUrl(base).resolved(QUrl(link));
    return toArchivePath(target);
}

QUrl ChmArchive::toUrl(const QString &archivePath)
{
    QUrl url;
    url.setScheme(QLatin1String(scheme));
    url.setPath(withLeadingSlash(archivePath));
    return url;
}

QString ChmArchive::toArchivePath(const QUrl &url)
{
    if (url.scheme() != QLatin1String(scheme))
        return {};
    return withLeadingSlash(url.path(QUrl::FullyDecoded));
}
