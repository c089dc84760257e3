#include "chm_archive.h"
#include "help_browser.h"
#include "help_lookup.h"
#include "help_window.h"
#include "html_help.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString fixtureChm = QStringLiteral(FIXTURE_BUILD_DIR "/fixture.chm");

/// Waits for the next modal message box, notes its caption, text and parent,
/// and closes it with OK. It stops looking once it has caught one, or when it
/// is destroyed.
class MessageBoxCatcher {
public:
    MessageBoxCatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { poll(); });
        m_timer.start(10);
    }

    bool caught = false;
    QString title;
    QString text;
    QWidget *parent = nullptr;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        m_timer.stop();
        caught = true;
        title = box->windowTitle();
        text = box->text();
        parent = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
    }

    QTimer m_timer;
};

HelpWindow *showHelp(QWidget *caller, const QString &file, std::uintptr_t data = 0)
{
    const QByteArray name = QFile::encodeName(file);
    return qobject_cast<HelpWindow *>(HtmlHelpA(caller, name.constData(), 0, data));
}

QString shownPath(const HelpWindow *window)
{
    return ChmArchive::toArchivePath(window->browser()->source());
}

/// Clicks the link whose text is `text`, as a user would.
bool clickLink(HelpBrowser *browser, const QString &text)
{
    const QTextCursor found = browser->document()->find(text);
    if (found.isNull())
        return false;
    QTextCursor inside(browser->document());
    inside.setPosition(found.selectionStart() + 2);
    const QPoint at = browser->cursorRect(inside).center() + QPoint(2, 0);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    return true;
}

QImage toImage(const QVariant &resource)
{
    if (resource.canConvert<QImage>() && resource.typeId() != QMetaType::QByteArray)
        return resource.value<QImage>();
    return QImage::fromData(resource.toByteArray());
}

struct PageLinks {
    QStringList hrefs;
    QStringList images;
    QSet<QString> anchorNames;
};

PageLinks linksOf(const QTextDocument *document)
{
    PageLinks links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                links.images << format.toImageFormat().name();
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                links.hrefs << format.anchorHref();
            for (const QString &name : format.anchorNames())
                links.anchorNames.insert(name);
        }
    }
    return links;
}

} // namespace

class TestHtmlHelp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsDefaultTopicWithStylesheet();
    void followsLinksWithImagesAndHistory();
    void reusesOpenWindowAndShowsTopicFromData();
    void opensBesideCaller_data();
    void opensBesideCaller();
    void missingFileGivesViewersOwnMessage();
    void unreadableFileGivesViewersOwnMessage();
    void looksBesideProgramThenDataFolderThenCurrentDirectory();
    void programHelpFileOpensAndItsLinksResolve();

private:
    QWidget *m_caller = nullptr;
    QString m_startFolder;
};

void TestHtmlHelp::init()
{
    m_startFolder = QDir::currentPath();
    m_caller = new QWidget;
    m_caller->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_caller));
}

void TestHtmlHelp::cleanup()
{
    delete m_caller;
    QDir::setCurrent(m_startFolder);
}

void TestHtmlHelp::showsDefaultTopicWithStylesheet()
{
    HelpWindow *window = showHelp(m_caller, QStringLiteral("fixture.chm"));
    QVERIFY(window);
    QVERIFY(window->isWindow());
    QVERIFY(window->isVisible());
    QCOMPARE(window->parentWidget(), m_caller);
    QCOMPARE(window->windowTitle(), QStringLiteral("Fixture Help"));
    QCOMPARE(window->archive().fileName(), fixtureChm);

    QCOMPARE(shownPath(window), QStringLiteral("/start.html"));
    QTextDocument *document = window->browser()->document();
    QVERIFY(document->toPlainText().contains(QStringLiteral("Fixture start")));
    const QTextBlock heading = document->findBlock(0);
    QCOMPARE(heading.text(), QStringLiteral("Fixture start"));
    QCOMPARE(heading.charFormat().foreground().color(), QColor(0, 255, 0));

    auto *contents = window->findChild<QTreeWidget *>(QStringLiteral("contents"));
    QVERIFY(contents);
    QCOMPARE(contents->topLevelItemCount(), 2);
    QCOMPARE(contents->topLevelItem(0)->child(0)->text(0), QStringLiteral("Second & more"));
    QCOMPARE(contents->currentItem(), contents->topLevelItem(0));

    QVERIFY(!window->backAction()->isEnabled());
    QVERIFY(!window->forwardAction()->isEnabled());
}

