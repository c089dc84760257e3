#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

/// One entry of a help file's table of contents.
struct ContentsEntry {
    QString name; ///< the text shown
    QString local; ///< the page, as written in the contents file; may be empty
    int depth = 0; ///< 0 for a top-level entry, 1 for an entry below it, ...
};

/// Reads a table of contents in the sitemap form that help compilers use (.hhc):
/// nested <UL> lists whose <LI> items hold <OBJECT type="text/sitemap"> with
/// <PARAM name="Name"> and <PARAM name="Local">. Returns the entries in document
/// order; an entry without a name is left out. Never fails: text that does not
/// follow the form gives fewer entries.
std::vector<ContentsEntry> parseContents(const QByteArray &sitemap);
