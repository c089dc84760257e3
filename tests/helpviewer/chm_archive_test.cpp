#include "chm_archive.h"
#include "chm_contents.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const QString fixtureChm = QStringLiteral(FIXTURE_BUILD_DIR "/fixture.chm");

QByteArray sourceFile(const QString &relativePath)
{
    QFile file(QStringLiteral(FIXTURE_SOURCE_DIR "/") + relativePath);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read fixture %s", qPrintable(file.fileName()));
    return file.readAll();
}

} // namespace

class TestChmArchive : public QObject {
    Q_OBJECT

private slots:
    void readsTitleDefaultTopicAndContentsFile();
    void defaultTopicFallsBackToAPage();
    void readsObjects_data();
    void readsObjects();
    void refusesWhatIsNotAnArchive_data();
    void refusesWhatIsNotAnArchive();
    void refusesANamedPipeWithoutWaiting();
    void resolvesLinks_data();
    void resolvesLinks();
    void parsesContents();
    void parsesContentsLeniently_data();
    void parsesContentsLeniently();
};

void TestChmArchive::readsTitleDefaultTopicAndContentsFile()
{
    const auto archive = ChmArchive::open(fixtureChm);
    QVERIFY(archive);
    QCOMPARE(archive->fileName(), fixtureChm);
    QCOMPARE(archive->title(), QStringLiteral("Fixture Help"));
    // start.html, not index.html: the topic must come from the archive's own record.
    QCOMPARE(archive->defaultTopic(), QStringLiteral("/start.html"));
    QCOMPARE(archive->contentsFile(), QStringLiteral("/contents.hhc"));
}

void TestChmArchive::defaultTopicFallsBackToAPage()
{
    const auto archive = ChmArchive::open(QStringLiteral(FIXTURE_BUILD_DIR "/nodefault.chm"));
    QVERIFY(archive);
    QCOMPARE(archive->defaultTopic(), QStringLiteral("/pages/third.html"));
    QCOMPARE(archive->title(), QString());
    QCOMPARE(archive->contentsFile(), QString());
}

void TestChmArchive::readsObjects_data()
{
    QTest::addColumn<QString>("archivePath");
    QTest::addColumn<QByteArray>("expected"); // null: the archive has no such object

    QTest::newRow("page") << "/start.html" << sourceFile("start.html");
    QTest::newRow("page in a folder") << "/pages/second.html" << sourceFile("pages/second.html");
    QTest::newRow("without leading slash") << "pages/third.html" << sourceFile("pages/third.html");
    QTest::newRow("binary image") << "/images/dot.png" << sourceFile("images/dot.png");
    QTest::newRow("stylesheet") << "/style.css" << sourceFile("style.css");
    QTest::newRow("missing") << "/missing.html" << QByteArray();
}

void TestChmArchive::readsObjects()
{
    QFETCH(QString, archivePath);
    QFETCH(QByteArray, expected);

    const auto archive = ChmArchive::open(fixtureChm);
    QVERIFY(archive);
    const std::optional<QByteArray> bytes = archive->read(archivePath);
    if (expected.isNull()) {
        QVERIFY(!bytes);
        QVERIFY(!archive->contains(archivePath));
        return;
    }
    QVERIFY(bytes);
    QCOMPARE(*bytes, expected);
    QVERIFY(archive->contains(archivePath));
}

void TestChmArchive::refusesWhatIsNotAnArchive_data()
{
    QTest::addColumn<QByteArray>("content"); // null: do not create the file
    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("text file") << sourceFile("fixture.hhp");
    QTest::newRow("truncated archive") << [] {
        QFile file(fixtureChm);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("unreadable");
        return file.read(80);
    }();
}

void TestChmArchive::refusesWhatIsNotAnArchive()
{
    QFETCH(QByteArray, content);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("broken.chm"));
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QVERIFY(ChmArchive::open(path) == nullptr);
    QVERIFY(ChmArchive::open(folder.path()) == nullptr);
}