void TestHtmlHelp::followsLinksWithImagesAndHistory()
{
    HelpWindow *window = showHelp(m_caller, QStringLiteral("fixture.chm"));
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    HelpBrowser *browser = window->browser();

    QVERIFY(clickLink(browser, QStringLiteral("the second page")));
    QCOMPARE(shownPath(window), QStringLiteral("/pages/second.html"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Fixture second")));

    // The page names its image relative to itself: ../images/dot.png.
    const QStringList images = linksOf(browser->document()).images;
    QCOMPARE(images, QStringList { QStringLiteral("../images/dot.png") });
    const QImage image
        = toImage(browser->document()->resource(QTextDocument::ImageResource, QUrl(images[0])));
    QCOMPARE(image.size(), QSize(6, 5));
    QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0));

    QVERIFY(clickLink(browser, QStringLiteral("the third page")));
    QCOMPARE(shownPath(window), QStringLiteral("/pages/third.html"));
    QCOMPARE(browser->source().fragment(), QStringLiteral("end"));
    QVERIFY(window->backAction()->isEnabled());
    QVERIFY(!window->forwardAction()->isEnabled());

    window->backAction()->trigger();
    QCOMPARE(shownPath(window), QStringLiteral("/pages/second.html"));
    QVERIFY(window->forwardAction()->isEnabled());

    QTest::keyClick(browser, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(shownPath(window), QStringLiteral("/start.html"));
    QVERIFY(!window->backAction()->isEnabled());

    window->forwardAction()->trigger();
    QCOMPARE(shownPath(window), QStringLiteral("/pages/second.html"));

    QVERIFY(clickLink(browser, QStringLiteral("back to the start")));
    QCOMPARE(shownPath(window), QStringLiteral("/start.html"));
    QVERIFY(!window->forwardAction()->isEnabled());

    window->backAction()->trigger();
    window->homeAction()->trigger();
    QCOMPARE(shownPath(window), QStringLiteral("/start.html"));

    browser->showTopic(QStringLiteral("/pages/missing.html"));
    QCOMPARE(browser->documentTitle(), QStringLiteral("Page not found"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("/pages/missing.html")));
}

void TestHtmlHelp::reusesOpenWindowAndShowsTopicFromData()
{
    QPointer<HelpWindow> first = showHelp(m_caller, QStringLiteral("fixture.chm"));
    QVERIFY(first);
    first->browser()->showTopic(QStringLiteral("pages/second.html"));

    // Moved by the user, the window stays where it was put when used again.
    first->move(5, 6);
    QTRY_COMPARE(first->frameGeometry().topLeft(), QPoint(5, 6));

    HelpWindow *again = showHelp(m_caller, QStringLiteral("fixture.chm"));
    QCOMPARE(again, first.data());
    QCOMPARE(shownPath(again), QStringLiteral("/start.html"));
    QCOMPARE(again->frameGeometry().topLeft(), QPoint(5, 6));

    static const char topic[] = "pages/third.html";
    showHelp(m_caller, QStringLiteral("fixture.chm"), reinterpret_cast<std::uintptr_t>(topic));
    QCOMPARE(shownPath(first), QStringLiteral("/pages/third.html"));
    static const char noTopic[] = "no-such-page.html";
    showHelp(m_caller, QStringLiteral("fixture.chm"), reinterpret_cast<std::uintptr_t>(noTopic));
    QCOMPARE(shownPath(first), QStringLiteral("/start.html"));

    // A closed window goes; the next call opens a new one.
    first->close();
    QTRY_VERIFY(first.isNull());
    HelpWindow *fresh = showHelp(m_caller, QStringLiteral("fixture.chm"));
    QVERIFY(fresh);
    QCOMPARE(m_caller->findChildren<HelpWindow *>().size(), 1);
}

void TestHtmlHelp::opensBesideCaller_data()
{
    // The caller's frame's left edge as a share of the room the screen leaves it.
    QTest::addColumn<double>("across");
    QTest::addColumn<QString>("side");
    QTest::newRow("at the left edge: help to its right") << 0.0 << "right";
    QTest::newRow("at the right edge: help to its left") << 1.0 << "left";
    QTest::newRow("in the middle: no room, centred") << 0.5 << "centred";
}

void TestHtmlHelp::opensBesideCaller()
{
    QFETCH(double, across);
    QFETCH(QString, side);
    // The offscreen screen is 800 x 600: room beside a small caller for a help
    // window about 750 pixels wide only at either edge.
    const QRect screen = m_caller->screen()->availableGeometry();
    m_caller->resize(30, 30);
    const int callerWidth = m_caller->frameGeometry().width();
    const QPoint callerAt(screen.left() + static_cast<int>(across * (screen.width() - callerWidth)),
        screen.top() + 20);
    m_caller->move(callerAt);
    QTRY_COMPARE(m_caller->frameGeometry().topLeft(), callerAt);
    const QRect caller = m_caller->frameGeometry();

    HelpWindow *window = showHelp(m_caller, QStringLiteral("fixture.chm"));
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect help = window->frameGeometry();

    QVERIFY(help.width() > 700 && help.width() < screen.width() - callerWidth);
    QVERIFY(screen.contains(help));
    if (side == QStringLiteral("right")) {
        QCOMPARE(help.left(), caller.right() + 1);
        QCOMPARE(help.top(), caller.top());
    } else if (side == QStringLiteral("left")) {
        QCOMPARE(help.right() + 1, caller.left());
        QCOMPARE(help.top(), caller.top());
    } else {
        QVERIFY(qAbs(help.center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(help.center().y() - screen.center().y()) <= 1);
    }
}

void TestHtmlHelp::missingFileGivesViewersOwnMessage()
{
    MessageBoxCatcher box;
    QWidget *window = HtmlHelpA(m_caller, "no-such-help.chm", 0, 0);
    QVERIFY(window == nullptr);
    QVERIFY(box.caught);
    QCOMPARE(box.parent, m_caller);
    QCOMPARE(box.title, QStringLiteral("Help"));
    QVERIFY2(box.text.contains(QStringLiteral("\"no-such-help.chm\" was not found")),
        qPrintable(box.text));
    for (const QString &folder : { QCoreApplication::applicationDirPath(), QDir::currentPath() })
        QVERIFY2(box.text.contains(QDir::toNativeSeparators(folder)), qPrintable(box.text));

    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(m_caller->isEnabled());
    QVERIFY(m_caller->findChildren<HelpWindow *>().isEmpty());
}

void TestHtmlHelp::unreadableFileGivesViewersOwnMessage()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("broken.chm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("This is not a compiled help file.\n");
    file.close();

    MessageBoxCatcher box;
    QVERIFY(showHelp(m_caller, path) == nullptr);
    QVERIFY(box.caught);
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(path)), qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("cannot be read")), qPrintable(box.text));
    QVERIFY(m_caller->isEnabled());
}

