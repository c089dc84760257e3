#include "chm_contents.h"

#include <QRegularExpression>

namespace {

QString attribute(const QString &attributes, const QString &name)
{
    const QRegularExpression pattern(
        QStringLiteral("\\b%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(attributes);
    if (!match.hasMatch())
        return {};
    for (int group = 1; group <= 3; ++group) {
        if (match.capturedStart(group) >= 0)
            return match.captured(group);
    }
    return {};
}

QString unescape(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

} // namespace

std::vector<ContentsEntry> parseContents(const QByteArray &sitemap)
{
    static const QRegularExpression tag(QStringLiteral("<(/?)(ul|object|param)\\b([^>]*)>"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(sitemap);
    std::vector<ContentsEntry> entries;
    int depth = -1;
    bool inObject = false;
    ContentsEntry current;
    for (QRegularExpressionMatchIterator it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const bool closing = !match.captured(1).isEmpty();
        const QString name = match.captured(2).toLower();
        if (name == QLatin1String("ul")) {
            depth += closing ? -1 : 1;
        } else if (name == QLatin1String("object")) {
            if (!closing) {
                inObject = attribute(match.captured(3), QStringLiteral("type"))
                               .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive)
                    == 0;
                current = ContentsEntry { {}, {}, std::max(depth, 0) };
            } else if (inObject) {
                inObject = false;
                if (!current.name.isEmpty())
                    entries.push_back(current);
            }
        } else if (inObject && !closing) {
            const QString attributes = match.captured(3);
            const QString key = attribute(attributes, QStringLiteral("name")).toLower();
            const QString value = unescape(attribute(attributes, QStringLiteral("value")));
            if (key == QLatin1String("name"))
                current.name = value;
            else if (key == QLatin1String("local"))
                current.local = value;
        }
    }
    return entries;
}