void TestChmArchive::refusesANamedPipeWithoutWaiting()
{
#ifdef Q_OS_UNIX
    // Opening a pipe for reading waits for a writer, which never comes.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("pipe.chm"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QVERIFY(ChmArchive::open(path) == nullptr);
#else
    QSKIP("named pipes are a Unix matter");
#endif
}

void TestChmArchive::resolvesLinks_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("expected");

    QTest::newRow("sibling") << "/pages/second.html"
                             << "third.html"
                             << "/pages/third.html";
    QTest::newRow("up a folder") << "/pages/second.html"
                                 << "../images/dot.png"
                                 << "/images/dot.png";
    QTest::newRow("down a folder") << "/start.html"
                                   << "pages/second.html"
                                   << "/pages/second.html";
    QTest::newRow("absolute") << "/a/b/c.html"
                              << "/top.html"
                              << "/top.html";
    QTest::newRow("above the root") << "/a/b.html"
                                    << "../../../x.html"
                                    << "/x.html";
    QTest::newRow("fragment dropped") << "/pages/second.html"
                                      << "third.html#end"
                                      << "/pages/third.html";
    QTest::newRow("fragment only") << "/pages/second.html"
                                   << "#end"
                                   << "/pages/second.html";
    QTest::newRow("percent-escape") << "/a.html"
                                    << "my%20page.html"
                                    << "/my page.html";
    QTest::newRow("own scheme") << "/a/b.html"
                                << "chm:/c.html"
                                << "/c.html";
    QTest::newRow("web link") << "/a.html"
                              << "http://example.org/x.html"
                              << "";
    QTest::newRow("mail link") << "/a.html"
                               << "mailto:someone@example.org"
                               << "";
}

void TestChmArchive::resolvesLinks()
{
    QFETCH(QString, base);
    QFETCH(QString, link);
    QFETCH(QString, expected);
    QCOMPARE(ChmArchive::resolve(base, link), expected);
}

void TestChmArchive::parsesContents()
{
    const std::vector<ContentsEntry> entries = parseContents(sourceFile("contents.hhc"));
    QCOMPARE(entries.size(), std::size_t { 3 });
    QCOMPARE(entries[0].name, QStringLiteral("Start"));
    QCOMPARE(entries[0].local, QStringLiteral("start.html"));
    QCOMPARE(entries[0].depth, 0);
    QCOMPARE(entries[1].name, QStringLiteral("Second & more"));
    QCOMPARE(entries[1].local, QStringLiteral("pages/second.html"));
    QCOMPARE(entries[1].depth, 1);
    QCOMPARE(entries[2].name, QStringLiteral("Third"));
    QCOMPARE(entries[2].depth, 0);
}

void TestChmArchive::parsesContentsLeniently_data()
{
    QTest::addColumn<QByteArray>("sitemap");
    QTest::addColumn<QStringList>("expected"); // "depth name -> local" per entry

    QTest::newRow("lower case, single quotes, unquoted") << QByteArray(
        "<ul><li><object type='text/sitemap'><param name='name' value='A'>"
        "<param name=local value=a.html></object></ul>") << QStringList { "0 A -> a.html" };
    QTest::newRow("heading without page")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"H\">"
                      "</OBJECT><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" "
                      "value=\"x.html\"><param name=\"Name\" value=\"X\"></OBJECT></UL></UL>")
        << QStringList { "0 H -> ", "1 X -> x.html" };
    QTest::newRow("entry without name left out") << QByteArray(
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" "
        "value=\"x.html\"></OBJECT></UL>") << QStringList {};
    QTest::newRow("other object ignored") << QByteArray(
        "<OBJECT type=\"text/site properties\"><param name=\"Name\" "
        "value=\"P\"></OBJECT>") << QStringList {};
    QTest::newRow("not a sitemap") << QByteArray("\x00\xff<<>>", 6) << QStringList {};
}

void TestChmArchive::parsesContentsLeniently()
{
    QFETCH(QByteArray, sitemap);
    QFETCH(QStringList, expected);
    QStringList actual;
    for (const ContentsEntry &entry : parseContents(sitemap))
        actual << QStringLiteral("%1 %2 -> %3").arg(entry.depth).arg(entry.name, entry.local);
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestChmArchive)
#include "chm_archive_test.moc"