void TestHtmlHelp::looksBesideProgramThenDataFolderThenCurrentDirectory()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString dataFolder
        = QDir::cleanPath(programFolder + QStringLiteral("/../share/varnholt"));
    const QString otherChm = QStringLiteral(FIXTURE_BUILD_DIR "/nodefault.chm");
    QTemporaryDir current;
    QVERIFY(current.isValid());
    QVERIFY(QFile::copy(otherChm, current.filePath(QStringLiteral("fixture.chm"))));
    QVERIFY(QFile::copy(otherChm, current.filePath(QStringLiteral("only-here.chm"))));
    QVERIFY(QFile::copy(otherChm, current.filePath(QStringLiteral("shared.chm"))));
    QVERIFY(QDir::setCurrent(current.path()));

    const QStringList folders = helpFileFolders();
    QVERIFY(folders.size() >= 3);
    QCOMPARE(folders.first(), programFolder);
    QCOMPARE(folders.at(1), dataFolder);
    QCOMPARE(folders.last(), QDir::currentPath());

    // The data folder lies in the build tree here; leave it as it was found.
    const bool madeDataFolder = !QDir(dataFolder).exists();
    QVERIFY(QDir().mkpath(dataFolder));
    const QString sharedChm = dataFolder + QStringLiteral("/shared.chm");
    QVERIFY(QFile::copy(otherChm, sharedChm));
    const auto removeShared = qScopeGuard([&] {
        QFile::remove(sharedChm);
        if (madeDataFolder)
            QDir(dataFolder).removeRecursively();
    });

    QCOMPARE(findHelpFile(QStringLiteral("fixture.chm")), fixtureChm);
    QCOMPARE(findHelpFile(QStringLiteral("shared.chm")), sharedChm);
    QCOMPARE(findHelpFile(QStringLiteral("only-here.chm")),
        QDir(current.path()).filePath(QStringLiteral("only-here.chm")));
    QCOMPARE(findHelpFile(QStringLiteral("nowhere.chm")), QString());
    QCOMPARE(findHelpFile(fixtureChm), fixtureChm);
    QCOMPARE(findHelpFile(QStringLiteral("no-such-folder/fixture.chm")), QString());

    // An archive without a title of its own is named after its file.
    HelpWindow *window = showHelp(m_caller, QStringLiteral("only-here.chm"));
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("only-here.chm"));
    QCOMPARE(shownPath(window), QStringLiteral("/pages/third.html"));
}

void TestHtmlHelp::programHelpFileOpensAndItsLinksResolve()
{
#ifndef VARNHOLT_HELP_FILE
    QSKIP("the program's help file is not part of this build");
#else
    const QString helpFile = QStringLiteral(VARNHOLT_HELP_FILE);
    HelpWindow *window = showHelp(m_caller, helpFile);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Varnholt Help"));
    QCOMPARE(shownPath(window), QStringLiteral("/index.html"));
    QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("Varnholt converts")));
    QVERIFY(!linksOf(window->browser()->document()).images.isEmpty());

    // Every page in the contents, every page and anchor they link to, and every
    // image they show must be in the archive.
    const ChmArchive &archive = window->archive();
    auto *contents = window->findChild<QTreeWidget *>(QStringLiteral("contents"));
    QVERIFY(contents);
    QStringList pages;
    for (QTreeWidgetItemIterator it(contents); *it; ++it)
        pages << (*it)->data(0, Qt::UserRole).toString();
    QVERIFY(pages.size() >= 6);

    HelpBrowser *browser = window->browser();
    QStringList anchorTargets;
    for (const QString &page : pages) {
        browser->showTopic(page);
        QVERIFY2(archive.contains(page), qPrintable(page));
        QVERIFY2(!browser->documentTitle().isEmpty(), qPrintable(page));
        const PageLinks links = linksOf(browser->document());
        for (const QString &image : links.images) {
            const QImage decoded
                = toImage(browser->document()->resource(QTextDocument::ImageResource, QUrl(image)));
            QVERIFY2(!decoded.isNull(), qPrintable(page + QStringLiteral(": ") + image));
        }
        for (const QString &href : links.hrefs) {
            const QString target = ChmArchive::resolve(page, href);
            QVERIFY2(archive.contains(target), qPrintable(page + QStringLiteral(": ") + href));
            if (const QString fragment = QUrl(href).fragment(); !fragment.isEmpty())
                anchorTargets << target + QLatin1Char('#') + fragment;
        }
    }
    for (const QString &target : anchorTargets) {
        const qsizetype hash = target.indexOf(QLatin1Char('#'));
        browser->showTopic(target.left(hash));
        QVERIFY2(linksOf(browser->document()).anchorNames.contains(target.mid(hash + 1)),
            qPrintable(target));
    }
#endif
}

QTEST_MAIN(TestHtmlHelp)
#include "html_help_test.moc"
